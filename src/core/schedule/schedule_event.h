// A mode-schedule event: when its rule matches, the event starts and the station is put into its
// operating mode; Duration minutes after the last matching minute it expires and the station
// leaves the mode again.
#pragma once

#include <optional>

#include "core/common/repeater_mode.h"
#include "core/schedule/time_schedule.h"

namespace tarvok {

class TScheduleEvent final : public TTimeSchedule {
 public:
  explicit TScheduleEvent(const TClock& clock) : TTimeSchedule(clock) {}

  TRepeaterMode Mode = rmNone;  // an event without a mode is not kept in the settings file
  int Duration = 0;             // minutes; 0 (or less) holds the mode until the list is reset

  // The run state: the rule has matched, or the end time has been reached, since the last reset.
  bool Started() const { return started_; }
  bool Expired() const { return expired_; }
  // When the event ends (year, month, day, hour, minute); none for an open-ended event.
  const std::optional<TSystemTime>& EndTime() const { return endTime_; }
  void Reset();

  // Copies mode, duration and rule, not the run state, and recalculates the next run.
  void Assign(const TScheduleEvent& source);

  QString ModeText() const { return RepeaterModeText(Mode); }

  // A matching minute starts the event and sets its end Duration minutes on; a reading at or
  // after the end time marks it expired. Returns Started or Expired.
  bool IsTime(const TSystemTime& now) override;

  // The run window: "mm/dd hh:nn-mm/dd hh:nn", or "mm/dd hh:nn-..." when open-ended; empty
  // without a next run.
  QString NextRunShortText() const override;

  // The rule's keys followed by "Mode" and "Duration". A stored mode that is no operating mode
  // loads as rmNone.
  void LoadFromIni(const TIniFile& ini, const QString& section);
  bool SaveToIni(TIniFile& ini, const QString& section, int index) const;

 private:
  bool started_ = false;
  bool expired_ = false;
  std::optional<TSystemTime> endTime_;
};

}  // namespace tarvok
