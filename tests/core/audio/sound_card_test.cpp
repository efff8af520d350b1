// The sound card over a back end: line and control lists, binding, reads and writes, error
// messages, change notifications and the capture stream.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/audio/sound_card.h"
#include "core/audio/sound_card_listing.h"
#include "core/audio/source_line_store.h"
#include "core/storage/ini_file.h"
#include "support/fake_sound_backend.h"

namespace tarvok {
namespace {

class SoundCardTest : public ::testing::Test {
 protected:
  SoundCardTest() {
    // Speakers (Wave Out, Line In), Recording Control (Microphone), a record-named destination.
    backend_->AddLine(1, kDestinationSpeakers, "Speakers", false, {Volume(10), PeakMeter(11)});
    backend_->AddLine(2, kSourceWaveOut, "Wave Out", true, {PeakMeter(20), Volume(21)});
    backend_->AddLine(3, kSourceLineLevel, "Line In", true, {PeakMeter(30)});
    backend_->AddLine(4, kDestinationWaveIn, "Recording Control", false);
    backend_->AddLine(5, kSourceMicrophone, "Microphone", true,
                      {{50, kControlUnsignedMeter, "Meter", 0, 65535}, Volume(51)});
    backend_->AddLine(6, 9, "Wave rec mix", false);
    backend_->AddLine(7, 4, "Odd source", true);
  }

  TSoundCard& Card() {
    if (!card_) {
      card_ = std::make_unique<TSoundCard>(std::unique_ptr<TSoundBackend>(backend_));
      QObject::connect(card_.get(), &TSoundCard::Error,
                       [this](const QString& m) { errors_.push_back(m); });
    }
    return *card_;
  }

  TFakeSoundBackend* backend_ = new TFakeSoundBackend;  // owned by the card once it exists
  std::unique_ptr<TSoundCard> card_;
  QStringList errors_;
};

TEST_F(SoundCardTest, ListsDestinationsEachFollowedByItsSourcesWithThePlaybackFlag) {
  TSoundCard& card = Card();
  EXPECT_EQ(card.LineNames(), (QStringList{"Speakers", "Wave Out", "Line In", "Recording Control",
                                           "Microphone", "Wave rec mix", "Odd source"}));
  EXPECT_EQ(card.LineTypes(), (QStringList{"Speakers", "Wave Out", "Line Level", "Wave Input",
                                           "Microphone", "NOT VALID", "NOT VALID"}));
  // A destination whose name contains "rec" in any case is a recording destination, with its
  // sources; every other destination and its sources are playback.
  const std::vector<bool> playback{true, true, true, false, false, false, false};
  for (int i = 0; i < card.LineCount(); ++i)
    EXPECT_EQ(card.LinePlayback().Items(i), playback[i]) << i;
  EXPECT_EQ(card.LineIDs().Items(4), 5);
  EXPECT_EQ(static_cast<std::uint32_t>(card.LineFlags().Items(1)), kLineSource | kLineActive);
  EXPECT_EQ(card.LineKeys()[2], "Line In-key");
  EXPECT_EQ(SourceEntryText(card, 0), "DST:out: Speakers");
  EXPECT_EQ(SourceEntryText(card, 4), "src:rec: Microphone");
}

TEST_F(SoundCardTest, ControlListsDescribeMetersAndAreReadOncePerLine) {
  TSoundCard& card = Card();
  EXPECT_EQ(card.FindControl(0, kControlPeakMeter), 1);
  EXPECT_EQ(card.FindControl(0, kControlVolume), 0);
  EXPECT_EQ(card.ControlNames(), (QStringList{"Volume", "Peak Meter"}));
  EXPECT_FALSE(card.ControlSigned().Items(0));
  EXPECT_EQ(card.ControlRanges().Items(0), 0);
  EXPECT_TRUE(card.ControlSigned().Items(1));
  EXPECT_EQ(card.ControlMins().Items(1), -32768);
  EXPECT_EQ(card.ControlMaxs().Items(1), 32767);
  EXPECT_EQ(card.ControlRanges().Items(1), 65535);
  EXPECT_EQ(backend_->ControlQueries, 1);
  card.EnumerateControls(4);
  EXPECT_FALSE(card.ControlSigned().Items(0));  // unsigned meter
  EXPECT_EQ(card.ControlMaxs().Items(0), 65535);
  EXPECT_EQ(card.FindControl(2, kControlVolume), -1);
  EXPECT_EQ(card.FindControl(99, kControlVolume), -1);
  EXPECT_EQ(card.ControlsLineID(), -1);
}

TEST_F(SoundCardTest, BoundMetersReadTheirCellAndVolumesWriteThrough) {
  TSoundCard& card = Card();
  const int meter = card.AddMixerControl();
  const int volume = card.AddMixerControl();
  ASSERT_TRUE(card.BindMixerControl(meter, 1, card.FindControl(1, kControlPeakMeter), true));
  ASSERT_TRUE(card.BindMixerControl(volume, 1, card.FindControl(1, kControlVolume), false));
  EXPECT_TRUE(card.MixerControls().Items(meter).Active());
  EXPECT_FALSE(card.MixerControls().Items(volume).Active());
  EXPECT_EQ(card.MixerControls().Items(meter).Line().Name, "Wave Out");
  EXPECT_EQ(card.ControlMaximum(meter), 32767u);
  EXPECT_EQ(card.ControlMaximum(volume), 65535u);

  backend_->Cell(20).Value = 1234;
  EXPECT_EQ(card.GetControlValue(meter), 1234u);
  EXPECT_EQ(card.MixerControls().Items(meter).Value(), 1234u);
  card.SetControlValue(volume, 40000);
  EXPECT_EQ(backend_->Written, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{21, 40000}}));
  EXPECT_EQ(card.GetControlValue(volume), 40000u);

