// The edits a view asks of a trace or of the DTMF decoder through the station's door, each with
// one number: a choice's index, a position, or 0 and 1 for a check box.
#pragma once

namespace tarvok {

enum class TTraceChange {
  Mixer,   // the mixer device's index
  Source,  // the source list's entry
  Volume,  // the fader's position
  Signed,
  TraceDisabled,
  PeakMeterDisabled,
  GainControl,
};

enum class TDtmfChange {
  Enabled,
  Spectrum,
  Filter,
  Decoder,    // a TDtmfDecoderKind
  LevelBar,   // the sensitivity bar's position
  ScaleStep,  // the equalizer's scale
};

}  // namespace tarvok
