#include "platform/station_assembly.h"

#include <QDir>

#include "core/common/user_messages.h"
#include "core/config/config.h"
#include "core/station/transmitter.h"
#include "platform/instance_guard.h"
#include "platform/keying_tap.h"
#include "platform/serial_keying_port.h"
#include "platform/sound_system.h"

namespace tarvok {

TStationAssembly::TStationAssembly(const TStationOptions& options, const TClock& clock,
                                   TUserMessages& messages) {
  const TStationFolder folder(options.Home);
  if (!QDir().mkpath(folder.Path())) {
    messages.ShowError(QStringLiteral("Cannot create the station folder %1").arg(folder.Path()));
    failure_ = kNoFolder;
    return;
  }
  instanceGuard_ = std::make_unique<TInstanceGuard>(folder.Path());
  if (instanceGuard_->Acquire() != TInstanceGuard::TResult::First) {
    messages.ShowError(instanceGuard_->Message());
    failure_ = kAlreadyRunning;
    return;
  }
  // A window's message box waits for the user: it must not open inside a transition of the
  // running station. The failures below come before there is one, and are told at once.
  if (options.Role == TStationRole::Window)
    queuedMessages_ = std::make_unique<TQueuedMessages>(messages);
  TUserMessages& stationMessages = queuedMessages_ ? *queuedMessages_ : messages;
  // The settings come first: they name the PC audio's device on ALSA.
  config_ = std::make_unique<TConfig>(folder, clock, stationMessages);
  TSoundSystem sound =
      CreateSoundSystem(options.SoundSystem, folder.Path(), config_->AlsaPCAudioDevice());
  for (const QString& error : sound.Errors)
    messages.ShowError(error);
  if (!sound.Backend) {
    failure_ = kNoSoundSystem;
    return;
  }
  soundDescription_ = sound.Description;
  serialPort_ = std::make_unique<TSerialKeyingPort>();
  keyingTap_ = std::make_unique<TKeyingTap>(*serialPort_, std::move(sound.TransmitterKeyed));
  transmitter_ = std::make_unique<TTransmitter>(*config_, clock, *keyingTap_, stationMessages);
  // The transmitter starts released; a port that cannot be opened is reported now.
  transmitter_->Key(false);
  station_ = std::make_unique<TStationRuntime>(*config_, clock, std::move(sound.Backend),
                                               *transmitter_, stationMessages, options.Role);
}

TStationAssembly::~TStationAssembly() = default;

}  // namespace tarvok
