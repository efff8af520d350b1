// The sound cards the kernel knows, read from /proc/asound: each card's id (the name that stays the
// same when card numbers change at boot), its name, and whether it has capture and playback
// devices.
#pragma once

#include <QString>
#include <vector>

namespace tarvok {

struct TAlsaCard {
  int Number = -1;
  QString Id;    // "Device", "Radio"
  QString Name;  // "USB Audio Device"
  bool Capture = false;
  bool Playback = false;

  friend bool operator==(const TAlsaCard&, const TAlsaCard&) = default;
};

// Cards from the text of /proc/asound/cards, with their streams from that of /proc/asound/pcm.
std::vector<TAlsaCard> ParseAlsaCards(const QString& cardsText, const QString& pcmText);
// The cards of this machine; none where there is no sound driver.
std::vector<TAlsaCard> ReadAlsaCards();
// "Device (USB Audio Device): capture and playback"
QString DescribeAlsaCard(const TAlsaCard& card);

// The ALSA device a station takes when no sound server answers: the one card with both capture and
// playback ("plughw:CARD=Device"), or none when there is no such card or more than one. Why is
// for the user, either way.
struct TAlsaChoice {
  QString Device;
  QString Why;
};
TAlsaChoice ChooseAlsaCard(const std::vector<TAlsaCard>& cards);

}  // namespace tarvok
