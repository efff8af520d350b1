#include "core/audio/element_player.h"

#include <algorithm>
#include <cstring>

namespace tarvok {

TElementPlayer::TElementPlayer(TSineBuffer& sine, int blockBytes)
    : sine_(sine),
      block_(static_cast<std::size_t>(blockBytes / 2)),
      blockBytes_(blockBytes / 2 * 2) {}

void TElementPlayer::SetCWText(const QString& text) {
  cwText_ = text;
  cwIndex_ = 1;
  elementPosition_ = 0;
}

void TElementPlayer::NextElementIfDone() {
  if (elementPosition_ >= sine_.ElementBytes()) {
    ++cwIndex_;
    elementPosition_ = 0;
  }
}

void TElementPlayer::Render() {
  rendered_ = 0;
  prefilled_ = true;
  const int length = static_cast<int>(cwText_.size());
  if (cwIndex_ > length)
    return;
  NextElementIfDone();
  int remaining = blockBytes_;
  std::int16_t* out = block_.data();
  while (remaining > 0 && cwIndex_ >= 1 && cwIndex_ <= length) {
    const bool blank = cwText_[cwIndex_ - 1] == QLatin1Char(' ');
    const int n = blank ? sine_.Silence(out, remaining, elementPosition_)
                        : sine_.Tone(out, remaining, elementPosition_);
    out += n / 2;
    elementPosition_ += n;
    remaining -= n;
    rendered_ += n;
    NextElementIfDone();
  }
}

int TElementPlayer::GetData(std::uint8_t* buffer, int size) {
  if (cwIndex_ == 0 || cwText_.isEmpty())
    return 0;
  if (buffer == nullptr) {
    prefilled_ = false;
    return 0;
  }
  if (!prefilled_)
    Render();
  const int count = std::min(rendered_, size);
  std::memcpy(buffer, block_.data(), static_cast<std::size_t>(count));
  rendered_ = 0;
  prefilled_ = false;  // a caller that does not render ahead gets the next block rendered here
  return count;
}

}  // namespace tarvok
