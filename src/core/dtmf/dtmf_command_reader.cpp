#include "core/dtmf/dtmf_command_reader.h"

#include <algorithm>
#include <utility>

namespace tarvok {

namespace {

bool IsDigit(char key) { return key >= '0' && key <= '9'; }

}  // namespace

TDtmfCommandReader::TDtmfCommandReader(std::string pin) : pin_(std::move(pin)) {}

bool TDtmfCommandReader::ValidPin(const std::string& pin) {
  return pin.size() >= 4 && pin.size() <= 8 && std::all_of(pin.begin(), pin.end(), IsDigit);
}

void TDtmfCommandReader::Restart() {
  mask_.Close();
  entering_ = false;
  digits_.clear();
}

TDtmfCommandReader::TOutcome TDtmfCommandReader::Take(char key, std::int64_t ms) {
  if (!mask_.Take(key, ms)) {
    // Outside an entry, or a pause too long: what was typed so far is forgotten.
    entering_ = false;
    digits_.clear();
    return TOutcome::None;
  }
  if (key == '*') {
    // A locked entry is read all the same, only never carried out: its PIN is still heard.
    entering_ = !LockedAt(ms);
    digits_.clear();
    return TOutcome::None;
  }
  if (IsDigit(key)) {
    // Beyond the longest command a digit changes nothing but the entry's length.
    if (digits_.size() <= pin_.size() + 2)
      digits_ += key;
    return TOutcome::None;
  }
  const std::string digits = std::exchange(digits_, {});
  if (!std::exchange(entering_, false) || key != '#')
    return TOutcome::None;  // a locked entry, or A to D abandoning it
  if (digits.compare(0, pin_.size(), pin_) != 0 || digits.size() < pin_.size()) {
    while (!wrongPins_.empty() && ms - wrongPins_.front() > kWrongPinWindowMs)
      wrongPins_.pop_front();
    wrongPins_.push_back(ms);
    if (static_cast<int>(wrongPins_.size()) < kWrongPinsToLock)
      return TOutcome::WrongPin;
    wrongPins_.clear();
    lockedUntil_ = ms + kLockoutMs;
    return TOutcome::Locked;
  }
  return ReadCode(digits.substr(pin_.size())) ? TOutcome::Command : TOutcome::Unknown;
}

bool TDtmfCommandReader::ReadCode(const std::string& code) {
  if (code.size() == 2 && code[0] == '1' && code[1] >= '1' && code[1] <= '3') {
    command_ = {TDtmfCommandCode::Mode, code[1] - '0'};
  } else if (code.size() == 2 && code[0] == '2') {
    command_ = {TDtmfCommandCode::State, code[1] - '0'};
  } else if (code == "30" || code == "31") {
    command_ = {code == "30" ? TDtmfCommandCode::SchedulerOff : TDtmfCommandCode::SchedulerOn, 0};
  } else if (code == "4") {
    command_ = {TDtmfCommandCode::Identify, 0};
  } else if (code == "5") {
    command_ = {TDtmfCommandCode::Status, 0};
  } else {
    return false;
  }
  return true;
}

}  // namespace tarvok
