#include "gui/dialogs/help_dialog.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/station/vox_control_check.h"
#include "gui/dialogs/peak_meter_picture.h"

namespace tarvok {

namespace {

QString HelpText() {
  const QStringList paragraphs = {
      PeakMeterHelpText(),
      QStringLiteral(
          "To determine for yourself what input and output devices have peak meters, run "
          "\"tarvok --list-audio\" in a terminal. It lists the lines of your sound server "
          "(PulseAudio, or PipeWire through its PulseAudio server): the playback devices, "
          "marked \"out\", and the recording devices, marked \"rec\", each with its controls; a "
          "line with a peak meter shows a \"meter\" control. You can also open the sound "
          "server's volume control, pavucontrol, and look at its \"Output Devices\" tab. The peak "
          "meter is the bar that is shown along with the device's volume slider, as shown in the "
          "example on the \"picture\" tab."),
      QStringLiteral("When this device receives audio, the peak meter will show the sound level as "
                     "a green-yellow-red progression (shown in the Picture's tab)."),
      QStringLiteral("There should be at least one device that shows this peak meter in order for "
                     "Tarvok to work."),
      QStringLiteral(
          "Next, look at the \"Input Devices\" tab of pavucontrol, or at the \"rec\" lines that "
          "\"tarvok --list-audio\" lists. Again, there should be at least one device that shows a "
          "peak meter in order for Tarvok to work."),
      QStringLiteral(
          "If you are missing one or both peak meters, try obtaining and installing the current "
          "drivers from the web site of your sound card's website. Once you have both peak "
          "meters, Tarvok will be able to send and receive audio correctly."),
  };
  return paragraphs.join(QStringLiteral("\n\n"));
}

}  // namespace

THelpDialog::THelpDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Help"));

  auto* memo = new QPlainTextEdit(HelpText());
  memo->setObjectName(QStringLiteral("Memo"));
  memo->setReadOnly(true);
  memo->setMinimumSize(460, 300);

  auto* picturePage = new QWidget;
  auto* pictureLayout = new QVBoxLayout(picturePage);
  pictureLayout->addWidget(new TPeakMeterPicture, 0, Qt::AlignCenter);

  auto* pages = new QTabWidget(this);
  pages->addTab(memo, QStringLiteral("Help"));
  pages->addTab(picturePage, QStringLiteral("Picture"));

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* close = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::AcceptRole);
  close->setObjectName(QStringLiteral("btnClose"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ShowPeakMeterHelp(QWidget* parent) {
  // On the heap: a parent that closes while the help is open frees it.
  auto* dialog = new THelpDialog(parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->exec();
}

}  // namespace tarvok
