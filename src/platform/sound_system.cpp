#include "platform/sound_system.h"

#include "platform/alsa/alsa_card_list.h"
#include "platform/alsa/alsa_inventory.h"
#include "platform/alsa/alsa_sound_backend.h"
#include "platform/pulse/pulse_sound_backend.h"
#include "platform/virtual/virtual_sound_backend.h"

namespace tarvok {

namespace {

constexpr int kConnectTimeoutMs = 3000;
const QLatin1String kVirtualWithScenario("virtual:");
const QLatin1String kAlsaWithDevice("alsa:");

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

TSoundSystem Alsa(const QString& device, const QString& pcAudioDevice) {
  TSoundSystem system;
  system.Backend = std::make_unique<TAlsaSoundBackend>(device, pcAudioDevice);
  system.Description = QStringLiteral("the ALSA device %1").arg(device);
  if (!pcAudioDevice.isEmpty())
    system.Description += QStringLiteral(", PC audio from %1").arg(pcAudioDevice);
  system.Inventory = AlsaInventory();
  return system;
}

}  // namespace

TSoundSystem CreateSoundSystem(const QString& name, const QString& stationFolder,
                               const QString& pcAudioDevice) {
  if (name == QLatin1String("alsa"))
    return Alsa(QStringLiteral("default"), pcAudioDevice);
  if (name.startsWith(kAlsaWithDevice) && name.size() > kAlsaWithDevice.size())
    return Alsa(name.mid(kAlsaWithDevice.size()), pcAudioDevice);
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
    const TAlsaChoice choice = ChooseAlsaCard(ReadAlsaCards());
    TSoundSystem system = choice.Device.isEmpty() ? Virtual(QString(), stationFolder)
                                                  : Alsa(choice.Device, pcAudioDevice);
    system.Description += QStringLiteral(" (%1)").arg(choice.Why);
    return system;
  }
  TSoundSystem unknown;
  unknown.Errors << QStringLiteral(
                        "Unknown sound system \"%1\"; valid names are pulse, alsa, alsa:DEVICE, "
                        "virtual and virtual:SCENARIO.")
                        .arg(name);
  unknown.Connected = false;
  return unknown;
}

}  // namespace tarvok
