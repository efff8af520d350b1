#include "core/station/vox_control_check.h"

#include "core/common/repeater_mode.h"

namespace tarvok {

namespace {

const char* const kInternetBothOut =
    "The VOX algorithm in Internet Repeater mode requires that one and only one, of the "
    "oscilloscope traces be connected to a sound output device (e.g., \"Wave\"). Currently both "
    "traces are connected to an output. Please modify your trace assignments.";
const char* const kInternetBothIn =
    "The VOX algorithm in Internet Repeater mode requires that one and only one, of the "
    "oscilloscope traces be connected to a sound output device (e.g., \"Recording Control\"). "
    "Currently both traces are connected to an input. Please modify your trace assignments.";
const char* const kSimplexBothOut =
    "The VOX algorithm in Simplex Repeater mode requires that one and only one, of the "
    "oscilloscope traces be connected to a sound output device (e.g., \"Recording Control\"). "
    "Currently both traces are connected to an output. Please modify your trace assignments.";
const char* const kSimplexBothIn =
    "The VOX algorithm in Simplex Repeater mode requires that one and only one, of the "
    "oscilloscope traces be connected to a sound input device (e.g., \"Recording Control\"). "
    "Currently both traces are connected to an input. Please modify your trace assignments.";
const char* const kBeaconBothOut =
    "The VOX algorithm in Beacon Station mode requires that at least one of the oscilloscope "
    "traces be connected to a sound input device (e.g., \"Recording Control\"). Currently both "
    "traces are connected to an output. Please modify your trace assignments.";

TTraceAssignment Refuse(const char* message) { return {QString::fromLatin1(message), false}; }

}  // namespace

QString PeakMeterHelpText() {
  return QStringLiteral(
      "Tarvok requires that your sound card and sound driver combination support at least one "
      "input device with a peak meter and at least one output device with a peak meter. Tarvok "
      "has detected that currently your sound system has either no peak meters, or at most one "
      "peak meter. This configuration does not meet Tarvok's requirements.");
}

TTraceAssignment CheckTraceAssignment(int mode, bool out0, bool out1, int voxTrace) {
  switch (mode) {
    case rmInternetRepeater:
      if (out0 && out1)
        return Refuse(kInternetBothOut);
      if (!out0 && !out1)
        return Refuse(kInternetBothIn);
      break;
    case rmSimplexRepeater:
      if (out0 && out1)
        return Refuse(kSimplexBothOut);
      if (!out0 && !out1)
        return Refuse(kSimplexBothIn);
      break;
    case rmBeaconStation:
      if (out0 && out1)
        return Refuse(kBeaconBothOut);
      break;
    default:
      return {};
  }
  // Two lines of the same kind cannot put the VOX trace on the other kind; exchanging them would
  // only flip the sources at every mode change.
  if (out0 == out1)
    return {};
  // The trace on the output line: 0 when the upper trace is on it.
  const int outputTrace = out0 ? 0 : 1;
  const bool voxOnOutput = voxTrace == outputTrace;
  return {QString(), mode == rmInternetRepeater ? !voxOnOutput : voxOnOutput};
}

}  // namespace tarvok
