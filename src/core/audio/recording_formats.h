// The recording formats offered to the user, and their texts: "8,000 Hz, 8 Bit, Mono 8KB/s" in
// every locale. With DTMF decoding in Simplex Repeater mode only 16-bit mono is offered, since the
// decoder reads the recorder's blocks as such.
#pragma once

#include <QString>
#include <vector>

#include "core/audio/wave_format.h"

namespace tarvok {

std::vector<TWaveFormat> OfferedRecordingFormats(bool dtmfSimplex);
QString RecordingFormatText(const TWaveFormat& format);
// The index of the offered format equal to the stored one; 0 when none is.
int StoredFormatIndex(const std::vector<TWaveFormat>& offered, int formatTag, int channels,
                      int samplesPerSec, int bitsPerSample);

}  // namespace tarvok
