// The station's recorder and player on the wave engine. Captured audio goes to WAV recordings
// named after the local time ("yymmdd_hhnnss.wav") in the recordings folder, and every captured
// block to a listener (the DTMF decoder) first. It plays WAV files (the last recording, or an
// audio event's file) from their first audio byte, and element strings as a CW tone.
//
// Threads: operations and PlayDone on the main thread; OnBuffer, OnGetData and the tone on the
// back end's thread; WriteBlock (and so OnData) on the record thread's worker.
#pragma once

#include <QString>
#include <functional>
#include <mutex>

#include "core/audio/element_player.h"
#include "core/audio/sine_buffer.h"
#include "core/audio/wav_play_file.h"
#include "core/audio/wav_recording_file.h"
#include "core/audio/wave_recorder.h"

namespace tarvok {

class TClock;
class TConfig;

// What Play plays: the slots of the audio-event table.
inline bool IsTonePlayKind(int kind) { return kind == 5 || kind == 6 || kind == 8; }

class TRadioRecorder final : public TWaveRecorder {
  Q_OBJECT
 public:
  // A captured block; an empty one asks to wait until the last block has been written.
  using TBufferHook = std::function<void(std::span<const std::byte> block)>;
  using TGetDataHook = std::function<int(std::uint8_t* buffer, int size)>;
  // Sees, and may change in place, every captured block before it is written.
  using TDataHook = std::function<void(std::span<std::byte> block)>;

  TRadioRecorder(TSoundBackend& backend, TUserMessages& messages, const TConfig& config,
                 const TClock& clock, int bufferSize, int bufferCount);
  ~TRadioRecorder() override;

  // OnBuffer receives what is captured; OnGetData gives the data of a file playback (ReadBlock
  // when unset). Set them before the first recording or playback.
  void SetOnBuffer(TBufferHook hook) { onBuffer_ = std::move(hook); }
  void SetOnGetData(TGetDataHook hook) { onGetData_ = std::move(hook); }
  void SetOnData(TDataHook hook) { onData_ = std::move(hook); }

  // The recordings folder: LogPath, or the station's default one; created when missing.
  QString RecordingsFolder() const;
  // The current file: the last recording, or the file being played.
  const QString& FileName() const { return fileName_; }
  void SetPlayFile(const QString& fileName) { fileName_ = fileName; }
  // The last recording this recorder made.
  const QString& LastRecording() const { return lastRecording_; }
  int PlayKind() const { return playKind_; }
  void SetPlayKind(int kind) { playKind_ = kind; }
  bool SaveToFile() const { return saveToFile_; }
  void SetSaveToFile(bool save) { saveToFile_ = save; }

  void StopRecord() override;

  // Appends a captured block to the recording after OnData saw it. Record worker.
  void WriteBlock(std::span<std::byte> block);
  // Reads up to `size` bytes (whole frames) of the playback file's audio; 0 at its end.
  int ReadBlock(std::uint8_t* buffer, int size);

  std::int64_t BytesWritten() const { return bytesWritten_; }
  // Whole seconds of the playback (in its own format) and of the recording.
  int PlayedSeconds() const;
  int RecordedSeconds() const;

  void SetFrequency(double hz);
  void SetElementLength(int ms);
  void SetVolume(int volume);
  void SetCWText(const QString& elements);

 signals:
  // From any of the threads above; they only say that a counter changed.
  void PlayProgress();
  void RecordProgress();
  // The playback has ended and its file is closed.
  void PlayDone();
  // A recording to a file began; the file has its name (it may still fail to be created).
  void RecordingFileStarted(const QString& fileName);

 protected:
  void PrepareRecord() override;
  void PreparePlay() override;
  void DataReady(std::span<const std::byte> block) override;
  int GetPlayData(std::uint8_t* buffer, int size) override;
  void PreparePlayData() override;
  void PlayStopped() override;

 private:
  void StartFile();
  void CloseFile();
  void OpenPlayFile();
  void DeleteIfNotKept(const QString& fileName);

  const TConfig& config_;
  const TClock& clock_;
  TBufferHook onBuffer_;
  TGetDataHook onGetData_;
  TDataHook onData_;

  QString fileName_;
  QString lastRecording_;
  int playKind_ = 0;
  bool saveToFile_ = true;
  bool isTone_ = false;

  std::mutex fileMutex_;  // the recording file, written by the worker, closed by the main thread
  TWavRecordingFile recording_;
  bool writeFailed_ = false;
  std::atomic<std::int64_t> bytesWritten_{0};

  TWavPlayFile playFile_;

  std::mutex toneMutex_;  // the element string, set on the main thread, played on another
  TSineBuffer sine_;
  TElementPlayer elements_;
};

}  // namespace tarvok
