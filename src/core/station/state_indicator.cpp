#include "core/station/state_indicator.h"

namespace tarvok {

namespace {

using enum TIndicatorColour;

const char* InternetCaption(TModeState state) {
  switch (state) {
    case msForcedOn:
    case msSignal:
      return "TRANSMITTING";
    case msForcedOff:
    case msNoSignal:
      return "receiving";
    case msCourtesy:
      return "TRANSMITTING COURTESY";
    default:
      return nullptr;
  }
}

const char* SimplexCaption(TModeState state) {
  switch (state) {
    case msForcedOn:
    case msSignal:
      return "RECORDING";
    case msForcedOff:
    case msNoSignal:
      return "TRANSMITTING";
    case msListen:
      return "LISTENING";
    case msCourtesy:
      return "TRANSMITTING COURTESY";
    case msIdent:
      return "TRANSMITTING ID";
    case msQST:
      return "TRANSMITTING QST";
    case msTimeout:
      return "TRANSMITTING TIMEOUT";
    case msCWTone:
      return "TRANSMITTING CW TONE";
    default:
      return nullptr;
  }
}

TIndicatorColour SimplexColour(TModeState state, TIndicatorColour keyedColour) {
  switch (state) {
    case msForcedOn:
    case msSignal:
      return Blue;
    case msListen:
      return Green;
    case msForcedOff:
    case msNoSignal:
    case msCourtesy:
    case msIdent:
    case msQST:
    case msTimeout:
    case msCWTone:
      return Red;
    default:
      return keyedColour;
  }
}

const char* BeaconCaption(TModeState state, bool keyed) {
  switch (state) {
    case msSignal:
      return keyed ? "TRANSMITTING EVENT" : "CHANNEL BUSY";
    case msNoSignal:
      return keyed ? "TRANSMITTING EVENT" : "CHANNEL FREE";
    case msListen:
      return "LISTENING";
    case msBeaconWave:
      return "TRANSMITTING EVENT";
    case msBeaconCW:
      return "TRANSMITTING CW EVENT";
    default:
      return nullptr;
  }
}

}  // namespace

TIndicator NextIndicator(const TIndicator& shown, TRepeaterMode mode, TModeState modeState,
                         bool keyed) {
  const TIndicatorColour keyedColour = keyed ? Red : Green;
  const char* caption = nullptr;
  TIndicatorColour colour = keyedColour;
  switch (mode) {
    case rmInternetRepeater:
      caption = InternetCaption(modeState);
      break;
    case rmSimplexRepeater:
      caption = SimplexCaption(modeState);
      colour = SimplexColour(modeState, keyedColour);
      break;
    case rmBeaconStation:
      caption = BeaconCaption(modeState, keyed);
      if (!keyed && modeState == msSignal)
        colour = Blue;
      break;
    default:
      caption = "receiving";
      break;
  }
  return {caption ? QString::fromLatin1(caption) : shown.Caption, colour};
}

}  // namespace tarvok
