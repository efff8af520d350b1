#include "gui/error_boxes.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

#include "support/gui_application.h"

namespace tarvok {
namespace {

QList<QMessageBox*> BoxesOnScreen() {
  QList<QMessageBox*> boxes;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
      boxes.append(box);
  }
  return boxes;
}

TEST(ErrorBoxesTest, ShowsOneBoxAtATimeWithoutStackingTheSameTextOrHoldingTheWindow) {
  EnsureGuiApplication();
  const QString port = QStringLiteral("Cannot open COM3");
  const QString server = QStringLiteral("The sound server went away");
  TErrorBoxes boxes;
  boxes.ShowError(port);
  boxes.ShowError(port);
  boxes.ShowError(server);
  boxes.ShowError(server);
  boxes.ShowError(port);

  // Each call returned with no event loop running, and nothing holds the window.
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  for (const QString& expected : {port, server}) {
    const QList<QMessageBox*> shown = BoxesOnScreen();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0]->text(), expected);
    shown[0]->button(QMessageBox::Ok)->click();
  }
  EXPECT_TRUE(BoxesOnScreen().isEmpty());

  // Once closed, the same failure is told again.
  boxes.ShowError(port);
  ASSERT_EQ(BoxesOnScreen().size(), 1);
  EXPECT_EQ(BoxesOnScreen()[0]->text(), port);
  // The closed boxes free themselves from the event loop, which this test does not run.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace tarvok
