#include "platform/pulse/pulse_capture.h"

#include <pulse/timeval.h>

#include <algorithm>
#include <utility>

#include "core/audio/pcm_conversion.h"
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
      fragmentBytes_(static_cast<std::uint32_t>(
          std::min<std::size_t>(blockBytes, pa_usec_to_bytes(kFragmentUsec, &sampleFormat)))),
      sink_(sink),
      assembler_(blockBytes,
                 [this](std::span<const std::byte> block) { sink_.CaptureData(block); }) {}

TPulseCapture::~TPulseCapture() {
  {
    TPulseLock lock(backend_.loop_);
    KeepAsStandby();
    backend_.capture_ = nullptr;
  }
  if (opened_) {
    sink_.CaptureTail(assembler_.TakePartial());
    sink_.CaptureClosed();
  }
}

void TPulseCapture::Connect(pa_context* context) {
  if (stream_ != nullptr || TakeStandby())
    return;
  stream_ = pa_stream_new(context, "Capture", &sampleFormat_, nullptr);
  if (stream_ == nullptr)
    return;
  pa_stream_set_read_callback(stream_, &Read, this);
  pa_stream_set_state_callback(stream_, &State, this);
  pa_buffer_attr attr{};
  attr.maxlength = static_cast<std::uint32_t>(-1);
  attr.fragsize = fragmentBytes_;
  const bool mixHere = sampleFormat_.channels == 1 && pa_sample_size(&sampleFormat_) <= 2;
  const auto flags = static_cast<pa_stream_flags_t>(
      PA_STREAM_ADJUST_LATENCY | (mixHere ? PA_STREAM_FIX_CHANNELS : PA_STREAM_NOFLAGS));
  // The default source by its name: PipeWire may leave a stream without one unlinked.
  const QByteArray source = backend_.defaultSource_.toUtf8();
  if (pa_stream_connect_record(stream_, source.isEmpty() ? nullptr : source.constData(), &attr,
                               flags) < 0)
    Disconnect();
}

bool TPulseCapture::TakeStandby() {
  TPulseSoundBackend::TStandbyCapture& standby = backend_.standby_;
  if (standby.Stream == nullptr)
    return false;
  if (!pa_sample_spec_equal(&standby.Format, &sampleFormat_) ||
      standby.FragmentBytes != fragmentBytes_ ||
      pa_stream_get_state(standby.Stream) != PA_STREAM_READY) {
    DropStream(standby.Stream);
    return false;
  }
  stream_ = std::exchange(standby.Stream, nullptr);
  // What the stream heard before is older than this capture.
  pa_stream_set_read_callback(stream_, &Read, this);
  pa_stream_set_state_callback(stream_, &State, this);
  ReadAll(stream_, nullptr);
  streamChannels_ = pa_stream_get_sample_spec(stream_)->channels;
  return true;
}

void TPulseCapture::KeepAsStandby() {
  DropStream(backend_.standby_.Stream);
  if (stream_ == nullptr || pa_stream_get_state(stream_) != PA_STREAM_READY) {
    DropStream(stream_);
    return;
  }
  pa_stream_set_read_callback(stream_, &Discard, nullptr);
  pa_stream_set_state_callback(stream_, nullptr, nullptr);
  backend_.standby_ = {std::exchange(stream_, nullptr), sampleFormat_, fragmentBytes_};
}

void TPulseCapture::Disconnect() {
  DropStream(stream_);
  assembler_.Discard();
}

void TPulseCapture::State(pa_stream* stream, void* self) {
  TPulseCallbackScope scope;
  auto* capture = static_cast<TPulseCapture*>(self);
  if (pa_stream_get_state(stream) != PA_STREAM_READY)
    return;
  capture->streamChannels_ = pa_stream_get_sample_spec(stream)->channels;
  capture->MarkOpened();
}

void TPulseCapture::MarkOpened() {
  if (!opened_) {
    opened_ = true;
    sink_.CaptureOpened();
  }
}

void TPulseCapture::Discard(pa_stream* stream, std::size_t, void*) {
  TPulseCallbackScope scope;
  ReadAll(stream, nullptr);
}

void TPulseCapture::Read(pa_stream* stream, std::size_t, void* self) {
  TPulseCallbackScope scope;
  auto* capture = static_cast<TPulseCapture*>(self);
  // A stream taken over from the standby is open with its first audio.
  capture->MarkOpened();
  ReadAll(stream, capture);
}

void TPulseCapture::ReadAll(pa_stream* stream, TPulseCapture* capture) {
  const void* data = nullptr;
  std::size_t bytes = 0;
  while (pa_stream_readable_size(stream) > 0 && pa_stream_peek(stream, &data, &bytes) == 0 &&
         bytes > 0) {
    if (capture != nullptr)
      capture->Append(data, bytes);
    pa_stream_drop(stream);
  }
}

void TPulseCapture::Append(const void* data, std::size_t bytes) {
  const auto channels = static_cast<std::size_t>(std::max(streamChannels_, 1));
  // A hole in the stream is heard as silence, so the blocks keep their timing.
  if (data == nullptr) {
    assembler_.AppendSilence(bytes / channels * sampleFormat_.channels,
                             sampleFormat_.format == PA_SAMPLE_U8 ? std::byte{0x80} : std::byte{0});
    return;
  }
  const std::span<const std::byte> frames{static_cast<const std::byte*>(data), bytes};
  if (streamChannels_ == sampleFormat_.channels) {
    assembler_.Append(frames);
    return;
  }
  const int bits = static_cast<int>(pa_sample_size(&sampleFormat_)) * 8;
  mono_.clear();
  monoBytes_.clear();
  DecodeMono(frames, streamChannels_, bits, mono_);
  EncodeFrames(mono_, 1, bits, monoBytes_);
  assembler_.Append(monoBytes_);
}

}  // namespace tarvok
