// The settings the preferences dialog edits, as one value: the dialog works on a copy and hands it
// back to be written, and the station keeps the copy taken before a Save to return to when the
// settings file cannot be written. Also the unit rules the dialog shows them in.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

#include "core/config/audio_events.h"
#include "core/schedule/beacon_list.h"

namespace tarvok {

class TConfig;

struct TEventPreferences {
  QString WavFile;
  int AudioTime = 0;
  QString CWString;
};

struct TAgcPreferences {
  bool Enabled = false;
  double Minimum = 0.0;  // percent
  double Maximum = 100.0;
  std::uint8_t Scale = 1;  // 0 logarithm, 1 linear
};

struct TPreferences {
  // General.
  int TrayScale = 0;
  bool ShowVOXOnly = false;
  bool SaveMode = false;
  bool VOXAutoDetect = false;
  bool IsLaptop = false;
  int ShowSize = 0;
  // VOX average and source; VOXControl by mode, 1 to 3 used.
  int Average = 0;
  std::array<std::uint8_t, 4> VOXControl{};
  std::array<TEventPreferences, kAudioEventCount> Events;
  // Simplex.
  int LimitRecordTime = 0;
  std::int64_t LimitRecordSize = 0;  // bytes
  bool LogEnabled = false;
  QString LogPath;
  int LimitLogDays = 0;
  std::int64_t LimitLogSize = 0;  // bytes
  bool ConfirmDelete = true;
  // Audio.
  int FormatTag = 1;
  int Channels = 1;
  int SamplesPerSec = 8000;
  int BitsPerSample = 8;
  bool DTFMSimplex = false;
  // CW.
  int CWVolume = 32767;
  int CWSpeed = 10;
  int CWFrequency = 1000;
  QString CWTest;
  // Remote.
  bool RemoteEnabled = false;
  QString RemotePath;
  std::array<TAgcPreferences, 2> Agc;
  // The beacon list as the Beacon page edited it; none when the page left it alone. Not read
  // from the settings: the station's list editor holds the list.
  std::optional<TBeaconList> Beacons;

  static TPreferences Read(const TConfig& config);
  // Calls the setters in the order of the dialog's Save.
  void Write(TConfig& config) const;
};

// An AGC bound as the dialog shows it: decibels 0..90 on the logarithmic scale, else percent.
int AgcShownValue(double percent, std::uint8_t scale);
double AgcPercent(int shown, std::uint8_t scale);
// A shown bound after the user switched the scale to newScale.
int AgcShownAfterSwitch(int shown, std::uint8_t newScale);
// The largest bound the field takes on the scale.
int AgcShownMaximum(std::uint8_t scale);

// The interval typed for an audio event: the digits up to the first other character; a value
// below 1 gives the event's default interval.
int EventIntervalFromText(const QString& text, int slot);

}  // namespace tarvok
