#include "gui/dtmf/dtmf_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "core/dtmf/dtmf_block_processor.h"
#include "core/station/station_runtime.h"
#include "gui/dtmf/frequency_bars_view.h"
#include "gui/window_style.h"

namespace tarvok {

TDtmfPage::TDtmfPage(TStationRuntime& station, QWidget* parent)
    : QWidget(parent), station_(station), dtmf_(station.Dtmf()) {
  setObjectName(QStringLiteral("DTMFPage"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(CreateButtons());

  auto* display = new QHBoxLayout;
  display->addWidget(new TFrequencyBarsView(dtmf_, this), 1);
  levelBar_ = new QSlider(Qt::Vertical, this);
  levelBar_->setObjectName(QStringLiteral("DTMFLevelBar"));
  levelBar_->setToolTip(QStringLiteral("DTFM sensitivity level"));
  levelBar_->setRange(0, TDtmfBlockProcessor::kLevelBarMaximum);
  levelBar_->setValue(dtmf_.LevelBarPosition());
  connect(levelBar_, &QSlider::actionTriggered, this,
          [this] { station_.ChangeDtmf(TDtmfChange::LevelBar, levelBar_->sliderPosition()); });
  display->addWidget(levelBar_);
  layout->addLayout(display, 1);

  terminal_ = new QPlainTextEdit(this);
  terminal_->setObjectName(QStringLiteral("Terminal"));
  terminal_->setReadOnly(true);
  terminal_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  layout->addWidget(terminal_, 1);

  auto* panels = new QHBoxLayout;
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("StatusPanel"));
  error_ = new QLabel(this);
  error_->setObjectName(QStringLiteral("ErrorPanel"));
  panels->addWidget(status_, 1);
  panels->addWidget(error_, 1);
  layout->addLayout(panels);

  connect(&dtmf_, &TDtmfBlockProcessor::SettingsChanged, this, &TDtmfPage::RefreshSettings);
  connect(&dtmf_, &TDtmfBlockProcessor::TerminalChanged, this, &TDtmfPage::RefreshTerminal);
  connect(&dtmf_, &TDtmfBlockProcessor::TextsChanged, this, &TDtmfPage::RefreshTexts);
  RefreshSettings();
  RefreshTerminal();
  RefreshTexts();
}

QWidget* TDtmfPage::CreateButtons() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  enabled_ = new QCheckBox(QStringLiteral("DTFM Enabled"), row);
  enabled_->setObjectName(QStringLiteral("cboDTMFEnabled"));
  connect(enabled_, &QCheckBox::clicked, this, &TDtmfPage::EnabledClicked);
  spectrum_ = new QCheckBox(QStringLiteral("Spectrum"), row);
  spectrum_->setObjectName(QStringLiteral("cboSpectrum"));
  connect(spectrum_, &QCheckBox::clicked, this,
          [this](bool on) { station_.ChangeDtmf(TDtmfChange::Spectrum, on); });
  decoder_ = new QComboBox(row);
  decoder_->setObjectName(QStringLiteral("cboDecoder"));
  decoder_->setToolTip(
      QStringLiteral("The decoder that reads the keys: Standard follows the tones as telephones "
                     "do; Block reads each transform against the sensitivity level alone"));
  decoder_->addItem(QStringLiteral("Standard"), static_cast<int>(TDtmfDecoderKind::Standard));
  decoder_->addItem(QStringLiteral("Block"), static_cast<int>(TDtmfDecoderKind::Block));
  connect(decoder_, &QComboBox::activated, this, [this](int index) {
    station_.ChangeDtmf(TDtmfChange::Decoder, decoder_->itemData(index).toInt());
  });
  auto* decoderLabel = new QLabel(QStringLiteral("&Decoder:"), row);
  decoderLabel->setBuddy(decoder_);
  auto* clear = new QPushButton(QStringLiteral("Clear"), row);
  clear->setObjectName(QStringLiteral("btnClear"));
  connect(clear, &QPushButton::clicked, this, [this] { station_.ClearDtmfTerminal(); });
  layout->addWidget(enabled_);
  layout->addWidget(spectrum_);
  layout->addStretch(1);
  layout->addWidget(decoderLabel);
  layout->addWidget(decoder_);
  layout->addWidget(clear);
  return row;
}

void TDtmfPage::EnabledClicked(bool on) {
  if (station_.ChangeDtmf(TDtmfChange::Enabled, on))
    ShowSimplexHint();
}

void TDtmfPage::ShowSimplexHint() {
  auto* box = new QMessageBox(QMessageBox::Information, QString::fromLatin1(kApplicationName),
                              TDtmfBlockProcessor::SimplexHint(), QMessageBox::Ok, this);
  box->setObjectName(QStringLiteral("SimplexHint"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->show();
}

void TDtmfPage::RefreshSettings() {
  const QSignalBlocker blockEnabled(enabled_);
  const QSignalBlocker blockSpectrum(spectrum_);
  const QSignalBlocker blockDecoder(decoder_);
  enabled_->setChecked(dtmf_.Enabled());
  spectrum_->setChecked(dtmf_.SpectrumEnabled());
  decoder_->setCurrentIndex(decoder_->findData(static_cast<int>(dtmf_.Decoder())));
}

void TDtmfPage::RefreshTerminal() {
  terminal_->setPlainText(dtmf_.TerminalLines().join(QLatin1Char('\n')));
  terminal_->verticalScrollBar()->setValue(terminal_->verticalScrollBar()->maximum());
}

void TDtmfPage::RefreshTexts() {
  status_->setText(dtmf_.StatusText());
  error_->setText(dtmf_.ErrorText());
}

}  // namespace tarvok
