// The recordings log ("Log"): the recordings of the browse folder in a grid, oldest first, with
// the folder field and its chooser, Play (also a double-click), "Play Continiously" (the following
// rows, one after another, up to the last, passing over a file it cannot read with a line that
// says so), Delete (also the Delete key) with its questions, and Close. It plays through the
// station's preview and learns from it when a file has finished.
#pragma once

#include <QDialog>

#include "core/audio/recordings_log.h"

class QLabel;
class QLineEdit;
class QTableWidget;
class QToolButton;

namespace tarvok {

class TStationRuntime;

class TRecordingsLogWindow final : public QDialog {
  Q_OBJECT
 public:
  explicit TRecordingsLogWindow(TStationRuntime& station, QWidget* parent = nullptr);
  ~TRecordingsLogWindow() override;

  // The file this window is playing, "" when none.
  const QString& PlayingFile() const { return playing_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* CreateToolBar();
  QWidget* CreateFolderRow();
  void CreateGrid();
  void Relist();
  void TakeFolder(const QString& text);
  void BrowseFolder();
  void Play();
  // Plays the row's file: "" when it plays or there is none, else the message for the user.
  QString PlayRow(int row);
  // Play Continiously: the first of the rows below the selected one that plays.
  void PlayFollowingRows();
  void StopPlaying();
  void PreviewFinished();
  void DeleteSelected();
  void ShowMessage(const QString& text);

  TStationRuntime& station_;
  const TRecordingsLog& log_;
  QTableWidget* grid_ = nullptr;
  QLineEdit* path_ = nullptr;
  QToolButton* loop_ = nullptr;
  QToolButton* play_ = nullptr;
  QLabel* skipped_ = nullptr;
  QString playing_;
};

// Opens the log modally, with the station held for it.
void ShowRecordingsLog(TStationRuntime& station, QWidget* parent);

}  // namespace tarvok
