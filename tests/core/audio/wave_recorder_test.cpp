// The wave engine on a fake back end: capture block lengths, the two playback buffers in flight,
// the end of a playback handed to the main thread, stale devices and the error texts.
#include <gtest/gtest.h>

#include <cstring>

#include "core/audio/wave_recorder.h"
#include "support/application.h"
#include "support/config_fixture.h"
#include "support/fake_sound_backend.h"

namespace tarvok {
namespace {

class TTestRecorder final : public TWaveRecorder {
 public:
  using TWaveRecorder::TWaveRecorder;

  QByteArray Source;
  int Read = 0;
  std::vector<QByteArray> Blocks;
  int Stopped = 0;

 protected:
  void DataReady(std::span<const std::byte> block) override {
    Blocks.emplace_back(reinterpret_cast<const char*>(block.data()),
                        static_cast<qsizetype>(block.size()));
  }
  int GetPlayData(std::uint8_t* buffer, int size) override {
    const int n = std::min(size, static_cast<int>(Source.size()) - Read);
    std::memcpy(buffer, Source.constData() + Read, static_cast<std::size_t>(n));
    Read += n;
    return n;
  }
  void PlayStopped() override { ++Stopped; }
};

QByteArray Bytes(int count) {
  QByteArray bytes(count, '\0');
  for (int i = 0; i < count; ++i)
    bytes[i] = static_cast<char>(i * 13);
  return bytes;
}

std::vector<std::byte> Block(int count) {
  const QByteArray b = Bytes(count);
  const auto* p = reinterpret_cast<const std::byte*>(b.constData());
  return {p, p + b.size()};
}

class WaveRecorderTest : public ::testing::Test {
 protected:
  WaveRecorderTest() { EnsureApplication(); }

  TTestRecorder& Recorder(int bufferSize = 44100, std::uint16_t channels = 1,
                          std::uint16_t bits = 8, int recordBufferLength = 0) {
    recorder_ = std::make_unique<TTestRecorder>(backend_, messages_, bufferSize, 4);
    recorder_->SetRecordingFormat(1, channels, 8000, bits, recordBufferLength);
    recorder_->FillFormat();
    return *recorder_;
  }

