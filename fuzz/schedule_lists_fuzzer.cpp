// The beacon and schedule sections of a settings file: what loads is what the sections hold (named
// beacons, events with an operating mode, no more than "Count"), and a saved list loads again the
// same and saves to the same file.
#include <QStringList>

#include "core/schedule/beacon_list.h"
#include "core/schedule/mode_schedule.h"
#include "fuzz_support.h"

using namespace tarvok;
using tarvok::fuzz::Check;

namespace {

QStringList Rule(const TTimeSchedule& rule) {
  return {rule.Enabled ? QStringLiteral("1") : QStringLiteral("0"),
          rule.Min,
          rule.Hour,
          rule.Day,
          rule.Month,
          rule.WeekDay};
}

// Everything each list keeps, in list order.
QStringList Contents(const TBeaconList& beacons, const TModeSchedule& schedules) {
  QStringList all;
  for (int i = 0; i < beacons.Count(); ++i) {
    const TBeacon& b = beacons.Items(i);
    all << Rule(b) << b.Name << b.WaveFile << b.CWString;
  }
  for (int i = 0; i < schedules.Count(); ++i) {
    const TScheduleEvent& e = schedules.Items(i);
    all << Rule(e) << QString::number(e.Mode) << QString::number(e.Duration);
  }
  return all;
}

struct TLists {
  explicit TLists(const TClock& clock) : beacons(clock), schedules(clock) {}

  void Load(const TIniFile& ini) {
    ini.ReadBatch([&] {
      beacons.LoadFromIni(ini);
      schedules.LoadFromIni(ini);
    });
  }
  void Save(TIniFile& ini) const {
    Check(beacons.SaveToIni(ini) && schedules.SaveToIni(ini), "the lists are saved");
  }

  TBeaconList beacons;
  TModeSchedule schedules;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const TManualClock clock(QDateTime(QDate(2026, 12, 7), QTime(2, 0)));
  const TIniFile file(fuzz::WriteScratchFile(QStringLiteral("lists.ini"), fuzz::Bytes(data, size)));
  TLists loaded(clock);
  loaded.Load(file);
  Check(loaded.beacons.Count() <= std::max(0, file.ReadInteger(QStringLiteral("BeaconGeneral"),
                                                               QStringLiteral("Count"), 0)),
        "no more beacons than \"Count\"");
  for (int i = 0; i < loaded.beacons.Count(); ++i)
    Check(!loaded.beacons.Items(i).Name.isEmpty(), "every beacon has a name");
  for (int i = 0; i < loaded.schedules.Count(); ++i)
    Check(IsOperatingMode(loaded.schedules.Items(i).Mode), "every event has an operating mode");

  TIniFile saved(fuzz::WriteScratchFile(QStringLiteral("saved.ini"), QByteArray()));
  loaded.Save(saved);
  const QByteArray once = fuzz::ReadScratchFile(QStringLiteral("saved.ini"));
  TLists reloaded(clock);
  reloaded.Load(saved);
  Check(
      Contents(reloaded.beacons, reloaded.schedules) == Contents(loaded.beacons, loaded.schedules),
      "saved lists load again the same");
  reloaded.Save(saved);
  Check(fuzz::ReadScratchFile(QStringLiteral("saved.ini")) == once,
        "loaded lists save to the same file");
  return 0;
}
