// Decodes WAV files made by sox with the tarvok-dtmf program, as a user would.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "pcm_wav.h"

namespace tarvok {
namespace {

struct TKeyTones {
  char Key;
  int Low;
  int High;
};

// Each tone at -12 dBFS. For the block detector, level 40 lies between such a tone's peak (about
// 51) and what it leaks into the neighbouring bands (about 35).
constexpr const char* kLevel = "40";
constexpr double kLeadIn = 0.5;
constexpr double kToneSeconds = 0.3;
constexpr double kPauseSeconds = 0.55;  // long enough for a block between two presses of 5
const std::vector<TKeyTones> kSequence{{'1', 697, 1209}, {'5', 770, 1336}, {'5', 770, 1336},
                                       {'#', 941, 1477}, {'D', 941, 1633}, {'0', 941, 1336},
                                       {'A', 697, 1633}, {'9', 852, 1477}};

struct TRun {
  int ExitCode = -1;
  QString Out;
  QString Err;
};

class TarvokDtmfTest : public ::testing::Test {
 protected:
  // Returns false (and fails the test) when sox is missing or fails.
  bool Sox(const QStringList& arguments) {
    const QString sox = QStandardPaths::findExecutable(QStringLiteral("sox"));
    if (sox.isEmpty()) {
      ADD_FAILURE() << "sox is not installed (scripts/install-deps.sh installs it)";
      return false;
    }
    QProcess process;
    process.start(sox, arguments);
    const bool ok = process.waitForFinished(30000) && process.exitCode() == 0;
    EXPECT_TRUE(ok) << "sox " << arguments.join(' ').toStdString() << ": "
                    << process.readAllStandardError().toStdString();
    return ok;
  }

  QString SynthesizeSequence() {
    QStringList parts;
    const QString lead = dir_.filePath("lead.wav");
    if (!Sox({"-D", "-r", "8000", "-c", "1", "-n", "-b", "16", lead, "trim", "0",
              QString::number(kLeadIn)}))
      return {};
    parts << lead;
    for (std::size_t i = 0; i < kSequence.size(); ++i) {
      const QString part = dir_.filePath(QStringLiteral("key%1.wav").arg(i));
      if (!Sox({"-D",
                "-r",
                "8000",
                "-c",
                "2",
                "-n",
                "-b",
                "16",
                "-c",
                "1",
                part,
                "synth",
                QString::number(kToneSeconds),
                "sine",
                QString::number(kSequence[i].Low),
                "sine",
                QString::number(kSequence[i].High),
                "remix",
                "-m",
                "1v0.25,2v0.25",
                "pad",
                "0",
                QString::number(kPauseSeconds)}))
        return {};
      parts << part;
    }
    const QString sequence = dir_.filePath("sequence.wav");
    return Sox(QStringList{"-D"} + parts + QStringList{sequence}) ? sequence : QString();
  }

  static TRun Run(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(TARVOK_DTMF_BINARY), arguments);
    TRun run;
    if (process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit)
      run.ExitCode = process.exitCode();
    run.Out = QString::fromUtf8(process.readAllStandardOutput());
    run.Err = QString::fromUtf8(process.readAllStandardError());
    return run;
  }

  QTemporaryDir dir_;
};

TEST_F(TarvokDtmfTest, PrintsEachKeyOfASequenceWithTheTimeItBegan) {
  const QString wav = SynthesizeSequence();
  ASSERT_FALSE(wav.isEmpty());
  const TRun run = Run({wav});
  ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
  const QStringList lines = run.Out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), static_cast<qsizetype>(kSequence.size())) << run.Out.toStdString();
  for (std::size_t i = 0; i < kSequence.size(); ++i) {
    const QString& line = lines[static_cast<qsizetype>(i)];
    ASSERT_TRUE(QRegularExpression("^\\d+\\.\\d{3} .$").match(line).hasMatch())
        << line.toStdString();
    EXPECT_EQ(line.back(), QChar(kSequence[i].Key)) << "key " << i;
    const double toneStart = kLeadIn + static_cast<double>(i) * (kToneSeconds + kPauseSeconds);
    EXPECT_NEAR(line.split(' ')[0].toDouble(), toneStart, 0.005) << "key " << i;
  }
}

