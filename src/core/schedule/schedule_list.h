// What the beacon list and the mode-schedule list share: an ordered list that owns copies of the
// items added to it and keeps them in the settings file, a section "<General>" with the key
// "Count" and one section per item, "<Item>0", "<Item>1", ... in list order.
#pragma once

#include <QString>
#include <algorithm>
#include <memory>
#include <vector>

#include "core/common/clock.h"
#include "core/storage/ini_file.h"

namespace tarvok {

template <typename TItem>
class TScheduleList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // Index must lie within 0..Count()-1.
  TItem& Items(int index) { return *items_.at(static_cast<size_t>(index)); }
  const TItem& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }

  // Appends a copy of source, with its next run calculated; the caller keeps source.
  void Add(const TItem& source) {
    auto item = std::make_unique<TItem>(*clock_);
    item->Assign(source);
    items_.push_back(std::move(item));
  }

  // Calls IsTime with the same reading on every item, in list order, and returns how many said
  // true. The station's minute checks read the clock once and pass the reading here.
  int CheckTime(const TSystemTime& now) {
    int count = 0;
    for (const auto& item : items_)
      count += item->IsTime(now) ? 1 : 0;
    return count;
  }

  // Writes "Count" and every item's section with one replace of the file. Sections that an
  // earlier, longer list left behind stay in the file; "Count" keeps them from being read.
  // False when the file could not be written.
  bool SaveToIni(TIniFile& ini) const {
    return ini.Batch([&] {
      ini.WriteInteger(general_, QStringLiteral("Count"), Count());
      for (int i = 0; i < Count(); ++i)
        items_[static_cast<size_t>(i)]->SaveToIni(ini, ItemSection(i), i);
    });
  }

 protected:
  TScheduleList(const TClock& clock, QString general, QString item)
      : clock_(&clock), general_(std::move(general)), item_(std::move(item)) {}
  ~TScheduleList() = default;
  // Copies are deep: every item with its run state.
  TScheduleList(const TScheduleList& other)
      : clock_(other.clock_), general_(other.general_), item_(other.item_) {
    CopyItems(other);
  }
  TScheduleList& operator=(const TScheduleList& other) {
    if (this != &other) {
      items_.clear();
      CopyItems(other);
    }
    return *this;
  }

  // Appends the items of the first "Count" sections for which keep is true. A section that is
  // missing reads as an empty item; the count is bounded by the sections the file holds, so a
  // wild "Count" cannot stall the start. The file is read once, whatever it holds.
  template <typename TKeep>
  void LoadItems(const TIniFile& ini, TKeep keep) {
    ini.ReadBatch([&] {
      const int count =
          std::min(ini.ReadInteger(general_, QStringLiteral("Count"), 0), ini.SectionCount());
      TItem scratch(*clock_);
      for (int i = 0; i < count; ++i) {
        scratch.LoadFromIni(ini, ItemSection(i));
        if (keep(scratch))
          Add(scratch);
      }
    });
  }

  // False when index lies outside the list.
  bool DeleteItem(int index) {
    if (index < 0 || index >= Count())
      return false;
    items_.erase(items_.begin() + index);
    return true;
  }

  void ClearItems() { items_.clear(); }

  const TClock& Clock() const { return *clock_; }
  const std::vector<std::unique_ptr<TItem>>& ItemList() const { return items_; }

 private:
  QString ItemSection(int index) const { return item_ + QString::number(index); }
  void CopyItems(const TScheduleList& other) {
    for (const auto& item : other.items_)
      items_.push_back(std::make_unique<TItem>(*item));
  }

  const TClock* clock_;
  QString general_;
  QString item_;
  std::vector<std::unique_ptr<TItem>> items_;
};

}  // namespace tarvok
