// The "Events" page: for the courtesy tone, the identification, the QST and the time-out, the WAV
// file played, the repeat interval where the event has one and the CW text of the identification.
// A file is previewed through the station as the air would carry it (the identification's CW text
// after it), and stopped.
#pragma once

#include <QString>
#include <array>
#include <functional>

#include "core/config/preferences.h"
#include "gui/preferences/preferences_page.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tarvok {

class TStationRuntime;

class TEventsPage final : public TPreferencesPage {
  Q_OBJECT
 public:
  // startFolder is where files are looked for before an event has one; playPreview plays a file and
  // a CW text through the station and returns "" or the message for the user.
  using TPreview = std::function<QString(const QString& file, const QString& cw)>;
  TEventsPage(const TPreferences& preferences, TStationRuntime& station, const QString& startFolder,
              TPreview playPreview, QWidget* parent = nullptr);
  void Store(TPreferences& preferences) const override;
  // Stops a preview of this page; its CW text is not sounded.
  void StopPreview();

 private:
  int CurrentSlot() const;
  // The sound group for the current event: the folder's WAV files, its interval and CW text.
  void RefreshSound();
  void ChooseFile(const QString& path);
  void NameChosen(int index);
  void Browse();
  void IntervalEdited(const QString& text);
  void Preview();
  void ShowRowFile(int row);

  std::array<TEventPreferences, kAudioEventCount> events_;
  TStationRuntime& station_;
  TPreview playPreview_;
  QString folder_;
  QTableWidget* grid_;
  QComboBox* names_;
  QLabel* intervalLabel_;
  QLineEdit* interval_;
  QLabel* secondsLabel_;
  QLabel* cwLabel_;
  QLineEdit* cwString_;
  QPushButton* stop_;
};

}  // namespace tarvok
