#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "core/config/version.h"
#include "gui/dialogs/about_dialog.h"
#include "gui/dialogs/confirmation_dialog.h"
#include "support/config_fixture.h"
#include "support/gui_application.h"

namespace tarvok {
namespace {

TEST(ConfirmationDialogTest, ShowsTheMessageAndReturnsWhetherDontShowAgainWasTicked) {
  EnsureGuiApplication();
  const QString message = QStringLiteral("The lower trace should be the receiver.");
  for (const bool tick : {true, false}) {
    QString shown;
    // Runs inside the dialog's modal loop, as the user would.
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<TConfirmationDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      shown = dialog->findChild<QPlainTextEdit*>(QStringLiteral("Memo"))->toPlainText();
      if (tick)
        dialog->findChild<QCheckBox*>(QStringLiteral("cboNoDialog"))->click();
      dialog->findChild<QPushButton*>(QStringLiteral("btnOK"))->click();
    });
    EXPECT_EQ(AskTraceWarning(nullptr, message), tick);
    EXPECT_EQ(shown, message);
  }
}

class AboutDialogTest : public ConfigTest {};

TEST_F(AboutDialogTest, ShowsTheVersionOfTheBuild) {
  EnsureGuiApplication();
  const TAboutDialog about(Config());
  EXPECT_EQ(
      about.findChild<QLabel*>(QStringLiteral("VersionLabel"))->text(),
      QStringLiteral("Version %1.%2").arg(kVersionMajor).arg(kVersionMinor, 2, 10, QChar('0')));
}

}  // namespace
}  // namespace tarvok
