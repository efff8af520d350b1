// Plays an element string (one character per element: a blank is silence, anything else tone)
// through the tone generator, one block ahead of the device.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "core/audio/sine_buffer.h"

namespace tarvok {

class TElementPlayer {
 public:
  TElementPlayer(TSineBuffer& sine, int blockBytes);

  void SetCWText(const QString& text);
  // Produces the next block into the internal block; called one block ahead of the device.
  void Render();
  // Copies the rendered block to `buffer` (rendering first when nothing is ready) and returns
  // the bytes copied; 0 when the string is used up. A null buffer primes a new playback.
  int GetData(std::uint8_t* buffer, int size);

 private:
  void NextElementIfDone();

  TSineBuffer& sine_;
  std::vector<std::int16_t> block_;
  int blockBytes_;
  QString cwText_;
  int cwIndex_ = 0;  // 1-based; 0 means no string was set
  int elementPosition_ = 0;
  int rendered_ = 0;
  bool prefilled_ = false;
};

}  // namespace tarvok
