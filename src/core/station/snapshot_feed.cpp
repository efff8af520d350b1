#include "core/station/snapshot_feed.h"

#include "core/schedule/beacon_list.h"
#include "core/schedule/mode_schedule.h"

namespace tarvok {

namespace {

QDateTime DateTimeOf(const TSystemTime& time) {
  return {QDate(time.Year, time.Month, time.Day), QTime(time.Hour, time.Minute)};
}

template <typename TList, typename TNameOf>
TNextRun EarliestRun(const TList& list, TNameOf nameOf) {
  TNextRun next;
  for (int i = 0; i < list.Count(); ++i) {
    const auto& item = list.Items(i);
    if (!item.Enabled || !item.HasNextRun())
      continue;
    const QDateTime time = DateTimeOf(*item.NextRun());
    if (!next.Time.isValid() || time < next.Time)
      next = {nameOf(item), time};
  }
  return next;
}

}  // namespace

TNextRun NextBeaconRun(const TBeaconList& beacons) {
  return EarliestRun(beacons, [](const TBeacon& beacon) { return beacon.Name; });
}

TNextRun NextEventRun(const TModeSchedule& schedules) {
  return EarliestRun(schedules, [](const TScheduleEvent& event) { return event.ModeText(); });
}

TSnapshotFeed::TSnapshotFeed(std::function<TStationSnapshot()> read, QObject* parent)
    : QObject(parent), read_(std::move(read)), last_(read_()) {}

void TSnapshotFeed::Update() {
  TStationSnapshot next = read_();
  if (next == last_)
    return;
  last_ = std::move(next);
  emit Changed();
}

}  // namespace tarvok
