// The modal "Preferences" dialog: the station's settings on pages, changed on working copies and
// written together by "Save", in one replace of the settings file. Cancel, Esc and the title
// bar's close write nothing.
#pragma once

#include <QDialog>
#include <QTabWidget>
#include <vector>

class QPushButton;

namespace tarvok {

class TCWPage;
class TEventsPage;
class TPreferencesPage;
class TStationRuntime;

class TPreferencesDialog final : public QDialog {
  Q_OBJECT
 public:
  explicit TPreferencesDialog(TStationRuntime& station, QWidget* parent = nullptr);

  // Sounds text as the CW test, with the CW page's frequency, speed and volume.
  void TestCW(const QString& text);
  // Plays a file and then a CW text through the station, the CW with the CW page's tone; "" or
  // the message for the user.
  QString Preview(const QString& file, const QString& cw);

 public slots:
  void done(int result) override;

 private:
  // The beacons' page goes between "CW" and "Remote".
  static constexpr int kBeaconPageIndex = 7;

  // At index, or after the pages added so far.
  void AddPage(TPreferencesPage* page, const QString& caption, int index = -1);
  void MarkModified();
  void Save();

  TStationRuntime& station_;
  QTabWidget* pages_;
  std::vector<TPreferencesPage*> preferencePages_;
  TCWPage* cwPage_ = nullptr;
  QPushButton* save_;
};

// File > Preferences: the dialog, with the station held for it.
void ShowPreferences(TStationRuntime& station, QWidget* parent);

}  // namespace tarvok
