// The mode-schedule events and which of them put the station into its present mode, kept in the
// settings file as "ScheduleGeneral" and "ScheduleEvent0", "ScheduleEvent1", ...
//
// The station's minute check works through it in this order: ResetExpired (and switch to no mode
// when it returns true), CheckTime with one clock reading, then LastStarted holds the mode: its
// Mode is entered when it differs from the mode in force or another event takes over, and it
// becomes the ActiveIndex.
#pragma once

#include "core/schedule/schedule_event.h"
#include "core/schedule/schedule_list.h"

namespace tarvok {

class TModeSchedule final : public TScheduleList<TScheduleEvent> {
 public:
  explicit TModeSchedule(const TClock& clock);

  // The position of the event that last put the station into its mode; -1 for none.
  int ActiveIndex() const { return activeIndex_; }
  void SetActiveIndex(int index) { activeIndex_ = index; }
  // The last event in list order that has Started; -1 for none.
  int LastStarted() const;

  // Removes the event; the active position follows the events after it, and is -1 when the
  // active event itself goes.
  void Delete(int index);
  // Removes every event and resets the run state.
  void Clear();

  // Resets the run state of every event; no event is active.
  void ResetAll();
  // Resets every expired event and returns whether there was one; then no event is active.
  bool ResetExpired();

  // Appends the stored events that have an operating mode.
  void LoadFromIni(const TIniFile& ini);

 private:
  int activeIndex_ = -1;
};

}  // namespace tarvok
