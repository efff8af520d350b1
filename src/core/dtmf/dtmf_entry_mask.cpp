#include "core/dtmf/dtmf_entry_mask.h"

namespace tarvok {

bool TDtmfEntryMask::Take(char key, std::int64_t ms) {
  if (open_ && ms - lastKeyMs_ > kKeyTimeoutMs)
    open_ = false;
  lastKeyMs_ = ms;
  if (key == '*') {
    open_ = true;
    return true;
  }
  if (!open_)
    return false;
  // A digit goes on with the entry; "#" and A to D end it.
  open_ = key >= '0' && key <= '9';
  return true;
}

}  // namespace tarvok
