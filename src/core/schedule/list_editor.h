// The one way to change the beacon list and the mode schedule from outside the station: each
// accepted edit changes the live list and writes that list to the settings file at once, in one
// replace, so a killed station loses nothing; then the list's views are told to refill. Views
// name an item by its position and work on copies, never on a reference kept across a change.
#pragma once

#include <QObject>
#include <vector>

#include "core/schedule/beacon_list.h"
#include "core/schedule/mode_schedule.h"

namespace tarvok {

class TClock;
class TConfig;

class TListEditor final : public QObject {
  Q_OBJECT
 public:
  TListEditor(TConfig& config, const TClock& clock, QObject* parent = nullptr);

  const TBeaconList& Beacons() const;
  const TModeSchedule& Schedules() const;
  // Empty, disabled items to fill in an editor.
  TBeacon NewBeacon() const { return TBeacon(clock_); }
  TScheduleEvent NewEvent() const { return TScheduleEvent(clock_); }

  // Each returns false when nothing was changed (a position outside the list) or the file could
  // not be written (the user has been told; the change holds in memory).
  bool AddBeacon(const TBeacon& beacon);
  // The beacon's content is replaced; what it has waiting to be sent stays.
  bool SaveBeacon(int index, const TBeacon& beacon);
  bool DeleteBeacon(int index);
  bool SetBeaconEnabled(int index, bool enabled);
  // The whole list, as the preferences edited it; call it inside their settings replace.
  bool ReplaceBeacons(const TBeaconList& beacons);

  bool AddEvent(const TScheduleEvent& event);
  // The event's rule, mode and duration are replaced; its run state stays.
  bool SaveEvent(int index, const TScheduleEvent& event);
  bool DeleteEvent(int index);
  bool SetEventEnabled(int index, bool enabled);
  // The whole schedule at once, in one write.
  bool ReplaceEvents(const std::vector<TScheduleEvent>& events);

  // The next runs that have passed are searched again, as the lists show them at a new minute.
  void UpdateNextRuns();

 signals:
  void BeaconsChanged();
  void SchedulesChanged();

 private:
  bool BeaconsEdited();
  bool SchedulesEdited();

  TConfig& config_;
  const TClock& clock_;
};

}  // namespace tarvok
