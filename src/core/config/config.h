// Every setting of the station in memory, written through to the settings file by its setter.
// Setters return false when the file could not be written; the user has then been told
// "Unable to write to <file>" and the new value is in memory only. Every stored key is announced
// by SettingChanged, so that the parts that read it follow. The beacon and mode-schedule lists
// are loaded from the same file after the settings; they are written at each accepted edit and
// again when the object ends.
#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "core/common/dtmf_decoder_kind.h"
#include "core/common/repeater_mode.h"
#include "core/config/audio_events.h"
#include "core/config/debug_log.h"
#include "core/config/station_folder.h"
#include "core/schedule/beacon_list.h"
#include "core/schedule/mode_schedule.h"
#include "core/storage/ini_file.h"

namespace tarvok {

class TClock;
class TRemoteData;
class TUserMessages;

inline constexpr int kTraceCount = 2;

// Gain-control levels derived from a trace's AGC bounds, in the units of the trace's scale.
struct TAgcLevels {
  int LowDB = 0;
  int HighDB = 0;
  int Low = 0;
  int High = 0;
  int Middle = 0;
};

TAgcLevels DeriveAgcLevels(double minimum, double maximum, std::uint8_t scale);

// The CW element length in milliseconds for a speed in words per minute.
int CWElementTimeFor(int speed);

class TConfig final : public QObject {
  Q_OBJECT
 public:
  TConfig(const TStationFolder& folder, const TClock& clock, TUserMessages& messages,
          QObject* parent = nullptr);
  ~TConfig();
  TConfig(const TConfig&) = delete;
  TConfig& operator=(const TConfig&) = delete;

  TIniFile& IniFile() { return ini_; }
  const TIniFile& IniFile() const { return ini_; }
  // Runs many setters as one operation: the file is replaced once, and a file that cannot be
  // written is reported once, not once per key.
  bool WriteTogether(const std::function<void()>& setters);
  const TStationFolder& Folder() const { return folder_; }

  TBeaconList& Beacons() { return beacons_; }
  TModeSchedule& Schedules() { return schedules_; }
  // Write a list's sections with one replace of the file; false (the user told) when it failed.
  bool SaveBeacons() { return Written(beacons_.SaveToIni(ini_)); }
  bool SaveSchedules() { return Written(schedules_.SaveToIni(ini_)); }
  // Both lists' sections, unreported: inside a WriteTogether, which reports.
  void WriteLists();

