// The level poller over bound mixer controls: smoothing of active objects, the two trace flags,
// no allocation per poll, and the thread itself.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <new>
#include <thread>

#include "core/audio/sound_card.h"
#include "core/audio/sound_thread.h"
#include "support/fake_sound_backend.h"

namespace {
std::atomic<bool> countAllocations{false};
std::atomic<int> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  if (countAllocations.load())
    ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size))
    return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace tarvok {
namespace {

class SoundThreadTest : public ::testing::Test {
 protected:
  SoundThreadTest() {
    auto backend = std::make_unique<TFakeSoundBackend>();
    backend_ = backend.get();
    backend_->AddLine(1, kDestinationSpeakers, "Speakers", false, {PeakMeter(10)});
    backend_->AddLine(2, kSourceLineLevel, "Line In", true, {PeakMeter(20), Volume(21)});
    card_ = std::make_unique<TSoundCard>(std::move(backend));
    upper_ = card_->AddMixerControl();
    lower_ = card_->AddMixerControl();
    volume_ = card_->AddMixerControl();
    EXPECT_TRUE(card_->BindMixerControl(upper_, 1, 0, true));
    EXPECT_TRUE(card_->BindMixerControl(lower_, 0, 0, true));
    EXPECT_TRUE(card_->BindMixerControl(volume_, 1, 1, false));
    card_->MixerControls().Items(upper_).SetAveragingMode(kMaximum);
    thread_ = std::make_unique<TSoundThread>(*card_);
    thread_->SetUpperIndex(upper_);
    thread_->SetLowerIndex(lower_);
    thread_->SetUpperThreshold(1122);
    thread_->SetLowerThreshold(562);
    thread_->SetUpperOnDelay(10);
    thread_->SetUpperOffDelay(500);
    thread_->SetLowerOnDelay(1000);
    thread_->SetLowerOffDelay(1000);
    thread_->Reset();
  }

  TFakeSoundBackend* backend_ = nullptr;
  std::unique_ptr<TSoundCard> card_;
  std::unique_ptr<TSoundThread> thread_;
  int upper_ = -1;
  int lower_ = -1;
  int volume_ = -1;
};

TEST_F(SoundThreadTest, PollsSmoothActiveObjectsAndDriveTheFlags) {
  backend_->Cell(20).Value = 20000;
  backend_->Cell(10).Value = 65535;  // unsigned: full scale
  backend_->Cell(21).Value = 50000;
  thread_->Poll();
  EXPECT_EQ(card_->MixerControls().Items(upper_).Level(), 20000);  // Maximum rule
  EXPECT_EQ(card_->MixerControls().Items(lower_).Level(), 32767);  // Average rule
  EXPECT_EQ(card_->MixerControls().Items(volume_).Level(), 0);     // not polled
  EXPECT_FALSE(thread_->UpperPresent());
  thread_->Poll();
  EXPECT_TRUE(thread_->UpperPresent());  // 10 ms: two polls
  for (int i = 0; i < 197; ++i)
    thread_->Poll();
  EXPECT_FALSE(thread_->LowerPresent());
  thread_->Poll();
  EXPECT_TRUE(thread_->LowerPresent());  // 1000 ms: 200 polls
  thread_->Reset();
  EXPECT_FALSE(thread_->UpperPresent());
  EXPECT_FALSE(thread_->LowerPresent());
}

TEST_F(SoundThreadTest, APollDoesNotAllocate) {
  backend_->Cell(20).Value = 3000;
  allocations = 0;
  countAllocations = true;
  for (int i = 0; i < 1000; ++i)
    thread_->Poll();
  countAllocations = false;
  EXPECT_EQ(allocations.load(), 0);
  EXPECT_TRUE(thread_->UpperPresent());
}

TEST_F(SoundThreadTest, AStaleOrMissingSlotIsIgnored) {
  thread_->SetUpperIndex(17);
  thread_->SetLowerIndex(-1);
  backend_->Cell(20).Value = 30000;
  for (int i = 0; i < 300; ++i)
    thread_->Poll();
  EXPECT_FALSE(thread_->UpperPresent());
  EXPECT_FALSE(thread_->LowerPresent());
}

TEST_F(SoundThreadTest, TheThreadPollsUntilTerminatedAndOnlyWhileEnabled) {
  thread_->SetEnabled(false);
  backend_->Cell(20).Value = 30000;
  thread_->Start();
  thread_->Wake();
  thread_->SetEnabled(true);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!thread_->UpperPresent() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(thread_->UpperPresent());
  thread_->Terminate();
  const std::int32_t level = card_->MixerControls().Items(upper_).Level();
  backend_->Cell(20).Value = 0;
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(card_->MixerControls().Items(upper_).Level(), level);
}

}  // namespace
}  // namespace tarvok
