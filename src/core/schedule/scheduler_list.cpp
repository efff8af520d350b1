#include "core/schedule/scheduler_list.h"

namespace tarvok {

TSchedulerList::TSchedulerList(const TClock& clock)
    : TScheduleList(clock, QStringLiteral("ScheduleGeneral"), QStringLiteral("ScheduleEvent")) {}

void TSchedulerList::Delete(int index) {
  if (!DeleteItem(index))
    return;
  if (index == activeIndex_)
    activeIndex_ = -1;
  else if (index < activeIndex_)
    --activeIndex_;
}

void TSchedulerList::Clear() {
  ClearItems();
  ResetAll();
}

void TSchedulerList::ResetAll() {
  for (const auto& event : ItemList())
    event->Reset();
  activeIndex_ = -1;
}

bool TSchedulerList::ResetExpired() {
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

int TSchedulerList::LastStarted() const {
  for (int i = Count() - 1; i >= 0; --i) {
    if (Items(i).Started())
      return i;
  }
  return -1;
}

void TSchedulerList::LoadFromIni(const TIniFile& ini) {
  LoadItems(ini, [](const TScheduler& event) { return event.Mode != rmNone; });
}

}  // namespace tarvok
