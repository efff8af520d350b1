// The recordings log through the real door: the grid shows the list's texts, Delete asks as the
// user expects and relists, a recording in use stays, and "Play Continiously" plays each
// following row once through the station's WAV player.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "core/audio/wav_file_player.h"
#include "core/audio/wav_recording_file.h"
#include "core/config/config.h"
#include "gui/log/recordings_log_window.h"
#include "support/station_runtime_probe.h"
#include "support/window_fixture.h"

namespace tarvok {
namespace {

class RecordingsLogWindowTest : public WindowTest {
 protected:
  // One second of 8 kHz 16-bit mono silence, written `age` minutes ago.
  QString AddRecording(const QString& name, int age) {
    QDir().mkpath(Config().LogBrowsePath());
    const QString path = Config().LogBrowsePath() + name;
    TWavRecordingFile file;
    EXPECT_EQ(file.Create(path, TWaveFormat::Pcm(8000, 16, 1)), "");
    const QByteArray audio(16000, '\0');
    file.Append(reinterpret_cast<const std::uint8_t*>(audio.data()), audio.size());
    file.Close();
    QFile touch(path);
    touch.open(QIODevice::ReadWrite);
    touch.setFileTime(QDateTime::currentDateTime().addSecs(-60 * age),
                      QFileDevice::FileModificationTime);
    return path;
  }
  QStringList AddThree() {
    return {AddRecording("261201_100000.wav", 3), AddRecording("261201_110000.wav", 2),
            AddRecording("261201_120000.wav", 1)};
  }
  TRecordingsLogWindow& Window() {
    if (!window_)
      window_ = std::make_unique<TRecordingsLogWindow>(Station());
    return *window_;
  }
  QTableWidget* Grid() { return Window().findChild<QTableWidget*>("LogGrid"); }
  QToolButton* Button(const char* name) {
    return Window().findChild<QToolButton*>(QString::fromLatin1(name));
  }
  QString Cell(int row, int column) {
    const QTableWidgetItem* item = Grid()->item(row, column);
    return item ? item->text() : QString();
  }
  // Answers the questions that Delete asks, in turn; asked_ collects them.
  void Answer(QList<QMessageBox::StandardButton> answers) {
    auto* timer = new QTimer(&Window());
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [this, timer, answers]() mutable {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || answers.isEmpty())
        return;
      asked_ << box->text();
      box->button(answers.takeFirst())->click();
      if (answers.isEmpty())
        timer->stop();
    });
    timer->start();
  }
  void PressDelete() {
    Grid()->setFocus();
    QTest::keyClick(Grid(), Qt::Key_Delete);
  }

  std::unique_ptr<TRecordingsLogWindow> window_;
  QStringList asked_;
};

TEST_F(RecordingsLogWindowTest, TheGridShowsTheListsTextsAndAnEmptyFolderOneBlankRow) {
  ASSERT_EQ(Grid()->rowCount(), 1);
  EXPECT_EQ(Cell(0, 0), "");
  Button("btnPlay")->click();
  EXPECT_FALSE(Station().Previewing());
  Button("btnDelete")->click();  // no question: nothing to delete
  EXPECT_EQ(Grid()->rowCount(), 1);

  AddRecording("070305_140309.wav", 2);
  AddRecording("notes.wav", 1);
  window_.reset();
  ASSERT_EQ(Grid()->rowCount(), 2);
  EXPECT_EQ(QStringList({Cell(0, 0), Cell(0, 1), Cell(0, 2), Cell(0, 3), Cell(0, 4)}),
            QStringList({"03/05/07", "14:03:09", "15 Kb", "1 secs", "8KHz, 16Bit, Mono"}));
  EXPECT_EQ(Cell(1, 0), "");
  EXPECT_EQ(Grid()->horizontalHeaderItem(4)->text(), "Properties");
}

TEST_F(RecordingsLogWindowTest, DeleteAsksForEachUntilCancelOrYesToAllAndRelists) {
  const QStringList files = AddThree();
  Grid()->selectAll();
  Answer({QMessageBox::Yes, QMessageBox::Cancel});
  Button("btnDelete")->click();
  ASSERT_EQ(asked_.size(), 2);
  EXPECT_TRUE(asked_[0].startsWith("Are you sure you want to delete\n12/01/26 10:00:00, 15 Kb"));
  EXPECT_FALSE(QFile::exists(files[0]));
  EXPECT_TRUE(QFile::exists(files[1]));
  ASSERT_EQ(Grid()->rowCount(), 2);
  EXPECT_EQ(Cell(0, 1), "11:00:00");

  Grid()->selectAll();
  Answer({QMessageBox::YesToAll});
  PressDelete();
  EXPECT_EQ(asked_.size(), 3) << "Yes to All asks once";
  EXPECT_FALSE(QFile::exists(files[1]));
  EXPECT_FALSE(QFile::exists(files[2]));
  EXPECT_EQ(Grid()->rowCount(), 1);

  Config().SetConfirmDelete(false);
  const QString another = AddRecording("261201_130000.wav", 1);
  window_.reset();
  Grid()->selectRow(0);
  Button("btnDelete")->click();
  EXPECT_EQ(asked_.size(), 3) << "no question with confirmation off";
  EXPECT_FALSE(QFile::exists(another));
}

