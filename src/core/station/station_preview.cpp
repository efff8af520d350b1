#include "core/station/station_preview.h"

#include "core/audio/record_thread.h"
#include "core/audio/sound_card.h"
#include "core/audio/wav_file_player.h"
#include "core/config/config.h"
#include "core/station/station.h"
#include "core/station/transmitter.h"

namespace tarvok {

void ApplyStoredTone(TRadioRecorder& recorder, const TConfig& config) {
  recorder.SetFrequency(config.CWFrequency());
  recorder.SetElementLength(config.CWElementTime());
  recorder.SetVolume(config.CWVolume());
}

TStationPreview::TStationPreview(TWavFilePlayer& player, TStation& station,
                                 TRecordThread& recordThread, TSoundCard& soundCard,
                                 const TConfig& config, const TTransmitter& transmitter,
                                 QObject* parent)
    : QObject(parent),
      player_(player),
      station_(station),
      recordThread_(recordThread),
      soundCard_(soundCard),
      config_(config),
      transmitter_(transmitter) {
  connect(&player_, &TWavFilePlayer::Finished, this, &TStationPreview::FileFinished);
  connect(&station_, &TStation::PlaybackFinished, this, &TStationPreview::CWFinished);
}

QString TStationPreview::Play(const QString& file, const QString& cw, const TCWTone& tone) {
  if (transmitter_.Keyed())
    return AudioDeviceBusyMessage();
  const bool wasPlaying = Playing();
  pendingCW_.clear();
  file_.clear();
  cwPlaying_ = false;
  player_.Stop();
  station_.StopCWTest();
  ReleaseCapture();
  QString message;
  if (!file.isEmpty()) {
    message = PlayFile(file);
    if (message.isEmpty()) {
      pendingCW_ = cw;
      tone_ = tone;
      return {};
    }
  }
  QString cwMessage = cw.isEmpty() ? QString() : PlayCW(cw, tone);
  if (wasPlaying && !Playing())
    emit Finished();
  return message.isEmpty() ? cwMessage : message;
}

QString TStationPreview::PlayFile(const QString& file) {
  // A laptop does not play and record at the same time.
  holdsCapture_ = config_.IsLaptop() && station_.State().Mode == rmBeaconStation;
  if (holdsCapture_)
    soundCard_.StopCapture();
  const QString message = player_.Play(file);
  if (message.isEmpty())
    file_ = file;
  else
    ReleaseCapture();
  return message;
}

QString TStationPreview::PlayCW(const QString& text, const TCWTone& tone) {
  // Before the new tone: the end of the last test puts back the stored one.
  station_.StopCWTest();
  if (QString refusal = station_.CWTestRefusal(); !refusal.isEmpty())
    return refusal;
  TRadioRecorder& recorder = recordThread_.Recorder();
  if (tone.Frequency > 0)
    recorder.SetFrequency(tone.Frequency);
  if (tone.Speed > 0)
    recorder.SetElementLength(CWElementTimeFor(tone.Speed));
  if (tone.Volume > 0)
    recorder.SetVolume(tone.Volume);
  QString error = station_.PlayCWTest(text);
  cwPlaying_ = recordThread_.State() == TRecorderControl::TState::Playing;
  // When nothing plays, the stored tone comes back at once.
  if (!cwPlaying_)
    ApplyStoredTone(recorder, config_);
  return error;
}

void TStationPreview::Stop() {
  pendingCW_.clear();
  if (!file_.isEmpty())
    player_.Stop();
  else if (cwPlaying_)
    station_.StopCWTest();
}

void TStationPreview::FileFinished(const QString& path) {
  if (file_.isEmpty() || path != file_)
    return;
  file_.clear();
  ReleaseCapture();
  if (const QString cw = std::exchange(pendingCW_, QString()); !cw.isEmpty())
    PlayCW(cw, tone_);
  if (!Playing())
    emit Finished();
}

void TStationPreview::CWFinished() {
  if (!std::exchange(cwPlaying_, false))
    return;
  if (!Playing())
    emit Finished();
}

void TStationPreview::ReleaseCapture() {
  if (!std::exchange(holdsCapture_, false))
    return;
  // A station that took the device over stops and starts capture by itself.
  if (config_.IsLaptop() && station_.State().Mode == rmBeaconStation &&
      recordThread_.State() != TRecorderControl::TState::Playing) {
    recordThread_.StopRecord();
    soundCard_.StartCapture();
  }
}

}  // namespace tarvok
