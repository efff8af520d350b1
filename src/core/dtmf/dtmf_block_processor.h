// The station's DTMF decoding. 2048-sample blocks (16-bit, 8000 Hz, 4096 bytes) arrive from the
// sound card's capture stream and from the recorder; the audio thread that delivers one only
// claims the detector, copies the block (the recorder's block is equalized in place when the
// filter is on, so that the filtered audio is what gets recorded) and queues ProcessBlock on the
// main thread, which decodes it with the decoder DTMFDecoder names. A block that arrives while the
// detector is claimed is dropped.
// Decoded keys go to a terminal of lines: 30 keys on the first line, 31 on each later one.
#pragma once

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <array>
#include <atomic>
#include <cstddef>
#include <span>
#include <vector>

#include "core/audio/sound_card.h"
#include "core/common/repeater_mode.h"
#include "core/dtmf/digital_filter.h"
#include "core/dtmf/dtmf_entry_mask.h"
#include "core/dtmf/dtmf_key_reader.h"
#include "core/station/station_edits.h"

namespace tarvok {

class TClock;
class TConfig;

class TDtmfBlockProcessor final : public QObject {
  Q_OBJECT
 public:
  using TTask = void (TDtmfBlockProcessor::*)();

  static constexpr std::size_t kBlockBytes = TDtmfDetector::kBlockSize * 2;
  static constexpr int kKeysPerLine = 30;
  static constexpr int kMaxTerminalLines = 1000;
  static constexpr int kSpectrumInterval = 150;  // ms between spectrum repaints, at least
  static constexpr int kLevelBarMaximum = 100;

  // Loads the equalizer from the settings file; the destructor saves it. Stop the capture and
  // the recorder before destroying the processor: their threads call it.
  TDtmfBlockProcessor(TConfig& config, const TClock& clock, QObject* parent = nullptr);
  ~TDtmfBlockProcessor() override;
  TDtmfBlockProcessor(const TDtmfBlockProcessor&) = delete;
  TDtmfBlockProcessor& operator=(const TDtmfBlockProcessor&) = delete;

  // The equalizer, for its views. Its steps are changed here, so that each change is saved.
  const TDigitalFilter& Filter() const { return filter_; }
  void SetGainStep(int band, int step);
  void SetScaleStep(int step);
  // Every gain step and the scale step back to 0.
  void ResetEqualizer();

  bool Enabled() const { return enabled_.load(kRelaxed); }
  // "DTFM Enabled"; true when the user should be shown SimplexHint.
  bool SetEnabled(bool on, TRepeaterMode mode);
  static QString SimplexHint();
  bool SpectrumEnabled() const { return spectrumEnabled_.load(kRelaxed); }
  void SetSpectrumEnabled(bool on);
  bool FilterEnabled() const { return filterEnabled_.load(kRelaxed); }
  void SetFilterEnabled(bool on);
  TDtmfDecoderKind Decoder() const { return reader_.Kind(); }
  void SetDecoder(TDtmfDecoderKind kind);
  // Takes DTFMEnabled, DTFMSimplex, DTMFSpectrum, FilterEnable and DTMFDecoder from the settings
  // again.
  void ReloadSettings();
  // The sensitivity bar, 0 at the bottom: the detection level is 100 minus its position.
  int LevelBarPosition() const { return kLevelBarMaximum - filter_.Level(); }
  void SetLevelBarPosition(int position);
  // A view's edit, by what it names; true when switching on calls for SimplexHint.
  bool Change(TDtmfChange change, int value, TRepeaterMode mode);
  // The station is closing: blocks are ignored from now on.
  void SetClosing() { closing_.store(true); }

  // The capture stream's handler (TSoundCard::SetOnWaveData); runs on the capture thread.
  void CaptureBlock(TWaveMessage message, std::span<const std::byte> block);
  // The recorder's blocks, on its worker thread; with the filter on, the block is replaced by
  // its equalized audio.
  void RecordedBlock(std::span<std::byte> block);
  // Decodes the last block; main thread.
  void ProcessBlock();

  // While commands are read over the air, the keys of a command entry are neither shown in the
  // terminal nor reported.
  void SetEntriesHidden(bool hidden) { entriesHidden_ = hidden; }
  const QStringList& TerminalLines() const { return terminal_; }
  void ClearTerminal();
  // "FFT Time: 3ms".
  const QString& StatusText() const { return statusText_; }
  const QString& ErrorText() const { return errorText_; }
  // A spectrum paint began while the last one still ran.
  void ReportOverflow();
  // The levels of display bins 0 .. 1023 (0 .. 4003 Hz) of the last decoded block, 0 .. 100.
  const std::array<int, TDtmfDetector::kDisplayBins>& Spectrum() const { return spectrumLevels_; }

 signals:
  void KeyDecoded(QChar key);
  void TerminalChanged();
  // The status or error text changed.
  void TextsChanged();
  // The spectrum is to be repainted.
  void SpectrumChanged();
  // A gain or the scale step changed.
  void EqualizerChanged();
  // The settings were taken again (Enabled, SpectrumEnabled, FilterEnabled, Decoder).
  void SettingsChanged();

 protected:
  bool event(QEvent* event) override;

 private:
  static constexpr auto kRelaxed = std::memory_order_relaxed;

  // Queues a task on the main thread; any thread.
  void Post(TTask task);
  void PostProcessBlock();

  bool Claim() { return !busy_.test_and_set(std::memory_order_acquire); }
  void Release() { busy_.clear(std::memory_order_release); }
  void CopySamples(std::span<const std::byte> block);
  void ResetTimeFromAudioThread();
  void ClearTexts();
  void ClearSpectrum();
  void AddKey(char key);
  void RefreshSpectrum();
  void SaveEqualizer();

  TConfig& config_;
  const TClock& clock_;
  TDigitalFilter filter_;
  // Used on the main thread only.
  TDtmfKeyReader reader_;
  std::vector<TDtmfKeyReader::TKey> keys_;
  bool entriesHidden_ = false;
  TDtmfEntryMask entryMask_;
  std::atomic_flag busy_;
  // The block in Samples has been analysed already (by the equalizer); guarded by busy_.
  bool transformed_ = false;
  std::atomic<bool> closing_{false};
  std::atomic<bool> processPending_{false};
  std::atomic<bool> enabled_{false};
  std::atomic<bool> simplex_{false};
  std::atomic<bool> spectrumEnabled_{false};
  std::atomic<bool> filterEnabled_{false};
  std::atomic<qint64> lastFFTTime_{0};

  QStringList terminal_;
  int keyCount_ = 0;
  QString statusText_;
  QString errorText_;
  QDateTime lastRefresh_;
  std::array<int, TDtmfDetector::kDisplayBins> spectrumLevels_{};
};

}  // namespace tarvok
