// The station's DTMF decoding: which blocks are taken from the capture stream and the recorder,
// the key terminal, the equalized recording, the spectrum refresh and the equalizer settings.
#include "core/dtmf/dtmf_block_processor.h"

#include <gtest/gtest.h>

#include <QtEndian>
#include <cstring>
#include <thread>

#include "support/application.h"
#include "support/config_fixture.h"
#include "support/tone_block.h"

namespace tarvok {
namespace {

qint16 SampleAt(const TBytes& bytes, int n) { return qFromLittleEndian<qint16>(&bytes[2 * n]); }

class DtmfBlockProcessorTest : public ConfigTest {
 protected:
  DtmfBlockProcessorTest() {
    EnsureApplication();
    Config().SetDTFMEnabled(true);
  }

  TDtmfBlockProcessor& Processor() {
    if (!processor_) {
      processor_ = std::make_unique<TDtmfBlockProcessor>(Config(), clock_);
      QObject::connect(processor_.get(), &TDtmfBlockProcessor::KeyDecoded,
                       [this](QChar key) { keys_ += key; });
    }
    return *processor_;
  }
  void Capture(const TBytes& block) {
    Processor().CaptureBlock(TWaveMessage::Data, block);
    RunQueuedCalls();
  }
  void Record(TBytes& block) {
    Processor().RecordedBlock(block);
    RunQueuedCalls();
  }
  // Each key held for two blocks, with silence after it.
  void Press(const QString& keys) {
    for (QChar key : keys) {
      Capture(KeyBlock(key.toLatin1()));
      Capture(KeyBlock(key.toLatin1()));
      Capture(Silence());
    }
  }

