// The fixed table of audio events: what the station can play, by slot.
#pragma once

#include <array>

namespace tarvok {

struct TAudioEvent {
  const char* Name;  // 13 characters padded with blanks; empty for slots the user never sees
  int DefaultTime;   // seconds
  bool AllowCW;
};

inline constexpr int kAudioEventCount = 9;

enum TAudioEventSlot : int {
  aeLastRecording = 0,
  aeCourtesyTone = 1,
  aeRepeaterId = 2,
  aeQst = 3,
  aeTimeout = 4,
  aeCWId = 5,
  aeCWTest = 6,
  aeBeaconWav = 7,
  aeBeaconCW = 8,
};

inline constexpr std::array<TAudioEvent, kAudioEventCount> AudioEvents{{
    {"", 0, false},
    {"Courtesy tone", 0, false},
    {"Repeater ID  ", 600, true},
    {"QST          ", 3600, false},
    {"Timeout      ", 0, false},
    {"", 0, false},
    {"", 0, false},
    {"", 0, false},
    {"", 0, false},
}};

}  // namespace tarvok
