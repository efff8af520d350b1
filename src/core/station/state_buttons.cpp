#include "core/station/state_buttons.h"

namespace tarvok {

namespace {

using enum TStateButton;

constexpr std::array<TStateButtonInfo, 9> kButtons{{
    {TControlPage::Repeater, "Enable VOX", csVox, msNoSignal},
    {TControlPage::Repeater, "Force XMIT", csForcedOn, msForcedOn},
    {TControlPage::Repeater, "Force RECV", csForcedOff, msForcedOff},
    {TControlPage::Simplex, "Enable VOX", csVox, msNoSignal},
    {TControlPage::Simplex, "Force RECORD", csForcedOn, msForcedOn},
    {TControlPage::Simplex, "Force XMIT", csForcedOff, msForcedOff},
    {TControlPage::Simplex, "Force LISTEN", csForcedOff, msListen},
    {TControlPage::Beacon, "Enable Beacon Mode", csVox, msForcedOff},
    {TControlPage::Beacon, "Force Listen", csForcedOff, msListen},
}};

}  // namespace

const TStateButtonInfo& StateButtonInfo(TStateButton button) {
  return kButtons[static_cast<std::size_t>(button)];
}

std::optional<TStateButton> VoxButtonOf(TRepeaterMode mode) {
  switch (mode) {
    case rmInternetRepeater:
      return RepeaterVox;
    case rmSimplexRepeater:
      return SimplexVox;
    case rmBeaconStation:
      return BeaconVox;
    default:
      return std::nullopt;
  }
}

std::optional<TStateButton> PassiveButtonOf(TRepeaterMode mode) {
  switch (mode) {
    case rmInternetRepeater:
      return RepeaterForceRecv;
    case rmSimplexRepeater:
      return SimplexListen;
    case rmBeaconStation:
      return BeaconListen;
    default:
      return std::nullopt;
  }
}

std::optional<TStateButton> RemoteStateButton(TRepeaterMode mode, int state) {
  if (state < 1 || state > 3)
    return std::nullopt;
  switch (mode * 10 + state) {
    case 11:
      return RepeaterVox;
    case 12:
      return RepeaterForceXmit;
    case 13:
      return RepeaterForceRecv;
    case 21:
      return SimplexVox;
    case 22:
      return SimplexForceXmit;
    case 23:
      return SimplexListen;
    case 31:
      return BeaconVox;
    case 33:
      return BeaconListen;
    default:
      return std::nullopt;
  }
}

std::optional<TStateButton> TStateButtons::Checked(TControlPage page) const {
  const auto index = static_cast<std::size_t>(page);
  return index < checked_.size() ? checked_[index] : std::nullopt;
}

bool TStateButtons::Check(TStateButton button) {
  auto& checked = checked_[static_cast<std::size_t>(Info(button).Page)];
  if (checked == button)
    return false;
  checked = button;
  return true;
}

}  // namespace tarvok
