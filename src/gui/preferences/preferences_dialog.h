// The modal "Preferences" dialog: the station's settings on pages, changed on working copies and
// written together by "Save", in one replace of the settings file. Cancel, Esc and the title
// bar's close write nothing but the CW volume back to its value at opening.
#pragma once

#include <QDialog>
#include <QTabWidget>
#include <functional>
#include <vector>

class QPushButton;

namespace tarvok {

class TCWPage;
class TConfig;
class TEventsPage;
class TPreferencesPage;
class TStationRuntime;

class TPreferencesDialog final : public QDialog {
  Q_OBJECT
 public:
  explicit TPreferencesDialog(TStationRuntime& station, QWidget* parent = nullptr);

  // Sounds text as the CW test, with the CW page's frequency, speed and volume.
  void TestCW(const QString& text);

 public slots:
  void done(int result) override;

 private:
  // Where a page of settings of its own (the beacons') goes: between "CW" and "Remote".
  static constexpr int kBeaconPageIndex = 7;

  // Adds a page that writes settings of its own: its Modified() signal enables Save, and its
  // Save(TConfig&) runs inside the same single replace of the settings file as the other pages.
  template <typename Page>
  void InsertPage(int index, Page* page, const QString& caption) {
    connect(page, &Page::Modified, this, &TPreferencesDialog::MarkModified);
    ownWrites_.push_back([page](TConfig& config) { page->Save(config); });
    pages_->insertTab(index, page, caption);
  }

  void AddPage(TPreferencesPage* page, const QString& caption);
  void MarkModified();
  void Save();

  TStationRuntime& station_;
  const int openingVolume_;
  QTabWidget* pages_;
  std::vector<TPreferencesPage*> preferencePages_;
  std::vector<std::function<void(TConfig&)>> ownWrites_;
  TEventsPage* eventsPage_ = nullptr;
  TCWPage* cwPage_ = nullptr;
  QPushButton* save_;
};

// File > Preferences: the station suspended for the dialog, the dialog, the station resumed and
// the saved settings applied.
void ShowPreferences(TStationRuntime& station, QWidget* parent);

}  // namespace tarvok
