#include "gui/preferences/beacon_options_page.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "core/config/preferences.h"
#include "core/station/station_runtime.h"
#include "gui/beacons/beacon_editor.h"
#include "gui/beacons/beacon_name_dialog.h"
#include "gui/dialogs/message_boxes.h"

namespace tarvok {

namespace {

enum TColumn { kMarkColumn, kNameColumn, kStatusColumn, kNextRunColumn };

const char* const kHelpText =
    "Please fill in the attributes for the beacon:\n"
    "\n"
    "Name - a short description of the beacon\n"
    "Enabled - the beacon runs only when it is checked\n"
    "Months - 1..12\n"
    "Days - 1..31\n"
    "Week Days - 0..6 (where Sunday=0)\n"
    "Hours - 0..23\n"
    "Minutes - 0..59\n"
    "WAV file - the file to send, or (None)\n"
    "CW String - the text to send in Morse code\n"
    "\n"
    "Each of Months, Days, Week Days, Hours and Minutes may be:\n"
    "  *      - every value\n"
    "  d1-d2  - every value from d1 to d2\n"
    "  d1,d2  - the values d1 and d2\n"
    "and the forms may be combined, for example 1,2,10-15,21,24.\n"
    "\n"
    "Examples:\n"
    "\n"
    "Run the beacon each day from 6am to 10am each 30 minutes:\n"
    "  Minutes 0,30   Hours 6-10   Days *   Months *   Week Days *\n"
    "\n"
    "Run the beacon at 7:15 each Monday in January:\n"
    "  Minutes 15   Hours 7   Days *   Months 1   Week Days 1\n";

// The Delete and Insert keys of the grid act as the tool bar's buttons.
class TKeyFilter final : public QObject {
 public:
  TKeyFilter(QObject* parent, std::function<void()> insert, std::function<void()> remove)
      : QObject(parent), insert_(std::move(insert)), remove_(std::move(remove)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->modifiers() == Qt::NoModifier && key->key() == Qt::Key_Insert) {
        insert_();
        return true;
      }
      if (key->modifiers() == Qt::NoModifier && key->key() == Qt::Key_Delete) {
        remove_();
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> insert_;
  std::function<void()> remove_;
};

}  // namespace

TBeaconOptionsPage::TBeaconOptionsPage(TStationRuntime& station, TBeaconEditor::TPreview preview,
                                       QWidget* parent)
    : TPreferencesPage(parent),
      station_(station),
      preview_(std::move(preview)),
      beacons_(station.Lists().Beacons()) {
  setObjectName(QStringLiteral("frmBeaconOptions"));
  pages_ = new QStackedWidget(this);
  pages_->addWidget(CreateEditPage());
  pages_->addWidget(CreateHelpPage());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(pages_);
  Refill();
  SelectRow(0);
}

QWidget* TBeaconOptionsPage::CreateEditPage() {
  auto* page = new QWidget;
  auto* tools = new QToolBar(page);
  tools->setObjectName(QStringLiteral("ToolBar"));
  QAction* add = tools->addAction(QStringLiteral("Add"), this, &TBeaconOptionsPage::AddBeacon);
  add->setObjectName(QStringLiteral("btnAdd"));
  add->setToolTip(QStringLiteral("Add Event"));
  QAction* remove =
      tools->addAction(QStringLiteral("Delete"), this, &TBeaconOptionsPage::DeleteBeacon);
  remove->setObjectName(QStringLiteral("btnDelete"));
  remove->setToolTip(QStringLiteral("Delete Event"));
  QAction* help =
      tools->addAction(QStringLiteral("Help"), this, [this] { pages_->setCurrentIndex(1); });
  help->setObjectName(QStringLiteral("btnHelp"));

  grid_ = new QTableWidget(0, 4, page);
  grid_->setObjectName(QStringLiteral("TaskGrid"));
  grid_->setHorizontalHeaderLabels({QString(), QStringLiteral("Name"), QStringLiteral("Schedule"),
                                    QStringLiteral("Next Run Time")});
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(18);
  QHeaderView* header = grid_->horizontalHeader();
  header->setMinimumSectionSize(10);
  header->setSectionResizeMode(QHeaderView::Fixed);
  header->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
  grid_->setColumnWidth(kMarkColumn, 10);
  // At least the widths the page was drawn for; a larger font widens them.
  const QFontMetrics metrics = grid_->fontMetrics();
  grid_->setColumnWidth(kStatusColumn,
                        std::max(60, metrics.horizontalAdvance(QStringLiteral("Disabled")) + 12));
  grid_->setColumnWidth(
      kNextRunColumn,
      std::max(93, metrics.horizontalAdvance(QStringLiteral("00/00/0000 00:00")) + 12));
  grid_->installEventFilter(new TKeyFilter(
      this, [this] { AddBeacon(); }, [this] { DeleteBeacon(); }));
  connect(grid_, &QTableWidget::currentCellChanged, this, [this](int row) {
    editor_->Load(row >= 0 && row < beacons_.Count() ? &beacons_.Items(row) : nullptr);
  });

  editor_ = new TBeaconEditor(station_, preview_, page);
  connect(editor_, &TBeaconEditor::Edited, this, &TBeaconOptionsPage::StoreEdit);

  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(tools);
  layout->addWidget(grid_, 1);
  layout->addWidget(editor_);
  return page;
}

QWidget* TBeaconOptionsPage::CreateHelpPage() {
  auto* page = new QWidget;
  auto* text = new QPlainTextEdit(QString::fromLatin1(kHelpText), page);
  text->setObjectName(QStringLiteral("HelpMemo"));
  text->setReadOnly(true);
  auto* back = new QPushButton(QStringLiteral("&Back"), page);
  back->setObjectName(QStringLiteral("btnBack"));
  back->setDefault(true);
  connect(back, &QPushButton::clicked, this, [this] { pages_->setCurrentIndex(0); });
  auto* escape = new QAction(page);
  escape->setShortcut(Qt::Key_Escape);
  escape->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(escape, &QAction::triggered, back, &QPushButton::click);
  page->addAction(escape);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(text, 1);
  layout->addWidget(back, 0, Qt::AlignRight);
  return page;
}

void TBeaconOptionsPage::Store(TPreferences& preferences) const {
  if (modified_)
    preferences.Beacons = beacons_;
}

void TBeaconOptionsPage::Refill() {
  const QSignalBlocker blocker(grid_);
  grid_->setRowCount(std::max(beacons_.Count(), 1));
  for (int row = 0; row < grid_->rowCount(); ++row)
    FillRow(row);
}

void TBeaconOptionsPage::FillRow(int row) {
  const bool beacon = row < beacons_.Count();
  if (beacon)
    beacons_.Items(row).CalculateNextRun(true);
  const std::array<QString, 4> texts{QString(), beacon ? beacons_.Items(row).Name : QString(),
                                     beacon ? beacons_.Items(row).StatusText() : QString(),
                                     beacon ? beacons_.Items(row).NextRunText() : QString()};
  for (int column = 0; column < 4; ++column)
    grid_->setItem(row, column, new QTableWidgetItem(texts[static_cast<std::size_t>(column)]));
}

int TBeaconOptionsPage::SelectedIndex() const {
  const int row = grid_->currentRow();
  return row >= 0 && row < beacons_.Count() ? row : -1;
}

void TBeaconOptionsPage::SelectRow(int row) {
  grid_->setCurrentCell(std::clamp(row, 0, grid_->rowCount() - 1), kNameColumn);
  const int index = SelectedIndex();
  editor_->Load(index >= 0 ? &beacons_.Items(index) : nullptr);
}

void TBeaconOptionsPage::StoreEdit() {
  const int index = SelectedIndex();
  if (index < 0 || !editor_->Beacon())
    return;
  beacons_.Items(index).Assign(*editor_->Beacon());
  FillRow(index);
  SetModified();
}

void TBeaconOptionsPage::AddBeacon() {
  pages_->setCurrentIndex(0);
  auto* dialog = new TBeaconNameDialog(this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::accepted, this, [this, dialog] {
    beacons_.AddNamed(dialog->Name());
    Refill();
    SelectRow(beacons_.Count() - 1);
    SetModified();
    editor_->FocusName();
  });
  dialog->open();
}

void TBeaconOptionsPage::DeleteBeacon() {
  pages_->setCurrentIndex(0);
  const int index = SelectedIndex();
  if (index < 0)
    return;
  AskDeleteEvent(this, beacons_.Items(index).Name, [this, index] {
    if (index >= beacons_.Count())
      return;
    beacons_.Delete(index);
    SetModified();
    Refill();
    SelectRow(index);
  });
}

void TBeaconOptionsPage::SetModified() {
  if (std::exchange(modified_, true))
    return;
  emit Modified();
}

}  // namespace tarvok
