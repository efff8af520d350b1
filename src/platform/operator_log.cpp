#include "platform/operator_log.h"

#include <cstdio>

#include "core/audio/sound_card.h"
#include "core/common/clock.h"
#include "core/config/config.h"
#include "core/station/station_runtime.h"
#include "core/station/status_display.h"
#include "core/station/vox_control_check.h"
#include "platform/instance_guard.h"
#include "platform/station_assembly.h"

namespace tarvok {

TOperatorLog::TOperatorLog(const TClock& clock, QObject* parent) : QObject(parent), clock_(clock) {}

void TOperatorLog::Line(const QString& text) {
  const QString stamp = clock_.Now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
  const QString line = stamp + QStringLiteral("  ") + text;
  std::printf("%s\n", line.toLocal8Bit().constData());
  std::fflush(stdout);
  emit LineWritten(line);
}

void TOperatorLog::Follow(TStationAssembly& assembly, bool answersQuestions) {
  TStationRuntime& station = assembly.Station();
  const TConfig& settings = station.Settings();
  Line(QStringLiteral("Tarvok %1 started with settings file %2")
           .arg(settings.VersionText(), settings.Folder().SettingsFile()));
  Line(QStringLiteral("Sound card: %1, %2")
           .arg(station.SoundCard().DeviceName(0), assembly.SoundDescription()));
  connect(&assembly.InstanceGuard(), &TInstanceGuard::RaiseRequested, this, [this] {
    Line(QStringLiteral("Another copy of the station was started on this folder and ended"));
  });
  connect(&station, &TStationRuntime::ModeChanged, this,
          [this](TRepeaterMode mode, bool schedulerOn) {
            const QString caption = CaptionText(mode, schedulerOn);
            if (caption != caption_)
              Line(QStringLiteral("Mode: %1").arg(caption));
            caption_ = caption;
          });
  connect(&station, &TStationRuntime::IndicatorChanged, this, [this](const TIndicator& indicator) {
    Line(QStringLiteral("State: %1").arg(indicator.Caption));
  });
  connect(&station, &TStationRuntime::TransmitterKeyedChanged, this, [this](bool keyed) {
    Line(keyed ? QStringLiteral("Transmitter keyed") : QStringLiteral("Transmitter released"));
  });
  connect(&station, &TStationRuntime::TransmitterLockoutEnded, this,
          [this] { Line(QStringLiteral("Transmitter lock-out ended")); });
  connect(&station, &TStationRuntime::ErrorShown, this, [this](const QString& text) {
    if (text != lastError_)
      Line(QStringLiteral("Error: %1").arg(text));
    lastError_ = text;
  });
  connect(&station, &TStationRuntime::ErrorCleared, this, [this] { lastError_.clear(); });
  connect(&station, &TStationRuntime::ScheduledSwitch, this, [this](TRepeaterMode mode) {
    Line(mode == rmNone ? QStringLiteral("Schedule: waiting for the next event")
                        : QStringLiteral("Schedule: switching to %1").arg(RepeaterModeText(mode)));
  });
  connect(&station, &TStationRuntime::BeaconSent, this,
          [this](const QString& name) { Line(QStringLiteral("Beacon sent: %1").arg(name)); });
  connect(&station, &TStationRuntime::DtmfKey, this,
          [this](QChar key) { Line(QStringLiteral("DTMF key: %1").arg(key)); });
  connect(&station, &TStationRuntime::DtmfControlLine, this, &TOperatorLog::Line);
  connect(&station, &TStationRuntime::RecordingStarted, this,
          [this](const QString& file) { Line(QStringLiteral("Recording to %1").arg(file)); });
  connect(&station, &TStationRuntime::RecordingFinished, this, [this](const QString& file) {
    Line(QStringLiteral("Recording finished: %1").arg(file));
  });
  connect(&station, &TStationRuntime::RecordingSkipped, this, &TOperatorLog::Line);
  connect(&station, &TStationRuntime::PeakMeterHelpNeeded, this, [this] {
    Warn(PeakMeterHelpText() +
         QStringLiteral(" (tarvok --list-audio shows the lines of the sound system.)"));
  });
  // Nobody is there to tick "Don't show this dialog again": the check stays on.
  connect(&station, &TStationRuntime::TraceWarningAsked, this,
          [this, &station, answersQuestions](const QString& message) {
            Warn(message);
            if (answersQuestions)
              station.AnswerTraceWarning(false);
          });
}

void TOperatorLog::Warn(const QString& message) {
  if (warningsShown_.contains(message))
    return;
  warningsShown_.insert(message);
  Line(QStringLiteral("Warning: %1").arg(message));
}

}  // namespace tarvok
