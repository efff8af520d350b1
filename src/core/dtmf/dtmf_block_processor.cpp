#include "core/dtmf/dtmf_block_processor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QtEndian>
#include <algorithm>

#include "core/common/clock.h"
#include "core/config/config.h"
#include "core/storage/ini_file.h"

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#endif

namespace tarvok {

namespace {

// Qt hands a posted event to the main thread under a lock that ThreadSanitizer does not see, so
// the hand-over is announced to it: the audio thread releases after building the event, the main
// thread acquires before reading it.
#if defined(__SANITIZE_THREAD__)
char handOverToken;
void AnnounceHandOver() { __tsan_release(&handOverToken); }
void AnnounceTakeOver() { __tsan_acquire(&handOverToken); }
#else
void AnnounceHandOver() {}
void AnnounceTakeOver() {}
#endif

const QEvent::Type kTaskEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class TTaskEvent final : public QEvent {
 public:
  explicit TTaskEvent(TDtmfBlockProcessor::TTask task) : QEvent(kTaskEvent), Task(task) {}
  const TDtmfBlockProcessor::TTask Task;
};

}  // namespace

TDtmfBlockProcessor::TDtmfBlockProcessor(TConfig& config, const TClock& clock, QObject* parent)
    : QObject(parent),
      config_(config),
      clock_(clock),
      reader_(config.DTMFDecoder()),
      lastRefresh_(clock.Now()) {
  filter_.Load(config_.IniFile());
  filter_.SetLevel(config_.DTFMLevel());
  ReloadSettings();
  // The decoder, the spectrum and the filter follow their settings whoever changes them.
  connect(&config_, &TConfig::SettingChanged, this, [this](const QString& section, const QString&) {
    if (section == QLatin1String("Audio"))
      ReloadSettings();
  });
}

TDtmfBlockProcessor::~TDtmfBlockProcessor() = default;

QString TDtmfBlockProcessor::SimplexHint() {
  return QStringLiteral(
      "To enable DTFM in Simplex Repeater mode\nplease go to the File | Preferences | Audio tab "
      "and check\n\"Enable DTFM in Simplex Repeater mode\" checkbox");
}

void TDtmfBlockProcessor::SetGainStep(int band, int step) {
  filter_.SetGainStep(band, step);
  SaveEqualizer();
}

void TDtmfBlockProcessor::SetScaleStep(int step) {
  filter_.SetScaleStep(step);
  SaveEqualizer();
}

void TDtmfBlockProcessor::ResetEqualizer() {
  for (int band = 0; band < TDigitalFilter::kBands; ++band)
    filter_.SetGainStep(band, 0);
  filter_.SetScaleStep(0);
  SaveEqualizer();
}

// Written at each change, so that a station that is killed keeps its equalizer.
void TDtmfBlockProcessor::SaveEqualizer() {
  TIniFile& ini = config_.IniFile();
  ini.Batch([&] { filter_.Save(ini); });
  emit EqualizerChanged();
}

void TDtmfBlockProcessor::SetDecoder(TDtmfDecoderKind kind) { config_.SetDTMFDecoder(kind); }

bool TDtmfBlockProcessor::SetEnabled(bool on, TRepeaterMode mode) {
  const bool switchedOn = on && !Enabled();
  config_.SetDTFMEnabled(on);
  enabled_.store(on, kRelaxed);
  emit SpectrumChanged();
  return switchedOn && mode == rmSimplexRepeater && !config_.DTFMSimplex();
}

void TDtmfBlockProcessor::SetSpectrumEnabled(bool on) {
  config_.SetDTMFSpectrum(on);
  spectrumEnabled_.store(on, kRelaxed);
  emit SpectrumChanged();
}

void TDtmfBlockProcessor::SetFilterEnabled(bool on) {
  config_.SetFilterEnable(on);
  filterEnabled_.store(on, kRelaxed);
}

void TDtmfBlockProcessor::ReloadSettings() {
  enabled_.store(config_.DTFMEnabled(), kRelaxed);
  simplex_.store(config_.DTFMSimplex(), kRelaxed);
  spectrumEnabled_.store(config_.DTMFSpectrum(), kRelaxed);
  filterEnabled_.store(config_.FilterEnable(), kRelaxed);
  if (config_.DTMFDecoder() != reader_.Kind())
    reader_.SetKind(config_.DTMFDecoder());
  emit SettingsChanged();
}

bool TDtmfBlockProcessor::Change(TDtmfChange change, int value, TRepeaterMode mode) {
  const bool on = value != 0;
  switch (change) {
    case TDtmfChange::Enabled:
      return SetEnabled(on, mode);
    case TDtmfChange::Spectrum:
      SetSpectrumEnabled(on);
      break;
    case TDtmfChange::Filter:
      SetFilterEnabled(on);
      break;
    case TDtmfChange::Decoder:
      SetDecoder(static_cast<TDtmfDecoderKind>(value));
      break;
    case TDtmfChange::LevelBar:
      SetLevelBarPosition(value);
      break;
    case TDtmfChange::ScaleStep:
      SetScaleStep(value);
      break;
  }
  return false;
}

void TDtmfBlockProcessor::SetLevelBarPosition(int position) {
  filter_.SetLevel(kLevelBarMaximum - std::clamp(position, 0, kLevelBarMaximum));
  emit SpectrumChanged();
}

void TDtmfBlockProcessor::CopySamples(std::span<const std::byte> block) {
  TDtmfDetector::TBlock& samples = filter_.Samples();
  for (int n = 0; n < TDtmfDetector::kBlockSize; ++n)
    samples[n] = qFromLittleEndian<qint16>(block.data() + 2 * n);
}

void TDtmfBlockProcessor::Post(TTask task) {
  // Qt takes the event over and deletes it once delivered.
  auto* event = new TTaskEvent(task);
  AnnounceHandOver();
  QCoreApplication::postEvent(this, event);
}

bool TDtmfBlockProcessor::event(QEvent* event) {
  AnnounceTakeOver();
  if (event->type() != kTaskEvent)
    return QObject::event(event);
  (this->*static_cast<TTaskEvent*>(event)->Task)();
  return true;
}

void TDtmfBlockProcessor::ResetTimeFromAudioThread() {
  if (lastFFTTime_.exchange(0) != 0)
    Post(&TDtmfBlockProcessor::ClearTexts);
}

void TDtmfBlockProcessor::CaptureBlock(TWaveMessage message, std::span<const std::byte> block) {
  if (closing_.load())
    return;
  if (!Enabled()) {
    ResetTimeFromAudioThread();
    return;
  }
  if (message == TWaveMessage::Close) {
    Post(&TDtmfBlockProcessor::ClearSpectrum);
    return;
  }
  if (message != TWaveMessage::Data || block.size() / 2 != TDtmfDetector::kBlockSize || !Claim())
    return;
  CopySamples(block);
  transformed_ = false;
  Release();
  if (!closing_.load())
    PostProcessBlock();
}

void TDtmfBlockProcessor::RecordedBlock(std::span<std::byte> block) {
  if (closing_.load())
    return;
  if (!Enabled() || !simplex_.load(kRelaxed)) {
    ResetTimeFromAudioThread();
    return;
  }
  if (block.size() / 2 != TDtmfDetector::kBlockSize || !Claim())
    return;
  CopySamples(block);
  transformed_ = FilterEnabled();
  if (transformed_) {
    filter_.Filter();
    const TDtmfDetector::TBlock& filtered = filter_.Filtered();
    for (int n = 0; n < TDtmfDetector::kBlockSize; ++n)
      qToLittleEndian(static_cast<qint16>(filtered[n]), block.data() + 2 * n);
  }
  Release();
  PostProcessBlock();
}

void TDtmfBlockProcessor::PostProcessBlock() {
  // While one is queued, it decodes the newest block; a second would decode it again.
  if (!processPending_.exchange(true))
    Post(&TDtmfBlockProcessor::ProcessBlock);
}

void TDtmfBlockProcessor::ProcessBlock() {
  processPending_.store(false);
  if (closing_.load() || !Claim())
    return;
  QElapsedTimer timer;
  timer.start();
  // A block that the equalizer filtered has been analysed with it; any other is analysed now,
  // when the block detector or the spectrum needs it: the frame decoder reads the samples.
  if (!transformed_ && (reader_.NeedsTransform() || SpectrumEnabled()))
    filter_.Process();
  keys_.clear();
  reader_.Read(filter_, keys_);
  const qint64 elapsed = timer.elapsed();
  std::copy_n(filter_.Levels().begin(), spectrumLevels_.size(), spectrumLevels_.begin());
  Release();
  for (const TDtmfKeyReader::TKey& key : keys_)
    AddKey(key.Key);
  if (lastFFTTime_.exchange(elapsed) != elapsed) {
    statusText_ = QStringLiteral("FFT Time: %1ms").arg(elapsed);
    emit TextsChanged();
  }
  if (SpectrumEnabled())
    RefreshSpectrum();
}

void TDtmfBlockProcessor::AddKey(char key) {
  if (entriesHidden_ && entryMask_.Take(key, clock_.Now().toMSecsSinceEpoch()))
    return;
  ++keyCount_;
  if (keyCount_ > kKeysPerLine || terminal_.isEmpty()) {
    terminal_.append(QString());
    if (keyCount_ > kKeysPerLine)
      keyCount_ = 0;
    // A station that runs for months keeps the newest lines only.
    if (terminal_.size() > kMaxTerminalLines)
      terminal_.removeFirst();
  }
  terminal_.last().append(QLatin1Char(key));
  emit KeyDecoded(QLatin1Char(key));
  emit TerminalChanged();
}

void TDtmfBlockProcessor::ClearTerminal() {
  terminal_.clear();
  keyCount_ = 0;
  emit TerminalChanged();
}

void TDtmfBlockProcessor::ClearTexts() {
  statusText_.clear();
  errorText_.clear();
  emit TextsChanged();
}

void TDtmfBlockProcessor::ReportOverflow() {
  errorText_ = QStringLiteral("overflowed");
  emit TextsChanged();
}

void TDtmfBlockProcessor::ClearSpectrum() {
  spectrumLevels_.fill(0);
  emit SpectrumChanged();
}

void TDtmfBlockProcessor::RefreshSpectrum() {
  const QDateTime now = clock_.Now();
  const QTime time = now.time();
  const QTime last = lastRefresh_.time();
  if (time.hour() == last.hour() && time.minute() == last.minute() &&
      time.second() == last.second() && time.msec() - last.msec() < kSpectrumInterval)
    return;
  lastRefresh_ = now;
  emit SpectrumChanged();
}

}  // namespace tarvok
