// Where the station folder is when no --home is given.
#pragma once

#include <QString>

namespace tarvok {

// $XDG_DATA_HOME/tarvok/, or ~/.local/share/tarvok/ when XDG_DATA_HOME is unset or not absolute.
QString DefaultStationHome();

}  // namespace tarvok
