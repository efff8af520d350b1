#include "core/schedule/list_editor.h"

#include "core/config/config.h"

namespace tarvok {

namespace {

bool Within(int index, int count) { return index >= 0 && index < count; }

}  // namespace

TListEditor::TListEditor(TConfig& config, const TClock& clock, QObject* parent)
    : QObject(parent), config_(config), clock_(clock) {}

const TBeaconList& TListEditor::Beacons() const { return config_.Beacons(); }

const TModeSchedule& TListEditor::Schedules() const { return config_.Schedules(); }

bool TListEditor::AddBeacon(const TBeacon& beacon) {
  config_.Beacons().Add(beacon);
  return BeaconsEdited();
}

bool TListEditor::SaveBeacon(int index, const TBeacon& beacon) {
  if (!Within(index, Beacons().Count()))
    return false;
  config_.Beacons().Items(index).Assign(beacon);
  return BeaconsEdited();
}

bool TListEditor::DeleteBeacon(int index) {
  if (!Within(index, Beacons().Count()))
    return false;
  config_.Beacons().Delete(index);
  return BeaconsEdited();
}

bool TListEditor::SetBeaconEnabled(int index, bool enabled) {
  if (!Within(index, Beacons().Count()))
    return false;
  TBeacon& beacon = config_.Beacons().Items(index);
  beacon.Enabled = enabled;
  beacon.CalculateNextRun(true);
  return BeaconsEdited();
}

bool TListEditor::ReplaceBeacons(const TBeaconList& beacons) {
  config_.Beacons() = beacons;
  return BeaconsEdited();
}

bool TListEditor::ReplaceEvents(const std::vector<TScheduleEvent>& events) {
  TModeSchedule& schedules = config_.Schedules();
  schedules.Clear();
  for (const TScheduleEvent& event : events)
    schedules.Add(event);
  return SchedulesEdited();
}

bool TListEditor::AddEvent(const TScheduleEvent& event) {
  config_.Schedules().Add(event);
  return SchedulesEdited();
}

bool TListEditor::SaveEvent(int index, const TScheduleEvent& event) {
  if (!Within(index, Schedules().Count()))
    return false;
  config_.Schedules().Items(index).Assign(event);
  return SchedulesEdited();
}

bool TListEditor::DeleteEvent(int index) {
  if (!Within(index, Schedules().Count()))
    return false;
  config_.Schedules().Delete(index);
  return SchedulesEdited();
}

bool TListEditor::SetEventEnabled(int index, bool enabled) {
  if (!Within(index, Schedules().Count()))
    return false;
  TScheduleEvent& event = config_.Schedules().Items(index);
  event.Enabled = enabled;
  event.CalculateNextRun(true);
  return SchedulesEdited();
}

void TListEditor::UpdateNextRuns() {
  TBeaconList& beacons = config_.Beacons();
  for (int i = 0; i < beacons.Count(); ++i)
    beacons.Items(i).CalculateNextRun(false);
  TModeSchedule& schedules = config_.Schedules();
  for (int i = 0; i < schedules.Count(); ++i)
    schedules.Items(i).CalculateNextRun(false);
  emit BeaconsChanged();
  emit SchedulesChanged();
}

bool TListEditor::BeaconsEdited() {
  const bool saved = config_.SaveBeacons();
  emit BeaconsChanged();
  return saved;
}

bool TListEditor::SchedulesEdited() {
  const bool saved = config_.SaveSchedules();
  emit SchedulesChanged();
  return saved;
}

}  // namespace tarvok