  // Rebinding releases what the object held.
  ASSERT_TRUE(card.BindMixerControl(meter, 2, 0, true));
  EXPECT_EQ(backend_->Acquired[20], 0);
  EXPECT_EQ(backend_->Acquired[30], 1);
}

TEST_F(SoundCardTest, AFailedBindingLeavesTheObjectUnboundAndSilent) {
  TSoundCard& card = Card();
  const int object = card.AddMixerControl();
  ASSERT_TRUE(card.BindMixerControl(object, 1, 0, true));
  backend_->Cell(20).Value = 500;
  card.MixerControls().Items(object).SetLevel(77);
  EXPECT_FALSE(card.BindMixerControl(object, 2, 5, true));
  EXPECT_FALSE(card.MixerControls().Items(object).Valid());
  EXPECT_FALSE(card.MixerControls().Items(object).Active());
  EXPECT_EQ(card.MixerControls().Items(object).Level(), 0);
  EXPECT_EQ(card.GetControlValue(object), 0u);
  EXPECT_EQ(card.ControlMaximum(object), 0u);
  EXPECT_FALSE(card.BindMixerControl(object, -1, 0, true));
  EXPECT_FALSE(card.BindMixerControl(7, 1, 0, true));
  EXPECT_EQ(backend_->Acquired[20], 0);
}

TEST_F(SoundCardTest, FailuresAreReportedWithTheMessageOfTheirCode) {
  TSoundCard& card = Card();
  const int volume = card.AddMixerControl();
  ASSERT_TRUE(card.BindMixerControl(volume, 0, 0, false));
  backend_->WriteResult = TAudioResult::Fail(TAudioResult::kInvalidHandle, "ignored");
  card.SetControlValue(volume, 1);
  backend_->WriteResult = TAudioResult::Fail(77, "Connection refused");
  card.SetControlValue(volume, 2);
  backend_->CaptureResult = TAudioResult::Fail(TAudioResult::kBadFormat, "");
  EXPECT_FALSE(card.StartCapture());
  EXPECT_EQ(card.LastResult(), 32);
  card.SetDeviceIndex(3);
  EXPECT_EQ(errors_, (QStringList{"The device handle is invalid.", "Connection refused",
                                  "Attempted to open with an unsupported waveform-audio format.",
                                  "Specified device identifier is out of range."}));
}

