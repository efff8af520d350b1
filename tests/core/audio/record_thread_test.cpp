// The record thread on a fake back end: recordings named after the clock and written byte for
// byte by the worker, the Simplex Repeater cycle with its events and the deletion of the played
// recording, the play kinds, files with any header, and a recording cut short by a kill.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <QDir>
#include <QFileInfo>
#include <QtEndian>
#include <thread>

#include "core/audio/record_thread.h"
#include "core/audio/wav_reader.h"
#include "support/application.h"
#include "support/child_process.h"
#include "support/config_fixture.h"
#include "support/fake_sound_backend.h"

namespace tarvok {
namespace {

class TEventLog final : public TRecorderEvents {
 public:
  void OnRecordStart(bool saveToFile) override { Events << (saveToFile ? "record" : "listen"); }
  void OnRecordStop() override { Events << "record stop"; }
  void OnPlayStart(int) override { Events << "play"; }
  void OnPlayFinished(int) override { Events << "play finished"; }
  QStringList Events;
};

QByteArray Audio(int bytes) {
  QByteArray audio(bytes, '\0');
  for (int i = 0; i < bytes; ++i)
    audio[i] = static_cast<char>(i * 7 + 1);
  return audio;
}

std::vector<std::byte> Block(const QByteArray& bytes) {
  const auto* p = reinterpret_cast<const std::byte*>(bytes.constData());
  return {p, p + bytes.size()};
}

QByteArray Le32(std::uint32_t v) {
  QByteArray b(4, '\0');
  qToLittleEndian(v, b.data());
  return b;
}

QByteArray Chunk(const QByteArray& id, const QByteArray& body) {
  return id + Le32(static_cast<std::uint32_t>(body.size())) + body;
}

// A RIFF file of the given chunks, with a PCM format chunk of 16 bytes first.
QByteArray WavFile(std::uint16_t tag, std::uint32_t rate, std::uint16_t bits,
                   const QByteArray& chunks) {
  QByteArray fmt(16, '\0');
  qToLittleEndian<std::uint16_t>(tag, fmt.data());
  qToLittleEndian<std::uint16_t>(1, fmt.data() + 2);
  qToLittleEndian<std::uint32_t>(rate, fmt.data() + 4);
  qToLittleEndian<std::uint32_t>(rate * bits / 8, fmt.data() + 8);
  qToLittleEndian<std::uint16_t>(static_cast<std::uint16_t>(bits / 8), fmt.data() + 12);
  qToLittleEndian<std::uint16_t>(bits, fmt.data() + 14);
  const QByteArray body = "WAVE" + Chunk("fmt ", fmt) + chunks;
  return "RIFF" + Le32(static_cast<std::uint32_t>(body.size())) + body;
}

class RecordThreadTest : public ConfigTest {
 protected:
  RecordThreadTest() {
    EnsureApplication();
    clock_.Set(QDateTime(QDate(2007, 3, 5), QTime(14, 3, 9)));
  }

  TRecordThread& Thread() {
    if (!thread_) {
      thread_ = std::make_unique<TRecordThread>(backend_, messages_, Config(), clock_);
      thread_->SetEvents(&events_);
      thread_->Recorder().SetRecordingFormat(1, 1, 8000, 8, 0);
    }
    return *thread_;
  }
  QString Recording(const QString& name) const { return folder_.DefaultLogPath() + name; }
  static QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  QString WriteFile(const QString& name, const QByteArray& content) {
    const QString path = dir_.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
  }
  // Plays every queued buffer until the playback has ended on the main thread; what was played.
  QByteArray PlayToTheEnd() {
    QByteArray played;
    for (int i = 0; i < 100 && backend_.Playback != nullptr; ++i) {
      played = backend_.Playback->Audio();
      backend_.Playback->PlayOne();
      RunQueuedCalls();
    }
    return played;
  }

