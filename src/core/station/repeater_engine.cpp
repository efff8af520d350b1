#include "core/station/repeater_engine.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "core/audio/level_poller.h"
#include "core/audio/recorder_control.h"
#include "core/audio/sound_card.h"
#include "core/config/config.h"
#include "core/schedule/morse_code.h"
#include "core/station/station_queue.h"
#include "core/station/transmitter.h"

namespace tarvok {

namespace {

using TRecorderState = TRecorderControl::TState;

constexpr int kRetrySeconds = 5;

bool IsMessageState(int modeState) { return modeState >= msCourtesy && modeState <= msCWTone; }

// A timer interval in milliseconds from seconds; 0 for an interval that cannot run.
int TimerInterval(int seconds) {
  const qint64 ms = static_cast<qint64>(seconds) * 1000;
  return static_cast<int>(std::clamp<qint64>(ms, 0, std::numeric_limits<int>::max()));
}

// A timer without a usable interval stays stopped rather than firing on every loop pass.
void Restart(QTimer& timer) {
  if (timer.interval() > 0)
    timer.start();
  else
    timer.stop();
}

}  // namespace

TRepeaterEngine::TRepeaterEngine(TStationState& state, TConfig& config, TTransmitter& transmitter,
                                 TRecorderControl& recorder, TSoundCard& soundCard,
                                 TLevelPoller& poller, TStationQueue& queue)
    : state_(state),
      config_(config),
      transmitter_(transmitter),
      recorder_(recorder),
      soundCard_(soundCard),
      poller_(poller),
      queue_(queue) {
  QObject::connect(&identTimer_, &QTimer::timeout, [this] { IdentTimerTick(); });
  QObject::connect(&qstTimer_, &QTimer::timeout, [this] { QstTimerTick(); });
  SetTimerIntervals();
}

void TRepeaterEngine::Enter(TModeState modeState) {
  if (modeState == state_.ModeState)
    return;
  state_.ModeState = modeState;
  emit ModeStateChanged(modeState);
}

bool TRepeaterEngine::Playing() const { return recorder_.State() == TRecorderState::Playing; }
bool TRepeaterEngine::Recording() const { return recorder_.State() == TRecorderState::Recording; }

void TRepeaterEngine::SetState(TSender sender, int request, int beaconIndex) {
  int target = request;
  if (request == msDefault)
    target = config_.State() == csForcedOn ? msForcedOn : msForcedOff;
  else if (request < 0 || request > msBeaconCW)
    target = msForcedOff;

  if (transmitter_.AwaitsCauseEnd()) {
    if (target == lockoutCause_)
      return;
    transmitter_.EndLockout();
  }
  // Repeated requests of the VOX and the controls are absorbed here.
  if (sender != TSender::Nobody && state_.ModeState == target)
    return;
  // After a failed playback the retry countdown restarts the mode; the VOX asking again at every
  // tick would only fail again at once.
  if (sender == TSender::Trace && state_.RetryPending)
    return;
  // The station's own message on the air is no signal to act on: the VOX waits for its end.
  if (sender == TSender::Trace && transmitter_.Held())
    return;
  if (state_.SchedulerOn && state_.Mode == rmNone)
    return;
  if (state_.Mode == rmSimplexRepeater) {
    if (Playing() && target != msListen)
      return;
    if (sender != TSender::Nobody && state_.ModeState == msListen &&
        (target == msForcedOff || target == msNoSignal))
      return;
  }

  std::scoped_lock lock(stateLock_);
  switch (state_.Mode) {
    case rmInternetRepeater:
      InternetTransition(target);
      break;
    case rmSimplexRepeater:
      SimplexTransition(target);
      break;
    case rmBeaconStation:
      BeaconTransition(target, beaconIndex);
      break;
    default:
      return;
  }
  queue_.PostShowState();
}

void TRepeaterEngine::InternetTransition(int target) {
  if (target == msNoSignal && state_.ModeState == msSignal &&
      recorder_.SourceExists(aeCourtesyTone)) {
    transmitter_.Key(true);
    Enter(msCourtesy);
    StartEvent(aeCourtesyTone);
    return;
  }
  if (state_.ModeState == msCourtesy) {
    // The courtesy tone is never cut by the VOX; its end releases the transmitter, and a
    // signal still present needs the full on-delay again.
    if (target == msSignal || target == msNoSignal)
      return;
    if (target == msForcedOff) {
      target = msNoSignal;
      poller_.Reset();
    }
  }
  Enter(static_cast<TModeState>(target == msListen ? msNoSignal : target));
  switch (state_.ModeState) {
    case msForcedOn:
    case msSignal:
      transmitter_.Key(true);
      StopTimers();
      break;
    case msForcedOff:
    case msNoSignal:
      transmitter_.Key(false);
      StartTimers();
      break;
    default:
      break;
  }
}

bool TRepeaterEngine::StartSimplexAudio(int target) {
  switch (target) {
    case msListen:
      return true;
    case msForcedOn:
    case msSignal:
      return recorder_.RestartRecord();
    case msCourtesy:
    case msIdent:
    case msQST:
    case msTimeout:
    case msCWTone:
      return StartEvent(target - msListen);  // the courtesy tone and the messages, by slot
    default:
      if (RecordingWithheld()) {
        // Neither repeated nor kept: the station listens again (its own start is absorbed), and a
        // message that is due goes out now.
        Enter(msListen);
        recorder_.StartRecord(false);
        if (state_.IdentPending || state_.QSTPending)
          queue_.PostAudioIdle();
        return false;
      }
      return StartEvent(aeLastRecording);
  }
}

bool TRepeaterEngine::RecordingWithheld() {
  if (!recordingWithheld_ || !Recording())
    return false;
  // Stopped first: the check hears the recording to its last block.
  recorder_.StopRecord();
  return recordingWithheld_();
}

void TRepeaterEngine::SimplexTransition(int target) {
  if (!StartSimplexAudio(target))
    return;
  if (target == msForcedOn || target == msSignal || target == msListen)
    transmitter_.Key(false);
  else if (target != msBeaconWave && target != msBeaconCW)
    transmitter_.Key(true);

  if (target == msListen) {
    if (config_.State() != csVox &&
        (state_.ModeState == msSignal || state_.ModeState == msNoSignal)) {
      // Under a forced control the station listens without a file. The state is set first,
      // so that the listening start this raises is absorbed.
      Enter(msListen);
      recorder_.StopPlay();
      recorder_.StopRecord();
      recorder_.StartRecord(false);
      return;
    }
    StopSimplexAudio();
  }
  Enter(static_cast<TModeState>(target));
}

void TRepeaterEngine::StopSimplexAudio() {
  switch (state_.ModeState) {
    case msForcedOn:
      if (Recording())
        recorder_.StopRecord();
      break;
    case msForcedOff:
      if (Playing())
        recorder_.StopPlay();
      if (Recording())
        recorder_.StopRecord();
      break;
    default:
      if ((state_.ModeState == msNoSignal || IsMessageState(state_.ModeState)) && Playing())
        recorder_.StopPlay();
      break;
  }
}

void TRepeaterEngine::BeaconTransition(int target, int beaconIndex) {
  if (config_.State() == csForcedOff || target == msListen) {
    if ((state_.ModeState == msBeaconWave || state_.ModeState == msBeaconCW) && Playing())
      recorder_.StopPlay();
    transmitter_.Key(false);
    Enter(msListen);
    return;
  }
  if (target == msForcedOff) {
    if (Playing())
      recorder_.StopPlay();
    transmitter_.Key(false);
    Enter(msNoSignal);
    return;
  }
  if (target == msNoSignal) {
    Enter(msNoSignal);
    if (!Playing() && config_.Beacons().AnyPending())
      queue_.PostAudioIdle();
    return;
  }
  // A beacon on the air is never cut by channel activity.
  if (Playing())
    return;
  if (target == msBeaconWave || target == msBeaconCW) {
    StartBeacon(target, beaconIndex);
    return;
  }
  Enter(static_cast<TModeState>(target));
}

void TRepeaterEngine::StartBeacon(int target, int beaconIndex) {
  TBeaconList& beacons = config_.Beacons();
  if (state_.ModeState == msSignal || beaconIndex < 0 || beaconIndex >= beacons.Count())
    return;
  const TBeacon& beacon = beacons.Items(beaconIndex);
  if (target == msBeaconWave)
    config_.SetWAVFile(aeBeaconWav, beacon.WaveFile);
  else
    recorder_.SetCWText(TextToCWElements(beacon.CWString));
  transmitter_.Key(true);
  // The recorder reports the start from inside StartEvent, before the beacon's state is entered.
  state_.BeaconIndex = beaconIndex;
  const bool started = StartEvent(target == msBeaconWave ? aeBeaconWav : aeBeaconCW);
  state_.BeaconIndex = -1;
  if (!started) {
    transmitter_.Key(false);
    return;
  }
  Enter(static_cast<TModeState>(target));
}

bool TRepeaterEngine::StartEvent(int event) {
  const bool started = recorder_.Repeat(event);
  if (!started && recorder_.SourceExists(event))
    SetRetry(true);
  return started;
}

void TRepeaterEngine::SetRetry(bool on) {
  if (on == state_.RetryPending)
    return;
  state_.RetryPending = on;
  if (!on)
    state_.RetryCountdown = TStationState::kNoCountdown;
  else if (state_.RetryCountdown == TStationState::kNoCountdown)
    state_.RetryCountdown = kRetrySeconds;
}

void TRepeaterEngine::PlaybackFinished(TSender sender) {
  if (state_.Closing)
    return;
  const bool cutShort = std::exchange(cutShort_, false);
  ResumeLaptopCapture();
  if (config_.State() != csVox || playbackFinishing_)
    return;
  playbackFinishing_ = true;
  switch (state_.Mode) {
    case rmInternetRepeater:
      SetState(sender, msForcedOff);
      break;
    case rmSimplexRepeater:
      if (cutShort)
        SetState(sender, msListen);
      else
        SimplexAfterPlayback(sender);
      break;
    case rmBeaconStation:
      BeaconAfterPlayback(sender);
      break;
    default:
      break;
  }
  playbackFinishing_ = false;
}

bool TRepeaterEngine::RequestAudioEvent(TSender sender, int slot) {
  if (config_.WAVFile(slot).isEmpty())
    return false;
  SetState(sender, msListen + slot);
  return true;
}

void TRepeaterEngine::SimplexAfterPlayback(TSender sender) {
  bool done = false;
  if (state_.TimeoutPending) {
    done = RequestAudioEvent(sender, aeTimeout);
    state_.TimeoutPending = false;
  }
  if (!done && state_.QSTPending) {
    done = RequestAudioEvent(sender, aeQst);
    state_.QSTPending = false;
  }
  if (!done && state_.IdentPending) {
    done = RequestAudioEvent(sender, aeRepeaterId);
    state_.IdentPending = false;
    // The CW identification follows the WAV one, or replaces it when there is none.
    state_.CWIdentPending = true;
  }
  if (!done && state_.CWIdentPending) {
    const QString& text = config_.CWString(aeRepeaterId);
    if (!text.isEmpty()) {
      recorder_.SetCWText(TextToCWElements(text));
      SetState(sender, msCWTone);
      done = true;
    }
    state_.CWIdentPending = false;
  }
  if (!done && state_.ModeState == msNoSignal)
    done = RequestAudioEvent(sender, aeCourtesyTone);
  // After the CW identification and after a playback followed by nothing, the recorder's
  // listening start brings the station back to listening.
  if (!done && state_.ModeState >= msCourtesy && state_.ModeState <= msTimeout) {
    poller_.Reset();
    SetState(sender, msListen);
  }
}

void TRepeaterEngine::BeaconAfterPlayback(TSender sender) {
  SetState(sender, msForcedOff);
  if (config_.State() != csVox || state_.ModeState != msNoSignal)
    return;
  // Only the first pending beacon is served; the next follows when its playback ends.
  const int next = config_.Beacons().FirstPending();
  if (next < 0)
    return;
  TBeacon& beacon = config_.Beacons().Items(next);
  if (beacon.WavePending()) {
    SetState(sender, msBeaconWave, next);
    if (state_.ModeState == msBeaconWave)
      beacon.ClearWavePending();
  } else {
    SetState(sender, msBeaconCW, next);
    if (state_.ModeState == msBeaconCW)
      beacon.ClearCWPending();
  }
}

void TRepeaterEngine::RecordStarted(bool saveToFile) {
  if (!saveToFile && state_.Mode == rmSimplexRepeater)
    SetState(TSender::Recorder, msListen);
}

void TRepeaterEngine::TransmitterTimedOut() {
  std::scoped_lock lock(stateLock_);
  const bool playing = Playing();
  if (!IsOperatingMode(state_.Mode) || (!playing && state_.Mode != rmInternetRepeater))
    return;  // the cause cannot be told: the lock-out runs for its time
  lockoutCause_ = state_.ModeState;
  transmitter_.AwaitCauseEnd();
  state_.TimeoutPending = state_.QSTPending = state_.IdentPending = state_.CWIdentPending = false;
  if (playing) {
    // The end of the playback ends the transmission.
    cutShort_ = true;
    recorder_.StopPlay();
  } else {
    Enter(state_.ModeState == msForcedOn ? msForcedOff : msNoSignal);
    StartTimers();
  }
  queue_.PostShowState();
}

void TRepeaterEngine::PlayStarted() {
  if (state_.Mode == rmBeaconStation && config_.IsLaptop())
    soundCard_.StopCapture();
}

// A laptop does not capture while it plays; the capture stopped in PlayStarted resumes.
void TRepeaterEngine::ResumeLaptopCapture() {
  if (state_.Mode == rmBeaconStation && config_.IsLaptop())
    soundCard_.StartCapture();
}

void TRepeaterEngine::GuestPlaybackFinished() {
  if (state_.Closing)
    return;
  if (cutShort_) {
    PlaybackFinished(TSender::Recorder);
    return;
  }
  ResumeLaptopCapture();
  // Asked again when it runs: by then the station may have started something of its own.
  queue_.Post([this] {
    if (AudioAwaited())
      PlaybackFinished(TSender::Nobody);
  });
}

bool TRepeaterEngine::AudioAwaited() const {
  if (config_.State() != csVox || Playing())
    return false;
  if (state_.Mode == rmSimplexRepeater)
    return state_.ModeState == msListen && (state_.IdentPending || state_.QSTPending);
  return state_.Mode == rmBeaconStation && state_.ModeState == msNoSignal &&
         config_.Beacons().AnyPending();
}

void TRepeaterEngine::IdentTimerTick() { MessageTimerTick(state_.IdentPending); }

void TRepeaterEngine::QstTimerTick() { MessageTimerTick(state_.QSTPending); }

void TRepeaterEngine::MessageTimerTick(bool& pending) {
  if (config_.State() != csVox || state_.Mode != rmSimplexRepeater || pending)
    return;
  pending = true;
  // While other audio runs, the message goes out after it; listening gives way at once.
  if (Playing() || (Recording() && state_.ModeState != msListen))
    return;
  queue_.PostAudioIdle();
}

void TRepeaterEngine::SetTimerIntervals() {
  identTimer_.setInterval(TimerInterval(config_.AudioTime(aeRepeaterId)));
  qstTimer_.setInterval(TimerInterval(config_.AudioTime(aeQst)));
  if (identTimer_.isActive())
    Restart(identTimer_);
  if (qstTimer_.isActive())
    Restart(qstTimer_);
}

void TRepeaterEngine::StartTimers() {
  Restart(identTimer_);
  Restart(qstTimer_);
}

void TRepeaterEngine::StopTimers() {
  identTimer_.stop();
  qstTimer_.stop();
}

}  // namespace tarvok