TEST_F(SoundCardTest, CaptureDeliversOpenDataAndCloseInThe8000HzFormat) {
  TSoundCard& card = Card();
  std::vector<std::pair<TWaveMessage, std::size_t>> seen;
  card.SetOnWaveData(
      [&](TWaveMessage m, std::span<const std::byte> b) { seen.emplace_back(m, b.size()); });
  ASSERT_TRUE(card.StartCapture());
  EXPECT_EQ(backend_->CaptureFormat, (TPcmFormat{8000, 1, 16}));
  EXPECT_EQ(backend_->CaptureBlockBytes, 4096);
  std::vector<std::byte> block(4096);
  backend_->Capture->Sink.CaptureData(block);
  // Starting again stops the running stream first.
  ASSERT_TRUE(card.StartCapture());
  card.StopCapture();
  EXPECT_FALSE(card.Capturing());
  using M = TWaveMessage;
  EXPECT_EQ(seen, (std::vector<std::pair<M, std::size_t>>{
                      {M::Open, 0}, {M::Data, 4096}, {M::Close, 0}, {M::Open, 0}, {M::Close, 0}}));
}

TEST_F(SoundCardTest, ChangedLinesAreListedAgainAndBoundObjectsKeepTheirDevice) {
  TSoundCard& card = Card();
  const int meter = card.AddMixerControl();
  ASSERT_TRUE(card.BindMixerControl(meter, 2, 0, true));
  int changes = 0;
  QObject::connect(&card, &TSoundCard::LinesChanged, [&] { ++changes; });
  std::vector<std::uint32_t> controlChanges;
  QObject::connect(&card, &TSoundCard::ControlChanged,
                   [&](quint32 id) { controlChanges.push_back(id); });
  // A new device before the others moves every index.
  backend_->Layout.insert(
      backend_->Layout.begin(),
      TMixerDestination{{9, kDestinationHeadphones, kLineActive, "USB Headset", "usb"}, {}});
  backend_->LineControls[9] = {};
  backend_->RaiseLinesChanged();
  backend_->RaiseControlChanged(21);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(controlChanges, std::vector<std::uint32_t>{21});
  EXPECT_EQ(card.LineNames()[3], "Line In");
  EXPECT_EQ(card.LineIndexOfKey("Line In-key"), 3);
  backend_->Cell(30).Value = 99;
  EXPECT_EQ(card.GetControlValue(meter), 99u);
}

TEST_F(SoundCardTest, ATraceLineIsFoundByItsDeviceNameBeforeItsIndex) {
  QTemporaryDir dir;
  TIniFile ini(dir.filePath("tarvok.ini"));
  TSourceLineStore store(ini);
  TSoundCard& card = Card();
  EXPECT_EQ(store.ResolveLine(0, card, 2), 2);
  ASSERT_TRUE(store.StoreLine(0, card, 2));
  EXPECT_EQ(ini.ReadString("Audio", "SourceName0", ""), "Line In-key");
  backend_->Layout.insert(
      backend_->Layout.begin(),
      TMixerDestination{{9, kDestinationHeadphones, kLineActive, "USB Headset", "usb"}, {}});
  backend_->RaiseLinesChanged();
  EXPECT_EQ(store.ResolveLine(0, card, 2), 3);
  // A device that is gone leaves the stored index to decide.
  backend_->Layout.erase(backend_->Layout.begin() + 1);
  backend_->RaiseLinesChanged();
  EXPECT_EQ(store.ResolveLine(0, card, 2), 2);
}

TEST(SoundCardWithoutDevicesTest, HasNoLines) {
  auto backend = std::make_unique<TFakeSoundBackend>();
  backend->Devices = 0;
  TSoundCard card(std::move(backend));
  EXPECT_EQ(card.DeviceIndex(), -1);
  EXPECT_EQ(card.LineCount(), 0);
  EXPECT_EQ(DescribeSoundCard(card), QStringList{"No mixer device"});
}

}  // namespace
}  // namespace tarvok