  // Section "Audio".
  int ThresholdLevel() const { return thresholdLevel_; }
  bool SetThresholdLevel(int v) { return Store(thresholdLevel_, v, kAudio, "ThresholdLevel"); }
  int NoiseLevel() const { return noiseLevel_; }
  bool SetNoiseLevel(int v) { return Store(noiseLevel_, v, kAudio, "NoiseLevel"); }
  int StartDelay() const { return startDelay_; }
  bool SetStartDelay(int v) { return Store(startDelay_, v, kAudio, "StartDelay"); }
  int StopDelay() const { return stopDelay_; }
  bool SetStopDelay(int v) { return Store(stopDelay_, v, kAudio, "StopDelay"); }
  int LocalStartDelay() const { return localStartDelay_; }
  bool SetLocalStartDelay(int v) { return Store(localStartDelay_, v, kAudio, "LocalStartDelay"); }
  int LocalStopDelay() const { return localStopDelay_; }
  bool SetLocalStopDelay(int v) { return Store(localStopDelay_, v, kAudio, "LocalStopDelay"); }
  int PeakSpeed() const { return peakSpeed_; }
  bool SetPeakSpeed(int v) { return Store(peakSpeed_, v, kAudio, "PeakSpeed"); }
  int VoxTimer() const { return voxTimer_; }
  bool SetVoxTimer(int v) { return Store(voxTimer_, v, kAudio, "VoxTimer"); }
  int ComPort() const { return comPort_; }
  bool SetComPort(int v) { return Store(comPort_, v, kAudio, "ComPort"); }
  // A serial device path that takes precedence over ComPort ("/dev/ttyUSB0").
  const QString& ComDevice() const { return comDevice_; }
  bool SetComDevice(const QString& v) { return Store(comDevice_, v, kAudio, "ComDevice"); }
  // On ALSA, the capture device of the PC audio line ("plughw:CARD=Loopback,DEV=1"); empty: none.
  // Read when the station starts.
  const QString& AlsaPCAudioDevice() const { return alsaPCAudioDevice_; }
  // The state in force: one held for a while (a dialog's forced receive) wins over the stored
  // one, and is never written.
  int State() const { return heldState_.value_or(state_); }
  bool SetState(int v) { return Store(state_, v, kAudio, "State"); }
  void HoldState(int v) { heldState_ = v; }
  void ReleaseState() { heldState_.reset(); }
  // The watchdog: seconds of continuous keying allowed (0 or less: no limit), and the seconds
  // keying stays locked after a time-out whose cause the station cannot tell.
  int TxTimeout() const { return txTimeout_; }
  bool SetTxTimeout(int v) { return Store(txTimeout_, v, kAudio, "TxTimeout"); }
  int TxLockout() const { return txLockout_; }
  bool SetTxLockout(int v) { return Store(txLockout_, v, kAudio, "TxLockout"); }
  std::uint8_t ComPin() const { return comPin_; }
  bool SetComPin(std::uint8_t v) { return Store(comPin_, v, kAudio, "ComPin"); }
  bool Debug() const { return debug_; }
  int Average() const { return average_; }
  bool SetAverage(int v) { return Store(average_, v, kAudio, "Average"); }
  std::uint8_t VOXControl(int mode) const { return voxControl_[mode]; }
  bool SetVOXControl(int mode, std::uint8_t v) {
    return Store(voxControl_[mode], v, kAudio, "VOXControl", mode);
  }
  int SourceIndex(int trace) const { return sourceIndex_[trace]; }
  bool SetSourceIndex(int trace, int v) {
    return Store(sourceIndex_[trace], v, kAudio, "SourceIndex", trace);
  }
  bool DisableSource(int trace) const { return disableSource_[trace]; }
  bool SetDisableSource(int trace, bool v) {
    return Store(disableSource_[trace], v, kAudio, "DisableSource", trace);
  }
  bool DisablePeakMeter(int trace) const { return disablePeakMeter_[trace]; }
  bool SetDisablePeakMeter(int trace, bool v) {
    return Store(disablePeakMeter_[trace], v, kAudio, "DisablePeakMeter", trace);
  }
  bool SignalSigned(int trace) const { return signalSigned_[trace]; }
  bool SetSignalSigned(int trace, bool v) {
    return Store(signalSigned_[trace], v, kAudio, "SignalSigned", trace);
  }
  const QString& WAVFile(int slot) const { return wavFile_[slot]; }
  bool SetWAVFile(int slot, const QString& v);
  int AudioTime(int slot) const { return audioTime_[slot]; }
  bool SetAudioTime(int slot, int v);
  const QString& CWString(int slot) const { return cwString_[slot]; }
  bool SetCWString(int slot, const QString& v);
  const QString& LogPath() const { return logPath_; }
  bool SetLogPath(const QString& v);
  int LimitRecordTime() const { return limitRecordTime_; }
  bool SetLimitRecordTime(int v) { return Store(limitRecordTime_, v, kAudio, "LimitRecordTime"); }
  std::int64_t LimitRecordSize() const { return limitRecordSize_; }
  bool SetLimitRecordSize(std::int64_t v) {
    return Store(limitRecordSize_, v, kAudio, "LimitRecordSize");
  }
  bool LogEnabled() const { return logEnabled_; }
  bool SetLogEnabled(bool v) { return Store(logEnabled_, v, kAudio, "LogEnabled"); }
  int LimitLogDays() const { return limitLogDays_; }
  bool SetLimitLogDays(int v);
  std::int64_t LimitLogSize() const { return limitLogSize_; }
  bool SetLimitLogSize(std::int64_t v) { return Store(limitLogSize_, v, kAudio, "LimitLogSize"); }
  bool ConfirmDelete() const { return confirmDelete_; }
  bool SetConfirmDelete(bool v) { return Store(confirmDelete_, v, kAudio, "ConfirmDelete"); }
  int FormatTag() const { return formatTag_; }
  bool SetFormatTag(int v) { return Store(formatTag_, v, kAudio, "FormatTag"); }
  int Channels() const { return channels_; }
  bool SetChannels(int v) { return Store(channels_, v, kAudio, "Channels"); }
  int SamplesPerSec() const { return samplesPerSec_; }
  bool SetSamplesPerSec(int v) { return Store(samplesPerSec_, v, kAudio, "SamplesPerSec"); }
  int BitsPerSample() const { return bitsPerSample_; }
  bool SetBitsPerSample(int v) { return Store(bitsPerSample_, v, kAudio, "BitsPerSample"); }
  int DefaultMode() const { return defaultMode_; }
  bool SetDefaultMode(int v) { return Store(defaultMode_, v, kAudio, "DefaultMode"); }
  int DefaultState() const { return defaultState_; }
  bool SetDefaultState(int v) { return Store(defaultState_, v, kAudio, "DefaultState"); }
  int TrayScale() const { return trayScale_; }
  bool SetTrayScale(int v) { return Store(trayScale_, v, kAudio, "TrayScale"); }
  bool ShowVOXOnly() const { return showVOXOnly_; }
  bool SetShowVOXOnly(bool v) { return Store(showVOXOnly_, v, kAudio, "ShowVOXOnly"); }
  bool SaveMode() const { return saveMode_; }
  bool SetSaveMode(bool v) { return Store(saveMode_, v, kAudio, "SaveMode"); }
  int ShowSize() const { return showSize_; }
  bool SetShowSize(int v) { return Store(showSize_, v, kAudio, "ShowSize"); }
  bool VOXAutoDetect() const { return voxAutoDetect_; }
  bool SetVOXAutoDetect(bool v) { return Store(voxAutoDetect_, v, kAudio, "VOXAutoDetect"); }
  bool IsLaptop() const { return isLaptop_; }
  bool SetIsLaptop(bool v) { return Store(isLaptop_, v, kAudio, "isLaptop"); }
  int CWSpeed() const { return cwSpeed_; }
  bool SetCWSpeed(int v) { return Store(cwSpeed_, v, kAudio, "CWSpeed"); }
  int CWFrequency() const { return cwFrequency_; }
  bool SetCWFrequency(int v) { return Store(cwFrequency_, v, kAudio, "CWFrequency"); }
  int CWVolume() const { return cwVolume_; }
  bool SetCWVolume(int v) { return Store(cwVolume_, v, kAudio, "CWVolume"); }
  const QString& CWTest() const { return cwTest_; }
  bool SetCWTest(const QString& v) { return Store(cwTest_, v, kAudio, "CWTest"); }
  bool DTFMEnabled() const { return dtfmEnabled_; }
  bool SetDTFMEnabled(bool v) { return Store(dtfmEnabled_, v, kAudio, "DTFMEnabled"); }
  bool DTMFSpectrum() const { return dtmfSpectrum_; }
  bool SetDTMFSpectrum(bool v) { return Store(dtmfSpectrum_, v, kAudio, "DTMFSpectrum"); }
  int DTFMLevel() const { return dtfmLevel_; }
  bool DTFMSimplex() const { return dtfmSimplex_; }
  bool SetDTFMSimplex(bool v) { return Store(dtfmSimplex_, v, kAudio, "DTFMSimplex"); }
  TDtmfDecoderKind DTMFDecoder() const { return dtmfDecoder_; }
  bool SetDTMFDecoder(TDtmfDecoderKind v) {
    dtmfDecoder_ = v;
    return Write(kAudio, QStringLiteral("DTMFDecoder"), DtmfDecoderName(v));
  }
  bool FilterEnable() const { return filterEnable_; }
  bool SetFilterEnable(bool v) { return Store(filterEnable_, v, kAudio, "FilterEnable"); }

