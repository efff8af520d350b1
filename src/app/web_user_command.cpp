#include "app/web_user_command.h"

#include <termios.h>
#include <unistd.h>

#include <QDir>
#include <cstdio>
#include <iostream>
#include <string>

#include "web/web_users.h"

namespace tarvok {

namespace {

void Say(const QString& text) {
  std::fprintf(stderr, "tarvok: %s\n", text.toLocal8Bit().constData());
}

// One line of standard input, without echo on a terminal.
std::string ReadSecret(const char* prompt, bool terminal) {
  termios saved{};
  if (terminal) {
    std::fprintf(stderr, "%s", prompt);
    tcgetattr(STDIN_FILENO, &saved);
    termios silent = saved;
    silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSANOW, &silent);
  }
  std::string line;
  std::getline(std::cin, line);
  if (terminal) {
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::fprintf(stderr, "\n");
  }
  if (!line.empty() && line.back() == '\r')
    line.pop_back();
  return line;
}

}  // namespace

int RunWebUserCommand(const QString& home, const QString& name, const QString& role, bool remove) {
  if (!IsValidUserName(name)) {
    Say(QStringLiteral("A web user's name is 1 to 32 of A-Z, a-z, 0-9, '.', '_' and '-'"));
    return 2;
  }
  if (!QDir().mkpath(home)) {
    Say(QStringLiteral("Unable to create the folder %1").arg(home));
    return 1;
  }
  const QString file = TWebUsers::FileIn(home);
  auto users = TWebUsers::Read(file);
  if (remove) {
    if (users.erase(name) == 0) {
      Say(QStringLiteral("There is no web user %1").arg(name));
      return 1;
    }
  } else {
    const auto parsed = WebRoleFromName(role);
    if (!parsed) {
      Say(QStringLiteral("--role must be viewer, operator or admin"));
      return 2;
    }
    const bool terminal = isatty(STDIN_FILENO) != 0;
    const std::string password = ReadSecret("Password: ", terminal);
    if (terminal && ReadSecret("Password again: ", terminal) != password) {
      Say(QStringLiteral("The passwords differ; nothing was changed"));
      return 1;
    }
    if (password.empty()) {
      Say(QStringLiteral("An empty password is not taken; nothing was changed"));
      return 1;
    }
    users[name] = {*parsed, TWebUsers::HashPassword(QByteArray::fromStdString(password))};
  }
  if (QString error = TWebUsers::Write(file, users); !error.isEmpty()) {
    Say(error);
    return 1;
  }
  Say(remove ? QStringLiteral("Web user %1 removed").arg(name)
             : QStringLiteral("Web user %1 is now %2").arg(name, role));
  return 0;
}

}  // namespace tarvok
