// Tells views when the station's snapshot changed: every event that may change it asks for a
// new reading, and only a reading that differs from the last one is signalled, so that a view
// never hears of a change that is not there.
#pragma once

#include <QObject>
#include <functional>

#include "core/station/station_snapshot.h"

namespace tarvok {

class TBeaconList;
class TModeSchedule;

// The earliest next run of the enabled items; an invalid time when none is due.
TNextRun NextBeaconRun(const TBeaconList& beacons);
TNextRun NextEventRun(const TModeSchedule& schedules);

class TSnapshotFeed final : public QObject {
  Q_OBJECT
 public:
  explicit TSnapshotFeed(std::function<TStationSnapshot()> read, QObject* parent = nullptr);

  // Reads the station again; Changed follows when the reading differs from the last one.
  void Update();

 signals:
  void Changed();

 private:
  std::function<TStationSnapshot()> read_;
  TStationSnapshot last_;
};

}  // namespace tarvok
