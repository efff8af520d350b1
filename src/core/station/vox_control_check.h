// Whether the two traces suit the operating mode: the VOX needs one trace on an output line (what
// the PC plays) and one on an input line (what the receiver hears), and the VOX trace of the mode
// on the right one of them: the output in Internet Repeater mode, the input otherwise.
#pragma once

#include <QString>

namespace tarvok {

struct TTraceAssignment {
  QString Message;    // why the assignment does not suit the mode; empty when it does
  bool Swap = false;  // the two traces should exchange their lines
};

// out0 and out1 tell whether the upper and lower trace listen to an output line; voxTrace is the
// mode's VOXControl (0 upper, 1 lower).
TTraceAssignment CheckTraceAssignment(int mode, bool out0, bool out1, int voxTrace);

// Why the station cannot work when the upper trace finds no line with a peak meter.
QString PeakMeterHelpText();

}  // namespace tarvok
