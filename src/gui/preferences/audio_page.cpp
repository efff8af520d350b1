#include "gui/preferences/audio_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>

#include "core/audio/recording_formats.h"
#include "core/config/preferences.h"

namespace tarvok {

TAudioPage::TAudioPage(const TPreferences& preferences, QWidget* parent)
    : TPreferencesPage(parent),
      formatTag_(preferences.FormatTag),
      channels_(preferences.Channels),
      samplesPerSec_(preferences.SamplesPerSec),
      bitsPerSample_(preferences.BitsPerSample) {
  setObjectName(QStringLiteral("AudioSheet"));
  auto* format = new QComboBox(this);
  format->setObjectName(QStringLiteral("cboFormat"));
  format->addItem(QStringLiteral("PCM"));
  attributes_ = new QComboBox(this);
  attributes_->setObjectName(QStringLiteral("cboAttributes"));
  // The texts line up in columns.
  attributes_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  connect(attributes_, &QComboBox::activated, this, &TPreferencesPage::Modified);
  dtmfSimplex_ = new QCheckBox(QStringLiteral("Enable DTFM in Simplex Repeater mode"), this);
  dtmfSimplex_->setObjectName(QStringLiteral("cboDTMFSimplex"));
  dtmfSimplex_->setChecked(preferences.DTFMSimplex);
  Watch(dtmfSimplex_);
  connect(dtmfSimplex_, &QCheckBox::clicked, this, &TAudioPage::FillFormats);

  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(QStringLiteral("Format:"), this), 0, 0);
  grid->addWidget(format, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Attributes:"), this), 1, 0);
  grid->addWidget(attributes_, 1, 1);
  grid->addWidget(dtmfSimplex_, 2, 0, 1, 2);
  grid->setRowStretch(3, 1);
  grid->setColumnStretch(1, 1);
  FillFormats();
}

void TAudioPage::FillFormats() {
  offered_ = OfferedRecordingFormats(dtmfSimplex_->isChecked());
  attributes_->clear();
  for (const TWaveFormat& format : offered_)
    attributes_->addItem(RecordingFormatText(format));
  attributes_->setCurrentIndex(
      StoredFormatIndex(offered_, formatTag_, channels_, samplesPerSec_, bitsPerSample_));
}

void TAudioPage::Store(TPreferences& preferences) const {
  const TWaveFormat& format = offered_[static_cast<std::size_t>(attributes_->currentIndex())];
  preferences.FormatTag = format.FormatTag;
  preferences.Channels = format.Channels;
  preferences.SamplesPerSec = static_cast<int>(format.SamplesPerSec);
  preferences.BitsPerSample = format.BitsPerSample;
  preferences.DTFMSimplex = dtmfSimplex_->isChecked();
}

}  // namespace tarvok
