// Peak-meter readings and decibels: dB = 20 log10(raw), so a 16-bit meter's full scale of 32768
// is 90.3 dB. Thresholds are set in decibels and compared in raw units.
#pragma once

namespace tarvok {

// 20 log10(value) for values above 1, else 0.
double LevelToDecibels(int value);

// 10^(db / 20) rounded half to even; 0 at or below 1 dB, 100 above 200 dB, and the largest
// integer where the level does not fit one.
int DecibelsToLevel(double db);

}  // namespace tarvok