  // Section "Remote".
  bool RemoteEnabled() const { return remoteEnabled_; }
  // The file switches remote control on, but its folder was missing at load: off for this run.
  bool RemoteFolderMissing() const { return remoteFolderMissing_; }
  bool SetRemoteEnabled(bool v) { return Store(remoteEnabled_, v, kRemote, "RemoteEnabled"); }
  const QString& RemotePath() const { return remotePath_; }
  bool SetRemotePath(const QString& v);

  // Section "AutomaticGainControl", per trace; the bounds are percentages.
  bool AgcEnabled(int trace) const { return agcEnabled_[trace]; }
  bool SetAgcEnabled(int trace, bool v) {
    return Store(agcEnabled_[trace], v, kAgc, "Enabled", trace);
  }
  double AgcMinimum(int trace) const { return agcMinimum_[trace]; }
  bool SetAgcMinimum(int trace, double percent);
  double AgcMaximum(int trace) const { return agcMaximum_[trace]; }
  bool SetAgcMaximum(int trace, double percent);
  std::uint8_t AgcScale(int trace) const { return agcScale_[trace]; }
  bool SetAgcScale(int trace, std::uint8_t v);
  const TAgcLevels& Agc(int trace) const { return agcLevels_[trace]; }

  // Not stored.
  QString DefaultLogPath() const { return folder_.DefaultLogPath(); }
  const QString& LogBrowsePath() const { return logBrowsePath_; }
  void SetLogBrowsePath(const QString& v) { logBrowsePath_ = v; }
  std::int64_t LogCutoffTime() const { return logCutoffTime_; }
  void UpdateLogCutoff();
  int CWElementTime() const { return CWElementTimeFor(cwSpeed_); }
  int VersionMajor() const;
  int VersionMinor() const;
  int VersionRelease() const;
  int VersionBuild() const;
  QString VersionText() const;