  TFakeSoundBackend backend_;
  TRecordingMessages messages_;
  std::unique_ptr<TTestRecorder> recorder_;
};

TEST_F(WaveRecorderTest, CapturedBlocksAreTheRecordBufferLengthOrTheAlignedBuffer) {
  struct TCase {
    int BufferSize;
    std::uint16_t Channels;
    std::uint16_t Bits;
    int RecordBufferLength;
    int Block;
  };
  for (const TCase& c : {TCase{44100, 1, 16, 4096, 4096}, TCase{44100, 1, 16, 50000, 44100},
                         TCase{44100, 2, 16, 0, 44100}, TCase{44102, 2, 16, 0, 44100},
                         TCase{44101, 1, 8, 0, 44101}}) {
    TTestRecorder& recorder = Recorder(c.BufferSize, c.Channels, c.Bits, c.RecordBufferLength);
    ASSERT_TRUE(recorder.OpenRecord());
    EXPECT_EQ(backend_.CaptureBlockBytes, c.Block) << c.BufferSize << " " << c.RecordBufferLength;
    EXPECT_EQ(backend_.CaptureFormat, (TPcmFormat{8000, c.Channels, c.Bits}));
    recorder.StopRecord();
  }
}

TEST_F(WaveRecorderTest, CaptureHandsOverBlocksWithBytesAndRequeuesEveryNotification) {
  TTestRecorder& recorder = Recorder();
  ASSERT_TRUE(recorder.OpenRecord());
  backend_.Capture->Sink.CaptureData(Block(10));  // not started yet
  EXPECT_TRUE(recorder.Blocks.empty());
  ASSERT_TRUE(recorder.StartRecord());
  EXPECT_EQ(recorder.BuffersQueued(), 4);
  backend_.Capture->Sink.CaptureData({});
  EXPECT_TRUE(recorder.Blocks.empty());
  EXPECT_EQ(recorder.BuffersQueued(), 5);
  backend_.Capture->Sink.CaptureData(Block(300));
  // Stopping hands back the part of a block captured so far.
  backend_.Capture->Tail = Block(7);
  recorder.StopRecord();
  ASSERT_EQ(recorder.Blocks.size(), 2u);
  EXPECT_EQ(recorder.Blocks[0], Bytes(300));
  EXPECT_EQ(recorder.Blocks[1], Bytes(7));
  EXPECT_FALSE(recorder.Recording());
  EXPECT_EQ(recorder.DeviceState(), TWaveRecorder::TDeviceState::Closed);
}

TEST_F(WaveRecorderTest, PlayWhileCapturingIsRefusedAndTheCaptureRunsOn) {
  TTestRecorder& recorder = Recorder();
  recorder.Source = Bytes(1000);
  ASSERT_TRUE(recorder.OpenRecord());
  ASSERT_TRUE(recorder.StartRecord());
  EXPECT_FALSE(recorder.Play());
  EXPECT_EQ(backend_.PlaybacksOpened, 0);
  ASSERT_NE(backend_.Capture, nullptr);
  backend_.Capture->Sink.CaptureData(Block(5));
  EXPECT_EQ(recorder.Blocks.size(), 1u);
  EXPECT_TRUE(messages_.Shown.empty());
}

TEST_F(WaveRecorderTest, AnOpenDeviceFoundByOpenRecordIsClosedAndReported) {
  TTestRecorder& recorder = Recorder();
  recorder.Source = Bytes(200000);
  ASSERT_TRUE(recorder.Play());
  EXPECT_FALSE(recorder.OpenRecord());
  EXPECT_EQ(recorder.LastError(), "WaveOut is not closed");
  EXPECT_EQ(backend_.Playback, nullptr);
  EXPECT_EQ(recorder.Stopped, 1);
  EXPECT_EQ(recorder.DeviceState(), TWaveRecorder::TDeviceState::Closed);

  ASSERT_TRUE(recorder.OpenRecord());
  EXPECT_FALSE(recorder.OpenRecord());
  EXPECT_EQ(messages_.Shown,
            (std::vector<QString>{"WaveOut is not closed", "WaveIn is not closed"}));
}

TEST_F(WaveRecorderTest, TwoBuffersAreInFlightAndThePlaybackEndsWhenAllCameBack) {
  TTestRecorder& recorder = Recorder();
  recorder.Source = Bytes(44100 * 2 + 100);
  ASSERT_TRUE(recorder.Play());
  EXPECT_EQ(backend_.PlaybackFormat, (TPcmFormat{8000, 1, 8}));
  EXPECT_EQ(backend_.PlaybackBufferBytes, 44100);
  EXPECT_EQ(backend_.Playback->Buffers.size(), 2u);
  backend_.Playback->PlayOne();
  EXPECT_EQ(backend_.Playback->Buffers.size(), 3u);
  backend_.Playback->PlayOne();
  backend_.Playback->PlayOne();
  EXPECT_EQ(backend_.Playback->Audio(), recorder.Source);
  EXPECT_EQ(recorder.DeviceState(), TWaveRecorder::TDeviceState::Output);
  // The device is closed on the main thread, not inside its own notification.
  EXPECT_EQ(recorder.Stopped, 0);
  RunQueuedCalls();
  EXPECT_EQ(recorder.Stopped, 1);
  EXPECT_EQ(recorder.DeviceState(), TWaveRecorder::TDeviceState::Closed);
  EXPECT_EQ(recorder.BytesPlayed(), recorder.Source.size());
}

TEST_F(WaveRecorderTest, ASourceOfOneBufferClosesOnceThatBufferCameBack) {
  TTestRecorder& recorder = Recorder();
  recorder.Source = Bytes(44100);
  ASSERT_TRUE(recorder.Play());
  EXPECT_EQ(backend_.Playback->Buffers.size(), 1u);
  RunQueuedCalls();
  EXPECT_EQ(recorder.DeviceState(), TWaveRecorder::TDeviceState::Output);
  backend_.Playback->PlayOne();
  RunQueuedCalls();
  EXPECT_EQ(recorder.Stopped, 1);
  EXPECT_EQ(backend_.Playback, nullptr);
}

TEST_F(WaveRecorderTest, AnEmptySourceEndsThePlaybackAtOnce) {
  TTestRecorder& recorder = Recorder();
  EXPECT_FALSE(recorder.Play());
  EXPECT_EQ(recorder.Stopped, 1);
  RunQueuedCalls();
  EXPECT_EQ(recorder.Stopped, 1);
  EXPECT_EQ(recorder.DeviceState(), TWaveRecorder::TDeviceState::Closed);
}

TEST_F(WaveRecorderTest, TheEndOfAStoppedPlaybackDoesNotStopTheNextOne) {
  TTestRecorder& recorder = Recorder();
  recorder.Source = Bytes(100);
  ASSERT_TRUE(recorder.Play());
  backend_.Playback->PlayOne();  // hands the end to the main thread
  recorder.StopPlay();
  recorder.Read = 0;
  ASSERT_TRUE(recorder.Play());
  RunQueuedCalls();
  EXPECT_EQ(recorder.DeviceState(), TWaveRecorder::TDeviceState::Output);
  EXPECT_EQ(recorder.Stopped, 1);
}

TEST_F(WaveRecorderTest, AnOutputDeviceThatGoesAwayEndsThePlaybackWithAMessage) {
  TTestRecorder& recorder = Recorder();
  recorder.Source = Bytes(200000);
  ASSERT_TRUE(recorder.Play());
  backend_.Playback->CloseBySystem();
  RunQueuedCalls();
  EXPECT_EQ(recorder.Stopped, 1);
  EXPECT_EQ(recorder.LastError(), "The output device was closed while playing");
  EXPECT_EQ(recorder.DeviceState(), TWaveRecorder::TDeviceState::Closed);
}

TEST_F(WaveRecorderTest, FailuresToOpenCarryTheDevicesText) {
  TTestRecorder& recorder = Recorder();
  recorder.Source = Bytes(100);
  backend_.CaptureResult = TAudioResult::Fail(TAudioResult::kAllocated, {});
  EXPECT_FALSE(recorder.OpenRecord());
  EXPECT_FALSE(recorder.StartRecord());
  EXPECT_EQ(recorder.LastError(), QString("Could not open the input device for recording:\n\r"
                                          "Specified resource is already allocated."));
  backend_.PlaybackResult = TAudioResult::Fail(TAudioResult::kError, "No such sink");
  EXPECT_FALSE(recorder.Play());
  EXPECT_EQ(recorder.LastError(), "Could not open the output device for playing:\n\rNo such sink");
  EXPECT_EQ(recorder.Stopped, 0);

  // Only PCM is ever asked of a device.
  backend_.PlaybackResult = {};
  recorder.SetRecordingFormat(2, 1, 8000, 16, 0);
  recorder.FillFormat();
  EXPECT_FALSE(recorder.Play());
  EXPECT_EQ(backend_.PlaybacksOpened, 1);
  EXPECT_EQ(recorder.LastError(),
            "Could not open the output device for playing:\n\r"
            "Attempted to open with an unsupported waveform-audio format.");
}

TEST_F(WaveRecorderTest, AnErrorRaisedWhileOneIsReportedIsOnlyKept) {
  TTestRecorder& recorder = Recorder();
  QStringList reported;
  QObject::connect(&recorder, &TWaveRecorder::ErrorRaised, [&](const QString& m) {
    reported << m;
    recorder.Error("second");
  });
  recorder.Error("first");
  EXPECT_EQ(reported, QStringList{"first"});
  EXPECT_EQ(recorder.LastError(), "second");
  EXPECT_TRUE(messages_.Shown.empty());
}

}  // namespace
}  // namespace tarvok
