#include "platform/alsa/alsa_card_list.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace tarvok {

namespace {

QString ReadText(const char* path) {
  QFile file(QString::fromLatin1(path));
  // Files of /proc have no size: they are read to their end.
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

std::vector<TAlsaCard> ParseAlsaCards(const QString& cardsText, const QString& pcmText) {
  // " 1 [Device         ]: USB-Audio - USB Audio Device"
  static const QRegularExpression cardLine(
      QStringLiteral(R"(^\s*(\d+)\s+\[(\S+)\s*\]:\s*\S+\s+-\s+(.*\S)\s*$)"));
  // "01-00: USB Audio : USB Audio : playback 1 : capture 1"
  static const QRegularExpression pcmLine(QStringLiteral(R"(^(\d+)-\d+:)"));
  std::vector<TAlsaCard> cards;
  for (const QString& line : cardsText.split(QLatin1Char('\n'))) {
    const QRegularExpressionMatch m = cardLine.match(line);
    if (m.hasMatch())
      cards.push_back({m.captured(1).toInt(), m.captured(2), m.captured(3)});
  }
  for (const QString& line : pcmText.split(QLatin1Char('\n'))) {
    const QRegularExpressionMatch m = pcmLine.match(line);
    if (!m.hasMatch())
      continue;
    for (TAlsaCard& card : cards) {
      if (card.Number != m.captured(1).toInt())
        continue;
      card.Playback = card.Playback || line.contains(QLatin1String(": playback "));
      card.Capture = card.Capture || line.contains(QLatin1String(": capture "));
    }
  }
  return cards;
}

std::vector<TAlsaCard> ReadAlsaCards() {
  return ParseAlsaCards(ReadText("/proc/asound/cards"), ReadText("/proc/asound/pcm"));
}

QString DescribeAlsaCard(const TAlsaCard& card) {
  const QString streams = card.Capture && card.Playback ? QStringLiteral("capture and playback")
                          : card.Capture                ? QStringLiteral("capture only")
                          : card.Playback               ? QStringLiteral("playback only")
                                                        : QStringLiteral("no PCM devices");
  return QStringLiteral("%1 (%2): %3").arg(card.Id, card.Name, streams);
}

TAlsaChoice ChooseAlsaCard(const std::vector<TAlsaCard>& cards) {
  if (cards.empty())
    return {{}, QStringLiteral("no sound server is reachable and there are no sound cards")};
  std::vector<const TAlsaCard*> full;
  QStringList names;
  for (const TAlsaCard& card : cards) {
    names << DescribeAlsaCard(card);
    if (card.Capture && card.Playback)
      full.push_back(&card);
  }
  if (full.size() == 1)
    return {QStringLiteral("plughw:CARD=") + full.front()->Id,
            QStringLiteral("no sound server is reachable; %1 is the only card with capture and "
                           "playback")
                .arg(full.front()->Id)};
  return {{},
          QStringLiteral("no sound server is reachable and %1 sound cards have capture and "
                         "playback (%2); choose one with --audio alsa:plughw:CARD=ID")
              .arg(full.size())
              .arg(names.join(QLatin1String("; ")))};
}

}  // namespace tarvok
