// The sound card of a PulseAudio server (also PipeWire's PulseAudio server), through libpulse.
//
// One mixer device, the server. Each sink is a playback destination whose peak meter is its
// monitor (what the PC plays) and whose volume is the sink's; one destination "Recording Control"
// holds the sources (monitors excluded) as recording lines. Lines are known by the device's name,
// never its index, so a line keeps its ID and its bound controls when the device comes back.
//
// Peak meters are record streams whose peak the station takes per 10 ms (pulse_meter.h), opened
// only while a meter is acquired. Volume
// changes from other programs arrive through the server's subscription. When the server goes away
// the meters fall silent, the station is told once, and a retry timer reconnects.
#pragma once

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>

#include <QTimer>
#include <atomic>
#include <functional>
#include <map>
#include <memory>

#include "core/audio/sound_backend.h"

namespace tarvok {

class TPulseCapture;
class TPulseMeter;
class TPulsePlayback;

class TPulseSoundBackend final : public TSoundBackend {
 public:
  static constexpr int kRetryMs = 1000;

  TPulseSoundBackend();
  ~TPulseSoundBackend() override;

  // Waits until the first connection attempt has succeeded, with the device lists read, or
  // failed; true when connected.
  bool WaitUntilReady(int timeoutMs);

  int DeviceCount() const override { return 1; }
  QString DeviceName(int index) const override;
  TAudioResult OpenMixer(int index) override;
  TAudioResult Destinations(std::vector<TMixerDestination>& destinations) const override;
  TAudioResult Line(std::uint32_t lineId, TMixerLine& line) const override;
  TAudioResult Controls(std::uint32_t lineId, std::vector<TMixerControl>& controls) const override;
  TAudioResult Control(std::uint32_t controlId, TMixerControl& control) const override;
  const TControlCell* AcquireControl(std::uint32_t controlId) override;
  void ReleaseControl(std::uint32_t controlId) override;
  TAudioResult WriteControl(std::uint32_t controlId, std::uint32_t value) override;
  TAudioResult OpenCapture(const TPcmFormat& format, int blockBytes, TCaptureSink& sink,
                           std::unique_ptr<TAudioStream>& stream) override;
  // Plays on the sink that is the default at this moment, and never on another one.
  TAudioResult OpenPlayback(const TPcmFormat& format, int bufferBytes, TPlaybackSource& source,
                            std::unique_ptr<TAudioStream>& stream) override;
  bool ServerLost() const override { return serverLost_.load(); }

 private:
  friend class TPulseCapture;
  friend class TPulsePlayback;

  struct TDevice {
    bool IsSink = false;
    QString Name;
    QString Description;
    QString MeterSource;  // the monitor of a sink, the source itself otherwise
    QString FormFactor;
    pa_channel_map ChannelMap{};
    std::uint32_t SampleRate = 0;
    pa_volume_t Volume = PA_VOLUME_MUTED;
  };
  struct TLineEntry {
    TMixerLine Line;
    int Device = -1;  // index in devices_; -1 for "Recording Control"
  };
  struct TControlEntry {
    std::unique_ptr<TControlCell> Cell = std::make_unique<TControlCell>();
    int References = 0;
    std::unique_ptr<TPulseMeter> Meter;
  };

  // Everything below runs with the main loop's lock held.
  void Connect();
  void DropContext();
  void StartListing();
  void ApplyListing();
  void BuildLines();
  void UpdateVolumes(const std::vector<TDevice>& before);
  void UpdateMeters();
  void OpenMeter(TControlEntry& entry, const TDevice& device);
  void CloseMeter(TControlEntry& entry);
  void ConnectionLost(const QString& reason);
  std::uint32_t LineIdFor(const QString& key);
  const TLineEntry* FindLine(std::uint32_t lineId) const;
  const TDevice* DeviceOfControl(std::uint32_t controlId) const;
  // Asks the server which sink is the default now.
  QString DefaultSink();
  // Runs on the main thread later.
  void Post(std::function<void()> work);
  // Main thread.
  void Reconnect();
  void ReportLoss(const QString& message);

  static void ContextState(pa_context* context, void* self);
  static void ContextEvent(pa_context*, pa_subscription_event_type_t, std::uint32_t, void* self);
  static void ServerInfo(pa_context*, const pa_server_info* info, void* self);
  static void SinkInfo(pa_context*, const pa_sink_info* info, int eol, void* self);
  static void SourceInfo(pa_context*, const pa_source_info* info, int eol, void* self);

  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  bool connected_ = false;
  QString serverName_;
  QString defaultSink_;
  QString defaultSource_;

  int listingsPending_ = 0;
  bool listAgain_ = false;
  std::vector<TDevice> devices_;
  std::vector<TDevice> newDevices_;
  std::map<std::uint32_t, pa_volume_t> writtenVolumes_;  // by control ID

  std::map<QString, std::uint32_t> lineIds_;
  std::vector<TLineEntry> lines_;
  std::vector<TMixerDestination> destinations_;
  std::map<std::uint32_t, TControlEntry> controls_;
  TPulseCapture* capture_ = nullptr;
  // The last capture's stream, kept running (its audio dropped) when it closed: the next capture in
  // the same format takes it over and hears at once, where PipeWire needs a while to link a new
  // stream, and a corked one may not come back.
  struct TStandbyCapture {
    pa_stream* Stream = nullptr;
    pa_sample_spec Format{};
    std::uint32_t FragmentBytes = 0;
  } standby_;
  TPulsePlayback* playback_ = nullptr;

  // The first connection attempt has succeeded or failed, for WaitUntilReady.
  std::atomic<bool> attemptDecided_{false};
  std::atomic<bool> serverLost_{false};

  // Main thread.
  QTimer retryTimer_;
  bool lossReported_ = false;
};

}  // namespace tarvok
