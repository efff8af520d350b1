// The station's status texts without widgets: the error line, the caption naming the mode, and
// the transfer counters of the recorder. Whoever shows them follows the signals.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>

namespace tarvok {

class TClock;
class TConfig;
class TRecorderControl;
struct TStationState;

// The counters' text: bytes, or whole seconds when showSize is 1.
QString TransferText(int showSize, std::int64_t bytesRead, std::int64_t bytesWritten,
                     int bytesPerSec);
// The caption: "Schedule - " while the scheduler is on, then the mode's name, or "waiting" while
// the scheduler holds no mode.
QString CaptionText(int mode, bool schedulerOn);

class TStatusDisplay final : public QObject {
  Q_OBJECT
 public:
  static constexpr qint64 kProgressInterval = 200;  // ms between counter updates at most

  TStatusDisplay(const TStationState& state, TConfig& config, const TClock& clock,
                 const TRecorderControl& recorder, QObject* parent = nullptr);

  // Shows the text on the error line; with Debug set it also goes to the debug log.
  void ShowError(const QString& text);
  void ClearError();
  const QString& ErrorText() const { return errorText_; }

  void UpdateCaptions();
  const QString& Caption() const { return caption_; }

  // The recorder's progress; may be called on any thread. The counters are shown at most every
  // 200 ms, through the event loop.
  void ProgressTick();
  void ShowTransfer();
  const QString& Transfer() const { return transfer_; }

 signals:
  void ErrorChanged(const QString& text);
  void CaptionChanged(const QString& caption);
  void TransferChanged(const QString& text);

 private:
  void SetError(const QString& text);

  const TStationState& state_;
  TConfig& config_;
  const TClock& clock_;
  const TRecorderControl& recorder_;
  QString errorText_;
  QString caption_;
  QString transfer_;
  std::atomic<qint64> lastProgressTime_{0};
};

}  // namespace tarvok
