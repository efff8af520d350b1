#include "core/audio/level_poller.h"

#include <pthread.h>

#include <chrono>

#include "core/audio/sound_card.h"

namespace tarvok {

TLevelPoller::TLevelPoller(TSoundCard& soundCard) : soundCard_(soundCard) {}

TLevelPoller::~TLevelPoller() { Terminate(); }

void TLevelPoller::Start() {
  if (!thread_.joinable()) {
    terminated_.store(false);
    thread_ = std::thread([this] { Execute(); });
  }
}

void TLevelPoller::Terminate() {
  terminated_.store(true);
  Wake();
  if (thread_.joinable())
    thread_.join();
}

void TLevelPoller::Execute() {
  // Named so that top -H and the benchmarks can tell it apart.
  pthread_setname_np(pthread_self(), "tarvok-poller");
  while (!terminated_.load()) {
    // The wait is a futex on Linux: no lock and no allocation.
    static_cast<void>(wakeEvent_.try_acquire_for(std::chrono::milliseconds(kInterval)));
    if (!terminated_.load() && Enabled())
      Poll();
  }
}

void TLevelPoller::Poll() {
  TMixerControlObjectList& objects = soundCard_.MixerControls();
  const int count = objects.Count();
  for (int i = 0; i < count; ++i) {
    TMixerControlObject& object = objects.Items(i);
    if (!object.Active())
      continue;
    const std::int64_t v = FoldReading(soundCard_.GetControlValue(i), object.Signed());
    object.SetLevel(SmoothLevel(object.Level(), v, object.AveragingMode(), object.Recording()));
  }
  UpdateFlag(vox_, VoxIndex());
  UpdateFlag(other_, OtherIndex());
}

void TLevelPoller::UpdateFlag(TTraceFlag& flag, int objectIndex) {
  // An index beyond the list is treated as no index, so a stale slot cannot read past the end.
  if (objectIndex < 0 || objectIndex >= soundCard_.MixerControls().Count())
    return;
  flag.Update(soundCard_.MixerControls().Items(objectIndex).Level());
}

void TLevelPoller::Reset() {
  vox_.Reset();
  other_.Reset();
}

}  // namespace tarvok
