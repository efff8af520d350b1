#include "platform/pulse/pulse_sound_backend.h"

#include <pulse/error.h>
#include <pulse/subscribe.h>
#include <pulse/volume.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "platform/mixer_control_ids.h"
#include "platform/pulse/pulse_capture.h"
#include "platform/pulse/pulse_lock.h"
#include "platform/pulse/pulse_meter.h"
#include "platform/pulse/pulse_playback.h"
#include "platform/pulse/pulse_stream.h"

namespace tarvok {

namespace {

constexpr std::uint32_t kVolumeMaximum = 65535;
const QString kRecordingKey = QStringLiteral("Recording Control");

std::uint32_t VolumeValue(pa_volume_t volume) {
  const double linear = std::min(pa_sw_volume_to_linear(volume), 1.0);
  return static_cast<std::uint32_t>(std::lround(linear * kVolumeMaximum));
}

QString Property(const pa_proplist* properties, const char* key) {
  const char* value = pa_proplist_gets(properties, key);
  return value != nullptr ? QString::fromUtf8(value) : QString();
}

}  // namespace

TPulseSoundBackend::TPulseSoundBackend() {
  retryTimer_.setSingleShot(true);
  retryTimer_.setInterval(kRetryMs);
  connect(&retryTimer_, &QTimer::timeout, this, &TPulseSoundBackend::Reconnect);
  loop_ = pa_threaded_mainloop_new();
  pa_threaded_mainloop_start(loop_);
  TPulseLock lock(loop_);
  Connect();
}

TPulseSoundBackend::~TPulseSoundBackend() {
  {
    TPulseLock lock(loop_);
    for (auto& [id, entry] : controls_)
      CloseMeter(entry);
    DropStream(standby_.Stream);
    DropContext();
  }
  pa_threaded_mainloop_stop(loop_);
  pa_threaded_mainloop_free(loop_);
}

bool TPulseSoundBackend::WaitUntilReady(int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!attemptDecided_.load() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  TPulseLock lock(loop_);
  return connected_;
}

void TPulseSoundBackend::Post(std::function<void()> work) {
  QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void TPulseSoundBackend::Connect() {
  context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Tarvok");
  pa_context_set_state_callback(context_, &ContextState, this);
  // No autospawn: a station must not start a sound server of its own behind the user's back.
  if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
    ConnectionLost(QString::fromUtf8(pa_strerror(pa_context_errno(context_))));
}

void TPulseSoundBackend::DropContext() {
  if (context_ == nullptr)
    return;
  pa_context_set_state_callback(context_, nullptr, nullptr);
  pa_context_set_subscribe_callback(context_, nullptr, nullptr);
  pa_context_disconnect(context_);
  pa_context_unref(context_);
  context_ = nullptr;
}

void TPulseSoundBackend::ContextState(pa_context* context, void* self) {
  TPulseCallbackScope scope;
  auto* backend = static_cast<TPulseSoundBackend*>(self);
  switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
      pa_context_set_subscribe_callback(context, &ContextEvent, self);
      pa_operation_unref(
          pa_context_subscribe(context,
                               static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SINK |
                                                                   PA_SUBSCRIPTION_MASK_SOURCE |
                                                                   PA_SUBSCRIPTION_MASK_SERVER),
                               nullptr, nullptr));
      pa_operation_unref(pa_context_get_server_info(context, &ServerInfo, self));
      backend->StartListing();
      break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
      backend->ConnectionLost(QString::fromUtf8(pa_strerror(pa_context_errno(context))));
      pa_threaded_mainloop_signal(backend->loop_, 0);
      break;
    default:
      break;
  }
}

void TPulseSoundBackend::ConnectionLost(const QString& reason) {
  const bool hadLines = !destinations_.empty();
  const bool wasConnected = connected_;
  connected_ = false;
  serverLost_.store(true);
  for (auto& [id, entry] : controls_) {
    CloseMeter(entry);
    entry.Cell->Value.store(0, std::memory_order_relaxed);
  }
  if (capture_ != nullptr)
    capture_->Disconnect();
  DropStream(standby_.Stream);
  if (playback_ != nullptr)
    playback_->Disconnect();
  devices_.clear();
  lines_.clear();
  destinations_.clear();
  listingsPending_ = 0;
  attemptDecided_.store(true);
  const QString message =
      wasConnected
          ? QStringLiteral("Lost the connection to the sound server (%1); reconnecting.")
                .arg(reason)
          : QStringLiteral("Cannot connect to the sound server: %1; retrying.").arg(reason);
  Post([this, message, hadLines] {
    ReportLoss(message);
    if (hadLines)
      emit LinesChanged();
  });
}

