// What of the received keys belongs to a command entry: from "*" to "#", A to D, or a pause of
// more than 5 s between keys. Such keys are not to be shown or logged anywhere.
#pragma once

#include <cstdint>

namespace tarvok {

class TDtmfEntryMask {
 public:
  static constexpr std::int64_t kKeyTimeoutMs = 5000;

  // Takes a key received at `ms` on a steady clock; true when it belongs to an entry.
  bool Take(char key, std::int64_t ms);
  // Within an entry: its next keys will be masked unless the pause runs out first.
  bool Open() const { return open_; }
  void Close() { open_ = false; }

 private:
  bool open_ = false;
  std::int64_t lastKeyMs_ = 0;
};

}  // namespace tarvok
