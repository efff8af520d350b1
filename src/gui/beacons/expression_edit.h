// The edit of one time expression ("0,30", "6-10", "*") or of a whole number of minutes. Every
// user edit, typed or pasted, goes through one filter: only digits (and, in an expression, "*",
// "," and "-") are taken, anything else is refused with a beep; a character typed into a field
// holding "*" replaces it, and "*" replaces the whole text; an expression left empty shows "*".
#pragma once

#include <QLineEdit>
#include <array>

#include "core/schedule/time_schedule.h"

namespace tarvok {

class TExpressionEdit final : public QLineEdit {
  Q_OBJECT
 public:
  enum class TKind { Expression, Number };

  explicit TExpressionEdit(TKind kind = TKind::Expression, QWidget* parent = nullptr);

  // Shows a stored value without telling anyone; an empty expression shows as "*".
  void Show(const QString& value);

 signals:
  // The user changed the text; value is what the field now shows.
  void ValueEdited(const QString& value);

 private:
  void Filter(const QString& edited);
  bool Accepts(QChar c) const;

  TKind kind_;
  QString shown_;
};

// The five expressions of a rule as the editors show them, in order: label, edit name, field.
struct TExpressionField {
  const char* Label;
  const char* Name;
  QString TTimeSchedule::*Field;
};

inline constexpr std::array<TExpressionField, 5> kExpressionFields{{
    {"Minutes:", "edMin", &TTimeSchedule::Min},
    {"Hours:", "edHour", &TTimeSchedule::Hour},
    {"Days:", "edDay", &TTimeSchedule::Day},
    {"Months:", "edMonth", &TTimeSchedule::Month},
    {"Week Days:", "edWeekDay", &TTimeSchedule::WeekDay},
}};

}  // namespace tarvok
