#include "gui/preferences/general_page.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/config/preferences.h"

namespace tarvok {

namespace {

// A group of two choices; returns the first, checked when first is true.
QRadioButton* AddPair(QVBoxLayout* layout, const QString& title, const QString& firstName,
                      const QString& first, const QString& secondName, const QString& second,
                      bool firstChecked) {
  auto* group = new QGroupBox(title);
  auto* row = new QHBoxLayout(group);
  auto* a = new QRadioButton(first, group);
  auto* b = new QRadioButton(second, group);
  a->setObjectName(firstName);
  b->setObjectName(secondName);
  (firstChecked ? a : b)->setChecked(true);
  row->addWidget(a);
  row->addWidget(b);
  row->addStretch();
  layout->addWidget(group);
  return a;
}

}  // namespace

TGeneralOptionsPage::TGeneralOptionsPage(const TPreferences& preferences, QWidget* parent)
    : TPreferencesPage(parent) {
  setObjectName(QStringLiteral("GeneralSheet"));
  auto* layout = new QVBoxLayout(this);
  logarithm_ =
      AddPair(layout, QStringLiteral(" Oscilloscope Trace Scales  "),
              QStringLiteral("rboLogarithm"), QStringLiteral("Logarithm"),
              QStringLiteral("rboLinear"), QStringLiteral("Linear"), preferences.TrayScale == 0);
  showVoxOnly_ =
      AddCheck(QStringLiteral("cboShowVOXOnly"),
               QStringLiteral("List Sound Devices with VOX control only"), preferences.ShowVOXOnly);
  saveMode_ =
      AddCheck(QStringLiteral("cboSaveMode"),
               QStringLiteral("Save Mode (Internet/Simplex) on Exit"), preferences.SaveMode);
  voxAutoDetect_ = AddCheck(QStringLiteral("cboVOXAutoDetect"),
                            QStringLiteral("Auto Detect VOX Control"), preferences.VOXAutoDetect);
  laptop_ = AddCheck(QStringLiteral("cboLaptop"), QStringLiteral("This is a Laptop computer"),
                     preferences.IsLaptop);
  laptop_->setToolTip(
      QStringLiteral("For laptop computers - Playing and Recording should be separate"));
  for (QCheckBox* box : {showVoxOnly_, saveMode_, voxAutoDetect_, laptop_})
    layout->addWidget(box);
  bytes_ =
      AddPair(layout, QStringLiteral(" Display Recording/Playing size  "),
              QStringLiteral("rboBytes"), QStringLiteral("Bytes"), QStringLiteral("rboSeconds"),
              QStringLiteral("Seconds"), preferences.ShowSize == 0);
  layout->addStretch();
  for (QAbstractButton* button : findChildren<QAbstractButton*>())
    Watch(button);
}

QCheckBox* TGeneralOptionsPage::AddCheck(const QString& name, const QString& caption,
                                         bool checked) {
  auto* box = new QCheckBox(caption, this);
  box->setObjectName(name);
  box->setChecked(checked);
  return box;
}

void TGeneralOptionsPage::Store(TPreferences& preferences) const {
  preferences.TrayScale = logarithm_->isChecked() ? 0 : 1;
  preferences.ShowVOXOnly = showVoxOnly_->isChecked();
  preferences.SaveMode = saveMode_->isChecked();
  preferences.VOXAutoDetect = voxAutoDetect_->isChecked();
  preferences.IsLaptop = laptop_->isChecked();
  preferences.ShowSize = bytes_->isChecked() ? 0 : 1;
}

}  // namespace tarvok
