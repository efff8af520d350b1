#include "core/audio/level_poller.h"

#include <pthread.h>

#include <chrono>

#include "core/audio/sound_card.h"

namespace tarvok {

TLevelPoller::TLevelPoller(TSoundCard& soundCard) : soundCard_(soundCard) {}

TLevelPoller::~TLevelPoller() { Terminate(); }

void TLevelPoller::Start() {
  if (!thread_.joinable()) {
    terminated_ = false;
    thread_ = std::thread([this] { Execute(); });
  }
}

void TLevelPoller::Terminate() {
  terminated_ = true;
  Wake();
  if (thread_.joinable())
    thread_.join();
}

void TLevelPoller::Wake() { soundCard_.LevelNews().Tell(); }

void TLevelPoller::Execute() {
  // Named so that top -H and the benchmarks can tell it apart.
  pthread_setname_np(pthread_self(), "tarvok-poller");
  constexpr auto kStep = std::chrono::milliseconds(kInterval);
  TLevelNews& news = soundCard_.LevelNews();
  auto last = TLevelNews::TClock::now();
  bool moving = false;
  for (;;) {
    news.Await(moving ? std::optional(last + kStep) : std::nullopt);
    if (terminated_)
      return;
    const auto now = TLevelNews::TClock::now();
    // A settled poller lost nothing while it slept: its steps start again with the news.
    if (!moving)
      last = now - kStep;
    const auto steps = (now - last) / kStep;
    if (steps == 0)
      continue;  // news within a step is read at its end
    last += steps * kStep;
    moving = false;
    for (auto step = 0; step < steps && Enabled(); ++step) {
      moving = Poll();
      if (!moving)
        break;
    }
  }
}

bool TLevelPoller::Poll() {
  TMixerControlObjectList& objects = soundCard_.MixerControls();
  const int count = objects.Count();
  const int voxIndex = VoxIndex();
  const int otherIndex = OtherIndex();
  bool moving = false;
  for (int i = 0; i < count; ++i) {
    TMixerControlObject& object = objects.Items(i);
    if (!object.Active())
      continue;
    const std::int64_t v = FoldReading(soundCard_.GetControlValue(i), object.Signed());
    const std::int32_t level =
        SmoothLevel(object.Level(), v, object.AveragingMode(), object.Recording());
    moving = moving || ((i == voxIndex || i == otherIndex) && level != object.Level());
    object.SetLevel(level);
  }
  bool flipped = false;
  moving = UpdateFlag(vox_, voxIndex, flipped) || moving;
  moving = UpdateFlag(other_, otherIndex, flipped) || moving;
  if (flipped && onFlip_)
    onFlip_();
  if (moving && !moving_.exchange(true, std::memory_order_relaxed) && onMoving_)
    onMoving_();
  if (!moving)
    moving_.store(false, std::memory_order_relaxed);
  return moving;
}

bool TLevelPoller::UpdateFlag(TTraceFlag& flag, int objectIndex, bool& flipped) {
  // An index beyond the list is treated as no index, so a stale slot cannot read past the end.
  if (objectIndex < 0 || objectIndex >= soundCard_.MixerControls().Count())
    return false;
  const bool present = flag.Present();
  flag.Update(soundCard_.MixerControls().Items(objectIndex).Level());
  flipped = flipped || flag.Present() != present;
  return flag.Counter() != flag.Reload();
}

void TLevelPoller::Reset() {
  vox_.Reset();
  other_.Reset();
  Wake();
}

}  // namespace tarvok
