#include "gui/preferences/events_page.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/audio/air_wav_files.h"
#include "core/station/station_runtime.h"
#include "gui/dialogs/message_boxes.h"

namespace tarvok {

namespace {

constexpr int kFileColumn = 2;
const QString kNone = QStringLiteral("(None)");

}  // namespace

TEventsPage::TEventsPage(const TPreferences& preferences, TStationRuntime& station,
                         const QString& startFolder, TPreview playPreview, QWidget* parent)
    : TPreferencesPage(parent),
      events_(preferences.Events),
      station_(station),
      playPreview_(std::move(playPreview)),
      folder_(startFolder) {
  setObjectName(QStringLiteral("EventsSheet"));
  grid_ = new QTableWidget(0, 3, this);
  grid_->setObjectName(QStringLiteral("EventsGrid"));
  grid_->setHorizontalHeaderLabels(
      {QString(), QStringLiteral("Event"), QStringLiteral("File Name")});
  grid_->verticalHeader()->hide();
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->setColumnWidth(0, 20);
  for (int slot = 0; slot < kAudioEventCount; ++slot) {
    if (*AudioEvents[slot].Name == '\0')
      continue;
    const int row = grid_->rowCount();
    grid_->insertRow(row);
    auto* event = new QTableWidgetItem(QString::fromLatin1(AudioEvents[slot].Name).trimmed());
    event->setData(Qt::UserRole, slot);
    grid_->setItem(row, 0, new QTableWidgetItem);
    grid_->setItem(row, 1, event);
    grid_->setItem(row, kFileColumn, new QTableWidgetItem);
    ShowRowFile(row);
  }
  grid_->resizeColumnToContents(1);
  // Also rows chosen by the keyboard.
  connect(grid_, &QTableWidget::currentCellChanged, this, &TEventsPage::RefreshSound);

  auto* sound = new QGroupBox(QStringLiteral(" Sound  "), this);
  auto* soundGrid = new QGridLayout(sound);
  names_ = new QComboBox(sound);
  names_->setObjectName(QStringLiteral("cboName"));
  connect(names_, &QComboBox::activated, this, &TEventsPage::NameChosen);
  auto* browse = new QPushButton(QStringLiteral("Browse"), sound);
  browse->setObjectName(QStringLiteral("btnBrowse"));
  connect(browse, &QPushButton::clicked, this, &TEventsPage::Browse);
  auto* preview = new QPushButton(QStringLiteral("Preview"), sound);
  preview->setObjectName(QStringLiteral("btnPreview"));
  connect(preview, &QPushButton::clicked, this, &TEventsPage::Preview);
  stop_ = new QPushButton(QStringLiteral("Stop"), sound);
  stop_->setObjectName(QStringLiteral("btnStop"));
  stop_->setEnabled(false);
  connect(stop_, &QPushButton::clicked, this, &TEventsPage::StopPreview);
  intervalLabel_ = new QLabel(QStringLiteral("Interval:"), sound);
  interval_ = new QLineEdit(sound);
  interval_->setObjectName(QStringLiteral("edInterval"));
  interval_->setMaxLength(6);
  interval_->setMaximumWidth(70);
  connect(interval_, &QLineEdit::textEdited, this, &TEventsPage::IntervalEdited);
  secondsLabel_ = new QLabel(QStringLiteral("seconds"), sound);
  cwLabel_ = new QLabel(QStringLiteral("CW String:"), sound);
  cwString_ = new QLineEdit(sound);
  cwString_->setObjectName(QStringLiteral("edCWString"));
  connect(cwString_, &QLineEdit::textEdited, this, [this](const QString& text) {
    events_[CurrentSlot()].CWString = text;
    emit Modified();
  });
  soundGrid->addWidget(new QLabel(QStringLiteral("Name:"), sound), 0, 0);
  soundGrid->addWidget(names_, 0, 1, 1, 3);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {browse, preview, stop_})
    buttons->addWidget(button);
  buttons->addStretch();
  soundGrid->addLayout(buttons, 1, 1, 1, 3);
  soundGrid->addWidget(intervalLabel_, 2, 0);
  soundGrid->addWidget(interval_, 2, 1);
  soundGrid->addWidget(secondsLabel_, 2, 2);
  soundGrid->addWidget(cwLabel_, 3, 0);
  soundGrid->addWidget(cwString_, 3, 1, 1, 3);
  soundGrid->setColumnStretch(3, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grid_, 1);
  layout->addWidget(sound);
  connect(&station_, &TStationRuntime::PreviewFinished, stop_,
          [this] { stop_->setEnabled(false); });
  grid_->setCurrentCell(0, 1);
}

