// Boxes that tell or ask the user without holding the caller: each is window-modal, returns at
// once and deletes itself when closed.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tarvok {

// An error box with an OK button.
void ShowErrorBox(QWidget* parent, const QString& text);
// A question with Yes and No; onYes runs after Yes.
void AskYesNo(QWidget* parent, const QString& text, std::function<void()> onYes);
// Whether a beacon or schedule event is to go, named by its name or mode.
void AskDeleteEvent(QWidget* parent, const QString& name, std::function<void()> onYes);

}  // namespace tarvok
