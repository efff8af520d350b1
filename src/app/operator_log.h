// The headless station's log for the operator: one timestamped line on standard output for each
// thing that happens on the air (mode and state changes, keying, recordings, beacons, scheduled
// switches, DTMF keys, errors). The questions the window would ask in a dialog are printed once.
#pragma once

#include <QObject>
#include <QSet>
#include <QString>

namespace tarvok {

class TClock;
class TStationRuntime;

class TOperatorLog final : public QObject {
  Q_OBJECT
 public:
  explicit TOperatorLog(const TClock& clock, QObject* parent = nullptr);

  // Follows the station's events from now on. Without a window to ask them, the log answers
  // the station's questions itself.
  void Attach(TStationRuntime& station, bool answersQuestions);
  // The first lines of a run: the version, the settings file and the sound system.
  void Started(TStationRuntime& station, const QString& soundSystem);
  void Line(const QString& text);

 private:
  // Each question once: the station runs unattended and would repeat it at every mode change.
  void Warn(const QString& message);

  const TClock& clock_;
  QString caption_;
  QString lastError_;
  QSet<QString> warningsShown_;
};

}  // namespace tarvok
