// The "Events" page: for the courtesy tone, the identification, the QST and the time-out, the WAV
// file played, the repeat interval where the event has one and the CW text of the identification.
// A file can be previewed through the station's file player, and stopped.
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

class TWavFilePlayer;

class TEventsPage final : public TPreferencesPage {
  Q_OBJECT
 public:
  // startFolder is where files are looked for before an event has one; testCW sounds the
  // identification's CW text after its preview.
  TEventsPage(const TPreferences& preferences, TWavFilePlayer& player, const QString& startFolder,
              std::function<void(const QString&)> testCW, QWidget* parent = nullptr);
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
  void PreviewFinished(const QString& path);
  void ShowRowFile(int row);

  std::array<TEventPreferences, kAudioEventCount> events_;
  TWavFilePlayer& player_;
  std::function<void(const QString&)> testCW_;
  QString folder_;
  QString previewFile_;
  QString pendingCW_;
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
