#include "app/sound_system.h"

#include <cstdio>

#include "core/audio/sound_card.h"
#include "core/audio/sound_card_listing.h"
#include "platform/pulse/pulse_sound_backend.h"
#include "platform/virtual/virtual_sound_backend.h"

namespace tarvok {

namespace {

constexpr int kConnectTimeoutMs = 3000;

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
  if (name.startsWith(QLatin1String("virtual:")))
    return Virtual(name.mid(8), stationFolder);
  if (name.isEmpty() || name == QLatin1String("pulse")) {
    auto pulse = std::make_unique<TPulseSoundBackend>();
    const bool ready = pulse->WaitUntilReady(kConnectTimeoutMs);
    if (ready || !name.isEmpty()) {
      // Not reachable yet: the back end says so and keeps trying.
      return {std::move(pulse), QStringLiteral("the PulseAudio server"), {}, ready, {}};
    }
    TSoundSystem system = Virtual(QString(), stationFolder);
    system.Description += QStringLiteral(" (no sound server is reachable)");
    return system;
  }
  return {nullptr,
          {},
          {QStringLiteral("Unknown sound system \"%1\"; valid names are pulse, virtual and "
                          "virtual:SCENARIO.")
               .arg(name)},
          false,
          {}};
}

int ListAudio(const QString& name) {
  TSoundSystem system = CreateSoundSystem(name);
  for (const QString& error : system.Errors)
    std::fprintf(stderr, "tarvok: %s\n", error.toLocal8Bit().constData());
  if (!system.Backend)
    return 2;
  if (!system.Connected) {
    std::fprintf(stderr, "tarvok: Cannot connect to the sound server.\n");
    return 1;
  }
  std::printf("Sound system: %s\n", system.Description.toLocal8Bit().constData());
  TSoundCard card(std::move(system.Backend));
  for (const QString& line : DescribeSoundCard(card))
    std::printf("%s\n", line.toLocal8Bit().constData());
  return 0;
}

}  // namespace tarvok
