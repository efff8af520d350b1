// One page of the preferences dialog: it shows the values the dialog opened with, reports the
// user's first change of any kind by Modified, and at Save puts its values into the preferences.
#pragma once

#include <QWidget>

class QAbstractButton;
class QLineEdit;

namespace tarvok {

struct TPreferences;

class TPreferencesPage : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;

  virtual void Store(TPreferences& preferences) const = 0;

 signals:
  void Modified();

 protected:
  // A check box or radio button whose click is a change.
  void Watch(QAbstractButton* button);
  // A number field without limits, whose editing is a change.
  QLineEdit* NumberEdit(const QString& name, qint64 value);
  static qint64 Number(const QLineEdit* edit);
};

}  // namespace tarvok
