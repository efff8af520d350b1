// The previews of the station's views: a WAV file and/or a CW text played as the air would carry
// them (the file first, then the CW), without keying. A preview is refused while the transmitter
// is keyed, and the station's own playback still cuts it off. A laptop station in Beacon Station
// mode gives its capture up while a file plays and takes it again afterwards.
#pragma once

#include <QObject>
#include <QString>

namespace tarvok {

class TConfig;
class TRadioRecorder;
class TRecordThread;
class TSoundCard;
class TStation;
class TTransmitter;
class TWavFilePlayer;

// The tone of a CW preview; 0 keeps the stored value.
struct TCWTone {
  int Volume = 0;
  int Speed = 0;
  int Frequency = 0;
};

// Puts the stored CW frequency, speed and volume on the recorder's tone generator.
void ApplyStoredTone(TRadioRecorder& recorder, const TConfig& config);

class TStationPreview final : public QObject {
  Q_OBJECT
 public:
  TStationPreview(TWavFilePlayer& player, TStation& station, TRecordThread& recordThread,
                  TSoundCard& soundCard, const TConfig& config, const TTransmitter& transmitter,
                  QObject* parent = nullptr);

  // Stops the preview playing and starts this one: "" when something plays, else the message
  // for the user (the file's, when the file could not play and the CW did).
  QString Play(const QString& file, const QString& cw, const TCWTone& tone);
  void Stop();
  bool Playing() const { return !file_.isEmpty() || cwPlaying_; }
  // The file previewed now, "" when none.
  const QString& File() const { return file_; }

 signals:
  // The preview ended: played out, stopped or cut off.
  void Finished();

 private:
  QString PlayFile(const QString& file);
  QString PlayCW(const QString& text, const TCWTone& tone);
  void FileFinished(const QString& path);
  void CWFinished();
  void ReleaseCapture();

  TWavFilePlayer& player_;
  TStation& station_;
  TRecordThread& recordThread_;
  TSoundCard& soundCard_;
  const TConfig& config_;
  const TTransmitter& transmitter_;
  QString file_;
  QString pendingCW_;
  TCWTone tone_;
  bool cwPlaying_ = false;
  bool holdsCapture_ = false;
};

}  // namespace tarvok
