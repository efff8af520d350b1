// A scheduled transmission of Beacon Station mode: at the minutes its rule matches, a WAV file, a
// CW text or both become due and wait, flagged, until the station has started sending them.
#pragma once

#include <QString>

#include "core/schedule/time_schedule.h"

namespace tarvok {

class TBeacon final : public TTimeSchedule {
 public:
  explicit TBeacon(const TClock& clock) : TTimeSchedule(clock) {}

  QString Name;      // a beacon without a name is not kept in the settings file
  QString WaveFile;  // full path, empty for none
  QString CWString;  // text sent in Morse, empty for none

  // Copies name, payloads and rule, not the pending flags, and recalculates the next run.
  void Assign(const TBeacon& source);

  // An enabled beacon with nothing to send has no next run and shows "Never".
  bool CalculateNextRun(bool force) override;
  QString StatusText() const override;

  // At a matching minute, marks the CW text due when there is one and the WAV file due when it
  // exists at this moment. True while anything is due, also from an earlier, unserved match.
  bool IsTime(const TSystemTime& now) override;

  bool WavePending() const { return wavePending_; }
  bool CWPending() const { return cwPending_; }
  bool IsPending() const { return wavePending_ || cwPending_; }
  void ClearWavePending() { wavePending_ = false; }
  void ClearCWPending() { cwPending_ = false; }
  void ClearPending() { wavePending_ = cwPending_ = false; }

  // The rule's keys followed by "Name", "WaveFile" and "CWString".
  void LoadFromIni(const TIniFile& ini, const QString& section);
  bool SaveToIni(TIniFile& ini, const QString& section, int index) const;

 private:
  bool HasPayload() const { return !WaveFile.isEmpty() || !CWString.isEmpty(); }

  bool wavePending_ = false;
  bool cwPending_ = false;
};

}  // namespace tarvok
