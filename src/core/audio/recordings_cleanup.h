// Trims the recordings folder: recordings older than the age limit go, then the oldest ones
// until the newest fit within the size limit.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace tarvok {

struct TCleanupLimits {
  int LimitLogDays = 0;            // 0: no age limit
  std::int64_t LogCutoffTime = 0;  // 100-ns ticks since 1601 UTC; older recordings go
  std::int64_t LimitLogSize = 0;   // bytes; 0: no size limit
};

// Files named in `inUse` (the recording being written or played) are never deleted.
// Returns the names of the files deleted.
QStringList CleanRecordings(const QString& folder, const TCleanupLimits& limits,
                            const QStringList& inUse = {});

}  // namespace tarvok
