#include "gui/preferences/preferences_page.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace tarvok {

void TPreferencesPage::Watch(QAbstractButton* button) {
  connect(button, &QAbstractButton::clicked, this, &TPreferencesPage::Modified);
}

QLineEdit* TPreferencesPage::NumberEdit(const QString& name, qint64 value) {
  auto* edit = new QLineEdit(QString::number(value), this);
  edit->setObjectName(name);
  edit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,12}")), edit));
  edit->setMaximumWidth(90);
  connect(edit, &QLineEdit::textEdited, this, &TPreferencesPage::Modified);
  return edit;
}

qint64 TPreferencesPage::Number(const QLineEdit* edit) { return edit->text().toLongLong(); }

}  // namespace tarvok
