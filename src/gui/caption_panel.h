// The mode caption across the top of the window, black on a grey shadow one pixel right and down.
#pragma once

#include <QWidget>

namespace tarvok {

class TCaptionPanel final : public QWidget {
  Q_OBJECT
 public:
  explicit TCaptionPanel(QWidget* parent = nullptr);
  void SetCaption(const QString& caption);
  const QString& Caption() const { return caption_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString caption_;
};

}  // namespace tarvok
