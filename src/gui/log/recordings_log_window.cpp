#include "gui/log/recordings_log_window.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/audio/sound_card.h"
#include "core/config/config.h"
#include "core/station/station_runtime.h"
#include "gui/window_style.h"

namespace tarvok {

namespace {

constexpr int kColumns = 5;

QToolButton* ToolButton(const QString& text, const QString& name, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setText(text);
  button->setObjectName(name);
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  return button;
}

}  // namespace

TRecordingsLogWindow::TRecordingsLogWindow(TStationRuntime& station, QWidget* parent)
    : QDialog(parent), station_(station), log_(station.Recordings()) {
  setObjectName(QStringLiteral("frmLog"));
  setWindowTitle(QStringLiteral("Log"));
  resize(460, 320);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(CreateToolBar());
  layout->addWidget(CreateFolderRow());
  CreateGrid();
  layout->addWidget(grid_, 1);
  auto* bottom = new QHBoxLayout;
  skipped_ = new QLabel(this);
  skipped_->setObjectName(QStringLiteral("lblSkipped"));
  // A long path does not widen the window: the whole line is in the hint and the log.
  skipped_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  connect(&station_, &TStationRuntime::RecordingSkipped, skipped_, [this](const QString& line) {
    skipped_->setText(line);
    skipped_->setToolTip(line);
  });
  bottom->addWidget(skipped_, 1);
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  close->setObjectName(QStringLiteral("btnClose"));
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  bottom->addWidget(close);
  layout->addLayout(bottom);
  connect(&station_, &TStationRuntime::PreviewFinished, this,
          &TRecordingsLogWindow::PreviewFinished);
  Relist();
}

TRecordingsLogWindow::~TRecordingsLogWindow() {
  StopPlaying();
  if (QFileInfo(path_->text()).isDir())
    station_.SetRecordingsFolder(path_->text());
}

QWidget* TRecordingsLogWindow::CreateToolBar() {
  auto* bar = new QWidget(this);
  auto* layout = new QHBoxLayout(bar);
  layout->setContentsMargins(0, 0, 0, 0);
  loop_ = ToolButton(QStringLiteral("Play Continiously"), QStringLiteral("btnLoop"), bar);
  loop_->setCheckable(true);
  play_ = ToolButton(QStringLiteral("Play"), QStringLiteral("btnPlay"), bar);
  play_->setCheckable(true);
  // Pressed while a file plays; a click always plays the selected row.
  connect(play_, &QToolButton::clicked, this, [this] {
    play_->setChecked(!playing_.isEmpty());
    Play();
  });
  auto* remove = ToolButton(QStringLiteral("Delete"), QStringLiteral("btnDelete"), bar);
  connect(remove, &QToolButton::clicked, this, &TRecordingsLogWindow::DeleteSelected);
  layout->addWidget(loop_);
  layout->addWidget(play_);
  layout->addWidget(remove);
  layout->addStretch(1);
  return bar;
}

QWidget* TRecordingsLogWindow::CreateFolderRow() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  path_ = new QLineEdit(log_.Folder(), row);
  path_->setObjectName(QStringLiteral("edPath"));
  connect(path_, &QLineEdit::editingFinished, this,
          [this] { TakeFolder(path_->text().trimmed()); });
  auto* browse = new QToolButton(row);
  browse->setObjectName(QStringLiteral("btnPath"));
  browse->setText(QStringLiteral("..."));
  browse->setToolTip(QStringLiteral("Choose the folder of the recordings"));
  connect(browse, &QToolButton::clicked, this, &TRecordingsLogWindow::BrowseFolder);
  layout->addWidget(path_, 1);
  layout->addWidget(browse);
  return row;
}

void TRecordingsLogWindow::CreateGrid() {
  grid_ = new QTableWidget(0, kColumns, this);
  grid_->setObjectName(QStringLiteral("LogGrid"));
  grid_->setHorizontalHeaderLabels({QStringLiteral("Date"), QStringLiteral("Time"),
                                    QStringLiteral("Size"), QStringLiteral("Length"),
                                    QStringLiteral("Properties")});
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 4);
  QHeaderView* header = grid_->horizontalHeader();
  for (int column = 0; column < kColumns - 1; ++column)
    header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  header->setStretchLastSection(true);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setWordWrap(false);
  grid_->installEventFilter(this);
  connect(grid_, &QTableWidget::cellDoubleClicked, this, &TRecordingsLogWindow::Play);
}

