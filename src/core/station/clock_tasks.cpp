#include "core/station/clock_tasks.h"

#include "core/audio/recorder_control.h"
#include "core/audio/recordings_cleanup.h"
#include "core/common/clock.h"
#include "core/config/config.h"
#include "core/station/mode_control.h"
#include "core/station/repeater_engine.h"
#include "core/station/station_queue.h"
#include "core/station/station_state.h"

namespace tarvok {

namespace {

constexpr int kMinuteCheckSeconds = 5;
constexpr int kLogCutoffSeconds = 3600;
constexpr int kCleanUpSeconds = 300;

}  // namespace

TClockTasks::TClockTasks(TStationState& state, TConfig& config, const TClock& clock,
                         const TRecorderControl& recorder, TRepeaterEngine& engine,
                         TModeControl& modeControl, TStationQueue& queue, QObject* parent)
    : QObject(parent),
      state_(state),
      config_(config),
      clock_(clock),
      recorder_(recorder),
      engine_(engine),
      modeControl_(modeControl),
      queue_(queue) {
  dateTimeTimer_.setInterval(1000);
  connect(&dateTimeTimer_, &QTimer::timeout, this, &TClockTasks::ClockTick);
}

bool TClockTasks::NewMinute(int& lastMinute, const TSystemTime& now) {
  if (now.Second >= kMinuteCheckSeconds || now.Minute == lastMinute)
    return false;
  lastMinute = now.Minute;
  return true;
}

void TClockTasks::ClockTick() {
  const QDateTime now = clock_.Now();
  dateText_ = now.toString(QStringLiteral("MM/dd/yyyy"));
  timeText_ = now.toString(QStringLiteral("HH:mm:ss"));
  emit ClockChanged(dateText_, timeText_);
  if (NewMinute(lastListMinute_, clock_.LocalTime()))
    emit MinuteBegan();

  if (state_.SchedulerOn && NewMinute(lastScheduleMinute_, clock_.LocalTime()))
    queue_.PostTask(TTaskCode::CheckSchedule);

  if (state_.Mode == rmSimplexRepeater) {
    if (state_.ModeState == msSignal && !WithinRecordLimits()) {
      // The recording ends and is played back, followed by the time-out message.
      engine_.SetState(TSender::Station, msNoSignal);
      state_.TimeoutPending = true;
    }
    if (++secondCount_ >= kLogCutoffSeconds) {
      config_.UpdateLogCutoff();
      secondCount_ = 0;
    }
    if (secondCount_ % kCleanUpSeconds == 0)
      queue_.PostCleanRecordings();
  }

  if (state_.Mode == rmBeaconStation && NewMinute(lastBeaconMinute_, clock_.LocalTime()))
    queue_.PostTask(TTaskCode::CheckBeacons);

  if (state_.RetryPending && --state_.RetryCountdown < 0)
    modeControl_.RestartMode();

  if (config_.RemoteEnabled())
    queue_.PostTask(TTaskCode::RemoteStatus);
}

bool TClockTasks::WithinRecordLimits() const {
  const std::int64_t written = recorder_.BytesWritten();
  if (config_.LimitRecordSize() > 0 && written > config_.LimitRecordSize())
    return false;
  const int bytesPerSec = recorder_.BytesPerSec();
  if (config_.LimitRecordTime() < 1 || bytesPerSec <= 0)
    return true;
  return config_.LimitRecordTime() >= written / bytesPerSec;
}

void TClockTasks::CheckBeacons() {
  if (beaconCheckBusy_)
    return;
  beaconCheckBusy_ = true;
  const int due = config_.Beacons().CheckTime(clock_.LocalTime());
  beaconCheckBusy_ = false;
  const bool free = state_.ModeState == msNoSignal || state_.ModeState == msBeaconWave ||
                    state_.ModeState == msBeaconCW;
  if (due > 0 && config_.State() == csVox &&
      recorder_.State() != TRecorderControl::TState::Playing && free)
    queue_.PostAudioIdle();
}

void TClockTasks::CheckSchedule() {
  if (scheduleCheckBusy_)
    return;
  scheduleCheckBusy_ = true;
  TModeSchedule& schedules = config_.Schedules();
  if (schedules.ResetExpired())
    modeControl_.SwitchScheduledMode(rmNone);
  schedules.CheckTime(clock_.LocalTime());
  // The last started event holds the mode. Its mode is entered when it differs from the one in
  // force or another event takes over, not again at every minute, which would cut a recording
  // or a beacon on the air and drop the beacons waiting for a free channel.
  const int active = schedules.LastStarted();
  if (active >= 0) {
    const TRepeaterMode mode = schedules.Items(active).Mode;
    if (mode != state_.Mode || active != schedules.ActiveIndex())
      modeControl_.SwitchScheduledMode(mode);
    schedules.SetActiveIndex(active);
  }
  scheduleCheckBusy_ = false;
  emit SchedulesChecked();
}

void TClockTasks::CleanRecordings() {
  const TCleanupLimits limits{config_.LimitLogDays(), config_.LogCutoffTime(),
                              config_.LimitLogSize()};
  ::tarvok::CleanRecordings(config_.LogBrowsePath(), limits, inUse_ ? inUse_() : QStringList());
}

}  // namespace tarvok
