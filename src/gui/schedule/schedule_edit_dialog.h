// "Add New Event" and "Edit Event": a schedule event's mode, rule and duration on a copy, with
// Save, Cancel and Help. Save is offered once something was changed and refuses an event
// without a mode.
#pragma once

#include <QDialog>
#include <array>

#include "core/schedule/schedule_event.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace tarvok {

class TExpressionEdit;

class TScheduleEditDialog final : public QDialog {
  Q_OBJECT
 public:
  TScheduleEditDialog(const QString& caption, const TScheduleEvent& event,
                      QWidget* parent = nullptr);

  // The event as the user left it.
  const TScheduleEvent& Event() const { return event_; }

 private:
  void Store(const std::function<void(TScheduleEvent&)>& change);
  void ApplyEnablingRule();
  void Save();

  TScheduleEvent event_;
  QComboBox* mode_;
  QCheckBox* enabled_;
  std::array<TExpressionEdit*, 5> expressions_{};
  TExpressionEdit* duration_;
  QPushButton* save_;
};

}  // namespace tarvok
