#include "gui/preferences/cw_page.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include "core/config/preferences.h"

namespace tarvok {

TCWPage::TCWPage(const TPreferences& preferences, std::function<void(const QString&)> test,
                 QWidget* parent)
    : TPreferencesPage(parent) {
  setObjectName(QStringLiteral("CWSheet"));
  speed_ = NumberEdit(QStringLiteral("edSpeed"), preferences.CWSpeed);
  frequency_ = NumberEdit(QStringLiteral("edFrequency"), preferences.CWFrequency);
  testText_ = new QLineEdit(preferences.CWTest, this);
  testText_->setObjectName(QStringLiteral("edTest"));
  connect(testText_, &QLineEdit::textEdited, this, &TPreferencesPage::Modified);
  volume_ = new QSlider(Qt::Horizontal, this);
  volume_->setObjectName(QStringLiteral("tbVolume"));
  volume_->setRange(0, 32767);
  volume_->setSingleStep(1640);
  volume_->setPageStep(3280);
  volume_->setTickInterval(820);
  volume_->setTickPosition(QSlider::TicksBelow);
  volume_->setValue(preferences.CWVolume);
  // The CW test plays at the slider's volume; Save writes it.
  connect(volume_, &QSlider::valueChanged, this, &TPreferencesPage::Modified);
  auto* testButton = new QPushButton(QStringLiteral("Test"), this);
  testButton->setObjectName(QStringLiteral("btnTest"));
  connect(testButton, &QPushButton::clicked, this,
          [this, test = std::move(test)] { test(testText_->text()); });

  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(QStringLiteral("Speed:"), this), 0, 0);
  grid->addWidget(speed_, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("words per minute"), this), 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("Frequency:"), this), 1, 0);
  grid->addWidget(frequency_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("Hz"), this), 1, 2);
  auto* note = new QLabel(
      QStringLiteral("Enter a sequence of characters to test the speed and frequency you have "
                     "specified."),
      this);
  note->setWordWrap(true);
  grid->addWidget(note, 2, 0, 1, 4);
  grid->addWidget(new QLabel(QStringLiteral("Test character string:"), this), 3, 0, 1, 4);
  grid->addWidget(testText_, 4, 0, 1, 3);
  grid->addWidget(testButton, 4, 3);
  grid->addWidget(new QLabel(QStringLiteral("Volume:"), this), 5, 0);
  grid->addWidget(volume_, 5, 1, 1, 3);
  grid->setColumnStretch(2, 1);
  grid->setRowStretch(6, 1);
}

int TCWPage::Speed() const { return static_cast<int>(Number(speed_)); }
int TCWPage::Frequency() const { return static_cast<int>(Number(frequency_)); }
int TCWPage::Volume() const { return volume_->value(); }

void TCWPage::Store(TPreferences& preferences) const {
  preferences.CWSpeed = Speed();
  preferences.CWFrequency = Frequency();
  preferences.CWTest = testText_->text();
  preferences.CWVolume = Volume();
}

}  // namespace tarvok