  // Remote control: the exchange object the station hands over at its start. It ends with the
  // configuration, after the lists are saved, and deletes its status file.
  TRemoteData* RemoteData() const { return remoteData_.get(); }
  void SetRemoteData(std::unique_ptr<TRemoteData> remoteData);

  // Debug log.
  void OpenDebugLog() { debugLog_.Open(); }
  void CloseDebugLog() { debugLog_.Close(); }
  void WriteDebugLog(const QString& message) { debugLog_.Write(message); }

 signals:
  // A stored key was written (section and key as in the file, e.g. "Audio", "SourceIndex0").
  void SettingChanged(const QString& section, const QString& key);

 private:
  static constexpr const char* kAudio = "Audio";
  static constexpr const char* kRemote = "Remote";
  static constexpr const char* kAgc = "AutomaticGainControl";

  template <typename T>
  bool Store(T& field, T value, const char* section, const char* key, int index = -1) {
    field = value;
    return Write(section, IndexedKey(key, index), value);
  }
  static QString IndexedKey(const char* key, int index);
  bool Write(const char* section, const QString& key, int value);
  bool Write(const char* section, const QString& key, std::int64_t value);
  bool Write(const char* section, const QString& key, std::uint8_t value);
  bool Write(const char* section, const QString& key, bool value);
  bool Write(const char* section, const QString& key, const QString& value);
  bool Written(bool ok);
  // Reports a failed write, announces the key and returns whether it was written.
  bool Announced(bool written, const char* section, const QString& key);

  void Load();
  void LoadAudio();
  void LoadRemote();
  void LoadAgc();
  void UpdateAgcLevels(int trace);

  TStationFolder folder_;
  const TClock& clock_;
  TUserMessages& messages_;
  TDebugLog debugLog_;
  TIniFile ini_;
  TBeaconList beacons_;
  TModeSchedule schedules_;

  int thresholdLevel_ = 6;
  int noiseLevel_ = 55;
  int startDelay_ = 10;
  int stopDelay_ = 500;
  int localStartDelay_ = 1000;
  int localStopDelay_ = 1000;
  int peakSpeed_ = 50;
  int voxTimer_ = 5;
  int comPort_ = 0;
  QString comDevice_;
  QString alsaPCAudioDevice_;
  int state_ = 2;
  std::optional<int> heldState_;
  std::uint8_t comPin_ = 0;
  int txTimeout_ = 300;
  int txLockout_ = 60;
  bool debug_ = false;
  int average_ = 0;
  std::array<std::uint8_t, kModeCount> voxControl_{};
  std::array<int, kTraceCount> sourceIndex_{};
  std::array<bool, kTraceCount> disableSource_{};
  std::array<bool, kTraceCount> disablePeakMeter_{};
  std::array<bool, kTraceCount> signalSigned_{};
  std::array<QString, kAudioEventCount> wavFile_;
  std::array<int, kAudioEventCount> audioTime_{};
  std::array<QString, kAudioEventCount> cwString_;
  QString logPath_;
  int limitRecordTime_ = 0;
  std::int64_t limitRecordSize_ = 0;
  bool logEnabled_ = false;
  int limitLogDays_ = 0;
  std::int64_t limitLogSize_ = 0;
  bool confirmDelete_ = true;
  int formatTag_ = 1;
  int channels_ = 1;
  int samplesPerSec_ = 8000;
  int bitsPerSample_ = 8;
  int defaultMode_ = 1;
  int defaultState_ = 0;
  int trayScale_ = 0;
  bool showVOXOnly_ = false;
  bool saveMode_ = false;
  int showSize_ = 0;
  bool voxAutoDetect_ = false;
  bool isLaptop_ = false;
  int cwSpeed_ = 10;
  int cwFrequency_ = 1000;
  int cwVolume_ = 32767;
  QString cwTest_ = QStringLiteral("... . . ... .");
  bool dtfmEnabled_ = false;
  bool dtmfSpectrum_ = false;
  int dtfmLevel_ = 10;
  TDtmfDecoderKind dtmfDecoder_ = TDtmfDecoderKind::Standard;
  bool dtfmSimplex_ = false;
  bool filterEnable_ = false;

  bool remoteEnabled_ = false;
  bool remoteFolderMissing_ = false;
  QString remotePath_;

  std::array<bool, kTraceCount> agcEnabled_{};
  std::array<double, kTraceCount> agcMinimum_{0.0, 0.0};
  std::array<double, kTraceCount> agcMaximum_{100.0, 100.0};
  std::array<std::uint8_t, kTraceCount> agcScale_{1, 1};
  std::array<TAgcLevels, kTraceCount> agcLevels_;

  QString logBrowsePath_;
  std::int64_t logCutoffTime_ = 0;

  std::unique_ptr<TRemoteData> remoteData_;
};

}  // namespace tarvok
