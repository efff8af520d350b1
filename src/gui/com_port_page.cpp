#include "gui/com_port_page.h"

#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>

#include "core/config/config.h"
#include "core/station/control_choices.h"
#include "core/station/station_runtime.h"

namespace tarvok {

namespace {

// Entries carry a port number (an int) or a device path (a string).
constexpr int kDeviceRole = Qt::UserRole + 1;

}  // namespace

void TPortComboBox::showPopup() {
  emit PopupAboutToShow();
  QComboBox::showPopup();
}

QStringList UsbSerialDevices() {
  const QDir dev(QStringLiteral("/dev"));
  QStringList devices;
  for (const QString& name :
       dev.entryList({QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")}, QDir::System))
    devices << dev.filePath(name);
  return devices;
}

TComPortPage::TComPortPage(TStationRuntime& station, QWidget* parent)
    : QWidget(parent), station_(station) {
  setObjectName(QStringLiteral("ComPort"));
  ports_ = new TPortComboBox(this);
  ports_->setObjectName(QStringLiteral("cboComPort"));
  dtr_ = new QRadioButton(QStringLiteral("Use DTR"), this);
  dtr_->setObjectName(QStringLiteral("rboDTR"));
  rts_ = new QRadioButton(QStringLiteral("Use RTS"), this);
  rts_->setObjectName(QStringLiteral("rboRTS"));
  auto* layout = new QGridLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Com Port:"), this), 0, 0);
  layout->addWidget(ports_, 0, 1);
  layout->addWidget(dtr_, 1, 1);
  layout->addWidget(rts_, 2, 1);
  layout->setRowStretch(3, 1);
  layout->setColumnStretch(2, 1);

  connect(ports_, &TPortComboBox::PopupAboutToShow, this, &TComPortPage::Refresh);
  connect(ports_, &QComboBox::activated, this, &TComPortPage::PortChosen);
  connect(dtr_, &QRadioButton::clicked, this, [this] { station_.ChooseComPin(0); });
  connect(rts_, &QRadioButton::clicked, this, [this] { station_.ChooseComPin(1); });
  Refresh();
}

void TComPortPage::FillPorts() {
  ports_->clear();
  for (const TChoice& choice : ComPortChoices())
    ports_->addItem(choice.Text, choice.Value);
  QStringList devices = UsbSerialDevices();
  const QString& chosen = station_.Settings().ComDevice();
  if (!chosen.isEmpty() && !devices.contains(chosen))
    devices << chosen;
  for (const QString& device : devices) {
    ports_->addItem(device);
    ports_->setItemData(ports_->count() - 1, device, kDeviceRole);
  }
}

void TComPortPage::Refresh() {
  const QSignalBlocker blockPorts(ports_);
  FillPorts();
  const TConfig& settings = station_.Settings();
  ports_->setCurrentIndex(settings.ComDevice().isEmpty()
                              ? ChoiceIndex(ComPortChoices(), settings.ComPort())
                              : ports_->findData(settings.ComDevice(), kDeviceRole));
  const QSignalBlocker blockDtr(dtr_);
  const QSignalBlocker blockRts(rts_);
  dtr_->setChecked(settings.ComPin() == 0);
  rts_->setChecked(settings.ComPin() == 1);
}

void TComPortPage::PortChosen(int index) {
  const QVariant device = ports_->itemData(index, kDeviceRole);
  if (device.isValid())
    station_.ChooseComDevice(device.toString());
  else
    station_.ChooseComPort(ports_->itemData(index).toInt());
}

}  // namespace tarvok
