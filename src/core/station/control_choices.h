// The fixed choices of the window's drop-down lists, with the value each one stands for.
#pragma once

#include <QString>
#include <vector>

namespace tarvok {

struct TChoice {
  QString Text;
  int Value = 0;
};

// "none", then "COM1" to "COM15".
const std::vector<TChoice>& ComPortChoices();
// "5 ms", "10 ms", "50 ms", "100 ms": the level refresh interval.
const std::vector<TChoice>& PeakSpeedChoices();
// The entry standing for the value, -1 when none does.
int ChoiceIndex(const std::vector<TChoice>& choices, int value);

}  // namespace tarvok
