// Small owned lists of 32-bit integers or Booleans that the sound card keeps beside its line and
// control name lists; entry i of each list describes the same line or control.
#pragma once

#include <cstdint>
#include <vector>

namespace tarvok {

template <typename T>
class TValueList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  T Items(int index) const { return items_[static_cast<std::size_t>(index)]; }
  int Add(T value) {
    items_.push_back(value);
    return Count() - 1;
  }
  void Clear() { items_.clear(); }

 private:
  std::vector<T> items_;
};

using TIntegerList = TValueList<std::int32_t>;
using TBooleanList = TValueList<bool>;

}  // namespace tarvok
