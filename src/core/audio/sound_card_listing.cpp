#include "core/audio/sound_card_listing.h"

#include <cmath>

#include "core/audio/sound_card.h"
#include "core/common/level_conversion.h"

namespace tarvok {

QString SourceEntryText(const TSoundCard& card, int lineIndex) {
  const bool source =
      (static_cast<std::uint32_t>(card.LineFlags().Items(lineIndex)) & kLineSource) != 0;
  return QLatin1String(source ? "src:" : "DST:") +
         QLatin1String(card.LinePlayback().Items(lineIndex) ? "out: " : "rec: ") +
         card.LineNames()[lineIndex];
}

namespace {

QString DescribeControl(const TSoundCard& card, int i) {
  const auto type = static_cast<std::uint32_t>(card.ControlTypes().Items(i));
  const QString name = card.ControlNames()[i];
  if (card.ControlRanges().Items(i) != 0) {
    const int max = card.ControlMaxs().Items(i);
    return QStringLiteral("%1: meter, maximum %2 (0-%3 dB)")
        .arg(name)
        .arg(max)
        .arg(std::lround(LevelToDecibels(max)));
  }
  return type == kControlVolume ? name + QStringLiteral(": volume") : name;
}

}  // namespace

QStringList DescribeSoundCard(TSoundCard& card) {
  QStringList lines;
  const int current = card.DeviceIndex();
  for (int device = 0; device < card.DeviceCount(); ++device) {
    card.SetDeviceIndex(device);
    lines << QStringLiteral("Mixer device %1: %2").arg(device).arg(card.DeviceName(device));
    if (card.LineCount() == 0)
      lines << QStringLiteral("  (no lines)");
    for (int i = 0; i < card.LineCount(); ++i) {
      QString entry = QStringLiteral("  %1  %2").arg(i, 2).arg(SourceEntryText(card, i));
      const QString& key = card.LineKeys()[i];
      if (key != card.LineNames()[i])
        entry += QStringLiteral("  [%1]").arg(key);
      lines << entry;
      card.EnumerateControls(i);
      for (int c = 0; c < card.ControlIDs().Count(); ++c)
        lines << QStringLiteral("        ") + DescribeControl(card, c);
    }
  }
  if (card.DeviceCount() == 0)
    lines << QStringLiteral("No mixer device");
  if (current >= 0 && current != card.DeviceIndex())
    card.SetDeviceIndex(current);
  return lines;
}

}  // namespace tarvok
