#include "gui/beacons/list_tab.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/dialogs/message_boxes.h"

namespace tarvok {

namespace {

enum TColumn { kIconColumn, kCaptionColumn, kTimeColumn };

}  // namespace

TListTab::TListTab(const TColumns& columns, QWidget* parent) : QWidget(parent) {
  grid_ = new QTableWidget(0, 3, this);
  grid_->setObjectName(QStringLiteral("Grid"));
  grid_->setHorizontalHeaderLabels({QString(), columns.Caption, QStringLiteral("Time")});
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(18);
  grid_->setIconSize(QSize(16, 16));
  QHeaderView* header = grid_->horizontalHeader();
  header->setSectionResizeMode(kIconColumn, QHeaderView::Fixed);
  header->setSectionResizeMode(kCaptionColumn, QHeaderView::Stretch);
  header->setSectionResizeMode(kTimeColumn, QHeaderView::Fixed);
  // The icon and the cell's margins.
  const int iconWidth = std::max(columns.IconWidth, grid_->iconSize().width() + 8);
  header->setMinimumSectionSize(iconWidth);
  grid_->setColumnWidth(kIconColumn, iconWidth);
  grid_->setColumnWidth(
      kTimeColumn,
      std::max(columns.TimeWidth, grid_->fontMetrics().horizontalAdvance(columns.TimeSample) + 12));
  grid_->setContextMenuPolicy(Qt::CustomContextMenu);
  grid_->setToolTip(columns.Hint);
  setFocusProxy(grid_);

  menu_ = new QMenu(this);
  menu_->setObjectName(QStringLiteral("PopupMenu"));
  QAction* add = menu_->addAction(QStringLiteral("&Add"));
  add->setObjectName(QStringLiteral("mnuAdd"));
  edit_ = menu_->addAction(QStringLiteral("&Edit"));
  edit_->setObjectName(QStringLiteral("mnuEdit"));
  disable_ = menu_->addAction(QStringLiteral("&Disable"));
  disable_->setObjectName(QStringLiteral("mnuDisable"));
  delete_ = menu_->addAction(QStringLiteral("Delete"));
  delete_->setObjectName(QStringLiteral("mnuDelete"));
  connect(add, &QAction::triggered, this, [this] { AddItem(); });
  connect(edit_, &QAction::triggered, this, [this] {
    if (SelectedIndex() >= 0)
      EditItem(SelectedIndex());
  });
  connect(disable_, &QAction::triggered, this, [this] {
    if (const int index = SelectedIndex(); index >= 0)
      SetItemEnabled(index, !ItemEnabled(index));
  });
  connect(delete_, &QAction::triggered, this, &TListTab::AskDelete);

  connect(grid_, &QTableWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    UpdateMenu();
    menu_->popup(grid_->viewport()->mapToGlobal(at));
  });
  connect(grid_, &QTableWidget::cellClicked, this, &TListTab::UpdateMenu);
  connect(grid_, &QTableWidget::cellDoubleClicked, this, [this] {
    if (SelectedIndex() >= 0)
      EditItem(SelectedIndex());
  });
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(grid_);
}

void TListTab::Refill() {
  const int row = std::max(0, grid_->currentRow());
  const QSignalBlocker blocker(grid_);
  const int count = Count();
  grid_->setRowCount(std::max(count, 1));
  for (int r = 0; r < grid_->rowCount(); ++r) {
    const int index = r < count ? r : -1;
    auto* icon = new QTableWidgetItem;
    icon->setData(Qt::UserRole, index);
    auto* caption = new QTableWidgetItem(index >= 0 ? Caption(index) : QString());
    auto* time = new QTableWidgetItem(index >= 0 ? TimeText(index) : QString());
    if (index >= 0)
      icon->setIcon(ScheduleIcon(Icon(index)));
    grid_->setItem(r, kIconColumn, icon);
    grid_->setItem(r, kCaptionColumn, caption);
    grid_->setItem(r, kTimeColumn, time);
  }
  grid_->selectRow(std::min(row, grid_->rowCount() - 1));
  UpdateMenu();
}

int TListTab::SelectedIndex() const {
  const QTableWidgetItem* item = grid_->item(grid_->currentRow(), kIconColumn);
  return item ? item->data(Qt::UserRole).toInt() : -1;
}

void TListTab::UpdateMenu() {
  const int index = SelectedIndex();
  const bool enabled = index >= 0 && ItemEnabled(index);
  disable_->setText(enabled || index < 0 ? QStringLiteral("&Disable") : QStringLiteral("E&nable"));
  for (QAction* action : {edit_, disable_, delete_})
    action->setEnabled(index >= 0);
}

void TListTab::AskDelete() {
  const int index = SelectedIndex();
  if (index < 0)
    return;
  // The list may have changed while the question was open: the position is checked again.
  AskDeleteEvent(this, DeleteName(index), [this, index] {
    if (index < Count())
      DeleteItem(index);
  });
}

void TListTab::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_Insert) {
    AddItem();
  } else if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_Delete) {
    AskDelete();
  } else {
    QWidget::keyPressEvent(event);
  }
}

}  // namespace tarvok
