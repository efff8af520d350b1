// The ALSA back end on ALSA's "null" device, which opens, takes what is played and records
// silence: the lines it shows, capture in the formats the station records in, and playback that
// tells of each buffer; and on a device name that does not exist.
#include <gtest/gtest.h>

#include <atomic>

#include "platform/alsa/alsa_sound_backend.h"
#include "support/application.h"
#include "support/pulse_test_server.h"

namespace tarvok {
namespace {

class TBlockCounter final : public TCaptureSink {
 public:
  explicit TBlockCounter(std::size_t blockBytes) : blockBytes_(blockBytes) {}
  void CaptureOpened() override { ++Opened; }
  void CaptureData(std::span<const std::byte> block) override {
    Blocks += block.size() == blockBytes_ ? 1 : 1000000;
  }
  void CaptureClosed() override { ++Closed; }
  std::atomic<int> Opened{0};
  std::atomic<int> Blocks{0};
  std::atomic<int> Closed{0};

 private:
  const std::size_t blockBytes_;
};

class TBufferSource final : public TPlaybackSource {
 public:
  explicit TBufferSource(int buffers) : left_(buffers) {}
  void PlaybackOpened() override { ++Opened; }
  std::size_t NextBuffer(std::span<std::byte> buffer) override {
    if (left_ == 0)
      return 0;
    --left_;
    std::fill(buffer.begin(), buffer.end(), std::byte{0});
    return buffer.size();
  }
  void BufferPlayed() override { ++Played; }
  void PlaybackClosed() override { ++Closed; }
  std::atomic<int> Opened{0};
  std::atomic<int> Played{0};
  std::atomic<int> Closed{0};

 private:
  int left_;
};

class AlsaSoundBackendTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureApplication(); }
};

TEST_F(AlsaSoundBackendTest, TheNullDeviceCapturesInEveryRecordingFormatAndPlaysEachBuffer) {
  TAlsaSoundBackend backend(QStringLiteral("null"), QString());
  std::vector<TMixerDestination> destinations;
  ASSERT_FALSE(backend.Destinations(destinations).Failed());
  ASSERT_EQ(destinations.size(), 2u);
  EXPECT_EQ(destinations[0].Line.Name, "Output");
  EXPECT_EQ(destinations[0].Sources.at(0).Name, "Station Audio");
  EXPECT_EQ(destinations[1].Line.Name, "Recording Control");
  ASSERT_EQ(destinations[1].Sources.size(), 1u) << "no PC audio line without its device";
  EXPECT_EQ(destinations[1].Sources[0].Name, "Receiver");
  std::vector<TMixerControl> controls;
  ASSERT_FALSE(backend.Controls(destinations[1].Sources[0].Id, controls).Failed());
  ASSERT_EQ(controls.size(), 1u) << "the null device has no mixer, so no volume";
  EXPECT_EQ(controls[0].Type, kControlPeakMeter);
  EXPECT_NE(backend.AcquireControl(controls[0].Id), nullptr);

  for (const TPcmFormat format :
       {TPcmFormat{8000, 1, 16}, TPcmFormat{44100, 2, 8}, TPcmFormat{22050, 1, 24}}) {
    const int blockBytes = format.SampleRate / 50 * format.FrameBytes();
    TBlockCounter sink(static_cast<std::size_t>(blockBytes));
    std::unique_ptr<TAudioStream> stream;
    ASSERT_FALSE(backend.OpenCapture(format, blockBytes, sink, stream).Failed());
    std::unique_ptr<TAudioStream> second;
    EXPECT_EQ(backend.OpenCapture(format, blockBytes, sink, second).Code, TAudioResult::kAllocated);
    EXPECT_TRUE(WaitUntil([&sink] { return sink.Blocks >= 5; }, 5000)) << format.SampleRate;
    stream.reset();
    EXPECT_LT(sink.Blocks, 1000000) << "a block of another length";
    EXPECT_EQ(sink.Opened, 1);
    EXPECT_EQ(sink.Closed, 1);
  }

  TBufferSource source(5);
  std::unique_ptr<TAudioStream> playback;
  ASSERT_FALSE(backend.OpenPlayback({8000, 1, 16}, 1600, source, playback).Failed());
  EXPECT_TRUE(WaitUntil([&source] { return source.Played == 5; }, 5000));
  playback.reset();
  EXPECT_EQ(source.Opened, 1);
  EXPECT_EQ(source.Closed, 1);
  EXPECT_FALSE(backend.ServerLost());
}

TEST_F(AlsaSoundBackendTest, ADeviceThatDoesNotExistIsNamedOnceWhileItIsTriedAgain) {
  TAlsaSoundBackend backend(QStringLiteral("nosuchdevice"), QString());
  QStringList errors;
  QObject::connect(&backend, &TSoundBackend::Error,
                   [&errors](const QString& message) { errors << message; });
  // Long enough for three attempts.
  WaitUntil([] { return false; }, 1200);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_EQ(errors[0],
            "There is no sound device nosuchdevice (tarvok --list-audio --audio alsa lists them); "
            "retrying.");
  EXPECT_TRUE(backend.ServerLost());
  TBufferSource source(1);
  std::unique_ptr<TAudioStream> playback;
  const TAudioResult result = backend.OpenPlayback({8000, 1, 16}, 1600, source, playback);
  EXPECT_TRUE(result.Failed());
  EXPECT_TRUE(result.Text.contains("nosuchdevice")) << result.Text.toStdString();
  EXPECT_EQ(source.Opened, 0);
}

}  // namespace
}  // namespace tarvok
