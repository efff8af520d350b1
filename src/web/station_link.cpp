#include "web/station_link.h"

#include <QDateTime>
#include <QDir>
#include <cmath>

#include "core/common/level_conversion.h"
#include "core/config/config.h"
#include "core/schedule/list_editor.h"
#include "core/station/state_buttons.h"
#include "core/station/station_runtime.h"
#include "core/station/status_display.h"
#include "core/station/trace_source.h"

namespace tarvok {

namespace {

constexpr int kMaxText = 255;

QString ColourName(TIndicatorColour colour) {
  switch (colour) {
    case TIndicatorColour::Red:
      return QStringLiteral("red");
    case TIndicatorColour::Blue:
      return QStringLiteral("blue");
    case TIndicatorColour::Green:
      break;
  }
  return QStringLiteral("green");
}

void WriteRule(QJsonObject& item, const TTimeSchedule& rule) {
  item[QStringLiteral("enabled")] = rule.Enabled;
  item[QStringLiteral("min")] = rule.Min;
  item[QStringLiteral("hour")] = rule.Hour;
  item[QStringLiteral("day")] = rule.Day;
  item[QStringLiteral("month")] = rule.Month;
  item[QStringLiteral("weekDay")] = rule.WeekDay;
  item[QStringLiteral("status")] = rule.StatusText();
  item[QStringLiteral("nextRun")] = rule.NextRunText();
}

// A text field of a list entry: "" when it is a string without control characters, of kMaxText
// characters at most; else what is wrong with it.
QString ReadText(const QJsonObject& item, const QString& key, QString& value) {
  const QJsonValue field = item.value(key);
  if (field.isUndefined()) {
    value.clear();
    return {};
  }
  if (!field.isString())
    return QStringLiteral("\"%1\" must be text").arg(key);
  value = field.toString();
  if (value.size() > kMaxText)
    return QStringLiteral("\"%1\" is longer than %2 characters").arg(key).arg(kMaxText);
  for (QChar c : value) {
    if (c.category() == QChar::Other_Control)
      return QStringLiteral("\"%1\" holds a control character").arg(key);
  }
  return {};
}

QString ReadRule(const QJsonObject& item, TTimeSchedule& rule) {
  const QJsonValue enabled = item.value(QStringLiteral("enabled"));
  if (!enabled.isUndefined() && !enabled.isBool())
    return QStringLiteral("\"enabled\" must be true or false");
  rule.Enabled = enabled.toBool(false);
  for (auto [key, field] :
       {std::pair{"min", &rule.Min}, std::pair{"hour", &rule.Hour}, std::pair{"day", &rule.Day},
        std::pair{"month", &rule.Month}, std::pair{"weekDay", &rule.WeekDay}}) {
    if (QString error = ReadText(item, QString::fromLatin1(key), *field); !error.isEmpty())
      return error;
    // An expression left empty reads as "*", as in the editors.
    if (field->trimmed().isEmpty())
      *field = QStringLiteral("*");
  }
  return {};
}

}  // namespace

TStationLink::TStationLink(TStationRuntime& station, QObject* parent)
    : QObject(parent), station_(station) {
  connect(&station_, &TStationRuntime::SnapshotChanged, this, &TStationLink::SnapshotChanged);
  auto listsChanged = [this] {
    ++listVersion_;
    emit ListsChanged();
  };
  connect(&station_.Lists(), &TListEditor::BeaconsChanged, this, listsChanged);
  connect(&station_.Lists(), &TListEditor::SchedulesChanged, this, listsChanged);
}

QJsonObject TStationLink::Snapshot() const {
  const TStationSnapshot now = station_.Snapshot();
  const TModeControl& modes = station_.Modes();
  QJsonArray buttons;
  for (int number = 1; number <= 3 && !now.SchedulerOn; ++number) {
    if (const auto button = RemoteStateButton(now.Mode, number)) {
      buttons.append(QJsonObject{
          {QStringLiteral("state"), number},
          {QStringLiteral("caption"), QString::fromLatin1(StateButtonInfo(*button).Caption)},
          {QStringLiteral("checked"), modes.Buttons().IsChecked(*button)}});
    }
  }
  auto nextRun = [](const TNextRun& run) {
    return QJsonObject{{QStringLiteral("name"), run.Name},
                       {QStringLiteral("time"), run.Time.toString(Qt::ISODate)}};
  };
  return QJsonObject{
      {QStringLiteral("mode"), static_cast<int>(now.Mode)},
      {QStringLiteral("title"), now.Caption},
      {QStringLiteral("schedulerOn"), now.SchedulerOn},
      {QStringLiteral("modeState"), static_cast<int>(now.ModeState)},
      {QStringLiteral("indicator"),
       QJsonObject{{QStringLiteral("caption"), now.Indicator.Caption},
                   {QStringLiteral("colour"), ColourName(now.Indicator.Colour)}}},
      {QStringLiteral("keyed"), now.Keyed},
      {QStringLiteral("keyedSince"), now.Keyed ? now.KeyedSince.toMSecsSinceEpoch() : 0},
      {QStringLiteral("capturing"), now.Capturing},
      {QStringLiteral("recorderRunning"), now.RecorderCapture},
      {QStringLiteral("recorderAvailable"), modes.RecorderMenuEnabled()},
      {QStringLiteral("heldByDialog"), now.HeldByDialog},
      {QStringLiteral("error"), now.Error},
      {QStringLiteral("date"), now.Date},
      {QStringLiteral("time"), now.Time},
      {QStringLiteral("nextBeacon"), nextRun(now.NextBeacon)},
      {QStringLiteral("nextEvent"), nextRun(now.NextEvent)},
      {QStringLiteral("stateButtons"), buttons},
  };
}

QJsonObject TStationLink::Levels() const {
  // In dB, as the window's scale shows them: 20 log10 of the meter's raw reading.
  auto decibels = [](int raw) { return std::round(LevelToDecibels(raw) * 10) / 10; };
  QJsonArray traces;
  const TLevelReadings readings = station_.Levels();
  for (int index : {TTraceSource::kUpper, TTraceSource::kLower}) {
    const TTraceReading& reading = readings[static_cast<std::size_t>(index)];
    traces.append(QJsonObject{{QStringLiteral("caption"), station_.Trace(index).GroupCaption()},
                              {QStringLiteral("level"), decibels(reading.Level)},
                              {QStringLiteral("threshold"), decibels(reading.Threshold)},
                              {QStringLiteral("maximum"), decibels(reading.Maximum)},
                              {QStringLiteral("signal"), reading.Signal},
                              {QStringLiteral("vox"), reading.Vox}});
  }
  return QJsonObject{{QStringLiteral("traces"), traces}};
}

bool TStationLink::RecorderRunning() const { return station_.Snapshot().RecorderCapture; }

QString TStationLink::Refusal() const {
  if (station_.Closed())
    return QStringLiteral("The station is stopping");
  if (station_.Snapshot().HeldByDialog)
    return QStringLiteral("A dialog of the station's window is open: close it first");
  return {};
}

QString TStationLink::SetMode(int mode) {
  if (QString refusal = Refusal(); !refusal.isEmpty())
    return refusal;
  if (RecorderRunning())
    return QStringLiteral("The Recorder is running: stop it before changing the mode");
  station_.ChangeMode(static_cast<TRepeaterMode>(mode));
  return {};
}

QString TStationLink::SetState(int state) {
  if (QString refusal = Refusal(); !refusal.isEmpty())
    return refusal;
  const TStationState& now = station_.State();
  if (now.SchedulerOn)
    return QStringLiteral("The scheduler is on: its events choose the state");
  const auto button = RemoteStateButton(now.Mode, state);
  if (!button)
    return QStringLiteral("%1 mode has no state %2").arg(RepeaterModeText(now.Mode)).arg(state);
  station_.ClickStateButton(*button);
  return {};
}

QString TStationLink::StateCaption(int state) const {
  const auto button = RemoteStateButton(station_.State().Mode, state);
  return button ? QString::fromLatin1(StateButtonInfo(*button).Caption) : QString();
}

QString TStationLink::SetScheduler(bool on) {
  if (QString refusal = Refusal(); !refusal.isEmpty())
    return refusal;
  if (RecorderRunning())
    return QStringLiteral("The Recorder is running: stop it before switching the scheduler");
  if (station_.State().SchedulerOn != on)
    station_.ToggleScheduler();
  return {};
}

QString TStationLink::SetRecorder(bool on) {
  if (QString refusal = Refusal(); !refusal.isEmpty())
    return refusal;
  if (!station_.Modes().RecorderMenuEnabled())
    return QStringLiteral("The Recorder works in Internet Repeater mode only");
  if (on && !station_.Capturing())
    station_.StartCapture();
  else if (!on && RecorderRunning())
    station_.StopCapture();
  return {};
}

QString TStationLink::PlayRecording(const QString& path) {
  if (QString refusal = Refusal(); !refusal.isEmpty())
    return refusal;
  return station_.Preview(path);
}

QString TStationLink::RecordingsFolder() const {
  const TConfig& config = station_.Settings();
  return config.LogPath().isEmpty() ? config.DefaultLogPath() : config.LogPath();
}

QJsonObject TStationLink::Beacons() const {
  QJsonArray items;
  const TBeaconList& beacons = station_.Lists().Beacons();
  for (int i = 0; i < beacons.Count(); ++i) {
    const TBeacon& beacon = beacons.Items(i);
    QJsonObject item{{QStringLiteral("name"), beacon.Name},
                     {QStringLiteral("waveFile"), beacon.WaveFile},
                     {QStringLiteral("cw"), beacon.CWString}};
    WriteRule(item, beacon);
    items.append(item);
  }
  return QJsonObject{{QStringLiteral("version"), listVersion_}, {QStringLiteral("items"), items}};
}

QJsonObject TStationLink::Schedule() const {
  QJsonArray items;
  const TModeSchedule& events = station_.Lists().Schedules();
  for (int i = 0; i < events.Count(); ++i) {
    const TScheduleEvent& event = events.Items(i);
    QJsonObject item{{QStringLiteral("mode"), static_cast<int>(event.Mode)},
                     {QStringLiteral("modeText"), event.ModeText()},
                     {QStringLiteral("duration"), event.Duration}};
    WriteRule(item, event);
    items.append(item);
  }
  return QJsonObject{{QStringLiteral("version"), listVersion_}, {QStringLiteral("items"), items}};
}

QString TStationLink::ReplaceBeacons(const QJsonArray& beacons) {
  const TListEditor& lists = station_.Lists();
  TBeaconList list = lists.Beacons();
  list.Clear();
  for (const QJsonValue& value : beacons) {
    if (!value.isObject())
      return QStringLiteral("Each beacon must be an object");
    const QJsonObject item = value.toObject();
    TBeacon beacon = lists.NewBeacon();
    for (auto [key, field] :
         {std::pair{"name", &beacon.Name}, std::pair{"waveFile", &beacon.WaveFile},
          std::pair{"cw", &beacon.CWString}}) {
      if (QString error = ReadText(item, QString::fromLatin1(key), *field); !error.isEmpty())
        return error;
    }
    if (QString error = ReadRule(item, beacon); !error.isEmpty())
      return error;
    if (beacon.Name.trimmed().isEmpty())
      return QStringLiteral("The <Beacon Name> field is empty.");
    list.Add(beacon);
  }
  station_.ReplaceBeacons(list);
  return {};
}

QString TStationLink::ReplaceSchedule(const QJsonArray& events) {
  const TListEditor& lists = station_.Lists();
  std::vector<TScheduleEvent> checked;
  for (const QJsonValue& value : events) {
    if (!value.isObject())
      return QStringLiteral("Each event must be an object");
    const QJsonObject item = value.toObject();
    TScheduleEvent event = lists.NewEvent();
    const QJsonValue mode = item.value(QStringLiteral("mode"));
    const QJsonValue duration = item.value(QStringLiteral("duration"));
    if (!mode.isUndefined() && !mode.isDouble())
      return QStringLiteral("\"mode\" must be a number");
    if (!duration.isUndefined() &&
        (!duration.isDouble() || duration.toDouble() < 0 || duration.toDouble() > 1e6))
      return QStringLiteral("\"duration\" must be a number of minutes");
    if (QString error = ReadRule(item, event); !error.isEmpty())
      return error;
    if (!IsOperatingMode(mode.toInt(0)))
      return QStringLiteral("Please select repeater mode.");
    event.Mode = static_cast<TRepeaterMode>(mode.toInt());
    event.Duration = duration.toInt(0);
    checked.push_back(event);
  }
  station_.ReplaceEvents(checked);
  return {};
}

}  // namespace tarvok
