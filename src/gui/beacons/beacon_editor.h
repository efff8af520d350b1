// The fields of one beacon: name, the enable rule, the five time expressions, the WAV file with
// its preview and the CW text. The panel edits a copy of the beacon that it holds itself, so
// whatever happens to the list meanwhile, it never writes into it; its owner takes the copy
// when told that the user changed it.
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <optional>

#include "core/schedule/beacon.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace tarvok {

class TExpressionEdit;
class TStationRuntime;

class TBeaconEditor final : public QWidget {
  Q_OBJECT
 public:
  // playPreview plays the beacon's file and CW text through the station, as far as the owner's
  // preview does, and returns "" or the message for the user.
  using TPreview = std::function<QString(const QString& file, const QString& cw)>;
  TBeaconEditor(TStationRuntime& station, TPreview playPreview, QWidget* parent = nullptr);
  // A preview still playing ends with the editor.
  ~TBeaconEditor() override;

  // Shows a copy of beacon, or, without one, empty fields that cannot be edited.
  void Load(const TBeacon* beacon);
  const std::optional<TBeacon>& Beacon() const { return beacon_; }
  void FocusName();

 signals:
  // The user changed a field; Beacon() holds the change.
  void Edited();

 private:
  void Store(const std::function<void(TBeacon&)>& change);
  void ApplyEnablingRule();
  void FillWavList();
  void ChooseWav(int index);
  void BrowseWav();
  void SetWaveFile(const QString& path);
  void Preview();

  TStationRuntime& station_;
  std::optional<TBeacon> beacon_;
  QString wavFolder_;
  TPreview playPreview_;

  QLineEdit* name_;
  QCheckBox* enabled_;
  std::array<TExpressionEdit*, 5> expressions_{};
  QComboBox* wavList_;
  QPushButton* browse_;
  QPushButton* preview_;
  QLineEdit* cw_;
};

}  // namespace tarvok
