#include "app/operator_log.h"

#include <cstdio>

#include "core/common/clock.h"
#include "core/station/station_runtime.h"

namespace tarvok {

TOperatorLog::TOperatorLog(const TClock& clock, QObject* parent) : QObject(parent), clock_(clock) {}

void TOperatorLog::Line(const QString& text) {
  const QString stamp = clock_.Now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
  std::printf("%s  %s\n", stamp.toLocal8Bit().constData(), text.toLocal8Bit().constData());
  std::fflush(stdout);
}

void TOperatorLog::TransmitterKeyed(bool keyed) {
  if (keyed == keyed_)
    return;
  keyed_ = keyed;
  Line(keyed ? QStringLiteral("Transmitter keyed") : QStringLiteral("Transmitter released"));
}

void TOperatorLog::Attach(TStationRuntime& runtime) {
  TStation& station = runtime.Station();
  connect(&station.Display(), &TStatusDisplay::CaptionChanged, this,
          [this](const QString& caption) {
            if (caption != caption_)
              Line(QStringLiteral("Mode: %1").arg(caption));
            caption_ = caption;
          });
  connect(&station, &TStation::IndicatorChanged, this,
          [this, &station] { Line(QStringLiteral("State: %1").arg(station.Indicator().Caption)); });
  connect(&station.Display(), &TStatusDisplay::ErrorChanged, this, [this](const QString& text) {
    if (!text.isEmpty() && text != lastError_)
      Line(QStringLiteral("Error: %1").arg(text));
    lastError_ = text;
  });
  connect(&station.Modes(), &TModeControl::ScheduledModeSwitched, this, [this](int mode) {
    Line(mode == rmNone ? QStringLiteral("Schedule: waiting for the next event")
                        : QStringLiteral("Schedule: switching to %1").arg(RepeaterModeText(mode)));
  });
  connect(&station, &TStation::BeaconStarted, this,
          [this](const QString& name) { Line(QStringLiteral("Beacon sent: %1").arg(name)); });
  connect(&runtime.Dtmf(), &TDtmfBlockProcessor::KeyDecoded, this,
          [this](QChar key) { Line(QStringLiteral("DTMF key: %1").arg(key)); });
  TRecordThread& recorder = runtime.RecordThread();
  connect(&station, &TStation::RecordingMarked, this, [this, &recorder](bool started) {
    if (started) {
      recording_ = true;
      // The file is named once the recorder has opened it, after this event.
      QMetaObject::invokeMethod(
          this,
          [this, &recorder] {
            Line(QStringLiteral("Recording to %1").arg(recorder.Recorder().LastRecording()));
          },
          Qt::QueuedConnection);
    } else if (recording_) {
      recording_ = false;
      Line(QStringLiteral("Recording finished: %1").arg(recorder.Recorder().LastRecording()));
    }
  });
}

void TOperatorLog::ShowPeakMeterHelp() {
  Warn(QStringLiteral(
      "Tarvok requires that your sound card and sound driver combination support at least one "
      "input device with a peak meter and at least one output device with a peak meter. Tarvok "
      "has detected that currently your sound system has either no peak meters, or at most one "
      "peak meter. This configuration does not meet Tarvok's requirements. (tarvok --list-audio "
      "shows the lines of the sound system.)"));
}

bool TOperatorLog::ShowTraceWarning(const QString& message) {
  Warn(message);
  return false;
}

void TOperatorLog::Warn(const QString& message) {
  if (warningsShown_.contains(message))
    return;
  warningsShown_.insert(message);
  Line(QStringLiteral("Warning: %1").arg(message));
}

}  // namespace tarvok
