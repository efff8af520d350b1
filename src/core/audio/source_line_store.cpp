#include "core/audio/source_line_store.h"

#include "core/audio/sound_card.h"
#include "core/storage/ini_file.h"

namespace tarvok {

namespace {
const QString kSection = QStringLiteral("Audio");
}

QString TSourceLineStore::Key(int trace) { return QStringLiteral("SourceName%1").arg(trace); }

QString TSourceLineStore::LineName(int trace) const {
  return ini_.ReadString(kSection, Key(trace), QString());
}

bool TSourceLineStore::StoreLine(int trace, const TSoundCard& card, int lineIndex) {
  const QString name =
      lineIndex >= 0 && lineIndex < card.LineCount() ? card.LineKeys()[lineIndex] : QString();
  return ini_.WriteString(kSection, Key(trace), name);
}

int TSourceLineStore::ResolveLine(int trace, const TSoundCard& card, int storedIndex) const {
  const int byName = card.LineIndexOfKey(LineName(trace));
  return byName >= 0 ? byName : storedIndex;
}

}  // namespace tarvok
