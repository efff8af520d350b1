#include "gui/preferences/preferences_dialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/config/config.h"
#include "core/config/preferences.h"
#include "core/station/station_runtime.h"
#include "gui/dialogs/message_boxes.h"
#include "gui/preferences/agc_page.h"
#include "gui/preferences/audio_page.h"
#include "gui/preferences/beacon_options_page.h"
#include "gui/preferences/cw_page.h"
#include "gui/preferences/events_page.h"
#include "gui/preferences/general_page.h"
#include "gui/preferences/remote_page.h"
#include "gui/preferences/simplex_page.h"
#include "gui/preferences/vox_average_page.h"
#include "gui/preferences/vox_source_page.h"

namespace tarvok {

TPreferencesDialog::TPreferencesDialog(TStationRuntime& station, QWidget* parent)
    : QDialog(parent), station_(station), openingVolume_(station.Settings().CWVolume()) {
  setObjectName(QStringLiteral("frmOptions"));
  setWindowTitle(QStringLiteral("Preferences"));
  TConfig& config = station_.Settings();
  const TPreferences opening = TPreferences::Read(config);
  const QString folder = config.Folder().Path();
  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("PageControl"));
  // Every page's tab in view: the dialog grows to hold them.
  pages_->setUsesScrollButtons(false);
  AddPage(new TGeneralOptionsPage(opening), QStringLiteral(" &General  "));
  AddPage(new TVoxAveragePage(opening), QStringLiteral(" &VOX Average  "));
  AddPage(new TVoxSourcePage(opening), QStringLiteral(" VOX &Source  "));
  auto testCW = [this](const QString& text) { TestCW(text); };
  eventsPage_ = new TEventsPage(opening, station_.FilePlayer(), folder, testCW);
  AddPage(eventsPage_, QStringLiteral(" &Events  "));
  AddPage(new TSimplexPage(opening, config.DefaultLogPath()), QStringLiteral(" &Simplex  "));
  AddPage(new TAudioPage(opening), QStringLiteral(" &Audio  "));
  cwPage_ = new TCWPage(opening, config, testCW);
  AddPage(cwPage_, QStringLiteral(" &CW  "));
  AddPage(new TRemotePage(opening, folder), QStringLiteral(" &Remote  "));
  AddPage(new TAgcPage(opening), QStringLiteral(" AGC  "));
  auto* beacons = new TBeaconOptionsPage(station_);
  connect(beacons, &TBeaconOptionsPage::PlayCW, this, &TPreferencesDialog::TestCW);
  InsertPage(kBeaconPageIndex, beacons, QStringLiteral(" &Beacon  "));
  pages_->setCurrentIndex(0);

  save_ = new QPushButton(QStringLiteral("  Save      "), this);
  save_->setObjectName(QStringLiteral("btnSave"));
  save_->setEnabled(false);
  connect(save_, &QPushButton::clicked, this, &TPreferencesDialog::Save);
  auto* cancel = new QPushButton(QStringLiteral(" Cancel      "), this);
  cancel->setObjectName(QStringLiteral("btnCancel"));
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(save_);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addLayout(buttons);
  // The pages' content and no more; the layout keeps it from shrinking below.
  resize(minimumSizeHint());
}

void TPreferencesDialog::AddPage(TPreferencesPage* page, const QString& caption) {
  connect(page, &TPreferencesPage::Modified, this, &TPreferencesDialog::MarkModified);
  preferencePages_.push_back(page);
  pages_->addTab(page, caption);
}

void TPreferencesDialog::MarkModified() { save_->setEnabled(true); }

void TPreferencesDialog::TestCW(const QString& text) {
  const QString refused =
      station_.TestCW(text, cwPage_->Volume(), cwPage_->Speed(), cwPage_->Frequency());
  if (!refused.isEmpty())
    ShowErrorBox(this, refused);
}

void TPreferencesDialog::Save() {
  TPreferences preferences = TPreferences::Read(station_.Settings());
  for (const TPreferencesPage* page : preferencePages_)
    page->Store(preferences);
  const bool saved = station_.SavePreferences(preferences, [this](TConfig& config) {
    for (const auto& write : ownWrites_)
      write(config);
  });
  if (saved)
    accept();
}

void TPreferencesDialog::done(int result) {
  eventsPage_->StopPreview();
  if (result != Accepted)
    station_.Settings().SetCWVolume(openingVolume_);
  QDialog::done(result);
}

void ShowPreferences(TStationRuntime& station, QWidget* parent) {
  station.SuspendForDialog();
  bool saved = false;
  {
    TPreferencesDialog dialog(station, parent);
    saved = dialog.exec() == QDialog::Accepted;
  }
  station.ResumeAfterDialog();
  station.ApplyPreferences(saved);
}

}  // namespace tarvok
