#include "core/station/control_choices.h"

namespace tarvok {

namespace {

std::vector<TChoice> MakeComPortChoices() {
  std::vector<TChoice> choices{{QStringLiteral("none"), 0}};
  for (int port = 1; port <= 15; ++port)
    choices.push_back({QStringLiteral("COM%1").arg(port), port});
  return choices;
}

}  // namespace

const std::vector<TChoice>& ComPortChoices() {
  static const std::vector<TChoice> choices = MakeComPortChoices();
  return choices;
}

const std::vector<TChoice>& PeakSpeedChoices() {
  static const std::vector<TChoice> choices{{QStringLiteral("5 ms"), 5},
                                            {QStringLiteral("10 ms"), 10},
                                            {QStringLiteral("50 ms"), 50},
                                            {QStringLiteral("100 ms"), 100}};
  return choices;
}

int ChoiceIndex(const std::vector<TChoice>& choices, int value) {
  for (std::size_t i = 0; i < choices.size(); ++i) {
    if (choices[i].Value == value)
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace tarvok