void TPulseSoundBackend::ReportLoss(const QString& message) {
  if (!lossReported_)
    emit Error(message);
  lossReported_ = true;
  retryTimer_.start();
}

void TPulseSoundBackend::Reconnect() {
  TPulseLock lock(loop_);
  if (connected_)
    return;
  DropContext();
  Connect();
}

void TPulseSoundBackend::ServerInfo(pa_context*, const pa_server_info* info, void* self) {
  TPulseCallbackScope scope;
  auto* backend = static_cast<TPulseSoundBackend*>(self);
  if (info != nullptr) {
    backend->serverName_ = QStringLiteral("%1 %2").arg(QString::fromUtf8(info->server_name),
                                                       QString::fromUtf8(info->server_version));
    backend->defaultSink_ = QString::fromUtf8(info->default_sink_name);
    backend->defaultSource_ = QString::fromUtf8(info->default_source_name);
  }
  pa_threaded_mainloop_signal(backend->loop_, 0);
}

QString TPulseSoundBackend::DefaultSink() {
  pa_operation* op = pa_context_get_server_info(context_, &ServerInfo, this);
  while (op != nullptr && pa_operation_get_state(op) == PA_OPERATION_RUNNING) {
    AnnounceUnlocking();
    pa_threaded_mainloop_wait(loop_);
    AnnounceLocked();
  }
  if (op != nullptr)
    pa_operation_unref(op);
  return defaultSink_;
}

QString TPulseSoundBackend::DeviceName(int) const {
  TPulseLock lock(loop_);
  return serverName_.isEmpty() ? QStringLiteral("PulseAudio") : serverName_;
}

void TPulseSoundBackend::ContextEvent(pa_context* context, pa_subscription_event_type_t event,
                                      std::uint32_t, void* self) {
  TPulseCallbackScope scope;
  auto* backend = static_cast<TPulseSoundBackend*>(self);
  // A new default device: the next capture opens on it.
  if ((event & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) == PA_SUBSCRIPTION_EVENT_SERVER) {
    pa_operation_unref(pa_context_get_server_info(context, &ServerInfo, self));
    return;
  }
  // Events come in bursts (a device brings its monitor along); one listing follows another.
  if (backend->listingsPending_ > 0)
    backend->listAgain_ = true;
  else
    backend->StartListing();
}

void TPulseSoundBackend::StartListing() {
  newDevices_.clear();
  listAgain_ = false;
  listingsPending_ = 2;
  pa_operation_unref(pa_context_get_sink_info_list(context_, &SinkInfo, this));
  pa_operation_unref(pa_context_get_source_info_list(context_, &SourceInfo, this));
}

void TPulseSoundBackend::SinkInfo(pa_context*, const pa_sink_info* info, int eol, void* self) {
  TPulseCallbackScope scope;
  auto* backend = static_cast<TPulseSoundBackend*>(self);
  if (info != nullptr) {
    backend->newDevices_.push_back(
        {true, QString::fromUtf8(info->name), QString::fromUtf8(info->description),
         QString::fromUtf8(info->monitor_source_name),
         Property(info->proplist, PA_PROP_DEVICE_FORM_FACTOR), info->channel_map,
         info->sample_spec.rate, pa_cvolume_max(&info->volume)});
  }
  if (eol != 0 && --backend->listingsPending_ == 0)
    backend->ApplyListing();
}

void TPulseSoundBackend::SourceInfo(pa_context*, const pa_source_info* info, int eol, void* self) {
  TPulseCallbackScope scope;
  auto* backend = static_cast<TPulseSoundBackend*>(self);
  if (info != nullptr && info->monitor_of_sink == PA_INVALID_INDEX) {
    backend->newDevices_.push_back(
        {false, QString::fromUtf8(info->name), QString::fromUtf8(info->description),
         QString::fromUtf8(info->name), Property(info->proplist, PA_PROP_DEVICE_FORM_FACTOR),
         info->channel_map, info->sample_spec.rate, pa_cvolume_max(&info->volume)});
  }
  if (eol != 0 && --backend->listingsPending_ == 0)
    backend->ApplyListing();
}

