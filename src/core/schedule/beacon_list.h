// The beacons of Beacon Station mode, in the order they are shown and served, kept in the
// settings file as "BeaconGeneral" and "BeaconEvent0", "BeaconEvent1", ...
#pragma once

#include "core/schedule/beacon.h"
#include "core/schedule/schedule_list.h"

namespace tarvok {

class TBeaconList final : public TScheduleList<TBeacon> {
 public:
  explicit TBeaconList(const TClock& clock);

  // Appends a disabled beacon that holds nothing but the name.
  void AddNamed(const QString& name);
  void Delete(int index) { DeleteItem(index); }
  void Clear() { ClearItems(); }

  void ClearAllPending();
  bool AnyPending() const;
  // The position of the first beacon in list order with something due, the next one to send;
  // -1 when none.
  int FirstPending() const;

  // Appends the stored beacons that have a name.
  void LoadFromIni(const TIniFile& ini);
};

}  // namespace tarvok
