// A capture stream of the default recording source, delivered in blocks of a fixed length. It is
// reopened by itself when the server comes back after a loss; a partial block is dropped then, and
// handed back as the tail when the stream is destroyed.
#pragma once

#include <pulse/context.h>
#include <pulse/stream.h>

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

  TPulseSoundBackend& backend_;
  const pa_sample_spec sampleFormat_;
  const int blockBytes_;
  TCaptureSink& sink_;
  TBlockAssembler assembler_;
  pa_stream* stream_ = nullptr;
  bool opened_ = false;
};

}  // namespace tarvok
