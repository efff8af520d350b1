#include "app/sound_system.h"

#include <cstdio>

#include "app/console_messages.h"
#include "core/audio/sound_card.h"
#include "core/audio/sound_card_listing.h"
#include "platform/pulse/pulse_sound_backend.h"
#include "platform/virtual/virtual_sound_backend.h"

namespace tarvok {

namespace {

constexpr int kConnectTimeoutMs = 3000;
const QLatin1String kVirtualWithScenario("virtual:");

TSoundSystem Virtual(const QString& scenarioPath, const QString& stationFolder) {
  TSoundSystem system;
  TScenario scenario;
  QString error;
  if (!scenarioPath.isEmpty() && !TScenario::Load(scenarioPath, scenario, error))
    system.Errors << error + QStringLiteral("; the virtual sound card stays silent.");
  std::shared_ptr<TTransmitterRecorder> transmitter;
  if (!stationFolder.isEmpty()) {
    transmitter = std::make_shared<TTransmitterRecorder>(stationFolder, TScenario::kSampleRate);
    if (!transmitter->Error().isEmpty())
      system.Errors << transmitter->Error();
    system.TransmitterKeyed = [transmitter](bool keyed) { transmitter->SetKeyed(keyed); };
  }
  auto backend = std::make_unique<TVirtualSoundBackend>(std::move(scenario), transmitter);
  backend->StartRealTime();
  system.Backend = std::move(backend);
  system.Description =
      scenarioPath.isEmpty()
          ? QStringLiteral("the virtual sound card")
          : QStringLiteral("the virtual sound card with scenario %1").arg(scenarioPath);
  return system;
}

}  // namespace

TSoundSystem CreateSoundSystem(const QString& name, const QString& stationFolder) {
  if (name == QLatin1String("virtual"))
    return Virtual(QString(), stationFolder);
  if (name.startsWith(kVirtualWithScenario))
    return Virtual(name.mid(kVirtualWithScenario.size()), stationFolder);
  if (name.isEmpty() || name == QLatin1String("pulse")) {
    auto pulse = std::make_unique<TPulseSoundBackend>();
    const bool ready = pulse->WaitUntilReady(kConnectTimeoutMs);
    if (ready || !name.isEmpty()) {
      // Not reachable yet: the back end says so and keeps trying.
      TSoundSystem system;
      system.Backend = std::move(pulse);
      system.Description = QStringLiteral("the PulseAudio server");
      system.Connected = ready;
      return system;
    }
    TSoundSystem system = Virtual(QString(), stationFolder);
    system.Description += QStringLiteral(" (no sound server is reachable)");
    return system;
  }
  TSoundSystem unknown;
  unknown.Errors << QStringLiteral(
                        "Unknown sound system \"%1\"; valid names are pulse, virtual and "
                        "virtual:SCENARIO.")
                        .arg(name);
  unknown.Connected = false;
  return unknown;
}

int ListAudio(const QString& name) {
  TConsoleMessages messages;
  TSoundSystem system = CreateSoundSystem(name);
  for (const QString& error : system.Errors)
    messages.ShowError(error);
  if (!system.Backend)
    return 2;
  if (!system.Connected) {
    messages.ShowError(QStringLiteral("Cannot connect to the sound server."));
    return 1;
  }
  std::printf("Sound system: %s\n", system.Description.toLocal8Bit().constData());
  TSoundCard card(std::move(system.Backend));
  for (const QString& line : DescribeSoundCard(card))
    std::printf("%s\n", line.toLocal8Bit().constData());
  return 0;
}

}  // namespace tarvok
