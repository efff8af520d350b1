#include "core/audio/mixer_control_object.h"

namespace tarvok {

void TMixerControlObject::Clear() {
  active_.store(false, std::memory_order_release);
  valid_.store(false, std::memory_order_release);
  cell_.store(nullptr, std::memory_order_release);
  SetLevel(0);
  SetSigned(false);
}

void TMixerControlObject::Bind(const TMixerLine& line, const TMixerControl& control,
                               const TControlCell* cell, bool active) {
  line_ = line;
  control_ = control;
  SetValue(0);
  cell_.store(cell, std::memory_order_release);
  valid_.store(true, std::memory_order_release);
  active_.store(active, std::memory_order_release);
}

int TMixerControlObjectList::Add() {
  const int index = Count();
  if (index >= kCapacity)
    return -1;
  count_.store(index + 1, std::memory_order_release);
  return index;
}

}  // namespace tarvok
