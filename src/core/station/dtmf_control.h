// Commands over the air: whatever the station hears, in every mode, is decoded for DTMF keys and
// read as "*", the PIN, a command code and "#". The sound card's capture (8 kHz 16-bit mono) and
// the recorder's blocks (in the recording format, brought to 8 kHz mono here) are queued whole by
// the audio threads and decoded on the main thread: no block is ever replaced by a newer one.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <utility>
#include <vector>

#include "core/config/dtmf_control_settings.h"
#include "core/dtmf/dtmf_command_reader.h"
#include "core/dtmf/dtmf_frame_decoder.h"

namespace tarvok {

class TAntiAliasResampler;
class TClock;
struct TWaveFormat;

class TDtmfControl final : public QObject {
  Q_OBJECT
 public:
  // Off when the settings are off; `level` is the detection level each tone must reach.
  TDtmfControl(const TDtmfControlSettings& settings, const TClock& clock, int level,
               QObject* parent = nullptr);
  ~TDtmfControl() override;
  TDtmfControl(const TDtmfControl&) = delete;
  TDtmfControl& operator=(const TDtmfControl&) = delete;

  bool Enabled() const { return reader_ != nullptr; }
  // Within a command entry: its keys are not to be shown or logged anywhere.
  bool Entering() const { return reader_ && reader_->Entering(); }

  // The capture stream's blocks, 8 kHz 16-bit mono; any thread.
  void CapturedBlock(std::span<const std::byte> block);
  // The recorder's blocks in the format it records; any thread.
  void RecordedBlock(std::span<const std::byte> block, const TWaveFormat& format);
  // Decodes what is queued now rather than at the next turn of the event loop; main thread.
  void DecodeQueued() {
    if (Enabled())
      Decode();
  }
  // Whether the PIN was heard since the last call: a recording that carried it is withheld.
  bool TakePinHeard() { return std::exchange(pinHeard_, false); }

 signals:
  // A command with the right PIN.
  void CommandReceived(const TDtmfCommand& command);
  // An entry that ended without a command: a wrong PIN or an unknown code (answered "NO").
  void EntryRefused();
  // A line for the operator log, never with a key of an entry in it.
  void LogLine(const QString& line);

 private:
  // Queues samples for the main thread; called with the mutex held.
  void Queue(std::span<const std::int16_t> samples);
  void Decode();

  const TClock& clock_;
  std::unique_ptr<TDtmfCommandReader> reader_;
  TDtmfFrameDecoder decoder_;
  std::mutex mutex_;
  // Guarded by mutex_.
  std::vector<std::int16_t> pending_;
  std::vector<std::int16_t> frames_;
  std::vector<std::int16_t> mono_;
  std::unique_ptr<TAntiAliasResampler> resampler_;
  int resamplerRate_ = 0;
  // Main thread only.
  std::vector<std::int32_t> samples_;
  std::vector<TDtmfFrameDecoder::TKey> keys_;
  bool pinHeard_ = false;
};

}  // namespace tarvok
