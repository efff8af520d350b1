// The console's users: the file "web-users" in the station folder (mode 0600), one line per user,
// "name:role:hash", the hash being an Argon2id string at the interactive limits.
#pragma once

#include <QString>
#include <map>
#include <optional>

namespace tarvok {

enum class TWebRole { Viewer = 0, Operator = 1, Admin = 2 };

QString WebRoleName(TWebRole role);
std::optional<TWebRole> WebRoleFromName(const QString& name);
// Names of [A-Za-z0-9._-], 1 to 32 characters.
bool IsValidUserName(const QString& name);

struct TWebUser {
  TWebRole Role = TWebRole::Viewer;
  QByteArray Hash;
};

class TWebUsers {
 public:
  static QString FileIn(const QString& stationFolder);

  // Lines that do not parse are left out.
  static std::map<QString, TWebUser> Read(const QString& file);
  // Replaced in one step, created 0600. "" when written, else the message for the user.
  static QString Write(const QString& file, const std::map<QString, TWebUser>& users);

  // Slow on purpose (tens of milliseconds and 64 MiB): never on the station's thread.
  static QByteArray HashPassword(const QByteArray& password);
  static bool Verify(const QByteArray& hash, const QByteArray& password);
};

}  // namespace tarvok
