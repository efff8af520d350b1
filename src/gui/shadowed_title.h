// A title drawn twice in the caption font: a grey copy offset from a black one, which reads as a
// shadow. The offset is the grey copy's, in pixels (right and down are positive).
#pragma once

#include <QPoint>
#include <QWidget>

namespace tarvok {

class TShadowedTitle final : public QWidget {
  Q_OBJECT
 public:
  TShadowedTitle(const QString& text, QPoint shadowOffset, QWidget* parent = nullptr);

  void SetText(const QString& text);
  const QString& Text() const { return text_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  const QPoint shadowOffset_;
};

}  // namespace tarvok
