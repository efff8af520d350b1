// One trace (upper or lower) connected to the sound card: the mixer line whose peak meter it shows
// and whose level feeds the VOX, that line's volume fader, the per-trace options (signed meter,
// trace and meter display off, automatic gain control), the captions, and the level histories
// that the oscilloscope and the level meter draw. A window binds its controls to this model: it
// reads the state after ControlsChanged and calls the Choose/Set/Change operations on user
// actions only.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "core/audio/source_line_store.h"
#include "core/station/agc_control.h"
#include "core/station/level_history.h"
#include "core/station/station_edits.h"
#include "core/station/station_snapshot.h"
#include "core/station/trace_source_levels.h"

namespace tarvok {

class TClock;
class TConfig;
class TSoundCard;
class TLevelPoller;

// One entry of the source list: "src:out: Wave Out" and the line index it stands for.
struct TSourceEntry {
  QString Text;
  int Line = -1;
};

// A number on the scale beside the oscilloscope, centred on row Y.
struct TScaleLabel {
  int Y = 0;
  int Value = 0;
  friend bool operator==(const TScaleLabel&, const TScaleLabel&) = default;
};

class TTraceSource final : public QObject {
  Q_OBJECT
 public:
  static constexpr int kUpper = 0;
  static constexpr int kLower = 1;
  static constexpr int kScopePoints = 32;

  // traceIndex is kUpper or kLower.
  TTraceSource(int traceIndex, TConfig& config, const TClock& clock, QObject* parent = nullptr);

  int TraceIndex() const { return traceIndex_; }
  bool Initialized() const { return initialized_; }
  // Connects the trace once: two mixer control objects for its meter and volume, the poller
  // slot, the options and source choice from the settings. Without a card and poller only the
  // header label is set.
  void Initialize(TSoundCard* card, TLevelPoller* poller);

  // Mixer devices by name; a choice refills the source list from the card's current device.
  const QStringList& MixerNames() const { return mixerNames_; }
  int SelectedMixer() const { return selectedMixer_; }
  void ChooseMixer(int index);

  const std::vector<TSourceEntry>& Sources() const { return sources_; }
  bool HasSources() const { return !sources_.empty(); }
  int SelectedSource() const { return selectedSource_; }
  // The line of the selected entry, -1 when none.
  int SelectedLine() const;
  // The selected line lies under a playback destination ("out:").
  bool SelectedLineIsOutput() const;
  // Selects the line without applying it. Once bound, the trace keeps to its device: while the
  // device is absent nothing is selected. Before that, the stored line (by device name, else
  // SourceIndex; the first entry when neither is listed).
  void SelectSourceFromSettings();
  // The user's choice: stored in the settings, applied, and the trace check is requested.
  void ChooseSource(int entry);
  // The same for the entry of a line.
  void ChooseLine(int line);
  // Binds the selected line's meter and volume again and recomputes the levels.
  void ApplySource();

  // "Select Sound Card Device to connect to Upper Trace" once initialised.
  const QString& HeaderLabel() const { return headerLabel_; }
  // " Upper Trace (VOX)  ".
  QString GroupCaption() const;
  // "    out: Wave Out  ".
  QString HeaderCaption() const;
  // "0-90 dB", empty for a line without a peak meter.
  const QString& Bounds() const { return bounds_; }

