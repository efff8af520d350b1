// How the sound card's lines read for a user: the entry text of the trace-source list and the
// listing that `tarvok --list-audio` prints.
#pragma once

#include <QStringList>

namespace tarvok {

class TSoundCard;

// "src:" for a source line or "DST:" for a destination, then "rec: " or "out: " by the line's
// destination, then the line's name.
QString SourceEntryText(const TSoundCard& card, int lineIndex);

// Every mixer device with its lines, as the trace-source list shows them, and each line's
// controls with their maxima. Enumerates each device in turn and returns to the current one.
QStringList DescribeSoundCard(TSoundCard& card);

}  // namespace tarvok
