// Which DTMF decoder the station runs: the frame decoder of telephone practice, or the block
// detector that reads keys from each 2048-sample transform. Stored by name as DTMFDecoder.
#pragma once

#include <QString>
#include <optional>

namespace tarvok {

enum class TDtmfDecoderKind { Standard, Block };

inline QString DtmfDecoderName(TDtmfDecoderKind kind) {
  return kind == TDtmfDecoderKind::Block ? QStringLiteral("block") : QStringLiteral("standard");
}

// The decoder of that name, whatever its case; nothing for any other name.
inline std::optional<TDtmfDecoderKind> DtmfDecoderFromName(const QString& name) {
  for (TDtmfDecoderKind kind : {TDtmfDecoderKind::Standard, TDtmfDecoderKind::Block}) {
    if (name.trimmed().compare(DtmfDecoderName(kind), Qt::CaseInsensitive) == 0)
      return kind;
  }
  return std::nullopt;
}

}  // namespace tarvok
