#include "core/schedule/mode_schedule.h"

namespace tarvok {

TModeSchedule::TModeSchedule(const TClock& clock)
    : TScheduleList(clock, QStringLiteral("ScheduleGeneral"), QStringLiteral("ScheduleEvent")) {}

void TModeSchedule::Delete(int index) {
  if (!DeleteItem(index))
    return;
  if (index == activeIndex_)
    activeIndex_ = -1;
  else if (index < activeIndex_)
    --activeIndex_;
}

void TModeSchedule::Clear() {
  ClearItems();
  ResetAll();
}

void TModeSchedule::ResetAll() {
  for (const auto& event : ItemList())
    event->Reset();
  activeIndex_ = -1;
}

bool TModeSchedule::ResetExpired() {
  bool any = false;
  for (const auto& event : ItemList()) {
    if (event->Expired()) {
      event->Reset();
      any = true;
    }
  }
  if (any)
    activeIndex_ = -1;
  return any;
}

int TModeSchedule::LastStarted() const {
  for (int i = Count() - 1; i >= 0; --i) {
    if (Items(i).Started())
      return i;
  }
  return -1;
}

void TModeSchedule::LoadFromIni(const TIniFile& ini) {
  LoadItems(ini, [](const TScheduleEvent& event) { return event.Mode != rmNone; });
}

}  // namespace tarvok
