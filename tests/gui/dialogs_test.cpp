#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "gui/dialogs/confirmation_dialog.h"
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

}  // namespace
}  // namespace tarvok
