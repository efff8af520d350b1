// "Event Name": asks for the name of a new beacon and refuses a blank one.
#pragma once

#include <QDialog>

class QLineEdit;

namespace tarvok {

class TBeaconNameDialog final : public QDialog {
  Q_OBJECT
 public:
  explicit TBeaconNameDialog(QWidget* parent = nullptr);

  // The name typed, without leading and trailing blanks.
  QString Name() const;

 private:
  void Confirm();

  QLineEdit* name_;
};

}  // namespace tarvok
