#include "app/list_audio.h"

#include <cstdio>

#include "app/console_messages.h"
#include "core/audio/sound_card.h"
#include "core/audio/sound_card_listing.h"
#include "platform/sound_system.h"

namespace tarvok {

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
  for (const QString& line : DescribeSoundCard(card) + system.Inventory)
    std::printf("%s\n", line.toLocal8Bit().constData());
  return 0;
}

}  // namespace tarvok
