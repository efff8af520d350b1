// The console's one link to the station's door: what the page shows, as JSON, and the operations
// it may ask for, each answered with "" or the reason the window would refuse it (a greyed menu).
// Nothing else in the console touches the station.
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>

namespace tarvok {

class TStationRuntime;

class TStationLink final : public QObject {
  Q_OBJECT
 public:
  explicit TStationLink(TStationRuntime& station, QObject* parent = nullptr);

  // The door's snapshot, with the state buttons of the mode in force and whether the Recorder
  // may be used.
  QJsonObject Snapshot() const;
  // Both traces' levels and thresholds, read when asked.
  QJsonObject Levels() const;

  QString SetMode(int mode);
  // state as a remote command's "state=" numbers it in the mode in force.
  QString SetState(int state);
  // The caption of the button that state names in the mode in force, or "".
  QString StateCaption(int state) const;
  QString SetScheduler(bool on);
  QString SetRecorder(bool on);
  QString PlayRecording(const QString& path);

  QString RecordingsFolder() const;

  // The lists as the editors show them, with a version that any change to them advances.
  QJsonObject Beacons() const;
  QJsonObject Schedule() const;
  int ListVersion() const { return listVersion_; }
  // Checked as the editors check them; "" when replaced, else the reason and nothing changed.
  QString ReplaceBeacons(const QJsonArray& beacons);
  QString ReplaceSchedule(const QJsonArray& events);

 signals:
  // What the snapshot holds has changed.
  void SnapshotChanged();
  void ListsChanged();

 private:
  QString Refusal() const;
  bool RecorderRunning() const;

  TStationRuntime& station_;
  int listVersion_ = 1;
};

}  // namespace tarvok
