// The about box: the program's title, its version as the build sets it, and who it comes from.
#pragma once

#include <QDialog>

namespace tarvok {

class TConfig;

class TAboutDialog final : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutDialog(const TConfig& config, QWidget* parent = nullptr);
};

// Shows the about box modally; call it from a queued call.
void ShowAbout(const TConfig& config, QWidget* parent);

}  // namespace tarvok
