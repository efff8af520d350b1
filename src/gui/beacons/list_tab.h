// What the Beacon and Schedule tabs share: a grid of the list's items with a state icon, a
// caption and the time column, and the pop-up menu "&Add", "&Edit", "&Disable"/"E&nable" and
// "Delete" (also Insert, Delete and a double click). Each row knows the position of its item;
// an empty list shows one blank row that stands for none. The tab asks its list for everything
// it shows and hands every change to the station's list editor.
#pragma once

#include <QWidget>
#include <array>

#include "gui/beacons/schedule_icons.h"

class QAction;
class QMenu;
class QTableWidget;

namespace tarvok {

class TListTab : public QWidget {
  Q_OBJECT
 public:
  // Shows the list anew; the selected row stays where it was.
  void Refill();
  // The position of the selected item; -1 for none.
  int SelectedIndex() const;

 protected:
  struct TColumns {
    int IconWidth;
    QString Caption;
    int TimeWidth;  // at least; wide enough for TimeSample in the grid's font
    QString TimeSample;
    QString Hint;
  };
  TListTab(const TColumns& columns, QWidget* parent);

  virtual int Count() const = 0;
  virtual QString Caption(int index) const = 0;
  virtual QString TimeText(int index) const = 0;
  virtual TScheduleIcon Icon(int index) const = 0;
  virtual bool ItemEnabled(int index) const = 0;
  // The item's name in the delete question.
  virtual QString DeleteName(int index) const = 0;

  virtual void AddItem() = 0;
  virtual void EditItem(int index) = 0;
  virtual void SetItemEnabled(int index, bool enabled) = 0;
  virtual void DeleteItem(int index) = 0;

  void keyPressEvent(QKeyEvent* event) override;

 private:
  void UpdateMenu();
  void AskDelete();

  QTableWidget* grid_;
  QMenu* menu_;
  QAction* edit_;
  QAction* disable_;
  QAction* delete_;
};

}  // namespace tarvok
