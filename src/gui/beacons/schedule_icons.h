// The state icons of the beacon and schedule lists: an alarm clock for an item with a next run,
// an outlined red cross for an enabled item that never runs, a solid red cross for a disabled
// one, and a green arrow for the schedule event in force.
#pragma once

#include <QIcon>

namespace tarvok {

class TTimeSchedule;

enum class TScheduleIcon { NextRun, Never, Disabled, Active };

TScheduleIcon IconFor(const TTimeSchedule& schedule);
QIcon ScheduleIcon(TScheduleIcon icon);

}  // namespace tarvok