void TPulseSoundBackend::ApplyListing() {
  // Sinks first, then sources, each in the server's order.
  std::stable_partition(newDevices_.begin(), newDevices_.end(),
                        [](const TDevice& d) { return d.IsSink; });
  std::vector<TDevice> before = std::move(devices_);
  devices_ = std::move(newDevices_);
  newDevices_.clear();
  const std::vector<TMixerDestination> oldDestinations = destinations_;
  BuildLines();
  UpdateVolumes(before);
  UpdateMeters();
  const bool firstListing = !connected_;
  connected_ = true;
  serverLost_.store(false);
  if (capture_ != nullptr)
    capture_->Connect(context_);
  if (firstListing) {
    attemptDecided_.store(true);
    Post([this] {
      if (lossReported_)
        emit Debug(QStringLiteral("Connected to the sound server again."));
      lossReported_ = false;
      retryTimer_.stop();
    });
  }
  if (destinations_ != oldDestinations)
    Post([this] { emit LinesChanged(); });
  if (listAgain_)
    StartListing();
}

std::uint32_t TPulseSoundBackend::LineIdFor(const QString& key) {
  const auto [it, added] =
      lineIds_.try_emplace(key, static_cast<std::uint32_t>(lineIds_.size() + 1));
  return it->second;
}

void TPulseSoundBackend::BuildLines() {
  lines_.clear();
  destinations_.clear();
  const auto lineOf = [this](int index) {
    const TDevice& d = devices_[static_cast<std::size_t>(index)];
    const QString headphones = QStringLiteral("headphone");
    const QString microphones = QStringLiteral("microphone webcam headset");
    const std::uint32_t type =
        d.IsSink
            ? (d.FormFactor == headphones ? kDestinationHeadphones : kDestinationSpeakers)
            : (!d.FormFactor.isEmpty() && microphones.contains(d.FormFactor) ? kSourceMicrophone
                                                                             : kSourceLineLevel);
    const QString key = (d.IsSink ? QStringLiteral("sink:") : QStringLiteral("source:")) + d.Name;
    return TLineEntry{
        {LineIdFor(key), type, kLineActive | (d.IsSink ? 0u : kLineSource), d.Description, d.Name},
        index};
  };
  const int count = static_cast<int>(devices_.size());
  int i = 0;
  for (; i < count && devices_[static_cast<std::size_t>(i)].IsSink; ++i) {
    lines_.push_back(lineOf(i));
    destinations_.push_back({lines_.back().Line, {}});
  }
  lines_.push_back(
      {{LineIdFor(kRecordingKey), kDestinationWaveIn, kLineActive, kRecordingKey, kRecordingKey},
       -1});
  destinations_.push_back({lines_.back().Line, {}});
  for (; i < count; ++i) {
    lines_.push_back(lineOf(i));
    destinations_.back().Sources.push_back(lines_.back().Line);
  }
}

void TPulseSoundBackend::UpdateVolumes(const std::vector<TDevice>& before) {
  for (const TLineEntry& line : lines_) {
    if (line.Device < 0)
      continue;
    const TDevice& device = devices_[static_cast<std::size_t>(line.Device)];
    const std::uint32_t volumeId = ControlIdOf(line.Line.Id, kVolumeControl);
    const auto old = std::find_if(before.begin(), before.end(), [&](const TDevice& d) {
      return d.IsSink == device.IsSink && d.Name == device.Name;
    });
    const auto controlIt = controls_.find(volumeId);
    if (controlIt != controls_.end())
      controlIt->second.Cell->Value.store(VolumeValue(device.Volume), std::memory_order_relaxed);
    const auto written = writtenVolumes_.find(volumeId);
    const bool ours = written != writtenVolumes_.end() && written->second == device.Volume;
    if (old != before.end() && old->Volume != device.Volume && !ours)
      Post([this, volumeId] { emit ControlChanged(volumeId); });
  }
}

