// The WAV files an operator may put on the air (an event's sound, a beacon's file): every "*.wav"
// of a folder except the virtual card's log of what the station itself sent.
#pragma once

#include <QString>
#include <QStringList>

namespace tarvok {

// What the virtual sound card writes the station's output to, in the station folder.
inline constexpr char kTransmitterWavName[] = "transmitter.wav";

// The names of the folder's WAV files, sorted by name regardless of case, without
// kTransmitterWavName.
QStringList AirWavFiles(const QString& folder);

}  // namespace tarvok
