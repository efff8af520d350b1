// The state buttons of the control pages: which one is checked on each page. They behave like
// radio buttons: checking one unchecks the others of its page, and only a change from unchecked
// to checked counts as a click.
#pragma once

#include <QString>
#include <array>
#include <optional>

#include "core/station/station_state.h"

namespace tarvok {

// The control pages, one per mode.
enum class TControlPage { Repeater = 0, Simplex = 1, Beacon = 2, Scheduler = 3 };

enum class TStateButton {
  RepeaterVox,
  RepeaterForceXmit,
  RepeaterForceRecv,
  SimplexVox,
  SimplexForceRecord,
  SimplexForceXmit,
  SimplexListen,
  BeaconVox,
  BeaconListen,
};

struct TStateButtonInfo {
  TControlPage Page;
  const char* Caption;
  TControlState State;  // the control setting a click stores
  TModeState Request;   // the request a click sends
};

const TStateButtonInfo& StateButtonInfo(TStateButton button);

// A mode's "Enable VOX" and passive buttons; none for rmNone.
std::optional<TStateButton> VoxButtonOf(TRepeaterMode mode);
std::optional<TStateButton> PassiveButtonOf(TRepeaterMode mode);
// The button that a remote command's "state" (1 to 3) names in a mode; "Force RECORD" has no
// number, it cannot be selected from afar.
std::optional<TStateButton> RemoteStateButton(TRepeaterMode mode, int state);

class TStateButtons {
 public:
  // The checked button of a page with state buttons; none when no button of it is checked.
  std::optional<TStateButton> Checked(TControlPage page) const;
  bool IsChecked(TStateButton button) const { return Checked(Info(button).Page) == button; }
  // Checks the button; true when it was not checked before, which is when a click runs.
  bool Check(TStateButton button);

 private:
  static const TStateButtonInfo& Info(TStateButton button) { return StateButtonInfo(button); }
  std::array<std::optional<TStateButton>, 3> checked_;
};

}  // namespace tarvok