TEST_F(RecordingsLogWindowTest, TheRecordingBeingWrittenIsNeverDeleted) {
  Config().SetConfirmDelete(false);
  Config().SetLogEnabled(true);
  Station().ChangeMode(rmSimplexRepeater);
  Station().ClickStateButton(TStateButton::SimplexForceRecord);
  Settle();
  const QString recording = Station().LastRecording();
  ASSERT_NE(backend_->Capture, nullptr);
  for (int i = 0; i < 4 && QFileInfo(recording).size() <= TWavRecordingFile::kHeaderBytes; ++i) {
    backend_->Capture->Sink.CaptureData(std::vector<std::byte>(4096));
    QTest::qWait(50);
  }
  ASSERT_EQ(Grid()->rowCount(), 1);
  ASSERT_FALSE(Cell(0, 0).isEmpty()) << "the recording is listed";
  PressDelete();
  EXPECT_TRUE(QFile::exists(recording));
  auto* message = Window().findChild<QMessageBox*>("LogMessage");
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(
      message->text(),
      QStringLiteral("Cannot delete %1 file: it is being recorded or played!").arg(recording));
}

TEST_F(RecordingsLogWindowTest, PlayContiniouslyPlaysEachFollowingRowOnce) {
  const QStringList files = AddThree();
  QStringList played;
  QObject::connect(&TStationRuntimeProbe::FilePlayer(Station()), &TWavFilePlayer::Finished,
                   [&](const QString& file) { played << file; });
  Button("btnLoop")->click();
  Grid()->selectRow(1);
  Button("btnPlay")->click();
  EXPECT_TRUE(Button("btnPlay")->isChecked());
  for (int i = 0; i < 5 && Station().Previewing(); ++i) {
    backend_->Playback->PlayOne();
    Settle();
  }
  EXPECT_EQ(played, files.mid(1));
  EXPECT_FALSE(Station().Previewing());
  EXPECT_FALSE(Button("btnPlay")->isChecked());

  Button("btnLoop")->click();  // off: the selected row only
  played.clear();
  Window().show();
  const QPoint cell = Grid()->visualRect(Grid()->model()->index(0, 0)).center();
  QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, cell);
  QTest::mouseDClick(Grid()->viewport(), Qt::LeftButton, {}, cell);
  for (int i = 0; i < 5 && Station().Previewing(); ++i) {
    backend_->Playback->PlayOne();
    Settle();
  }
  EXPECT_EQ(played, files.mid(0, 1));
}

TEST_F(RecordingsLogWindowTest, PlayContiniouslyPassesOverAnUnreadableFileWithOneLine) {
  const QStringList files = AddThree();
  QFile broken(files[1]);
  ASSERT_TRUE(broken.open(QIODevice::ReadWrite));
  broken.write(QByteArray(44, 'x'));
  broken.flush();
  broken.setFileTime(QDateTime::currentDateTime().addSecs(-120), QFileDevice::FileModificationTime);
  broken.close();
  QStringList played;
  QStringList lines;
  QObject::connect(&TStationRuntimeProbe::FilePlayer(Station()), &TWavFilePlayer::Finished,
                   [&](const QString& file) { played << file; });
  QObject::connect(&Station(), &TStationRuntime::RecordingSkipped,
                   [&](const QString& line) { lines << line; });
  Button("btnLoop")->click();
  Grid()->selectRow(0);
  Button("btnPlay")->click();
  for (int i = 0; i < 5 && TStationRuntimeProbe::FilePlayer(Station()).Playing(); ++i) {
    backend_->Playback->PlayOne();
    Settle();
  }
  EXPECT_EQ(played, QStringList({files[0], files[2]}));
  ASSERT_EQ(lines.size(), 1);
  EXPECT_TRUE(lines[0].startsWith("Skipped: ")) << lines[0].toStdString();
  EXPECT_TRUE(lines[0].contains(files[1])) << lines[0].toStdString();
  EXPECT_EQ(Window().findChild<QLabel*>("lblSkipped")->text(), lines[0]);
  EXPECT_EQ(Window().findChild<QMessageBox*>("LogMessage"), nullptr);
}

}  // namespace
}  // namespace tarvok
