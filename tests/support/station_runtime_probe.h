// The tests' way to the parts of a running station that no view reaches: the level poller, a
// trace, the DTMF decoder and the WAV file player, to drive them as the audio threads would.
#pragma once

#include "core/audio/level_poller.h"
#include "core/audio/wav_file_player.h"
#include "core/dtmf/dtmf_block_processor.h"
#include "core/station/station_runtime.h"
#include "core/station/trace_source.h"

namespace tarvok {

class TStationRuntimeProbe {
 public:
  static TLevelPoller& Poller(TStationRuntime& station) { return *station.poller_; }
  static TTraceSource& Trace(TStationRuntime& station, int index) {
    return station.EditTrace(index);
  }
  static TDtmfBlockProcessor& Dtmf(TStationRuntime& station) { return *station.dtmf_; }
  static TWavFilePlayer& FilePlayer(TStationRuntime& station) { return *station.filePlayer_; }
};

}  // namespace tarvok
