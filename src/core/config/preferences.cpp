#include "core/config/preferences.h"

#include "core/common/repeater_mode.h"
#include "core/common/rounding.h"
#include "core/config/config.h"

namespace tarvok {

namespace {

// The logarithmic scale's 0..90 dB stand for 0..100 %; whole products first, so ties stay ties.
double ToDecibels(double percent) { return percent * 90 / 100; }
double ToPercent(double decibels) { return decibels * 100 / 90; }

int Rnd(double value) { return static_cast<int>(RoundHalfEven(value)); }

}  // namespace

TPreferences TPreferences::Read(const TConfig& config) {
  TPreferences p;
  p.TrayScale = config.TrayScale();
  p.ShowVOXOnly = config.ShowVOXOnly();
  p.SaveMode = config.SaveMode();
  p.VOXAutoDetect = config.VOXAutoDetect();
  p.IsLaptop = config.IsLaptop();
  p.ShowSize = config.ShowSize();
  p.Average = config.Average();
  for (std::size_t mode = 0; mode < p.VOXControl.size(); ++mode)
    p.VOXControl[mode] = config.VOXControl(static_cast<int>(mode));
  for (int slot = 0; slot < kAudioEventCount; ++slot)
    p.Events[slot] = {config.WAVFile(slot), config.AudioTime(slot), config.CWString(slot)};
  p.LimitRecordTime = config.LimitRecordTime();
  p.LimitRecordSize = config.LimitRecordSize();
  p.LogEnabled = config.LogEnabled();
  p.LogPath = config.LogPath();
  p.LimitLogDays = config.LimitLogDays();
  p.LimitLogSize = config.LimitLogSize();
  p.ConfirmDelete = config.ConfirmDelete();
  p.FormatTag = config.FormatTag();
  p.Channels = config.Channels();
  p.SamplesPerSec = config.SamplesPerSec();
  p.BitsPerSample = config.BitsPerSample();
  p.DTFMSimplex = config.DTFMSimplex();
  p.CWVolume = config.CWVolume();
  p.CWSpeed = config.CWSpeed();
  p.CWFrequency = config.CWFrequency();
  p.CWTest = config.CWTest();
  p.RemoteEnabled = config.RemoteEnabled();
  p.RemotePath = config.RemotePath();
  for (int t = 0; t < 2; ++t)
    p.Agc[t] = {config.AgcEnabled(t), config.AgcMinimum(t), config.AgcMaximum(t),
                config.AgcScale(t)};
  return p;
}

void TPreferences::Write(TConfig& config) const {
  config.SetAverage(Average);
  for (int mode = rmInternetRepeater; mode <= rmBeaconStation; ++mode)
    config.SetVOXControl(mode, VOXControl[mode]);
  for (int slot = 0; slot < kAudioEventCount; ++slot) {
    config.SetWAVFile(slot, Events[slot].WavFile);
    config.SetAudioTime(slot, Events[slot].AudioTime);
    config.SetCWString(slot, Events[slot].CWString);
  }
  config.SetLimitRecordTime(LimitRecordTime);
  config.SetLimitRecordSize(LimitRecordSize);
  config.SetLogEnabled(LogEnabled);
  config.SetLimitLogDays(LimitLogDays);
  config.SetLimitLogSize(LimitLogSize);
  config.SetLogPath(LogPath);
  config.SetConfirmDelete(ConfirmDelete);
  config.SetFormatTag(FormatTag);
  config.SetChannels(Channels);
  config.SetSamplesPerSec(SamplesPerSec);
  config.SetBitsPerSample(BitsPerSample);
  config.SetDTFMSimplex(DTFMSimplex);
  config.SetTrayScale(TrayScale);
  config.SetShowVOXOnly(ShowVOXOnly);
  config.SetSaveMode(SaveMode);
  config.SetVOXAutoDetect(VOXAutoDetect);
  config.SetIsLaptop(IsLaptop);
  config.SetShowSize(ShowSize);
  config.SetCWSpeed(CWSpeed);
  config.SetCWVolume(CWVolume);
  config.SetCWFrequency(CWFrequency);
  config.SetCWTest(CWTest);
  config.SetRemoteEnabled(RemoteEnabled);
  config.SetRemotePath(RemotePath);
  for (int t = 0; t < 2; ++t)
    config.SetAgcEnabled(t, Agc[t].Enabled);
  for (int t = 0; t < 2; ++t)
    config.SetAgcScale(t, Agc[t].Scale);
  for (int t = 0; t < 2; ++t) {
    config.SetAgcMaximum(t, Agc[t].Maximum);
    config.SetAgcMinimum(t, Agc[t].Minimum);
  }
}

int AgcShownValue(double percent, std::uint8_t scale) {
  return Rnd(scale == 1 ? percent : ToDecibels(percent));
}

double AgcPercent(int shown, std::uint8_t scale) { return scale == 1 ? shown : ToPercent(shown); }

int AgcShownAfterSwitch(int shown, std::uint8_t newScale) {
  return Rnd(newScale == 1 ? ToPercent(shown) : ToDecibels(shown));
}

int AgcShownMaximum(std::uint8_t scale) { return scale == 1 ? 100 : 90; }

int EventIntervalFromText(const QString& text, int slot) {
  const QString trimmed = text.trimmed();
  qsizetype digits = 0;
  while (digits < trimmed.size() && trimmed[digits].isDigit())
    ++digits;
  bool ok = false;
  const int value = trimmed.left(digits).toInt(&ok);
  return ok && value >= 1 ? value : AudioEvents[slot].DefaultTime;
}

}  // namespace tarvok