bool TRecordingsLogWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == grid_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    DeleteSelected();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TRecordingsLogWindow::Relist() {
  const int selected = grid_->currentRow();
  station_.RelistRecordings();
  const TLogFileList& files = log_.Files();
  grid_->clearContents();
  grid_->setRowCount(std::max(files.Count(), 1));
  for (int row = 0; row < files.Count(); ++row) {
    const TLogFile& file = files.Items(row);
    const QString texts[kColumns] = {file.DateText, file.TimeText, file.SizeText, file.LengthText,
                                     file.PropertiesText};
    for (int column = 0; column < kColumns; ++column)
      grid_->setItem(row, column, new QTableWidgetItem(texts[column]));
  }
  grid_->setCurrentCell(std::clamp(selected, 0, grid_->rowCount() - 1), 0);
}

void TRecordingsLogWindow::TakeFolder(const QString& text) {
  if (text == log_.Folder())
    return;
  const QString error = station_.SetRecordingsFolder(text);
  if (!error.isEmpty()) {
    ShowMessage(error);
    return;
  }
  path_->setText(log_.Folder());
  Relist();
}

void TRecordingsLogWindow::BrowseFolder() {
  const QString start = path_->text().isEmpty() ? log_.Folder() : path_->text();
  const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Log"), start);
  if (!folder.isEmpty())
    TakeFolder(folder);
}

void TRecordingsLogWindow::Play() {
  const QString error = PlayRow(grid_->currentRow());
  if (!error.isEmpty())
    ShowMessage(error);
  play_->setChecked(!playing_.isEmpty());
}

QString TRecordingsLogWindow::PlayRow(int row) {
  const QString path = log_.FilePath(row);
  if (path.isEmpty())
    return {};
  // The file playing now ends first; its end is not the end of this one.
  playing_.clear();
  const QString error = station_.Preview(path);
  if (error.isEmpty())
    playing_ = path;
  return error;
}

void TRecordingsLogWindow::PlayFollowingRows() {
  for (int row = grid_->currentRow() + 1; row > 0 && row < log_.Files().Count(); ++row) {
    grid_->selectRow(row);
    const QString error = PlayRow(row);
    if (!playing_.isEmpty())
      return;
    // A busy device would refuse every file alike: the loop ends there.
    if (error == AudioDeviceBusyMessage()) {
      ShowMessage(error);
      return;
    }
    if (!error.isEmpty())
      station_.ReportSkippedRecording(error);
  }
}

void TRecordingsLogWindow::StopPlaying() {
  if (playing_.isEmpty())
    return;
  playing_.clear();
  station_.StopPreview();
  play_->setChecked(false);
}

void TRecordingsLogWindow::PreviewFinished() {
  if (playing_.isEmpty())
    return;
  playing_.clear();
  if (loop_->isChecked())
    PlayFollowingRows();
  play_->setChecked(!playing_.isEmpty());
}

void TRecordingsLogWindow::DeleteSelected() {
  QList<int> rows;
  for (const QModelIndex& index : grid_->selectionModel()->selectedRows())
    rows << index.row();
  std::sort(rows.begin(), rows.end());
  bool ask = station_.Settings().ConfirmDelete();
  const QMessageBox::StandardButtons buttons =
      rows.size() > 1
          ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::YesToAll
          : QMessageBox::Yes | QMessageBox::No;
  for (const int row : rows) {
    const QString path = log_.FilePath(row);
    if (path.isEmpty())
      continue;
    if (ask) {
      QMessageBox question(QMessageBox::Question, QString::fromLatin1(kApplicationName),
                           log_.DeleteQuestion(row), buttons, this);
      question.setObjectName(QStringLiteral("DeleteQuestion"));
      const int answer = question.exec();
      if (answer == QMessageBox::No)
        continue;
      // Cancelled: the files deleted so far are gone, so the list is built again below.
      if (answer != QMessageBox::Yes && answer != QMessageBox::YesToAll)
        break;
      ask = answer == QMessageBox::Yes;
    }
    // The window's own preview of the file ends rather than keeping the file.
    if (path == playing_)
      StopPlaying();
    const QString error = station_.DeleteRecording(row);
    if (!error.isEmpty())
      ShowMessage(error);
  }
  Relist();
}

void TRecordingsLogWindow::ShowMessage(const QString& text) {
  auto* box = new QMessageBox(QMessageBox::Warning, QString::fromLatin1(kApplicationName), text,
                              QMessageBox::Ok, this);
  box->setObjectName(QStringLiteral("LogMessage"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->show();
}

void ShowRecordingsLog(TStationRuntime& station, QWidget* parent) {
  const TStationRuntime::TDialogHold hold = station.HoldForDialog();
  TRecordingsLogWindow window(station, parent);
  window.exec();
}

}  // namespace tarvok
