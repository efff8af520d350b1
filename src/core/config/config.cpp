#include "core/config/config.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <type_traits>

#include "core/common/clock.h"
#include "core/common/level_conversion.h"
#include "core/common/rounding.h"
#include "core/common/user_messages.h"
#include "core/config/remote_data.h"
#include "core/config/version.h"

namespace tarvok {

namespace {

constexpr std::int64_t kFileTicksPerDay = 24LL * 60 * 60 * 10000000;
constexpr int kFullScale = 32768;

// Nearest integer, ties to even.
int Rnd(double value) { return static_cast<int>(RoundHalfEven(value)); }

double StoredPercent(int tenths) { return std::clamp(tenths / 10.0, 0.0, 100.0); }

}  // namespace

TAgcLevels DeriveAgcLevels(double minimum, double maximum, std::uint8_t scale) {
  TAgcLevels levels;
  if (scale == 0) {
    const int fullScaleDB = Rnd(LevelToDecibels(kFullScale));
    levels.LowDB = Rnd(fullScaleDB * minimum) / 100;
    levels.HighDB = Rnd(fullScaleDB * maximum) / 100;
    levels.Low = levels.LowDB;
    levels.High = levels.HighDB;
  } else {
    levels.Low = Rnd(minimum * kFullScale) / 100;
    levels.High = Rnd(maximum * kFullScale) / 100;
    levels.LowDB = Rnd(LevelToDecibels(levels.Low));
    levels.HighDB = Rnd(LevelToDecibels(levels.High));
  }
  levels.Middle = (levels.Low + levels.High) / 2;
  return levels;
}

int CWElementTimeFor(int speed) {
  double product = speed * 1.515;
  if (product == 0)
    product = 1.0;
  return std::max(10, Rnd(1000 / product));
}

TConfig::TConfig(const TStationFolder& folder, const TClock& clock, TUserMessages& messages,
                 QObject* parent)
    : QObject(parent),
      folder_(folder),
      clock_(clock),
      messages_(messages),
      debugLog_(folder.DebugLogFile(), clock),
      ini_(folder.SettingsFile()),
      beacons_(clock),
      schedules_(clock) {
  for (int i = 0; i < kAudioEventCount; ++i)
    audioTime_[i] = AudioEvents[i].DefaultTime;
  for (int t = 0; t < kTraceCount; ++t)
    UpdateAgcLevels(t);
  logBrowsePath_ = DefaultLogPath();
  UpdateLogCutoff();
  Load();
  if (debug_)
    OpenDebugLog();
}

TConfig::~TConfig() {
  CloseDebugLog();
  remoteData_.reset();
}

void TConfig::WriteLists() {
  schedules_.SaveToIni(ini_);
  beacons_.SaveToIni(ini_);
}

void TConfig::SetRemoteData(std::unique_ptr<TRemoteData> remoteData) {
  remoteData_ = std::move(remoteData);
}

void TConfig::Load() {
  ini_.Batch([this] {
    LoadAudio();
    LoadRemote();
    LoadAgc();
    beacons_.LoadFromIni(ini_);
    schedules_.LoadFromIni(ini_);
  });
}

void TConfig::LoadAudio() {
  const QString s = QString::fromLatin1(kAudio);
  auto readInt = [&](const char* key, int& field) {
    field = ini_.ReadInteger(s, QLatin1String(key), field);
  };
  auto readBool = [&](const QString& key, bool& field) { field = ini_.ReadBool(s, key, field); };
  // Enumerations and bytes outside their range keep the default.
  auto readRange = [&](const QString& key, auto& field, int max) {
    const int value = ini_.ReadInteger(s, key, field);
    if (value >= 0 && value <= max)
      field = static_cast<std::remove_reference_t<decltype(field)>>(value);
  };

  readInt("ThresholdLevel", thresholdLevel_);
  readInt("NoiseLevel", noiseLevel_);
  readInt("StartDelay", startDelay_);
  readInt("StopDelay", stopDelay_);
  readInt("LocalStartDelay", localStartDelay_);
  readInt("LocalStopDelay", localStopDelay_);
  readInt("PeakSpeed", peakSpeed_);
  readInt("VoxTimer", voxTimer_);
  readInt("ComPort", comPort_);
  comDevice_ = ini_.ReadString(s, QStringLiteral("ComDevice"), comDevice_);
  alsaPCAudioDevice_ =
      ini_.ReadString(s, QStringLiteral("AlsaPCAudioDevice"), alsaPCAudioDevice_).trimmed();
  readRange(QStringLiteral("State"), state_, 4);
  readRange(QStringLiteral("ComPin"), comPin_, 255);
  readInt("TxTimeout", txTimeout_);
  readInt("TxLockout", txLockout_);
  readBool(QStringLiteral("Debug"), debug_);
  readRange(QStringLiteral("Average"), average_, 3);
  for (int m = 0; m < kModeCount; ++m)
    readRange(IndexedKey("VOXControl", m), voxControl_[m], 255);
  for (int t = 0; t < kTraceCount; ++t) {
    sourceIndex_[t] = ini_.ReadInteger(s, IndexedKey("SourceIndex", t), sourceIndex_[t]);
    readBool(IndexedKey("DisableSource", t), disableSource_[t]);
    readBool(IndexedKey("DisablePeakMeter", t), disablePeakMeter_[t]);
    readBool(IndexedKey("SignalSigned", t), signalSigned_[t]);
  }
  for (int i = 0; i < kAudioEventCount; ++i) {
    wavFile_[i] = ini_.ReadString(s, IndexedKey("WAVFile", i), wavFile_[i]);
    audioTime_[i] = ini_.ReadInteger(s, IndexedKey("AudioTime", i), audioTime_[i]);
    if (audioTime_[i] == 0 && AudioEvents[i].DefaultTime > 0) {
      audioTime_[i] = AudioEvents[i].DefaultTime;
    }
    if (AudioEvents[i].AllowCW) {
      cwString_[i] = ini_.ReadString(s, IndexedKey("CWString", i), cwString_[i]);
    }
  }
  logPath_ = ini_.ReadString(s, QStringLiteral("LogPath"), logPath_);
  // Clean-up and the recordings list work where the recordings really are.
  if (!logPath_.isEmpty())
    logBrowsePath_ = WithTrailingSlash(logPath_);
  readInt("LimitRecordTime", limitRecordTime_);
  limitRecordSize_ = ini_.ReadInt64(s, QStringLiteral("LimitRecordSize"), limitRecordSize_);
  readBool(QStringLiteral("LogEnabled"), logEnabled_);
  readInt("LimitLogDays", limitLogDays_);
  UpdateLogCutoff();
  limitLogSize_ = ini_.ReadInt64(s, QStringLiteral("LimitLogSize"), limitLogSize_);
  readBool(QStringLiteral("ConfirmDelete"), confirmDelete_);
  readInt("FormatTag", formatTag_);
  readInt("Channels", channels_);
  readInt("SamplesPerSec", samplesPerSec_);
  readInt("BitsPerSample", bitsPerSample_);
  readRange(QStringLiteral("DefaultMode"), defaultMode_, kModeCount - 1);
  readInt("DefaultState", defaultState_);
  readRange(QStringLiteral("TrayScale"), trayScale_, 1);
  readBool(QStringLiteral("ShowVOXOnly"), showVOXOnly_);
  readBool(QStringLiteral("SaveMode"), saveMode_);
  readRange(QStringLiteral("ShowSize"), showSize_, 1);
  readBool(QStringLiteral("VOXAutoDetect"), voxAutoDetect_);
  readBool(QStringLiteral("isLaptop"), isLaptop_);
  readInt("CWSpeed", cwSpeed_);
  readInt("CWFrequency", cwFrequency_);
  readInt("CWVolume", cwVolume_);
  cwTest_ = ini_.ReadString(s, QStringLiteral("CWTest"), cwTest_);
  readBool(QStringLiteral("DTFMEnabled"), dtfmEnabled_);
  readBool(QStringLiteral("DTMFSpectrum"), dtmfSpectrum_);
  readInt("DTFMLevel", dtfmLevel_);
  readBool(QStringLiteral("DTFMSimplex"), dtfmSimplex_);
  dtmfDecoder_ = DtmfDecoderFromName(ini_.ReadString(s, QStringLiteral("DTMFDecoder"), QString()))
                     .value_or(dtmfDecoder_);
  readBool(QStringLiteral("FilterEnable"), filterEnable_);
}

void TConfig::LoadRemote() {
  const QString s = QString::fromLatin1(kRemote);
  remoteEnabled_ = ini_.ReadBool(s, QStringLiteral("RemoteEnabled"), remoteEnabled_);
  remotePath_ = ini_.ReadString(s, QStringLiteral("RemotePath"), remotePath_);
  if (remotePath_.isEmpty())
    remotePath_ = folder_.DefaultRemotePath();
  remoteFolderMissing_ = remoteEnabled_ && !QFileInfo(remotePath_).isDir();
  if (remoteFolderMissing_)
    remoteEnabled_ = false;
}

void TConfig::LoadAgc() {
  const QString s = QString::fromLatin1(kAgc);
  for (int t = 0; t < kTraceCount; ++t) {
    agcEnabled_[t] = ini_.ReadBool(s, IndexedKey("Enabled", t), agcEnabled_[t]);
    const int minimum = ini_.ReadInteger(s, IndexedKey("Minimum", t), Rnd(agcMinimum_[t] * 10));
    const int maximum = ini_.ReadInteger(s, IndexedKey("Maximum", t), Rnd(agcMaximum_[t] * 10));
    agcMinimum_[t] = StoredPercent(minimum);
    agcMaximum_[t] = StoredPercent(maximum);
    const int scale = ini_.ReadInteger(s, IndexedKey("Scale", t), agcScale_[t]);
    if (scale >= 0 && scale <= 255)
      agcScale_[t] = static_cast<std::uint8_t>(scale);
    UpdateAgcLevels(t);
  }
}

QString TConfig::IndexedKey(const char* key, int index) {
  QString name = QString::fromLatin1(key);
  if (index >= 0)
    name += QString::number(index);
  return name;
}

bool TConfig::WriteTogether(const std::function<void()>& setters) {
  return Written(ini_.Batch(setters));
}

bool TConfig::Written(bool ok) {
  if (!ok)
    messages_.ShowError(QStringLiteral("Unable to write to %1").arg(ini_.FileName()));
  return ok;
}

bool TConfig::Announced(bool written, const char* section, const QString& key) {
  Written(written);
  emit SettingChanged(QString::fromLatin1(section), key);
  return written;
}

bool TConfig::Write(const char* section, const QString& key, int value) {
  return Announced(ini_.WriteInteger(QString::fromLatin1(section), key, value), section, key);
}

bool TConfig::Write(const char* section, const QString& key, std::int64_t value) {
  return Announced(ini_.WriteInt64(QString::fromLatin1(section), key, value), section, key);
}

bool TConfig::Write(const char* section, const QString& key, std::uint8_t value) {
  return Announced(ini_.WriteInteger(QString::fromLatin1(section), key, value), section, key);
}

bool TConfig::Write(const char* section, const QString& key, bool value) {
  return Announced(ini_.WriteBool(QString::fromLatin1(section), key, value), section, key);
}

bool TConfig::Write(const char* section, const QString& key, const QString& value) {
  return Announced(ini_.WriteString(QString::fromLatin1(section), key, value), section, key);
}

bool TConfig::SetWAVFile(int slot, const QString& v) {
  wavFile_[slot] = QFileInfo(v).isFile() ? v : QString();
  if (slot == aeBeaconWav || slot == aeBeaconCW)
    return true;
  return Write(kAudio, IndexedKey("WAVFile", slot), wavFile_[slot]);
}

bool TConfig::SetAudioTime(int slot, int v) {
  if (v == 0 && AudioEvents[slot].DefaultTime > 0)
    v = AudioEvents[slot].DefaultTime;
  return Store(audioTime_[slot], v, kAudio, "AudioTime", slot);
}

bool TConfig::SetCWString(int slot, const QString& v) {
  return Store(cwString_[slot], v.toUpper(), kAudio, "CWString", slot);
}

bool TConfig::SetLogPath(const QString& v) {
  const bool ok = Store(logPath_, WithTrailingSlash(v), kAudio, "LogPath");
  logBrowsePath_ = logPath_.isEmpty() ? DefaultLogPath() : logPath_;
  return ok;
}

bool TConfig::SetLimitLogDays(int v) {
  const bool ok = Store(limitLogDays_, v, kAudio, "LimitLogDays");
  UpdateLogCutoff();
  return ok;
}

void TConfig::UpdateLogCutoff() {
  logCutoffTime_ = clock_.UtcFileTime() - limitLogDays_ * kFileTicksPerDay;
}

bool TConfig::SetRemotePath(const QString& v) {
  remotePath_ = v.isEmpty() ? folder_.DefaultRemotePath() : v;
  const bool ok = Write(kRemote, QStringLiteral("RemotePath"), v);
  QDir().mkpath(remotePath_);
  return ok;
}

bool TConfig::SetAgcMinimum(int trace, double percent) {
  agcMinimum_[trace] = percent;
  UpdateAgcLevels(trace);
  return Write(kAgc, IndexedKey("Minimum", trace), Rnd(percent * 10));
}

bool TConfig::SetAgcMaximum(int trace, double percent) {
  agcMaximum_[trace] = percent;
  UpdateAgcLevels(trace);
  return Write(kAgc, IndexedKey("Maximum", trace), Rnd(percent * 10));
}

bool TConfig::SetAgcScale(int trace, std::uint8_t v) {
  agcScale_[trace] = v;
  UpdateAgcLevels(trace);
  return Write(kAgc, IndexedKey("Scale", trace), v);
}

void TConfig::UpdateAgcLevels(int trace) {
  agcLevels_[trace] = DeriveAgcLevels(agcMinimum_[trace], agcMaximum_[trace], agcScale_[trace]);
}

int TConfig::VersionMajor() const { return kVersionMajor; }
int TConfig::VersionMinor() const { return kVersionMinor; }
int TConfig::VersionRelease() const { return kVersionRelease; }
int TConfig::VersionBuild() const { return kVersionBuild; }

QString TConfig::VersionText() const {
  return QString::asprintf("%d.%.2d", VersionMajor(), VersionMinor());
}

}  // namespace tarvok