  std::unique_ptr<TDtmfBlockProcessor> processor_;
  QString keys_;
};

TEST_F(DtmfBlockProcessorTest, OnlyWholeCaptureBlocksAreAnalysed) {
  Capture(KeyBlock('5', 1000, 4000));
  EXPECT_EQ(keys_, "");
  Capture(KeyBlock('5'));
  EXPECT_EQ(keys_, "5");
  EXPECT_EQ(Processor().TerminalLines(), QStringList{"5"});
}

TEST_F(DtmfBlockProcessorTest, KeysFillLinesOf30ThenOf31) {
  Press("123");
  EXPECT_EQ(Processor().TerminalLines(), QStringList{"123"});

  // Alternating keys are each new to the detector.
  QString expected = "123";
  for (int i = 3; i < 31; ++i) {
    const char key = i % 2 == 0 ? '7' : '#';
    Capture(KeyBlock(key));
    expected += QLatin1Char(key);
  }
  EXPECT_EQ(Processor().TerminalLines(), QStringList{expected.left(30)} << expected.mid(30));
  for (int i = 0; i < 31; ++i)
    Capture(KeyBlock(i % 2 == 0 ? '0' : '*'));
  ASSERT_EQ(Processor().TerminalLines().size(), 3);
  EXPECT_EQ(Processor().TerminalLines()[1].size(), 31);
  EXPECT_EQ(Processor().TerminalLines()[2], "0");
  EXPECT_EQ(keys_.size(), 62);

  Processor().ClearTerminal();
  Press("9");
  EXPECT_EQ(Processor().TerminalLines(), QStringList{"9"});
}

TEST_F(DtmfBlockProcessorTest, NothingIsDecodedWhileSwitchedOffOrClosing) {
  Processor().SetEnabled(false, rmInternetRepeater);
  EXPECT_EQ(Stored("Audio", "DTFMEnabled"), "0");
  Press("1");
  TBytes recorded = KeyBlock('2');
  Record(recorded);
  EXPECT_EQ(keys_, "");

  Processor().SetEnabled(true, rmInternetRepeater);
  Processor().SetClosing();
  Press("3");
  EXPECT_EQ(keys_, "");
}

TEST_F(DtmfBlockProcessorTest, TheLevelBarSetsTheDetectionLevel) {
  Processor().SetLevelBarPosition(100);  // top
  EXPECT_EQ(Processor().Filter().Level(), 0);
  Press("4");
  EXPECT_EQ(keys_, "4");
  Processor().SetLevelBarPosition(0);  // bottom
  EXPECT_EQ(Processor().Filter().Level(), 100);
  EXPECT_EQ(Processor().LevelBarPosition(), 0);
  Capture(KeyBlock('6', 16000));
  EXPECT_EQ(keys_, "4");
}

TEST_F(DtmfBlockProcessorTest, TheDecoderSettingChoosesTheBlockDetector) {
  // Key 7 at -12 dBFS, off the bins: each tone leaks above level 10 into its whole group.
  const TBytes key =
      ToBytes(ToneBlock({{852 * 2048.0 / 8000, 8000}, {1209 * 2048.0 / 8000, 8000}}));
  Capture(key);
  EXPECT_EQ(keys_, "7");

  Config().SetDTMFDecoder(TDtmfDecoderKind::Block);
  Processor().ReloadSettings();
  Capture(Silence());
  Capture(key);
  EXPECT_EQ(keys_, "7");
  Processor().SetLevelBarPosition(60);  // level 40, between the tones and their leakage
  Capture(key);
  EXPECT_EQ(keys_, "77");
}

TEST_F(DtmfBlockProcessorTest, RecordedBlocksAreTakenInSimplexModeAndEqualizedInPlace) {
  TBytes block = KeyBlock('8');
  Record(block);
  EXPECT_EQ(keys_, "");  // DTMF in Simplex Repeater mode is off

  Config().SetDTFMSimplex(true);
  Processor().ReloadSettings();
  Record(block);
  EXPECT_EQ(keys_, "8");
  EXPECT_EQ(block, KeyBlock('8'));  // no filter: the block is recorded as it came

  Processor().SetFilterEnabled(true);
  Processor().SetScaleStep(-14);  // about half as loud
  TBytes filtered = KeyBlock('C');
  Record(filtered);
  EXPECT_EQ(keys_, "8C");
  const TBytes original = KeyBlock('C');
  for (int n : {1, 100, 1000}) {
    EXPECT_NEAR(SampleAt(filtered, n), SampleAt(original, n) * std::pow(1.05, -14), 2.0) << n;
  }
}

TEST_F(DtmfBlockProcessorTest, CapturedBlocksAreDecodedWithTheFilterOn) {
  Processor().SetFilterEnabled(true);
  Press("D");
  EXPECT_EQ(keys_, "D");
}

TEST_F(DtmfBlockProcessorTest, TheSpectrumRepaintsAtMostEvery150Milliseconds) {
  Processor().SetSpectrumEnabled(true);
  int repaints = 0;
  QObject::connect(&Processor(), &TDtmfBlockProcessor::SpectrumChanged, [&] { ++repaints; });
  clock_.AdvanceMilliseconds(500);
  Capture(Silence());
  EXPECT_EQ(repaints, 1);
  clock_.AdvanceMilliseconds(100);
  Capture(Silence());
  EXPECT_EQ(repaints, 1);
  clock_.AdvanceMilliseconds(100);
  Capture(KeyBlock('1'));
  EXPECT_EQ(repaints, 2);
  EXPECT_GT(*std::max_element(Processor().Spectrum().begin(), Processor().Spectrum().end()), 30);
  // A new second repaints however little time has passed.
  clock_.AdvanceMilliseconds(290);
  Capture(Silence());
  clock_.AdvanceMilliseconds(20);
  Capture(Silence());
  EXPECT_EQ(repaints, 4);

  Processor().CaptureBlock(TWaveMessage::Close, {});
  RunQueuedCalls();
  EXPECT_EQ(*std::max_element(Processor().Spectrum().begin(), Processor().Spectrum().end()), 0);
}

TEST_F(DtmfBlockProcessorTest, TheSimplexHintComesWhenSwitchingOnInSimplexMode) {
  Config().SetDTFMEnabled(false);
  EXPECT_TRUE(Processor().SetEnabled(true, rmSimplexRepeater));
  EXPECT_FALSE(Processor().SetEnabled(true, rmSimplexRepeater));
  Processor().SetEnabled(false, rmSimplexRepeater);
  EXPECT_FALSE(Processor().SetEnabled(true, rmInternetRepeater));
  Processor().SetEnabled(false, rmSimplexRepeater);
  Config().SetDTFMSimplex(true);
  EXPECT_FALSE(Processor().SetEnabled(true, rmSimplexRepeater));
}

TEST_F(DtmfBlockProcessorTest, TheEqualizerIsLoadedAndSavedAtEachChange) {
  Config().IniFile().WriteInteger("Filter", "Equalizer3", 4);
  Config().IniFile().WriteInteger("Filter", "FFTScale", -2);
  EXPECT_EQ(Processor().Filter().GainStep(3), 4);
  EXPECT_EQ(Processor().Filter().ScaleStep(), -2);
  Processor().SetGainStep(7, -5);
  EXPECT_EQ(Stored("Filter", "Equalizer7"), "-5");
  EXPECT_EQ(Stored("Filter", "Equalizer3"), "4");

  Processor().ResetEqualizer();
  EXPECT_EQ(Stored("Filter", "Equalizer3"), "0");
  EXPECT_EQ(Stored("Filter", "FFTScale"), "0");
}

TEST_F(DtmfBlockProcessorTest, BlocksFromAnotherThreadAreClaimedOneAtATime) {
  Config().SetDTFMSimplex(true);
  Processor().ReloadSettings();
  std::atomic<bool> done = false;
  std::thread recorder([&] {
    for (int i = 0; i < 40; ++i) {
      TBytes block = KeyBlock(i % 2 == 0 ? '1' : '2');
      Processor().RecordedBlock(block);
      Processor().CaptureBlock(TWaveMessage::Data, KeyBlock('3'));
    }
    done = true;
  });
  while (!done)
    RunQueuedCalls();
  recorder.join();
  RunQueuedCalls();
  // Blocks that met a busy detector were dropped; every decoded key is one that was sent.
  EXPECT_FALSE(keys_.isEmpty());
  for (QChar key : keys_)
    EXPECT_TRUE(QStringLiteral("123").contains(key)) << key.toLatin1();
}

}  // namespace
}  // namespace tarvok
