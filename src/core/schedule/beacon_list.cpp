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

TBeacon* TBeaconList::FirstPending() {
  const auto found = std::find_if(ItemList().begin(), ItemList().end(),
                                  [](const auto& beacon) { return beacon->IsPending(); });
  return found == ItemList().end() ? nullptr : found->get();
}

void TBeaconList::LoadFromIni(const TIniFile& ini) {
  LoadItems(ini, [](const TBeacon& beacon) { return !beacon.Name.isEmpty(); });
}

}  // namespace tarvok