const TPulseSoundBackend::TLineEntry* TPulseSoundBackend::FindLine(std::uint32_t lineId) const {
  const auto it = std::find_if(lines_.begin(), lines_.end(),
                               [lineId](const TLineEntry& l) { return l.Line.Id == lineId; });
  return it != lines_.end() ? &*it : nullptr;
}

const TPulseSoundBackend::TDevice* TPulseSoundBackend::DeviceOfControl(
    std::uint32_t controlId) const {
  const TLineEntry* line = FindLine(LineIdOfControl(controlId));
  return line != nullptr && line->Device >= 0 ? &devices_[static_cast<std::size_t>(line->Device)]
                                              : nullptr;
}

void TPulseSoundBackend::UpdateMeters() {
  for (auto& [id, entry] : controls_) {
    if (KindOfControl(id) != kMeterControl)
      continue;
    const TDevice* device = DeviceOfControl(id);
    // A stream that the server ended (its device went away) is let go; a device that is there is
    // listened to while someone holds its meter.
    if (entry.Meter != nullptr && (device == nullptr || !entry.Meter->Alive()))
      CloseMeter(entry);
    if (entry.Meter == nullptr && device != nullptr && entry.References > 0)
      OpenMeter(entry, *device);
  }
}

void TPulseSoundBackend::OpenMeter(TControlEntry& entry, const TDevice& device) {
  // PipeWire's PulseAudio server names itself "PulseAudio (on PipeWire ...)".
  const bool peakDetect = !serverName_.contains(QLatin1String("PipeWire"));
  entry.Meter = std::make_unique<TPulseMeter>(context_, device.MeterSource, device.ChannelMap,
                                              device.SampleRate, peakDetect, *entry.Cell);
}

void TPulseSoundBackend::CloseMeter(TControlEntry& entry) { entry.Meter.reset(); }

TAudioResult TPulseSoundBackend::OpenMixer(int index) {
  return index == 0 ? TAudioResult::Ok()
                    : TAudioResult::Fail(TAudioResult::kBadDeviceId, QString());
}

TAudioResult TPulseSoundBackend::Destinations(std::vector<TMixerDestination>& destinations) const {
  TPulseLock lock(loop_);
  destinations = destinations_;
  return TAudioResult::Ok();
}

TAudioResult TPulseSoundBackend::Line(std::uint32_t lineId, TMixerLine& line) const {
  TPulseLock lock(loop_);
  const TLineEntry* entry = FindLine(lineId);
  if (entry == nullptr)
    return TAudioResult::Fail(TAudioResult::kInvalidLine,
                              QStringLiteral("The sound device of this line is not present."));
  line = entry->Line;
  return TAudioResult::Ok();
}

TAudioResult TPulseSoundBackend::Controls(std::uint32_t lineId,
                                          std::vector<TMixerControl>& controls) const {
  TPulseLock lock(loop_);
  const TLineEntry* entry = FindLine(lineId);
  if (entry == nullptr)
    return TAudioResult::Fail(TAudioResult::kInvalidLine,
                              QStringLiteral("The sound device of this line is not present."));
  controls.clear();
  if (entry->Device >= 0) {
    controls.push_back({ControlIdOf(lineId, kMeterControl), kControlPeakMeter,
                        QStringLiteral("Peak Meter"), -32768,
                        static_cast<std::int32_t>(TPulseMeter::kMaximum)});
    controls.push_back({ControlIdOf(lineId, kVolumeControl), kControlVolume,
                        QStringLiteral("Volume"), 0, static_cast<std::int32_t>(kVolumeMaximum)});
  }
  return TAudioResult::Ok();
}

TAudioResult TPulseSoundBackend::Control(std::uint32_t controlId, TMixerControl& control) const {
  if (FindLineControl(*this, controlId, control))
    return TAudioResult::Ok();
  return TAudioResult::Fail(TAudioResult::kInvalidControl,
                            QStringLiteral("The sound device of this control is not present."));
}

const TControlCell* TPulseSoundBackend::AcquireControl(std::uint32_t controlId) {
  TPulseLock lock(loop_);
  const TDevice* device = DeviceOfControl(controlId);
  if (device == nullptr)
    return nullptr;
  TControlEntry& entry = controls_[controlId];
  ++entry.References;
  if (KindOfControl(controlId) == kVolumeControl)
    entry.Cell->Value.store(VolumeValue(device->Volume), std::memory_order_relaxed);
  else if (entry.Meter == nullptr && connected_)
    OpenMeter(entry, *device);
  return entry.Cell.get();
}

