// A capture stream of the default recording source, delivered in blocks of a fixed length. It is
// reopened by itself when the server comes back after a loss; a partial block is dropped then, and
// handed back as the tail when the stream is destroyed. Mono of up to 16 bits is read in the
// source's own channels and mixed here as their mean: PipeWire's mix would sum them. A stream that
// closes is kept running for the next capture in its format (see TPulseSoundBackend::standby_).
#pragma once

#include <pulse/context.h>
#include <pulse/stream.h>

#include <vector>

#include "core/audio/block_assembler.h"
#include "core/audio/sound_backend.h"

namespace tarvok {

class TPulseSoundBackend;

class TPulseCapture final : public TAudioStream {
 public:
  TPulseCapture(TPulseSoundBackend& backend, const pa_sample_spec& sampleFormat, int blockBytes,
                TCaptureSink& sink);
  ~TPulseCapture() override;

  // With the main loop's lock held: start recording on the context unless already recording.
  void Connect(pa_context* context);
  // With the main loop's lock held: the server is gone.
  void Disconnect();

 private:
  static void Read(pa_stream* stream, std::size_t, void* self);
  static void State(pa_stream* stream, void* self);
  static void Discard(pa_stream* stream, std::size_t, void*);
  static void ReadAll(pa_stream* stream, TPulseCapture* capture);
  // Takes over the standby stream when it was left in this capture's format; whether it did.
  bool TakeStandby();
  void KeepAsStandby();
  void MarkOpened();
  void Append(const void* data, std::size_t bytes);

  TPulseSoundBackend& backend_;
  const pa_sample_spec sampleFormat_;
  const std::uint32_t fragmentBytes_;
  TCaptureSink& sink_;
  TBlockAssembler assembler_;
  pa_stream* stream_ = nullptr;
  bool opened_ = false;
  int streamChannels_ = 1;  // of the stream as the server delivers it
  std::vector<std::int16_t> mono_;
  std::vector<std::byte> monoBytes_;
};

}  // namespace tarvok
