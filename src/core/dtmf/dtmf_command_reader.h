// Reads station commands from received DTMF keys: "*", the PIN, a command code and "#". Digits
// more than 5 s apart start over; three wrong PINs within 10 minutes lock entry for 10 minutes.
// The PIN never leaves this class: what it reports carries no digits.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "core/dtmf/dtmf_entry_mask.h"

namespace tarvok {

enum class TDtmfCommandCode {
  Mode,          // Argument: the mode number 1 to 3
  State,         // Argument: the state button, numbered as "state=" of the remote command file
  SchedulerOff,  // "30"
  SchedulerOn,   // "31"
  Identify,      // "4"
  Status,        // "5"
};

struct TDtmfCommand {
  TDtmfCommandCode Code = TDtmfCommandCode::Status;
  int Argument = 0;
};

class TDtmfCommandReader {
 public:
  static constexpr int kWrongPinsToLock = 3;
  static constexpr std::int64_t kWrongPinWindowMs = 10 * 60 * 1000;
  static constexpr std::int64_t kLockoutMs = 10 * 60 * 1000;

  // What a key completed.
  enum class TOutcome {
    None,      // nothing yet, or a key outside any entry
    Command,   // a command with the right PIN: see Command()
    Unknown,   // the right PIN and a code that names no command
    WrongPin,  // a wrong PIN, fewer than three within the window
    Locked,    // the wrong PIN that locked entry
  };

  // The PIN must be 4 to 8 of the digits 0 to 9 (see ValidPin).
  explicit TDtmfCommandReader(std::string pin);

  static bool ValidPin(const std::string& pin);

  // Takes a key received at `ms` on a steady clock.
  TOutcome Take(char key, std::int64_t ms);
  // The command of the latest Take that returned Command.
  const TDtmfCommand& Command() const { return command_; }

  // Within a command entry: from "*" to its end, its keys are not to be shown or logged.
  bool Entering() const { return entering_; }
  // The entry in progress, locked or not, has carried the whole PIN so far.
  bool PinHeard() const { return mask_.Open() && digits_.compare(0, pin_.size(), pin_) == 0; }
  // Some audio was lost: the entry in progress starts over.
  void Restart();
  bool LockedAt(std::int64_t ms) const { return ms < lockedUntil_; }

 private:
  bool ReadCode(const std::string& code);

  std::string pin_;
  TDtmfEntryMask mask_;
  bool entering_ = false;
  std::string digits_;
  std::deque<std::int64_t> wrongPins_;
  std::int64_t lockedUntil_ = 0;
  TDtmfCommand command_;
};

}  // namespace tarvok
