// The level poller over bound mixer controls: smoothing of active objects, the flags of the two
// slots, no allocation per poll, and the thread itself.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <new>
#include <thread>

#include "core/audio/level_poller.h"
#include "core/audio/sound_card.h"
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

class LevelPollerTest : public ::testing::Test {
 protected:
  LevelPollerTest() {
    auto backend = std::make_unique<TFakeSoundBackend>();
    backend_ = backend.get();
    backend_->AddLine(1, kDestinationSpeakers, "Speakers", false, {PeakMeter(10)});
    backend_->AddLine(2, kSourceLineLevel, "Line In", true, {PeakMeter(20), Volume(21)});
    card_ = std::make_unique<TSoundCard>(std::move(backend));
    voxMeter_ = card_->AddMixerControl();
    otherMeter_ = card_->AddMixerControl();
    volume_ = card_->AddMixerControl();
    EXPECT_TRUE(card_->BindMixerControl(voxMeter_, 1, 0, true));
    EXPECT_TRUE(card_->BindMixerControl(otherMeter_, 0, 0, true));
    EXPECT_TRUE(card_->BindMixerControl(volume_, 1, 1, false));
    card_->MixerControls().Items(voxMeter_).SetAveragingMode(kMaximum);
    poller_ = std::make_unique<TLevelPoller>(*card_);
    poller_->SetVoxIndex(voxMeter_);
    poller_->SetOtherIndex(otherMeter_);
    poller_->SetVoxThreshold(1122);
    poller_->SetOtherThreshold(562);
    poller_->SetVoxOnDelay(10);
    poller_->SetVoxOffDelay(500);
    poller_->SetOtherOnDelay(1000);
    poller_->SetOtherOffDelay(1000);
    poller_->Reset();
  }

  TFakeSoundBackend* backend_ = nullptr;
  std::unique_ptr<TSoundCard> card_;
  std::unique_ptr<TLevelPoller> poller_;
  int voxMeter_ = -1;
  int otherMeter_ = -1;
  int volume_ = -1;
};

TEST_F(LevelPollerTest, PollsSmoothActiveObjectsAndDriveTheFlags) {
  backend_->Cell(20).Value = 20000;
  backend_->Cell(10).Value = 65535;  // unsigned: full scale
  backend_->Cell(21).Value = 50000;
  poller_->Poll();
  EXPECT_EQ(card_->MixerControls().Items(voxMeter_).Level(), 20000);    // Maximum rule
  EXPECT_EQ(card_->MixerControls().Items(otherMeter_).Level(), 32767);  // Average rule
  EXPECT_EQ(card_->MixerControls().Items(volume_).Level(), 0);          // not polled
  EXPECT_FALSE(poller_->VoxPresent());
  poller_->Poll();
  EXPECT_TRUE(poller_->VoxPresent());  // 10 ms: two polls
  for (int i = 0; i < 197; ++i)
    poller_->Poll();
  EXPECT_FALSE(poller_->OtherPresent());
  poller_->Poll();
  EXPECT_TRUE(poller_->OtherPresent());  // 1000 ms: 200 polls
  poller_->Reset();
  EXPECT_FALSE(poller_->VoxPresent());
  EXPECT_FALSE(poller_->OtherPresent());
}

TEST_F(LevelPollerTest, APollDoesNotAllocate) {
  backend_->Cell(20).Value = 3000;
  allocations = 0;
  countAllocations = true;
  for (int i = 0; i < 1000; ++i)
    poller_->Poll();
  countAllocations = false;
  EXPECT_EQ(allocations.load(), 0);
  EXPECT_TRUE(poller_->VoxPresent());
}

TEST_F(LevelPollerTest, AStaleOrMissingSlotIsIgnored) {
  poller_->SetVoxIndex(17);
  poller_->SetOtherIndex(-1);
  backend_->Cell(20).Value = 30000;
  for (int i = 0; i < 300; ++i)
    poller_->Poll();
  EXPECT_FALSE(poller_->VoxPresent());
  EXPECT_FALSE(poller_->OtherPresent());
}

TEST_F(LevelPollerTest, TheThreadPollsUntilTerminatedAndOnlyWhileEnabled) {
  poller_->SetEnabled(false);
  backend_->Cell(20).Value = 30000;
  poller_->Start();
  poller_->SetEnabled(true);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!poller_->VoxPresent() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(poller_->VoxPresent());
  poller_->Terminate();
  const std::int32_t level = card_->MixerControls().Items(voxMeter_).Level();
  backend_->Cell(20).Value = 0;
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(card_->MixerControls().Items(voxMeter_).Level(), level);
}

}  // namespace
}  // namespace tarvok
