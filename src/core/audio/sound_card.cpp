#include "core/audio/sound_card.h"

#include <array>
#include <optional>

namespace tarvok {

namespace {

constexpr std::uint32_t kSourceFirst = 4096;

constexpr std::array<const char*, 9> kDestinationNames = {
    "Undefined",  "Digital",   "Line Level", "Monitor",          "Speakers",
    "Headphones", "Telephone", "Wave Input", "Voice Recognition"};
constexpr std::array<const char*, 11> kSourceNames = {
    "Undefined", "Digital",    "Line Level", "Microphone", "Synthesizer", "Compact Disc",
    "Telephone", "PC Speaker", "Wave Out",   "Auxiliary",  "Analog"};

bool IsMeter(std::uint32_t type) {
  return type == kControlSignedMeter || type == kControlPeakMeter || type == kControlUnsignedMeter;
}

}  // namespace

QString LineTypeName(std::uint32_t componentType, bool isSource, bool* ok) {
  const char* name = nullptr;
  if (isSource && componentType >= kSourceFirst &&
      componentType - kSourceFirst < kSourceNames.size())
    name = kSourceNames[componentType - kSourceFirst];
  else if (!isSource && componentType < kDestinationNames.size())
    name = kDestinationNames[componentType];
  if (ok != nullptr)
    *ok = name != nullptr;
  return QString::fromLatin1(name != nullptr ? name : "NOT VALID");
}

QString AudioErrorMessage(const TAudioResult& result) {
  switch (result.Code) {
    case TAudioResult::kBadDeviceId:
      return QStringLiteral("Specified device identifier is out of range.");
    case TAudioResult::kAllocated:
      return QStringLiteral("Specified resource is already allocated.");
    case TAudioResult::kInvalidHandle:
      return QStringLiteral("The device handle is invalid.");
    case TAudioResult::kNoDriver:
      return QStringLiteral("No device driver is present.");
    case TAudioResult::kNoMemory:
      return QStringLiteral("Unable to allocate or lock memory.");
    case TAudioResult::kNotSupported:
      return QStringLiteral("Function isn't supported.");
    case TAudioResult::kBadFormat:
      return QStringLiteral("Attempted to open with an unsupported waveform-audio format.");
    default:
      return result.Text;
  }
}

QString AudioDeviceBusyMessage() { return QStringLiteral("The audio device is busy"); }

TSoundCard::TSoundCard(std::unique_ptr<TSoundBackend> backend, QObject* parent)
    : QObject(parent), backend_(std::move(backend)) {
  connect(backend_.get(), &TSoundBackend::ControlChanged, this, &TSoundCard::ControlChanged);
  connect(backend_.get(), &TSoundBackend::LinesChanged, this, &TSoundCard::OnBackendLinesChanged);
  connect(backend_.get(), &TSoundBackend::Error, this, &TSoundCard::Error);
  connect(backend_.get(), &TSoundBackend::Debug, this, &TSoundCard::Debug);
  deviceCount_ = backend_->DeviceCount();
  if (deviceCount_ > 0)
    SetDeviceIndex(0);
}

TSoundCard::~TSoundCard() {
  StopCapture();
  for (int i = 0; i < mixerControls_.Count(); ++i)
    Unbind(mixerControls_.Items(i));
}

bool TSoundCard::Check(const TAudioResult& result) {
  lastResult_ = result.Code;
  if (!result.Failed())
    return false;
  emit Error(AudioErrorMessage(result));
  return true;
}

bool TSoundCard::HasRecordingLine() const {
  for (int i = 0; i < linePlayback_.Count(); ++i) {
    if (!linePlayback_.Items(i))
      return true;
  }
  return false;
}

void TSoundCard::SetDeviceIndex(int index) {
  deviceIndex_ = index;
  if (index >= 0)
    EnumerateLines();
}

QString TSoundCard::DeviceName(int index) const {
  return index >= 0 && index < backend_->DeviceCount() ? backend_->DeviceName(index) : QString();
}

void TSoundCard::EnumerateLines() {
  deviceCount_ = backend_->DeviceCount();
  emit Debug(QStringLiteral("FCount=%1").arg(deviceCount_));
  if (deviceCount_ == 0 || Check(backend_->OpenMixer(deviceIndex_)))
    return;
  lineTypes_.clear();
  linePlayback_.Clear();
  lineFlags_.Clear();
  lineIds_.Clear();
  lineNames_.clear();
  lineKeys_.clear();
  // Line IDs may now name other devices' lines; the control lists are read again when asked for.
  ClearControlLists();
  controlsLineId_ = -1;
  std::vector<TMixerDestination> destinations;
  if (Check(backend_->Destinations(destinations)))
    return;
  for (const TMixerDestination& destination : destinations) {
    const bool playback = !destination.Line.Name.toUpper().contains(QLatin1String("REC"));
    AppendLine(destination.Line, playback);
    for (const TMixerLine& source : destination.Sources)
      AppendLine(source, playback);
  }
}

void TSoundCard::AppendLine(const TMixerLine& line, bool playback) {
  lineTypes_.append(LineTypeName(line.ComponentType, (line.Flags & kLineSource) != 0));
  linePlayback_.Add(playback);
  lineIds_.Add(static_cast<std::int32_t>(line.Id));
  lineNames_.append(line.Name);
  lineFlags_.Add(static_cast<std::int32_t>(line.Flags));
  lineKeys_.append(line.Key);
}

void TSoundCard::OnBackendLinesChanged() {
  if (deviceIndex_ >= 0)
    EnumerateLines();
  emit LinesChanged();
}

bool TSoundCard::GetLineByID(TMixerLine& line, std::uint32_t lineId) {
  return !Check(backend_->Line(lineId, line));
}

void TSoundCard::ClearControlLists() {
  controlNames_.clear();
  controlTypes_.Clear();
  controlIds_.Clear();
  controlSigned_.Clear();
  controlMins_.Clear();
  controlMaxs_.Clear();
  controlRanges_.Clear();
}

void TSoundCard::EnumerateControls(int lineIndex) {
  if (lineIndex < 0 || lineIndex >= LineCount()) {
    ClearControlLists();
    controlsLineId_ = -1;
    return;
  }
  const auto lineId = static_cast<std::uint32_t>(lineIds_.Items(lineIndex));
  if (controlsLineId_ == lineId)
    return;
  ClearControlLists();
  controlsLineId_ = lineId;
  std::vector<TMixerControl> controls;
  if (Check(backend_->Controls(lineId, controls)))
    return;
  for (const TMixerControl& control : controls) {
    controlTypes_.Add(static_cast<std::int32_t>(control.Type));
    controlNames_.append(control.Name.left(64));
    controlIds_.Add(static_cast<std::int32_t>(control.Id));
    const bool meter = IsMeter(control.Type);
    controlSigned_.Add(meter && (control.Type & 0xFF0000) == 0x20000);
    controlMins_.Add(meter ? control.Minimum : 0);
    controlMaxs_.Add(meter ? control.Maximum : 0);
    controlRanges_.Add(meter ? control.Maximum - control.Minimum : 0);
  }
}

int TSoundCard::FindControl(int lineIndex, std::uint32_t controlType) {
  EnumerateControls(lineIndex);
  for (int i = 0; i < controlTypes_.Count(); ++i) {
    if (static_cast<std::uint32_t>(controlTypes_.Items(i)) == controlType)
      return i;
  }
  return -1;
}

void TSoundCard::Unbind(TMixerControlObject& object) {
  const bool wasBound = object.Valid();
  object.Clear();
  if (wasBound)
    backend_->ReleaseControl(object.Control().Id);
}

bool TSoundCard::BindMixerControl(int objectIndex, int lineIndex, int controlIndex, bool active) {
  if (!ValidObject(objectIndex))
    return false;
  TMixerControlObject& object = mixerControls_.Items(objectIndex);
  // The old control is let go after the new one is held: binding the same meter again keeps its
  // stream instead of closing and reopening it.
  const std::optional<std::uint32_t> held =
      object.Valid() ? std::optional(object.Control().Id) : std::nullopt;
  object.Clear();
  const bool bound = BindObject(object, lineIndex, controlIndex, active);
  if (held)
    backend_->ReleaseControl(*held);
  return bound;
}

bool TSoundCard::BindObject(TMixerControlObject& object, int lineIndex, int controlIndex,
                            bool active) {
  EnumerateControls(lineIndex);
  if (lineIndex < 0 || controlIndex < 0 || controlIndex >= controlIds_.Count())
    return false;
  TMixerLine line;
  if (!GetLineByID(line, static_cast<std::uint32_t>(lineIds_.Items(lineIndex))))
    return false;
  TMixerControl control;
  const auto controlId = static_cast<std::uint32_t>(controlIds_.Items(controlIndex));
  if (Check(backend_->Control(controlId, control)))
    return false;
  const TControlCell* cell = backend_->AcquireControl(controlId);
  if (cell == nullptr) {
    Check(TAudioResult::Fail(
        TAudioResult::kInvalidControl,
        QStringLiteral("The mixer control %1 is not present.").arg(control.Name)));
    return false;
  }
  cell->News.store(&levelNews_, std::memory_order_release);
  object.Bind(line, control, cell, active);
  levelNews_.Tell();
  return true;
}

std::uint32_t TSoundCard::GetControlValue(int objectIndex) {
  if (!ValidObject(objectIndex))
    return 0;
  TMixerControlObject& object = mixerControls_.Items(objectIndex);
  const std::uint32_t value = object.ReadCell();
  object.SetValue(value);
  return value;
}

void TSoundCard::SetControlValue(int objectIndex, std::uint32_t value) {
  if (!ValidObject(objectIndex))
    return;
  TMixerControlObject& object = mixerControls_.Items(objectIndex);
  object.SetValue(value);
  if (!object.Valid()) {
    Check(TAudioResult::Fail(TAudioResult::kInvalidControl,
                             QStringLiteral("The mixer control is not bound.")));
    return;
  }
  Check(backend_->WriteControl(object.Control().Id, value));
}

std::uint32_t TSoundCard::ControlMaximum(int objectIndex) const {
  if (!ValidObject(objectIndex) || !mixerControls_.Items(objectIndex).Valid())
    return 0;
  return static_cast<std::uint32_t>(mixerControls_.Items(objectIndex).Control().Maximum);
}

bool TSoundCard::StartCapture() {
  const bool was = Capturing();
  capture_.reset();
  const bool started =
      !Check(backend_->OpenCapture(kCaptureFormat, kCaptureBlockBytes, *this, capture_));
  ReportCapture(was);
  return started;
}

void TSoundCard::StopCapture() {
  const bool was = Capturing();
  capture_.reset();
  ReportCapture(was);
}

void TSoundCard::ReportCapture(bool wasCapturing) {
  if (Capturing() != wasCapturing)
    emit CaptureChanged(Capturing());
}

void TSoundCard::CaptureOpened() {
  if (onWaveData_)
    onWaveData_(TWaveMessage::Open, {});
}

void TSoundCard::CaptureData(std::span<const std::byte> block) {
  if (onWaveData_)
    onWaveData_(TWaveMessage::Data, block);
}

void TSoundCard::CaptureClosed() {
  if (onWaveData_)
    onWaveData_(TWaveMessage::Close, {});
}

}  // namespace tarvok
