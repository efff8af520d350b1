#include "web/web_users.h"

#include <sodium.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

namespace tarvok {

namespace {

void InitSodium() {
  static const bool ready = sodium_init() >= 0;
  Q_UNUSED(ready);
}

}  // namespace

QString WebRoleName(TWebRole role) {
  switch (role) {
    case TWebRole::Viewer:
      return QStringLiteral("viewer");
    case TWebRole::Operator:
      return QStringLiteral("operator");
    case TWebRole::Admin:
      return QStringLiteral("admin");
  }
  return {};
}

std::optional<TWebRole> WebRoleFromName(const QString& name) {
  for (TWebRole role : {TWebRole::Viewer, TWebRole::Operator, TWebRole::Admin}) {
    if (WebRoleName(role) == name)
      return role;
  }
  return std::nullopt;
}

bool IsValidUserName(const QString& name) {
  static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9._-]{1,32}$"));
  return pattern.match(name).hasMatch();
}

QString TWebUsers::FileIn(const QString& stationFolder) {
  return QDir::cleanPath(stationFolder) + QStringLiteral("/web-users");
}

std::map<QString, TWebUser> TWebUsers::Read(const QString& file) {
  std::map<QString, TWebUser> users;
  QFile in(file);
  if (!in.open(QIODevice::ReadOnly))
    return users;
  while (!in.atEnd()) {
    const QByteArray line = in.readLine(4096).trimmed();
    const qsizetype first = line.indexOf(':');
    const qsizetype second = line.indexOf(':', first + 1);
    if (first < 0 || second < 0)
      continue;
    const QString name = QString::fromUtf8(line.left(first));
    const auto role = WebRoleFromName(QString::fromUtf8(line.mid(first + 1, second - first - 1)));
    if (IsValidUserName(name) && role)
      users[name] = {*role, line.mid(second + 1)};
  }
  return users;
}

QString TWebUsers::Write(const QString& file, const std::map<QString, TWebUser>& users) {
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly) ||
      !out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
    return QStringLiteral("Unable to write %1").arg(file);
  for (const auto& [name, user] : users)
    out.write(name.toUtf8() + ':' + WebRoleName(user.Role).toUtf8() + ':' + user.Hash + '\n');
  if (!out.commit())
    return QStringLiteral("Unable to write %1").arg(file);
  return {};
}

QByteArray TWebUsers::HashPassword(const QByteArray& password) {
  InitSodium();
  char hash[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str(
          hash, password.constData(), static_cast<unsigned long long>(password.size()),
          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
    return {};
  return QByteArray(hash);
}

bool TWebUsers::Verify(const QByteArray& hash, const QByteArray& password) {
  InitSodium();
  if (hash.isEmpty() || hash.size() >= crypto_pwhash_STRBYTES)
    return false;
  return crypto_pwhash_str_verify(hash.constData(), password.constData(),
                                  static_cast<unsigned long long>(password.size())) == 0;
}

}  // namespace tarvok
