// One station put together on this machine, the same for the window and the service: the station
// folder and its single-instance guard, the settings, the sound system chosen by name (see
// CreateSoundSystem), and the transmitter keyed through the serial port with its guard process,
// behind the virtual card's tap that logs the keying beside the transmitted audio. Parts are
// created in that order and end in the reverse one.
#pragma once

#include <QString>
#include <memory>

#include "core/station/station_runtime.h"

namespace tarvok {

class TClock;
class TConfig;
class TInstanceGuard;
class TKeyingTap;
class TSerialKeyingPort;
class TTransmitter;
class TQueuedMessages;
class TUserMessages;

struct TStationOptions {
  QString Home;         // the station folder
  QString SoundSystem;  // a name for CreateSoundSystem; empty chooses
  TStationRole Role = TStationRole::Window;
};

class TStationAssembly {
 public:
  // Exit codes of a station that could not be put together; the user has been told why.
  static constexpr int kNoFolder = 1;
  static constexpr int kNoSoundSystem = 2;
  static constexpr int kAlreadyRunning = 3;

  // Builds the station, ready to Start. Failures to build it go to messages at once; what the
  // running station reports reaches a window's messages from the event loop.
  TStationAssembly(const TStationOptions& options, const TClock& clock, TUserMessages& messages);
  ~TStationAssembly();
  TStationAssembly(const TStationAssembly&) = delete;
  TStationAssembly& operator=(const TStationAssembly&) = delete;

  // 0 when the station stands, else one of the exit codes above.
  int Failure() const { return failure_; }
  // Valid only when the station stands.
  TStationRuntime& Station() { return *station_; }
  TInstanceGuard& InstanceGuard() { return *instanceGuard_; }
  // Which sound system was chosen, for the user.
  const QString& SoundDescription() const { return soundDescription_; }

 private:
  int failure_ = 0;
  QString soundDescription_;
  std::unique_ptr<TQueuedMessages> queuedMessages_;
  std::unique_ptr<TInstanceGuard> instanceGuard_;
  std::unique_ptr<TSerialKeyingPort> serialPort_;
  std::unique_ptr<TKeyingTap> keyingTap_;
  std::unique_ptr<TConfig> config_;
  std::unique_ptr<TTransmitter> transmitter_;
  std::unique_ptr<TStationRuntime> station_;
};

}  // namespace tarvok
