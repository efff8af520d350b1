#include "platform/pulse/pulse_capture.h"

#include <pulse/timeval.h>

#include <algorithm>

#include "platform/pulse/pulse_lock.h"
#include "platform/pulse/pulse_sound_backend.h"
#include "platform/pulse/pulse_stream.h"

namespace tarvok {

namespace {

// Small fragments, so that a stream that is closed leaves little of its audio in the server.
constexpr pa_usec_t kFragmentUsec = 50 * PA_USEC_PER_MSEC;

}  // namespace

TPulseCapture::TPulseCapture(TPulseSoundBackend& backend, const pa_sample_spec& sampleFormat,
                             int blockBytes, TCaptureSink& sink)
    : backend_(backend),
      sampleFormat_(sampleFormat),
      blockBytes_(blockBytes),
      sink_(sink),
      assembler_(blockBytes,
                 [this](std::span<const std::byte> block) { sink_.CaptureData(block); }) {}

TPulseCapture::~TPulseCapture() {
  {
    TPulseLock lock(backend_.loop_);
    DropStream(stream_);
    backend_.capture_ = nullptr;
  }
  if (opened_) {
    sink_.CaptureTail(assembler_.TakePartial());
    sink_.CaptureClosed();
  }
}

void TPulseCapture::Connect(pa_context* context) {
  if (stream_ != nullptr)
    return;
  stream_ = pa_stream_new(context, "Capture", &sampleFormat_, nullptr);
  if (stream_ == nullptr)
    return;
  pa_stream_set_read_callback(stream_, &Read, this);
  pa_stream_set_state_callback(stream_, &State, this);
  pa_buffer_attr attr{};
  attr.maxlength = static_cast<std::uint32_t>(-1);
  attr.fragsize = static_cast<std::uint32_t>(
      std::min<std::size_t>(blockBytes_, pa_usec_to_bytes(kFragmentUsec, &sampleFormat_)));
  if (pa_stream_connect_record(stream_, nullptr, &attr, PA_STREAM_ADJUST_LATENCY) < 0)
    Disconnect();
}

void TPulseCapture::Disconnect() {
  DropStream(stream_);
  assembler_.Discard();
}

void TPulseCapture::State(pa_stream* stream, void* self) {
  TPulseCallbackScope scope;
  auto* capture = static_cast<TPulseCapture*>(self);
  if (pa_stream_get_state(stream) == PA_STREAM_READY && !capture->opened_) {
    capture->opened_ = true;
    capture->sink_.CaptureOpened();
  }
}

void TPulseCapture::Read(pa_stream* stream, std::size_t, void* self) {
  TPulseCallbackScope scope;
  auto* capture = static_cast<TPulseCapture*>(self);
  const void* data = nullptr;
  std::size_t bytes = 0;
  while (pa_stream_readable_size(stream) > 0 && pa_stream_peek(stream, &data, &bytes) == 0 &&
         bytes > 0) {
    // A hole in the stream is heard as silence, so the blocks keep their timing.
    if (data == nullptr)
      capture->assembler_.AppendSilence(
          bytes, capture->sampleFormat_.format == PA_SAMPLE_U8 ? std::byte{0x80} : std::byte{0});
    else
      capture->assembler_.Append({static_cast<const std::byte*>(data), bytes});
    pa_stream_drop(stream);
  }
}

}  // namespace tarvok
