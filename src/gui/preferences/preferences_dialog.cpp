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
    : QDialog(parent), station_(station) {
  setObjectName(QStringLiteral("frmOptions"));
  setWindowTitle(QStringLiteral("Preferences"));
  const TConfig& config = station_.Settings();
  const TPreferences opening = TPreferences::Read(config);
  const QString folder = config.Folder().Path();
  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("PageControl"));
  // Every page's tab in view: the dialog grows to hold them.
  pages_->setUsesScrollButtons(false);
  AddPage(new TGeneralOptionsPage(opening), QStringLiteral(" &General  "));
  AddPage(new TVoxAveragePage(opening), QStringLiteral(" &VOX Average  "));
  AddPage(new TVoxSourcePage(opening), QStringLiteral(" VOX &Source  "));
  auto preview = [this](const QString& file, const QString& cw) { return Preview(file, cw); };
  AddPage(new TEventsPage(opening, station_, folder, preview), QStringLiteral(" &Events  "));
  AddPage(new TSimplexPage(opening, config.DefaultLogPath()), QStringLiteral(" &Simplex  "));
  AddPage(new TAudioPage(opening), QStringLiteral(" &Audio  "));
  cwPage_ = new TCWPage(opening, [this](const QString& text) { TestCW(text); });
  AddPage(cwPage_, QStringLiteral(" &CW  "));
  AddPage(new TRemotePage(opening, folder), QStringLiteral(" &Remote  "));
  AddPage(new TAgcPage(opening), QStringLiteral(" AGC  "));
  AddPage(new TBeaconOptionsPage(station_, preview), QStringLiteral(" &Beacon  "),
          kBeaconPageIndex);
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

void TPreferencesDialog::AddPage(TPreferencesPage* page, const QString& caption, int index) {
  connect(page, &TPreferencesPage::Modified, this, &TPreferencesDialog::MarkModified);
  preferencePages_.push_back(page);
  pages_->insertTab(index, page, caption);
}

void TPreferencesDialog::MarkModified() { save_->setEnabled(true); }

void TPreferencesDialog::TestCW(const QString& text) {
  const QString refused = Preview(QString(), text);
  if (!refused.isEmpty())
    ShowErrorBox(this, refused);
}

QString TPreferencesDialog::Preview(const QString& file, const QString& cw) {
  return station_.Preview(file, cw, {cwPage_->Volume(), cwPage_->Speed(), cwPage_->Frequency()});
}

void TPreferencesDialog::Save() {
  TPreferences preferences = TPreferences::Read(station_.Settings());
  for (const TPreferencesPage* page : preferencePages_)
    page->Store(preferences);
  if (station_.SavePreferences(preferences))
    accept();
}

void TPreferencesDialog::done(int result) {
  // The dialog's previews end with it.
  station_.StopPreview();
  QDialog::done(result);
}

void ShowPreferences(TStationRuntime& station, QWidget* parent) {
  const TStationRuntime::TDialogHold hold = station.HoldForDialog();
  TPreferencesDialog dialog(station, parent);
  dialog.exec();
}

}  // namespace tarvok
