// A playback stream on the sink that is the server's default when it opens, held there
// (PA_STREAM_DONT_MOVE): when that sink goes away the stream ends instead of moving to another
// device, such as the speakers of the room. A buffer counts as played once the server's playback
// position, the sink's latency included, has passed its end (the position is looked at every
// 20 ms on the main loop's thread), or once the server has run out of data.
#pragma once

#include <pulse/context.h>
#include <pulse/stream.h>

#include <QString>
#include <cstdint>
#include <deque>

#include "core/audio/playback_feeder.h"
#include "core/audio/sound_backend.h"

namespace tarvok {

class TPulseSoundBackend;

// The PulseAudio sample format of a PCM format; false when there is none.
bool PulseSampleSpec(const TPcmFormat& format, pa_sample_spec& sampleFormat);

class TPulsePlayback final : public TAudioStream {
 public:
  TPulsePlayback(TPulseSoundBackend& backend, const pa_sample_spec& sampleFormat, int bufferBytes,
                 TPlaybackSource& source);
  ~TPulsePlayback() override;

  // With the main loop's lock held: connects to `sink`, waits until the stream runs or fails and,
  // once it runs, asks for the first buffers.
  TAudioResult Open(pa_context* context, const QString& sink);
  // With the main loop's lock held: the server is gone.
  void Disconnect();

 private:
  void Write(std::span<const std::byte> buffer);
  void CheckPlayed();
  void Played(std::size_t buffers);
  void Close();
  static void State(pa_stream* stream, void* self);
  static void Underflow(pa_stream* stream, void* self);
  static void Tick(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self);

  TPulseSoundBackend& backend_;
  const pa_sample_spec sampleFormat_;
  TPlaybackSource& source_;
  TPlaybackFeeder feeder_;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  pa_time_event* timer_ = nullptr;
  std::int64_t written_ = 0;
  bool underflow_ = false;         // the server ran out of data since the last write
  std::deque<std::int64_t> ends_;  // where each queued buffer ends in the stream
  bool opened_ = false;
  bool closed_ = false;
};

}  // namespace tarvok
