// The headless station's log for the operator: one timestamped line on standard output for each
// thing that happens on the air (mode and state changes, keying, recordings, beacons, scheduled
// switches, DTMF keys, errors). The questions the window would ask in a dialog are printed once.
// Every line is also published, stamped as printed, for the web console's log.
#pragma once

#include <QObject>
#include <QSet>
#include <QString>

namespace tarvok {

class TClock;
class TStationAssembly;
class TStationRuntime;

class TOperatorLog final : public QObject {
  Q_OBJECT
 public:
  explicit TOperatorLog(const TClock& clock, QObject* parent = nullptr);

  // Writes the first lines of a run (version, settings file, sound system) and follows the
  // station's events from then on, a second copy started on its folder included. Without a
  // window to ask them, the log answers the station's questions itself.
  void Follow(TStationAssembly& assembly, bool answersQuestions);
  void Line(const QString& text);

 signals:
  void LineWritten(const QString& stampedLine);

 private:
  // Each question once: the station runs unattended and would repeat it at every mode change.
  void Warn(const QString& message);

  const TClock& clock_;
  QString caption_;
  QString lastError_;
  QSet<QString> warningsShown_;
};

}  // namespace tarvok
