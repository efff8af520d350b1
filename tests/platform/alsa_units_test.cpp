// The parts of the ALSA back end that need no device: the card listing read from /proc/asound, the
// card a station takes without a sound server, and what each error code makes the station do.
#include <gtest/gtest.h>

#include <cerrno>

#include "platform/alsa/alsa_card_list.h"
#include "platform/alsa/alsa_fault.h"
#include "platform/alsa/alsa_mixer.h"

namespace tarvok {
namespace {

// A Raspberry Pi 4 with a USB sound card: the on-board cards only play.
const QString kPiCards = QStringLiteral(
    " 0 [Headphones     ]: bcm2835_headpho - bcm2835 Headphones\n"
    "                      bcm2835 Headphones\n"
    " 1 [vc4hdmi0       ]: vc4-hdmi - vc4-hdmi-0\n"
    "                      vc4-hdmi-0\n"
    " 2 [Radio          ]: USB-Audio - USB Audio Device\n"
    "                      C-Media Electronics Inc. USB Audio Device at usb-0000:01:00.0-1.3, "
    "full speed\n");
const QString kPiPcm = QStringLiteral(
    "00-00: bcm2835 Headphones : bcm2835 Headphones : playback 8\n"
    "01-00: MAI PCM i2s-hifi-0 : MAI PCM i2s-hifi-0 : playback 1\n"
    "02-00: USB Audio : USB Audio : playback 1 : capture 1\n");

TEST(AlsaCardListTest, CardsAreReadWithTheirIdsNamesAndStreams) {
  const std::vector<TAlsaCard> cards = ParseAlsaCards(kPiCards, kPiPcm);
  ASSERT_EQ(cards.size(), 3u);
  EXPECT_EQ(cards[0], (TAlsaCard{0, "Headphones", "bcm2835 Headphones", false, true}));
  EXPECT_EQ(cards[1], (TAlsaCard{1, "vc4hdmi0", "vc4-hdmi-0", false, true}));
  EXPECT_EQ(cards[2], (TAlsaCard{2, "Radio", "USB Audio Device", true, true}));
  EXPECT_EQ(DescribeAlsaCard(cards[2]), "Radio (USB Audio Device): capture and playback");
  EXPECT_EQ(DescribeAlsaCard(cards[0]), "Headphones (bcm2835 Headphones): playback only");
  // A machine without sound cards, and one without a sound driver at all.
  EXPECT_TRUE(ParseAlsaCards("--- no soundcards ---\n", "").empty());
  EXPECT_TRUE(ParseAlsaCards("", "").empty());
}

TEST(AlsaCardListTest, WithoutAServerTheOnlyCardWithCaptureAndPlaybackIsTaken) {
  const TAlsaChoice pi = ChooseAlsaCard(ParseAlsaCards(kPiCards, kPiPcm));
  EXPECT_EQ(pi.Device, "plughw:CARD=Radio");
  EXPECT_EQ(pi.Why,
            "no sound server is reachable; Radio is the only card with capture and playback");

  const TAlsaChoice none = ChooseAlsaCard({});
  EXPECT_EQ(none.Device, "");
  EXPECT_EQ(none.Why, "no sound server is reachable and there are no sound cards");

  // Two USB cards: the station cannot know which one the radio is on, and names them.
  const QString twoCards =
      kPiCards + QStringLiteral(" 3 [Device         ]: USB-Audio - USB PnP Sound Device\n");
  const QString twoPcm =
      kPiPcm + QStringLiteral("03-00: USB Audio : USB Audio : playback 1 : capture 1\n");
  const TAlsaChoice two = ChooseAlsaCard(ParseAlsaCards(twoCards, twoPcm));
  EXPECT_EQ(two.Device, "");
  EXPECT_TRUE(two.Why.contains("2 sound cards have capture and playback")) << two.Why.toStdString();
  EXPECT_TRUE(two.Why.contains("Radio (USB Audio Device): capture and playback"));
  EXPECT_TRUE(two.Why.contains("Device (USB PnP Sound Device): capture and playback"));
  EXPECT_TRUE(two.Why.contains("--audio alsa:plughw:CARD=ID"));

  // A Pi's on-board cards alone have no capture.
  const TAlsaChoice playOnly = ChooseAlsaCard(ParseAlsaCards(kPiCards.section('\n', 0, 3), kPiPcm));
  EXPECT_EQ(playOnly.Device, "");
  EXPECT_TRUE(playOnly.Why.contains("0 sound cards have capture and playback"));
}

TEST(AlsaFaultTest, EachErrorCodeHasItsAction) {
  EXPECT_EQ(AlsaFaultOf(0), TAlsaFault::None);
  EXPECT_EQ(AlsaFaultOf(-EAGAIN), TAlsaFault::Wait);
  EXPECT_EQ(AlsaFaultOf(-EPIPE), TAlsaFault::Xrun);
  EXPECT_EQ(AlsaFaultOf(-EBUSY), TAlsaFault::Busy);
  for (const int gone : {ENODEV, EBADFD, ESTRPIPE, EIO})
    EXPECT_EQ(AlsaFaultOf(-gone), TAlsaFault::Gone) << gone;
  EXPECT_EQ(AlsaFaultOf(-ENOENT), TAlsaFault::Missing);
  EXPECT_EQ(AlsaFaultOf(-ENXIO), TAlsaFault::Missing);
  EXPECT_EQ(AlsaFaultOf(-EINVAL), TAlsaFault::Failed);

  EXPECT_EQ(AlsaOpenFailure("plughw:CARD=Radio", -EBUSY),
            "The sound device plughw:CARD=Radio is in use by another program");
  EXPECT_EQ(AlsaOpenFailure("hw:CARD=Nope", -ENODEV),
            "There is no sound device hw:CARD=Nope (tarvok --list-audio --audio alsa lists them)");
  EXPECT_EQ(AlsaOpenFailure("pulse", -EINVAL),
            "Cannot open the sound device pulse: Invalid argument");
}

TEST(AlsaMixerTest, TheMixerOfAHardwareDeviceIsItsCard) {
  EXPECT_EQ(TAlsaMixer::MixerNameOf("plughw:CARD=Radio,DEV=0"), "hw:CARD=Radio");
  EXPECT_EQ(TAlsaMixer::MixerNameOf("hw:Radio"), "hw:CARD=Radio");
  EXPECT_EQ(TAlsaMixer::MixerNameOf("pulse"), "pulse");
  EXPECT_EQ(TAlsaMixer::MixerNameOf("default"), "default");
}

}  // namespace
}  // namespace tarvok
