#include "gui/beacons/expression_edit.h"

#include <QApplication>
#include <algorithm>

namespace tarvok {

namespace {

constexpr QChar kStar = u'*';

}  // namespace

TExpressionEdit::TExpressionEdit(TKind kind, QWidget* parent) : QLineEdit(parent), kind_(kind) {
  connect(this, &QLineEdit::textEdited, this, &TExpressionEdit::Filter);
}

void TExpressionEdit::Show(const QString& value) {
  shown_ = kind_ == TKind::Expression && value.isEmpty() ? QString(kStar) : value;
  setText(shown_);
}

bool TExpressionEdit::Accepts(QChar c) const {
  if (c.isDigit() && c.unicode() < 128)
    return true;
  return kind_ == TKind::Expression && (c == kStar || c == u',' || c == u'-');
}

void TExpressionEdit::Filter(const QString& edited) {
  // What the user put in place of what: the text between the parts that stayed the same.
  const QString& old = shown_;
  const qsizetype limit = std::min(old.size(), edited.size());
  qsizetype prefix = 0;
  while (prefix < limit && old[prefix] == edited[prefix])
    ++prefix;
  qsizetype suffix = 0;
  while (suffix < limit - prefix &&
         old[old.size() - 1 - suffix] == edited[edited.size() - 1 - suffix])
    ++suffix;
  const QString inserted = edited.mid(prefix, edited.size() - prefix - suffix);

  QString result = old.left(prefix) + old.right(suffix);
  qsizetype caret = prefix;
  const bool swallowed =
      !inserted.isEmpty() &&
      std::none_of(inserted.begin(), inserted.end(), [this](QChar c) { return Accepts(c); });
  if (swallowed) {
    // A refused key changes nothing, not even the selection it was typed over.
    result = old;
  }
  bool refused = false;
  for (const QChar c : swallowed ? QString() : inserted) {
    if (!Accepts(c)) {
      refused = true;
    } else if (kind_ == TKind::Expression && (c == kStar || result.contains(kStar))) {
      result = c;
      caret = 1;
    } else {
      result.insert(caret++, c);
    }
  }
  if (kind_ == TKind::Expression && result.isEmpty()) {
    result = kStar;
    caret = 1;
  }
  if (refused || swallowed)
    QApplication::beep();
  if (result != edited) {
    setText(result);
    setCursorPosition(static_cast<int>(caret));
  }
  const bool changed = result != shown_;
  shown_ = result;
  if (changed)
    emit ValueEdited(result);
}

}  // namespace tarvok