void TPulseSoundBackend::ReleaseControl(std::uint32_t controlId) {
  TPulseLock lock(loop_);
  const auto it = controls_.find(controlId);
  if (it != controls_.end() && --it->second.References <= 0)
    CloseMeter(it->second);
}

TAudioResult TPulseSoundBackend::WriteControl(std::uint32_t controlId, std::uint32_t value) {
  TPulseLock lock(loop_);
  if (!connected_)
    return TAudioResult::Fail(TAudioResult::kError,
                              QStringLiteral("The sound server is not connected."));
  const TDevice* device = DeviceOfControl(controlId);
  if (device == nullptr)
    return TAudioResult::Fail(TAudioResult::kInvalidControl,
                              QStringLiteral("The sound device of this control is not present."));
  if (KindOfControl(controlId) != kVolumeControl)
    return TAudioResult::Fail(TAudioResult::kNotSupported, QString());
  value = std::min(value, kVolumeMaximum);
  const pa_volume_t volume = pa_sw_volume_from_linear(static_cast<double>(value) / kVolumeMaximum);
  pa_cvolume volumes;
  pa_cvolume_set(&volumes, device->ChannelMap.channels, volume);
  const QByteArray name = device->Name.toUtf8();
  pa_operation* operation = device->IsSink
                                ? pa_context_set_sink_volume_by_name(context_, name.constData(),
                                                                     &volumes, nullptr, nullptr)
                                : pa_context_set_source_volume_by_name(context_, name.constData(),
                                                                       &volumes, nullptr, nullptr);
  if (operation == nullptr)
    return TAudioResult::Fail(TAudioResult::kError,
                              QString::fromUtf8(pa_strerror(pa_context_errno(context_))));
  pa_operation_unref(operation);
  writtenVolumes_[controlId] = volume;
  if (const auto it = controls_.find(controlId); it != controls_.end())
    it->second.Cell->Value.store(value, std::memory_order_relaxed);
  return TAudioResult::Ok();
}

TAudioResult TPulseSoundBackend::OpenCapture(const TPcmFormat& format, int blockBytes,
                                             TCaptureSink& sink,
                                             std::unique_ptr<TAudioStream>& stream) {
  pa_sample_spec sampleFormat{};
  if (!PulseSampleSpec(format, sampleFormat) || format.SampleRate < 1000 ||
      blockBytes < format.FrameBytes())
    return TAudioResult::Fail(TAudioResult::kBadFormat, QString());
  TPulseLock lock(loop_);
  if (capture_ != nullptr)
    return TAudioResult::Fail(TAudioResult::kAllocated, QString());
  auto capture = std::make_unique<TPulseCapture>(*this, sampleFormat, blockBytes, sink);
  capture_ = capture.get();
  if (connected_)
    capture_->Connect(context_);
  stream = std::move(capture);
  return TAudioResult::Ok();
}

TAudioResult TPulseSoundBackend::OpenPlayback(const TPcmFormat& format, int bufferBytes,
                                              TPlaybackSource& source,
                                              std::unique_ptr<TAudioStream>& stream) {
  pa_sample_spec sampleFormat{};
  if (!PulseSampleSpec(format, sampleFormat) || bufferBytes < format.FrameBytes())
    return TAudioResult::Fail(TAudioResult::kBadFormat, QString());
  auto playback = std::make_unique<TPulsePlayback>(*this, sampleFormat, bufferBytes, source);
  TAudioResult result;
  {
    TPulseLock lock(loop_);
    if (!connected_)
      return TAudioResult::Fail(TAudioResult::kError,
                                QStringLiteral("The sound server is not connected."));
    if (playback_ != nullptr)
      return TAudioResult::Fail(TAudioResult::kAllocated, QString());
    playback_ = playback.get();
    result = playback->Open(context_, DefaultSink());
  }
  // A stream that did not open is destroyed without the lock held, which its destructor takes.
  if (!result.Failed())
    stream = std::move(playback);
  return result;
}

}  // namespace tarvok