  const TTraceLevels& Levels() const { return levels_; }
  // Take effect with UpdateLevels.
  void SetNoiseLevel(int db) { levels_.SetNoiseLevel(db); }
  void SetThreshold(int db) { levels_.SetThresholdLevel(db); }
  // Recomputes the ranges from the meter, redraws the lines and sets this trace's poller
  // threshold: the upper trace the VOX slot's (threshold plus noise), the lower the other's.
  void UpdateLevels();
  // Whether this trace is the VOX source of the mode; the VOX trace's meter is the poller's
  // VOX slot, the other trace's its other slot. Call it on both traces after Initialize and
  // after every mode change.
  void SetMode(int mode);
  bool IsVoxTrace() const { return isVoxTrace_; }
  bool HasPeakMeter() const { return peakControl_ >= 0; }
  // The poller's flag of this trace's slot.
  bool SignalPresent() const;
  // The request of the VOX tick when this is the VOX trace: 0 without a meter, else by the
  // setting State (VOX 3 or 4, forced 1 or 2); nothing for an unknown State.
  std::optional<int> VoxRequest() const;
  // One refresh: the level as a bar on the oscilloscope and meter (when a panel has a height).
  // True when a panel changed.
  bool DisplayTick();
  // One refresh: the gain control may move the fader.
  void AgcTick();
  // A recording to a file runs: the meter's Extended averaging follows it.
  void MarkRecording(bool on);
  // Re-reads the settings after the preferences were saved.
  void RefreshFromSettings();
  // The card reports a changed control; the fader follows its volume.
  void MixerChanged(quint32 controlId);

  bool VolumeVisible() const { return volumeControl_ >= 0; }
  int VolumePosition() const { return volumePosition_; }
  // The user moved the fader: the mixer volume follows.
  void ChangeVolume(int position);

  bool Signed() const { return signed_; }
  void SetSigned(bool on);
  bool TraceDisabled() const { return traceDisabled_; }
  void SetTraceDisabled(bool on);
  bool PeakMeterDisabled() const { return peakMeterDisabled_; }
  void SetPeakMeterDisabled(bool on);
  bool GainControl() const;
  void SetGainControl(bool on);

  TLevelHistory& Scope() { return scope_; }
  TLevelHistory& Meter() { return meter_; }
  const TLevelHistory& Scope() const { return scope_; }
  const TLevelHistory& Meter() const { return meter_; }
  // A view's edit: the choice, position or check box it names.
  void Change(TTraceChange change, int value);
  // The panels' sizes; both use the oscilloscope's height for positions.
  void SetDisplaySize(int scopeWidth, int meterWidth, int height);
  // The meter's level now against the threshold, read from the card whatever is displayed.
  TTraceReading Reading() const;
  // The level of the last display tick, for a debugging label.
  int LastLevel() const { return lastLevel_; }
  // The scale's labels, most wanted first: the bottom and the top, the threshold, the AGC bounds.
  std::vector<TScaleLabel> ScaleLabels() const;

 signals:
  // The list, selection, captions, fader, bounds or options changed.
  void ControlsChanged();
  // The threshold and AGC lines moved; the scale is repainted.
  void LinesChanged();
  // The user chose a source; the station checks the trace assignment.
  void TraceCheckRequested();
  // The bound device went away or came back; the text says which.
  void DeviceReport(const QString& text);

 private:
  void FillSources();
  void FollowDevice();
  void BindSlot();
  void ApplyVolume();
  void SetFaderFromMixer();
  void RedrawLines();
  int LinePosition(int db) const;

  const int traceIndex_;
  TConfig& config_;
  const TClock& clock_;
  TSourceLineStore lineStore_;
  TSoundCard* card_ = nullptr;
  TLevelPoller* poller_ = nullptr;
  bool initialized_ = false;

  QStringList mixerNames_;
  int selectedMixer_ = -1;
  std::vector<TSourceEntry> sources_;
  int selectedSource_ = -1;
  // The device (line key) the trace is bound to, with its name, kept while it is absent.
  QString boundKey_;
  QString boundName_;
  bool deviceAbsent_ = false;
  QString headerLabel_;
  QString bounds_ = QStringLiteral("0-100 dB");

  int volumeObject_ = -1;
  int peakObject_ = -1;
  int volumeControl_ = -1;
  int peakControl_ = -1;
  int volumePosition_ = 0;
  TTraceLevels levels_;
  TAgcControl agc_;
  bool isVoxTrace_ = false;

  bool signed_ = false;
  bool traceDisabled_ = false;
  bool peakMeterDisabled_ = false;

  TLevelHistory scope_;
  TLevelHistory meter_;
  int lastLevel_ = 0;
};

}  // namespace tarvok
