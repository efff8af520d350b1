#include "core/station/station.h"

#include "core/audio/sound_card.h"
#include "core/config/config.h"
#include "core/config/remote_data.h"
#include "core/schedule/morse_code.h"
#include "core/station/transmitter.h"

namespace tarvok {

TStation::TStation(TConfig& config, const TClock& clock, TTransmitter& transmitter,
                   TRecorderControl& recorder, TSoundCard& soundCard, TLevelPoller& poller,
                   QObject* parent)
    : QObject(parent),
      config_(config),
      transmitter_(transmitter),
      recorder_(recorder),
      soundCard_(soundCard),
      display_(state_, config, clock, recorder),
      engine_(state_, config, transmitter, recorder, soundCard, poller, *this),
      modeControl_(state_, config, transmitter, recorder, soundCard, engine_, display_, *this),
      clockTasks_(state_, config, clock, recorder, engine_, modeControl_, *this),
      remote_(state_, config, transmitter, modeControl_, *this) {
  recorder_.SetEvents(this);
}

TStation::~TStation() { recorder_.SetEvents(nullptr); }

void TStation::Start() {
  state_.Inhibit = true;
  modeControl_.FillControls();
  engine_.SetState(TSender::Nobody, msDefault);
  FollowRemotePath();
  display_.UpdateCaptions();
  state_.Inhibit = false;

  engine_.SetTimerIntervals();
  if (state_.ModeState == msDefault || state_.ModeState == msForcedOff ||
      state_.ModeState == msNoSignal)
    engine_.StartTimers();
  clockTasks_.StartTimer();
  clockTasks_.ClockTick();
  if (config_.SaveMode() && (config_.DefaultState() != 0 || config_.DefaultMode() != state_.Mode))
    Post([this] { modeControl_.RestoreMode(); });
}

void TStation::FollowRemotePath() {
  if (config_.RemoteData() && remotePath_ == config_.RemotePath())
    return;
  remotePath_ = config_.RemotePath();
  auto remote = std::make_unique<TRemoteDataFile>(config_.VersionMajor(), config_.VersionMinor());
  remote->SetPath(remotePath_);
  // The status file in the folder left behind goes with the old files.
  config_.SetRemoteData(std::move(remote));
}

void TStation::Close() {
  if (state_.Closing)
    return;
  clockTasks_.StopTimer();
  engine_.StopTimers();
  state_.Closing = true;
  config_.SetDefaultMode(state_.Mode);
  config_.SetDefaultState(state_.SchedulerOn ? 1 : 0);
  if (state_.Mode == rmInternetRepeater)
    soundCard_.StopCapture();
  if (state_.Mode == rmSimplexRepeater) {
    modeControl_.ChangeMode(rmInternetRepeater);
    recorder_.StopRecord();
  }
}

void TStation::ShowIndicator() {
  const TIndicator next =
      NextIndicator(indicator_, state_.Mode, state_.ModeState, transmitter_.Keyed());
  if (next != indicator_) {
    indicator_ = next;
    emit IndicatorChanged();
  }
  modeControl_.ShowListeningControls();
}

void TStation::RunTask(TTaskCode code) {
  switch (code) {
    case TTaskCode::CheckBeacons:
      clockTasks_.CheckBeacons();
      break;
    case TTaskCode::CheckSchedule:
      clockTasks_.CheckSchedule();
      break;
    case TTaskCode::RemoteStatus:
      remote_.PollStatus();
      break;
    case TTaskCode::RemoteCommand:
      remote_.ReadCommand();
      break;
  }
}

void TStation::Post(std::function<void()> work) {
  // Work left queued when the station closes is not done: it could key the transmitter again.
  QMetaObject::invokeMethod(
      this,
      [this, work = std::move(work)] {
        if (!state_.Closing)
          work();
      },
      Qt::QueuedConnection);
}

void TStation::PostShowState() {
  Post([this] { ShowIndicator(); });
}

void TStation::PostAudioIdle() {
  Post([this] { engine_.PlaybackFinished(TSender::Nobody); });
}

void TStation::PostCheckTraces() {
  Post([this] { emit CheckTracesRequested(); });
}

void TStation::PostTask(TTaskCode code) {
  Post([this, code] { RunTask(code); });
}

void TStation::PostCleanRecordings() {
  Post([this] { clockTasks_.CleanRecordings(); });
}

bool TStation::PlayingCWTest() const {
  return playKind_ == aeCWTest && recorder_.State() == TRecorderControl::TState::Playing;
}

QString TStation::CWTestRefusal() const {
  using TState = TRecorderControl::TState;
  const TState recorder = recorder_.State();
  if ((recorder == TState::Playing && !PlayingCWTest()) ||
      (recorder == TState::Recording && recordingToFile_))
    return AudioDeviceBusyMessage();
  return {};
}

void TStation::StopCWTest() {
  if (PlayingCWTest())
    recorder_.StopPlay();
}

QString TStation::PlayCWTest(const QString& text) {
  if (text.isEmpty() || state_.Closing)
    return {};
  if (QString refusal = CWTestRefusal(); !refusal.isEmpty())
    return refusal;
  const QString elements = text.startsWith(QLatin1Char('#')) ? text.mid(1) : TextToCWElements(text);
  if (elements.isEmpty())
    return {};
  StopCWTest();
  if (recorder_.State() == TRecorderControl::TState::Recording) {
    listeningPaused_ = true;
    recorder_.StopRecord();
  }
  recorder_.SetCWText(elements);
  if (recorder_.Play(aeCWTest))
    return {};
  CWTestEnded();
  return AudioDeviceBusyMessage();
}

void TStation::CWTestEnded() {
  if (recorder_.State() != TRecorderControl::TState::Idle)
    return;  // another test plays, or the station went on with its own work
  if (std::exchange(listeningPaused_, false)) {
    // The station listened before and still does: nothing for the engine to act on.
    resumingListening_ = true;
    recorder_.StartRecord(false);
    resumingListening_ = false;
  }
  emit CWTestFinished();
}

void TStation::OnRecordStart(bool saveToFile) {
  recordingToFile_ = saveToFile;
  if (!resumingListening_)
    engine_.RecordStarted(saveToFile);
  if (saveToFile)
    emit RecordingMarked(true);
  emit AudioChanged();
}

void TStation::OnRecordStop() {
  recordingToFile_ = false;
  emit RecordingMarked(false);
  emit AudioChanged();
}

void TStation::OnPlayStart(int kind) {
  playKind_ = kind;
  engine_.PlayStarted();
  emit PlaybackStarted();
  const TBeaconList& beacons = config_.Beacons();
  if (state_.BeaconIndex >= 0 && state_.BeaconIndex < beacons.Count())
    emit BeaconStarted(beacons.Items(state_.BeaconIndex).Name);
  emit AudioChanged();
}

void TStation::OnPlayFinished(int kind) {
  emit PlaybackFinished();
  if (kind != aeCWTest) {
    engine_.PlaybackFinished(TSender::Recorder);
  } else {
    CWTestEnded();
    engine_.GuestPlaybackFinished();
  }
  emit AudioChanged();
}

}  // namespace tarvok
