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
  {
    const std::lock_guard lock(waitLock_);
    terminated_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable())
    thread_.join();
}

void TLevelPoller::Execute() {
  // Named so that top -H and the benchmarks can tell it apart.
  pthread_setname_np(pthread_self(), "tarvok-poller");
  std::unique_lock lock(waitLock_);
  // A condition variable sleeps in the kernel; a timed semaphore wait spins first.
  while (
      !wake_.wait_for(lock, std::chrono::milliseconds(kInterval), [this] { return terminated_; })) {
    if (Enabled())
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
