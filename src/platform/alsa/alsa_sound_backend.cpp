#include "platform/alsa/alsa_sound_backend.h"

#include <algorithm>

#include "platform/alsa/alsa_fault.h"
#include "platform/alsa/alsa_streams.h"
#include "platform/mixer_control_ids.h"

namespace tarvok {

namespace {

const QString kNoLine = QStringLiteral("No such mixer line.");
const QString kNoControl = QStringLiteral("No such control.");

bool UsableFormat(const TPcmFormat& format, int bytes) {
  return format.BitsPerSample % 8 == 0 && format.BitsPerSample >= 8 && format.BitsPerSample <= 32 &&
         format.Channels >= 1 && format.Channels <= 32 && format.SampleRate >= 1000 &&
         format.SampleRate <= 384000 && bytes >= format.FrameBytes();
}

}  // namespace

TAlsaSoundBackend::TAlsaSoundBackend(const QString& card, const QString& pcAudio)
    : cardName_(card),
      mixer_(card),
      card_(card, receiverMeter_, [this](const QString& message) { Report(message); }) {
  const auto line = [](TLineIndex index, std::uint32_t type, bool source, const char* name,
                       const QString& key) {
    return TMixerLine{static_cast<std::uint32_t>(index + 1), type,
                      kLineActive | (source ? kLineSource : 0u), QString::fromLatin1(name), key};
  };
  lines_[kOutput] = line(kOutput, kDestinationSpeakers, false, "Output", card);
  lines_[kStationAudio] =
      line(kStationAudio, kSourceWaveOut, true, "Station Audio", card + QStringLiteral(" out"));
  lines_[kRecordingControl] = line(kRecordingControl, kDestinationWaveIn, false,
                                   "Recording Control", QStringLiteral("Recording Control"));
  lines_[kReceiver] =
      line(kReceiver, kSourceLineLevel, true, "Receiver", card + QStringLiteral(" in"));
  lines_[kPcAudio] = line(kPcAudio, kSourceLineLevel, true, "PC Audio", pcAudio);
  volumes_[0].Value = mixer_.Volume(false);
  volumes_[1].Value = mixer_.Volume(true);
  if (!pcAudio.isEmpty())
    pcAudio_ = std::make_unique<TAlsaInput>(pcAudio, pcAudioMeter_,
                                            [this](const QString& message) { Report(message); });
}

TAlsaSoundBackend::~TAlsaSoundBackend() = default;

void TAlsaSoundBackend::Report(const QString& message) {
  QMetaObject::invokeMethod(
      this, [this, message] { emit Error(message); }, Qt::QueuedConnection);
}

QString TAlsaSoundBackend::DeviceName(int) const {
  return QStringLiteral("ALSA %1").arg(cardName_);
}

TAudioResult TAlsaSoundBackend::OpenMixer(int index) {
  return index == 0 ? TAudioResult::Ok()
                    : TAudioResult::Fail(TAudioResult::kBadDeviceId, QString());
}

TAudioResult TAlsaSoundBackend::Destinations(std::vector<TMixerDestination>& out) const {
  out = {{lines_[kOutput], {lines_[kStationAudio]}},
         {lines_[kRecordingControl], {lines_[kReceiver]}}};
  if (pcAudio_)
    out.back().Sources.push_back(lines_[kPcAudio]);
  return TAudioResult::Ok();
}

bool TAlsaSoundBackend::ValidLine(std::uint32_t lineId) const {
  return lineId >= 1 && lineId <= static_cast<std::uint32_t>(LineCount());
}

TAudioResult TAlsaSoundBackend::Line(std::uint32_t lineId, TMixerLine& line) const {
  if (!ValidLine(lineId))
    return TAudioResult::Fail(TAudioResult::kInvalidLine, kNoLine);
  line = lines_[lineId - 1];
  return TAudioResult::Ok();
}

int TAlsaSoundBackend::VolumeElementOf(std::uint32_t lineId) const {
  if (lineId == kOutput + 1 && mixer_.HasPlayback())
    return 0;
  if (lineId == kReceiver + 1 && mixer_.HasCapture())
    return 1;
  return -1;
}

TAudioResult TAlsaSoundBackend::Controls(std::uint32_t lineId,
                                         std::vector<TMixerControl>& controls) const {
  if (!ValidLine(lineId))
    return TAudioResult::Fail(TAudioResult::kInvalidLine, kNoLine);
  controls.clear();
  if (lineId == kRecordingControl + 1)
    return TAudioResult::Ok();
  controls.push_back({ControlIdOf(lineId, kMeterControl), kControlPeakMeter,
                      QStringLiteral("Peak Meter"), -32768, 32767});
  if (VolumeElementOf(lineId) >= 0)
    controls.push_back({ControlIdOf(lineId, kVolumeControl), kControlVolume,
                        QStringLiteral("Volume"), 0,
                        static_cast<std::int32_t>(TAlsaMixer::kMaximum)});
  return TAudioResult::Ok();
}

TAudioResult TAlsaSoundBackend::Control(std::uint32_t controlId, TMixerControl& control) const {
  if (FindLineControl(*this, controlId, control))
    return TAudioResult::Ok();
  return TAudioResult::Fail(TAudioResult::kInvalidControl, kNoControl);
}

TControlCell* TAlsaSoundBackend::MeterOf(std::uint32_t lineId) {
  switch (static_cast<int>(lineId) - 1) {
    case kOutput:
    case kStationAudio:
      return &outputMeter_;
    case kReceiver:
      return &receiverMeter_;
    case kPcAudio:
      return pcAudio_ ? &pcAudioMeter_ : nullptr;
    default:
      return nullptr;
  }
}

const TControlCell* TAlsaSoundBackend::AcquireControl(std::uint32_t controlId) {
  const std::uint32_t lineId = LineIdOfControl(controlId);
  if (!ValidLine(lineId))
    return nullptr;
  if (KindOfControl(controlId) == kMeterControl)
    return MeterOf(lineId);
  const int element = VolumeElementOf(lineId);
  if (KindOfControl(controlId) != kVolumeControl || element < 0)
    return nullptr;
  TControlCell& cell = volumes_[static_cast<std::size_t>(element)];
  cell.Value.store(mixer_.Volume(element == 1), std::memory_order_relaxed);
  return &cell;
}

TAudioResult TAlsaSoundBackend::WriteControl(std::uint32_t controlId, std::uint32_t value) {
  TMixerControl control;
  if (!FindLineControl(*this, controlId, control))
    return TAudioResult::Fail(TAudioResult::kInvalidControl, kNoControl);
  if (control.Type != kControlVolume)
    return TAudioResult::Fail(TAudioResult::kNotSupported, QString());
  const int element = VolumeElementOf(LineIdOfControl(controlId));
  if (!mixer_.SetVolume(element == 1, value))
    return TAudioResult::Fail(
        TAudioResult::kError,
        QStringLiteral("The sound device %1 refused the volume.").arg(cardName_));
  volumes_[static_cast<std::size_t>(element)].Value.store(std::min(value, TAlsaMixer::kMaximum),
                                                          std::memory_order_relaxed);
  return TAudioResult::Ok();
}

TAudioResult TAlsaSoundBackend::OpenCapture(const TPcmFormat& format, int blockBytes,
                                            TCaptureSink& sink,
                                            std::unique_ptr<TAudioStream>& stream) {
  if (!UsableFormat(format, blockBytes))
    return TAudioResult::Fail(TAudioResult::kBadFormat, QString());
  if (card_.Attached())
    return TAudioResult::Fail(TAudioResult::kAllocated, QString());
  // The stream shares the input that the meters read; it hears nothing while the device is away.
  stream = std::make_unique<TAlsaCapture>(card_, format, blockBytes, sink);
  return TAudioResult::Ok();
}

TAudioResult TAlsaSoundBackend::OpenPlayback(const TPcmFormat& format, int bufferBytes,
                                             TPlaybackSource& source,
                                             std::unique_ptr<TAudioStream>& stream) {
  if (!UsableFormat(format, bufferBytes))
    return TAudioResult::Fail(TAudioResult::kBadFormat, QString());
  const int error =
      TAlsaPlayback::Open(cardName_, format, bufferBytes, source, outputMeter_, stream);
  if (error == 0)
    return TAudioResult::Ok();
  return TAudioResult::Fail(TAudioResult::kError, AlsaOpenFailure(cardName_, error));
}

}  // namespace tarvok