int TEventsPage::CurrentSlot() const {
  return grid_->item(grid_->currentRow(), 1)->data(Qt::UserRole).toInt();
}

void TEventsPage::ShowRowFile(int row) {
  const int slot = grid_->item(row, 1)->data(Qt::UserRole).toInt();
  const QString& file = events_[slot].WavFile;
  grid_->item(row, kFileColumn)->setText(file);
  grid_->item(row, 0)->setIcon(file.isEmpty() ? QIcon()
                                              : style()->standardIcon(QStyle::SP_MediaVolume));
}

void TEventsPage::RefreshSound() {
  if (grid_->currentRow() < 0)
    return;
  const int slot = CurrentSlot();
  const TEventPreferences& event = events_[slot];
  if (!event.WavFile.isEmpty())
    folder_ = QFileInfo(event.WavFile).absolutePath();
  const QSignalBlocker blocker(names_);
  names_->clear();
  names_->addItem(kNone);
  names_->addItems(AirWavFiles(folder_));
  const QFileInfo file(event.WavFile);
  const int found = file.isFile() ? names_->findText(file.fileName(), Qt::MatchFixedString) : -1;
  names_->setCurrentIndex(std::max(found, 0));

  const bool hasInterval = AudioEvents[slot].DefaultTime > 0;
  for (QWidget* field : std::initializer_list<QWidget*>{intervalLabel_, interval_, secondsLabel_})
    field->setEnabled(hasInterval);
  interval_->setText(hasInterval ? QString::number(event.AudioTime) : QString());
  const bool hasCW = AudioEvents[slot].AllowCW;
  cwLabel_->setVisible(hasCW);
  cwString_->setVisible(hasCW);
  cwString_->setText(hasCW ? event.CWString : QString());
}

void TEventsPage::ChooseFile(const QString& path) {
  events_[CurrentSlot()].WavFile = path;
  ShowRowFile(grid_->currentRow());
  emit Modified();
  RefreshSound();
}

void TEventsPage::NameChosen(int index) {
  ChooseFile(index <= 0 ? QString() : QDir(folder_).filePath(names_->itemText(index)));
}

void TEventsPage::Browse() {
  const QString path =
      QFileDialog::getOpenFileName(this, QString(), folder_, QStringLiteral("WAV files (*.wav)"));
  if (!path.isEmpty())
    ChooseFile(path);
}

void TEventsPage::IntervalEdited(const QString& text) {
  const int slot = CurrentSlot();
  const int value = EventIntervalFromText(text, slot);
  events_[slot].AudioTime = value;
  if (text != QString::number(value))
    interval_->setText(QString::number(value));
  emit Modified();
}

void TEventsPage::Preview() {
  const int slot = CurrentSlot();
  const QString cw = AudioEvents[slot].AllowCW ? events_[slot].CWString : QString();
  const QString path = QDir(folder_).filePath(names_->currentText());
  const bool file = names_->currentIndex() > 0 && QFileInfo(path).isFile();
  const QString refused = playPreview_(file ? path : QString(), cw);
  if (!refused.isEmpty())
    ShowErrorBox(this, refused);
  stop_->setEnabled(station_.Previewing());
}

void TEventsPage::StopPreview() { station_.StopPreview(); }

void TEventsPage::Store(TPreferences& preferences) const { preferences.Events = events_; }

}  // namespace tarvok
