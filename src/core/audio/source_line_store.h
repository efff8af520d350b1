// Remembers which line a trace listens to by the line's device name as well as by its index
// (SourceIndex0/1). Indexes move when devices appear or vanish; the name does not, so it is
// preferred when both are stored. The names are kept in section "Audio" as SourceName0/1.
#pragma once

#include <QString>

namespace tarvok {

class TIniFile;
class TSoundCard;

class TSourceLineStore {
 public:
  explicit TSourceLineStore(TIniFile& ini) : ini_(ini) {}

  QString LineName(int trace) const;
  // Stores the device name of the card's line lineIndex; false when the file cannot be written.
  bool StoreLine(int trace, const TSoundCard& card, int lineIndex);
  // The index of the line with the stored name, or storedIndex when no line has that name.
  int ResolveLine(int trace, const TSoundCard& card, int storedIndex) const;

 private:
  static QString Key(int trace);

  TIniFile& ini_;
};

}  // namespace tarvok
