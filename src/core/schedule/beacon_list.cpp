#include "core/schedule/beacon_list.h"

#include <algorithm>

namespace tarvok {

TBeaconList::TBeaconList(const TClock& clock)
    : TScheduleList(clock, QStringLiteral("BeaconGeneral"), QStringLiteral("BeaconEvent")) {}

void TBeaconList::AddNamed(const QString& name) {
  TBeacon beacon(Clock());
  beacon.Name = name;
  Add(beacon);
}

void TBeaconList::ClearAllPending() {
  for (const auto& beacon : ItemList())
    beacon->ClearPending();
}

bool TBeaconList::AnyPending() const {
  return std::any_of(ItemList().begin(), ItemList().end(),
                     [](const auto& beacon) { return beacon->IsPending(); });
}

int TBeaconList::FirstPending() const {
  for (int i = 0; i < Count(); ++i) {
    if (Items(i).IsPending())
      return i;
  }
  return -1;
}

void TBeaconList::LoadFromIni(const TIniFile& ini) {
  LoadItems(ini, [](const TBeacon& beacon) { return !beacon.Name.isEmpty(); });
}

}  // namespace tarvok
