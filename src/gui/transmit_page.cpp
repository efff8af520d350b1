#include "gui/transmit_page.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "core/config/config.h"
#include "core/station/control_choices.h"
#include "core/station/station_runtime.h"

namespace tarvok {

TTransmitPage::TTransmitPage(TStationRuntime& station, QWidget* parent)
    : QWidget(parent), station_(station) {
  setObjectName(QStringLiteral("Transmit"));
  auto* box = new QGroupBox(QStringLiteral("Transmit Parameters:"), this);
  auto* grid = new QGridLayout(box);
  using enum TVoxControl::TEdit;
  AddEdit(grid, AudioThreshold, QStringLiteral("AudioThreshold"),
          QStringLiteral("VOX/AGC Threshold:"), 0);
  thresholdLabel_ = new QLabel(box);
  thresholdLabel_->setObjectName(QStringLiteral("TreasholdLabel"));
  grid->addWidget(thresholdLabel_, 0, 2);
  AddEdit(grid, NoiseLevel, QStringLiteral("NoiseLevelLabel"),
          QStringLiteral("Min Audio Level on Scope:"), 1);
  grid->addWidget(new QLabel(QStringLiteral("dB"), box), 1, 2);
  AddEdit(grid, XmitStartDelay, QStringLiteral("XmitStartDelay"),
          QStringLiteral("Xmit Start Delay:"), 2);
  AddEdit(grid, XmitStopDelay, QStringLiteral("XmitStopDelay"), QStringLiteral("Xmit Stop Delay:"),
          3);
  AddEdit(grid, LocalStartDelay, QStringLiteral("LocalStartDelay"),
          QStringLiteral("Local Start Delay:"), 4);
  AddEdit(grid, LocalStopDelay, QStringLiteral("LocalStopDelay"),
          QStringLiteral("Local Stop Delay:"), 5);
  for (int row = 2; row <= 5; ++row)
    grid->addWidget(new QLabel(QStringLiteral("ms"), box), row, 2);

  peakSpeed_ = new QComboBox(this);
  peakSpeed_->setObjectName(QStringLiteral("cboPeakSpeed"));
  for (const TChoice& choice : PeakSpeedChoices())
    peakSpeed_->addItem(choice.Text, choice.Value);
  connect(peakSpeed_, &QComboBox::activated, this,
          [this](int index) { station_.SetPeakSpeed(peakSpeed_->itemData(index).toInt()); });

  auto* layout = new QGridLayout(this);
  layout->addWidget(box, 0, 0, 1, 2);
  layout->addWidget(new QLabel(QStringLiteral("Sampling Rate:"), this), 1, 0);
  layout->addWidget(peakSpeed_, 1, 1);
  txTimeout_ = AddWatchdogEdit(layout, QStringLiteral("edTxTimeout"),
                               QStringLiteral("Transmitter time-out (s):"), 2,
                               [this](int seconds) { station_.SetTxTimeout(seconds); });
  txLockout_ =
      AddWatchdogEdit(layout, QStringLiteral("edTxLockout"), QStringLiteral("Lock-out (s):"), 3,
                      [this](int seconds) { station_.SetTxLockout(seconds); });
  layout->setRowStretch(4, 1);

  connect(&station_.Vox(), &TVoxControl::ThresholdLabelChanged, this, &TTransmitPage::Refresh);
  Refresh();
}

void TTransmitPage::AddEdit(QGridLayout* grid, TVoxControl::TEdit edit, const QString& name,
                            const QString& caption, int row) {
  auto* line = new QLineEdit(grid->parentWidget());
  line->setObjectName(name);
  line->setMaximumWidth(60);
  line->installEventFilter(this);
  grid->addWidget(new QLabel(caption, grid->parentWidget()), row, 0);
  grid->addWidget(line, row, 1);
  edits_[edit] = line;
  connect(line, &QLineEdit::textEdited, this,
          [this, edit](const QString& text) { station_.ApplyVoxEdit(edit, text); });
}

QLineEdit* TTransmitPage::AddWatchdogEdit(QGridLayout* grid, const QString& name,
                                          const QString& caption, int row,
                                          std::function<void(int)> store) {
  auto* line = new QLineEdit(this);
  line->setObjectName(name);
  line->setMaximumWidth(60);
  line->installEventFilter(this);
  grid->addWidget(new QLabel(caption, this), row, 0);
  grid->addWidget(line, row, 1);
  connect(line, &QLineEdit::textEdited, this, [store = std::move(store)](const QString& text) {
    bool ok = false;
    const int seconds = text.toInt(&ok);
    if (ok)
      store(seconds);
  });
  return line;
}

// The edits take digits and control keys only; anything else is refused with a beep.
bool TTransmitPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (!text.isEmpty() && !TVoxControl::AcceptKey(text.front())) {
      QApplication::beep();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TTransmitPage::Refresh() {
  for (const auto& [edit, line] : edits_) {
    const QString value = QString::number(station_.Vox().EditValue(edit));
    if (!line->hasFocus() && line->text() != value) {
      const QSignalBlocker blocker(line);
      line->setText(value);
    }
  }
  for (const auto& [line, value] : {std::pair{txTimeout_, station_.Settings().TxTimeout()},
                                    std::pair{txLockout_, station_.Settings().TxLockout()}}) {
    if (!line->hasFocus()) {
      const QSignalBlocker blocker(line);
      line->setText(QString::number(value));
    }
  }
  thresholdLabel_->setText(station_.Vox().ThresholdLabel());
  const QSignalBlocker blocker(peakSpeed_);
  peakSpeed_->setCurrentIndex(ChoiceIndex(PeakSpeedChoices(), station_.Settings().PeakSpeed()));
}

}  // namespace tarvok
