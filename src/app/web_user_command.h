// tarvok --web-user NAME --role R | --remove: adds, changes or removes a user of the web console
// in the station folder's users file, without starting a station (so also while one runs).
#pragma once

#include <QString>

namespace tarvok {

// The password comes from standard input: asked twice on a terminal, read once from a pipe.
// Returns the exit code; messages go to standard error.
int RunWebUserCommand(const QString& home, const QString& name, const QString& role, bool remove);

}  // namespace tarvok
