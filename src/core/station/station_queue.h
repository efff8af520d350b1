// Work that the station's parts leave for later on the main thread's event loop: each post is a
// queued call that runs after the current handler has returned, in the order posted.
#pragma once

#include <functional>

namespace tarvok {

// The tasks of the one-second clock and of remote control.
enum class TTaskCode { CheckBeacons = 2, CheckSchedule = 4, RemoteStatus = 5, RemoteCommand = 6 };

class TStationQueue {
 public:
  virtual ~TStationQueue() = default;

  virtual void PostShowState() = 0;  // the indicator follows the state
  virtual void PostAudioIdle() = 0;  // the audio path is free for the next message or beacon
  virtual void PostCheckTraces() = 0;
  virtual void PostTask(TTaskCode code) = 0;
  virtual void PostCleanRecordings() = 0;
  // Runs the work after what is queued so far.
  virtual void Post(std::function<void()> work) = 0;
};

}  // namespace tarvok
