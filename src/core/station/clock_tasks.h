// The once-a-second clock tasks: the date and time texts, the minute checks of the mode schedule
// and the beacons, the recording limits of Simplex Repeater mode, the hourly log cut-off and the
// five-minute clean-up of the recordings folder, the retry countdown and the remote poll. Longer
// work is queued rather than done inside the tick.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace tarvok {

class TClock;
class TConfig;
class TModeControl;
class TRecorderControl;
class TRepeaterEngine;
class TStationQueue;
struct TStationState;
struct TSystemTime;

class TClockTasks final : public QObject {
  Q_OBJECT
 public:
  TClockTasks(TStationState& state, TConfig& config, const TClock& clock,
              const TRecorderControl& recorder, TRepeaterEngine& engine, TModeControl& modeControl,
              TStationQueue& queue, QObject* parent = nullptr);

  void StartTimer() { dateTimeTimer_.start(); }
  void StopTimer() { dateTimeTimer_.stop(); }
  bool TimerActive() const { return dateTimeTimer_.isActive(); }

  void ClockTick();
  // False once the recording in progress exceeds LimitRecordSize bytes or LimitRecordTime
  // seconds.
  bool WithinRecordLimits() const;
  void CheckBeacons();
  void CheckSchedule();
  void CleanRecordings();
  // The recordings being written or played, full paths; the clean-up leaves them alone.
  void SetRecordingsInUse(std::function<QStringList()> inUse) { inUse_ = std::move(inUse); }

  const QString& DateText() const { return dateText_; }
  const QString& TimeText() const { return timeText_; }

 signals:
  void ClockChanged(const QString& date, const QString& time);
  void SchedulesChecked();
  // The first tick of a new minute: the lists show their next runs anew.
  void MinuteBegan();

 private:
  // True once per minute, in the first seconds of a minute not seen before.
  static bool NewMinute(int& lastMinute, const TSystemTime& now);

  TStationState& state_;
  TConfig& config_;
  const TClock& clock_;
  const TRecorderControl& recorder_;
  TRepeaterEngine& engine_;
  TModeControl& modeControl_;
  TStationQueue& queue_;
  std::function<QStringList()> inUse_;

  QTimer dateTimeTimer_;
  QString dateText_;
  QString timeText_;
  int secondCount_ = 0;
  // -1 until the first check, so that a start in minute 0 checks that minute too.
  int lastBeaconMinute_ = -1;
  int lastScheduleMinute_ = -1;
  int lastListMinute_ = -1;
  bool beaconCheckBusy_ = false;
  bool scheduleCheckBusy_ = false;
};

}  // namespace tarvok