  TFakeSoundBackend backend_;
  TEventLog events_;
  std::unique_ptr<TRecordThread> thread_;
};

TEST_F(RecordThreadTest, ARecordingIsNamedAfterTheClockAndWrittenByteForByte) {
  TRecordThread& thread = Thread();
  int seen = 0;
  thread.Recorder().SetOnData([&](std::span<std::byte> block) {
    seen += static_cast<int>(block.size());
    block[0] = std::byte{0x55};  // the listener may change what is written
  });
  ASSERT_TRUE(thread.StartRecord(true));
  const QString path = Recording("070305_140309.wav");
  EXPECT_EQ(QFileInfo(path).size(), 58);
  const QByteArray audio = Audio(1001);
  backend_.Capture->Sink.CaptureData(Block(audio.left(1000)));
  backend_.Capture->Tail = Block(audio.mid(1000));
  ASSERT_TRUE(thread.StopRecord());

  QByteArray expected = audio;
  expected[0] = 0x55;
  expected[1000] = 0x55;
  const QByteArray file = Read(path);
  ASSERT_EQ(file.size(), 1060);
  EXPECT_EQ(qFromLittleEndian<std::uint32_t>(file.constData() + 4), 1052u);
  EXPECT_EQ(qFromLittleEndian<std::uint32_t>(file.constData() + 54), 1001u);
  EXPECT_EQ(file.mid(20, 18), TWaveFormat::Pcm(8000, 8, 1).ToBytes());
  EXPECT_EQ(file.mid(58, 1001), expected);
  EXPECT_EQ(file.at(1059), '\0');
  EXPECT_EQ(seen, 1001);
  EXPECT_EQ(thread.BytesWritten(), 1001);
  EXPECT_EQ(thread.TotalRecorded(), 1001);
  EXPECT_EQ(events_.Events, (QStringList{"record", "record stop"}));
}

TEST_F(RecordThreadTest, ARecordingWithoutAudioIsTheHeaderAlone) {
  ASSERT_TRUE(Thread().StartRecord(true));
  ASSERT_TRUE(Thread().StopRecord());
  const QByteArray file = Read(Recording("070305_140309.wav"));
  ASSERT_EQ(file.size(), 58);
  EXPECT_EQ(qFromLittleEndian<std::uint32_t>(file.constData() + 4), 50u);
  EXPECT_EQ(qFromLittleEndian<std::uint32_t>(file.constData() + 54), 0u);
}

TEST_F(RecordThreadTest, RepeatWithNothingRecordedListensInsteadOfPlaying) {
  TRecordThread& thread = Thread();
  EXPECT_TRUE(thread.Repeat(0));
  EXPECT_EQ(thread.State(), TRecorderControl::TState::Idle);
  thread.SetListenAfterPlay(true);
  EXPECT_TRUE(thread.Repeat(0));
  EXPECT_EQ(thread.State(), TRecorderControl::TState::Recording);
  // Listening captures without a file, so the next Repeat has nothing to play either.
  backend_.Capture->Sink.CaptureData(Block(Audio(100)));
  EXPECT_TRUE(thread.Repeat(0));
  EXPECT_EQ(backend_.PlaybacksOpened, 0);
  EXPECT_EQ(events_.Events, (QStringList{"listen", "record stop", "listen"}));
  EXPECT_TRUE(QDir(folder_.DefaultLogPath()).isEmpty());
}

TEST_F(RecordThreadTest, ARecordingWhoseDeviceDidNotOpenLeavesNoFileAndNothingToRepeat) {
  backend_.CaptureResult = TAudioResult::Fail(TAudioResult::kBadDeviceId, {});
  TRecordThread& thread = Thread();
  EXPECT_TRUE(thread.StartRecord(true));
  EXPECT_EQ(messages_.Shown.size(), 1u);
  thread.SetListenAfterPlay(true);
  EXPECT_TRUE(thread.Repeat(0));
  EXPECT_EQ(backend_.PlaybacksOpened, 0);
  EXPECT_TRUE(QDir(folder_.DefaultLogPath()).isEmpty());
  EXPECT_FALSE(thread.SourceExists(0));
}

TEST_F(RecordThreadTest, PlayIsRefusedWhileRecordingAndSourcesAreFilesOrTone) {
  TRecordThread& thread = Thread();
  EXPECT_TRUE(thread.SourceExists(6));
  EXPECT_TRUE(thread.SourceExists(8));
  EXPECT_FALSE(thread.SourceExists(0));
  EXPECT_FALSE(thread.SourceExists(1));
  Config().SetWAVFile(1, WriteFile("courtesy.wav", WavFile(1, 8000, 8, Chunk("data", "ab"))));
  EXPECT_TRUE(thread.SourceExists(1));
  ASSERT_TRUE(thread.StartRecord(true));
  EXPECT_FALSE(thread.Play(3));
  EXPECT_FALSE(thread.StopPlay());
  EXPECT_TRUE(thread.SourceExists(0));
}

TEST_F(RecordThreadTest, ASimplexCyclePlaysTheRecordingDeletesItAndListensAgain) {
  TRecordThread& thread = Thread();
  thread.SetListenAfterPlay(true);
  ASSERT_TRUE(thread.StartRecord(true));
  const QByteArray audio = Audio(3000);
  backend_.Capture->Sink.CaptureData(Block(audio));
  const QString path = Recording("070305_140309.wav");
  ASSERT_TRUE(thread.Repeat(0));
  EXPECT_EQ(thread.State(), TRecorderControl::TState::Playing);
  EXPECT_EQ(backend_.PlaybackFormat, (TPcmFormat{8000, 1, 8}));
  EXPECT_EQ(PlayToTheEnd(), audio);
  EXPECT_EQ(events_.Events,
            (QStringList{"record", "record stop", "play", "play finished", "listen"}));
  EXPECT_EQ(thread.State(), TRecorderControl::TState::Recording);
  EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(RecordThreadTest, APlayedRecordingIsKeptWithTheLogOnAndEventFilesAlways) {
  Config().SetLogEnabled(true);
  TRecordThread& thread = Thread();
  ASSERT_TRUE(thread.StartRecord(true));
  backend_.Capture->Sink.CaptureData(Block(Audio(500)));
  ASSERT_TRUE(thread.Repeat(0));
  PlayToTheEnd();
  EXPECT_TRUE(QFileInfo::exists(Recording("070305_140309.wav")));

  Config().SetLogEnabled(false);
  const QString ident = WriteFile("ident.wav", WavFile(1, 8000, 8, Chunk("data", Audio(10))));
  Config().SetWAVFile(2, ident);
  ASSERT_TRUE(thread.Play(2));
  PlayToTheEnd();
  EXPECT_TRUE(QFileInfo::exists(ident));
  // Kind 0 is the last recording, never the event file played since.
  ASSERT_TRUE(thread.Play(0));
  PlayToTheEnd();
  EXPECT_TRUE(QFileInfo::exists(ident));
  EXPECT_FALSE(QFileInfo::exists(Recording("070305_140309.wav")));
}

TEST_F(RecordThreadTest, EventFilesPlayFromTheirFirstAudioByteInTheirOwnFormat) {
  TRecordThread& thread = Thread();
  const QByteArray audio = Audio(22050 * 2 * 2);  // 2 s of 16-bit mono at 22050 Hz
  const QString plain = WriteFile("plain.wav", WavFile(1, 22050, 16, Chunk("data", audio)));
  const QString tagged =
      WriteFile("tagged.wav", WavFile(1, 22050, 16,
                                      Chunk("LIST", QByteArray("INFOISFT\x06\0\0\0sox 14", 18)) +
                                          Chunk("data", audio) +
                                          Chunk("LIST", QByteArray("INFOICMT\x02\0\0\0ab", 14))));
  for (const QString& file : {plain, tagged}) {
    Config().SetWAVFile(3, file);
    ASSERT_TRUE(thread.Play(3));
    EXPECT_EQ(backend_.PlaybackFormat, (TPcmFormat{22050, 1, 16}));
    EXPECT_EQ(PlayToTheEnd(), audio) << file.toStdString();
    EXPECT_EQ(thread.Recorder().PlayedSeconds(), 2);
  }
}

TEST_F(RecordThreadTest, AFileThatIsNotPcmWavIsRefusedWithTheReadersMessage) {
  TRecordThread& thread = Thread();
  thread.SetListenAfterPlay(true);
  QStringList signalled;
  QObject::connect(&thread.Recorder(), &TWaveRecorder::Starting, [&] { signalled << "starting"; });
  QObject::connect(&thread.Recorder(), &TWaveRecorder::ErrorRaised,
                   [&](const QString& message) { signalled << message; });
  const QString file = WriteFile("float.wav", WavFile(3, 8000, 32, Chunk("data", Audio(64))));
  Config().SetWAVFile(4, file);
  EXPECT_FALSE(thread.Play(4));
  RunQueuedCalls();
  EXPECT_EQ(thread.Recorder().LastError(), ReadWavLayout(file).Error);
  // The error follows the start it belongs to, so that the start does not clear it.
  ASSERT_GE(signalled.size(), 2);
  EXPECT_EQ(signalled.first(2), (QStringList{"starting", ReadWavLayout(file).Error}));
  EXPECT_TRUE(backend_.Playback == nullptr);
  // The playback ended at once, so the station listens again.
  EXPECT_EQ(events_.Events, (QStringList{"play finished", "listen"}));
}

TEST_F(RecordThreadTest, ARecordingCutShortByAKillIsAPlayableFileOfWhatWasCaptured) {
  const QString path = Recording("070305_140309.wav");
  const QByteArray audio = Audio(5001);
  TKilledChild child([&] {
    TRecordThread& thread = Thread();
    thread.StartRecord(true);
    backend_.Capture->Sink.CaptureData(Block(audio.left(4096)));
    backend_.Capture->Sink.CaptureData(Block(audio.mid(4096)));
    while (thread.BytesWritten() < audio.size())
      std::this_thread::yield();
  });
  ASSERT_TRUE(child.Ready());
  child.Kill();

  const TWavLayout layout = ReadWavLayout(path);
  ASSERT_TRUE(layout.IsValid()) << layout.Error.toStdString();
  EXPECT_EQ(layout.DataOffset, 58);
  EXPECT_EQ(layout.DataBytes, audio.size());
  EXPECT_EQ(Read(path).mid(58), audio);
}

TEST_F(RecordThreadTest, ADiskFullDuringARecordingLeavesAValidFileAndOneMessage) {
  const QString path = Recording("070305_140309.wav");
  const QByteArray audio = Audio(3 * 4096);
  constexpr int kRoom = 4096 + 1000;  // the second block fits only in part
  TKilledChild child([&] {
    // Writes past the limit fail with EFBIG, as on a full disk.
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{58 + kRoom, 58 + kRoom};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    TRecordThread& thread = Thread();
    thread.StartRecord(true);
    for (int i = 0; i < 3; ++i)
      backend_.Capture->Sink.CaptureData(Block(audio.mid(i * 4096, 4096)));
    thread.StopRecord();
    QCoreApplication::processEvents();
    if (messages_.Shown.size() != 1 || thread.State() != TRecorderControl::TState::Idle)
      ::_exit(1);
  });
  ASSERT_TRUE(child.Ready()) << "one message, and the recorder is ready for the next recording";
  child.Kill();

  const TWavLayout layout = ReadWavLayout(path);
  ASSERT_TRUE(layout.IsValid()) << layout.Error.toStdString();
  EXPECT_EQ(layout.DataBytes, kRoom);
  EXPECT_EQ(QFileInfo(path).size(), 58 + kRoom);
  EXPECT_EQ(Read(path).mid(58), audio.left(kRoom));
}

}  // namespace
}  // namespace tarvok