TEST_F(TarvokDtmfTest, TheBlockDetectorPrintsEachKeyWithTheTimeOfItsBlock) {
  const QString wav = SynthesizeSequence();
  ASSERT_FALSE(wav.isEmpty());
  const TRun run = Run({"--decoder", "block", "--level", kLevel, wav});
  ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
  const QStringList lines = run.Out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), static_cast<qsizetype>(kSequence.size())) << run.Out.toStdString();
  for (std::size_t i = 0; i < kSequence.size(); ++i) {
    const QStringList fields = lines[static_cast<qsizetype>(i)].split(' ');
    ASSERT_EQ(fields.size(), 2) << lines[static_cast<qsizetype>(i)].toStdString();
    EXPECT_EQ(fields[1], QString(kSequence[i].Key));
    // The key is reported from a block that holds part of its tone.
    const double toneStart = kLeadIn + static_cast<double>(i) * (kToneSeconds + kPauseSeconds);
    const double blockStart = fields[0].toDouble();
    EXPECT_GT(blockStart, toneStart - 0.256) << "key " << i;
    EXPECT_LT(blockStart, toneStart + kToneSeconds) << "key " << i;
    EXPECT_EQ(std::lround(blockStart * 8000) % 2048, 0) << "key " << i;
  }
}

TEST_F(TarvokDtmfTest, EqualizesWithTheStepsOfASettingsFile) {
  const QString wav = SynthesizeSequence();
  ASSERT_FALSE(wav.isEmpty());
  const QString settings = dir_.filePath("tarvok.ini");
  QFile file(settings);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[Filter]\nEqualizer3=-10\nFFTScale=-10\n");
  file.close();
  const QString output = dir_.filePath("equalized.wav");
  const TRun plain = Run({wav});
  const TRun filtered = Run({"--filter", settings, "--output", output, wav});
  ASSERT_EQ(filtered.ExitCode, 0) << filtered.Err.toStdString();
  EXPECT_EQ(filtered.Out, plain.Out);  // the detector sees each block before it is equalized

  // Band 3 (1195 .. 1594 Hz) holds the high tones of keys 1, 5, #, 0 and 9, so the equalized
  // audio has lost them and decodes as the keys D and A only.
  const TRun again = Run({output});
  ASSERT_EQ(again.ExitCode, 0) << again.Err.toStdString();
  EXPECT_EQ(again.Out.split('\n', Qt::SkipEmptyParts).size(), 2) << again.Out.toStdString();

  std::vector<std::int16_t> input, equalized;
  QString error;
  ASSERT_TRUE(ReadPcmWav(wav, input, error));
  ASSERT_TRUE(ReadPcmWav(output, equalized, error));
  EXPECT_EQ(equalized.size(), input.size() / 2048 * 2048);
}

TEST_F(TarvokDtmfTest, RefusesOtherFormatsAndBadOptions) {
  const QString wav = dir_.filePath("cd.wav");
  ASSERT_TRUE(
      Sox({"-r", "44100", "-c", "1", "-n", "-b", "16", wav, "synth", "0.5", "sine", "1000"}));
  TRun run = Run({wav});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_TRUE(run.Out.isEmpty());
  EXPECT_TRUE(run.Err.contains("only 16-bit PCM mono at 8000 samples per second is decoded"))
      << run.Err.toStdString();

  run = Run({"--level", "high", wav});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_TRUE(run.Err.contains("the level must be an integer")) << run.Err.toStdString();
  run = Run({"--decoder", "fft", wav});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_TRUE(run.Err.contains("the decoder is standard or block, not \"fft\""))
      << run.Err.toStdString();
  run = Run({"--filter", dir_.filePath("missing.ini"), wav});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_TRUE(run.Err.contains("cannot read the settings file")) << run.Err.toStdString();
}

}  // namespace
}  // namespace tarvok
