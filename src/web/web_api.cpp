#include "web/web_api.h"

#include <QDir>
#include <QFile>
#include <QHttpServerRequest>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QPointer>
#include <QTcpSocket>
#include <QUrlQuery>
#include <optional>

#include "core/audio/log_file_list.h"
#include "core/common/repeater_mode.h"
#include "platform/operator_log.h"
#include "web/http_reply.h"
#include "web/request_head.h"
#include "web/station_link.h"
#include "web/web_events.h"

namespace tarvok {

namespace {

using TMethod = QHttpServerRequest::Method;

QByteArray Field(const QHttpServerRequest& request, const QByteArray& name) {
  for (const auto& [key, value] : request.headers()) {
    if (key.compare(name, Qt::CaseInsensitive) == 0)
      return value;
  }
  return {};
}

QByteArray CookieValue(const QByteArray& cookies, const QByteArray& name) {
  for (const QByteArray& part : cookies.split(';')) {
    const QByteArray pair = part.trimmed();
    if (pair.startsWith(name + '='))
      return pair.mid(name.size() + 1);
  }
  return {};
}

// A name as typed at the login, made safe for a log line.
QString Printable(const QString& name) {
  QString shown;
  for (QChar c : name.left(32))
    shown += c.unicode() > 32 && c.unicode() < 127 ? c : QLatin1Char('?');
  return shown;
}

// The JSON object of the body, or the reason it is none.
std::optional<QJsonObject> BodyObject(const QHttpServerRequest& request, QString& error) {
  QJsonParseError parse;
  const QJsonDocument document = QJsonDocument::fromJson(request.body(), &parse);
  if (parse.error != QJsonParseError::NoError) {
    error = QStringLiteral("The body is not JSON: %1").arg(parse.errorString());
    return std::nullopt;
  }
  if (!document.isObject()) {
    error = QStringLiteral("The body must be a JSON object");
    return std::nullopt;
  }
  return document.object();
}

struct TPageFile {
  const char* Path;
  const char* Resource;
  const char* Type;
};

constexpr TPageFile kPageFiles[] = {
    {"/", ":/web/index.html", "text/html; charset=utf-8"},
    {"/app.js", ":/web/app.js", "text/javascript; charset=utf-8"},
    {"/style.css", ":/web/style.css", "text/css; charset=utf-8"},
};

QByteArray Resource(const QString& name) {
  QFile file(name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

struct TWebApi::TCaller {
  QByteArray SessionId;
  QString User;
  TWebRole Role = TWebRole::Viewer;
  bool TokenValid = false;
};

TWebApi::TWebApi(TStationLink& link, TOperatorLog& log, TWebEvents& events, QString usersFile,
                 bool https, QObject* parent)
    : QObject(parent),
      link_(link),
      log_(log),
      events_(events),
      usersFile_(std::move(usersFile)),
      https_(https) {
  connect(&log_, &TOperatorLog::LineWritten, this, &TWebApi::KeepLine);
  connect(&events_, &TWebEvents::SessionActive, this, &TWebApi::KeepSessionAlive);
  ReloadUsers();
}

void TWebApi::KeepLine(const QString& line) {
  lines_.append(line);
  if (lines_.size() > kMaxLogLines)
    lines_.removeFirst();
  events_.Log(line);
}

void TWebApi::ReloadUsers() {
  users_ = TWebUsers::Read(usersFile_);
  auto alive = [this](const QByteArray& id) {
    const TWebSession* session = sessions_.Peek(id);
    return session && users_.contains(session->User);
  };
  events_.DropSessions(alive);
  sessions_.EndWhere([this](const TWebSession& session) { return !users_.contains(session.User); });
}

int TWebApi::CheckUpgrade(const TRequestHead& head, QByteArray& sessionId) {
  if (head.Path != "/api/events")
    return 404;
  sessionId = head.Cookie(kSessionCookie);
  const TWebSession* session = sessions_.Peek(sessionId);
  if (!session || !users_.contains(session->User))
    return 401;
  const QByteArray origin = head.Field("origin");
  const QByteArray expected = (https_ ? "https://" : "http://") + head.Field("host");
  if (origin != expected)
    return 403;
  return 0;
}

void TWebApi::Handle(const QHttpServerRequest& request, QTcpSocket& socket) {
  const QString path = request.url().path(QUrl::FullyEncoded);
  if (!path.startsWith(QLatin1String("/api/"))) {
    if (request.method() != TMethod::Get)
      return SendError(socket, 405, QStringLiteral("Only GET is served here"));
    if (path == QLatin1String("/") && users_.empty())
      return SendReply(socket, 200, "text/html; charset=utf-8", Resource(":/web/setup.html"));
    for (const TPageFile& file : kPageFiles) {
      if (path == QLatin1String(file.Path))
        return SendReply(socket, 200, file.Type, Resource(QString::fromLatin1(file.Resource)));
    }
    return SendError(socket, 404, QStringLiteral("Not found"));
  }
  if (users_.empty())
    return SendError(socket, 503,
                     QStringLiteral("No web users yet: add one with tarvok --home DIR "
                                    "--web-user NAME --role admin"));
  if (path == QLatin1String("/api/login")) {
    if (request.method() != TMethod::Post)
      return SendError(socket, 405, QStringLiteral("Use POST"));
    return Login(request, socket);
  }
  TCaller caller;
  caller.SessionId = CookieValue(Field(request, "cookie"), kSessionCookie);
  const TWebSession* session = sessions_.Use(caller.SessionId);
  const auto user = session ? users_.find(session->User) : users_.end();
  if (user == users_.end())
    return SendError(socket, 401, QStringLiteral("Log in first"));
  caller.User = session->User;
  caller.Role = user->second.Role;
  const QByteArray token = Field(request, "x-csrf-token");
  caller.TokenValid = !token.isEmpty() && token == session->Token;
  if (request.method() == TMethod::Post && !caller.TokenValid)
    return SendError(socket, 403, QStringLiteral("The X-CSRF-Token header is missing or wrong"));
  if (path == QLatin1String("/api/session")) {
    return SendJson(socket, 200,
                    {{QStringLiteral("user"), caller.User},
                     {QStringLiteral("role"), WebRoleName(caller.Role)},
                     {QStringLiteral("token"), QString::fromLatin1(session->Token)}});
  }
  if (path == QLatin1String("/api/logout") && request.method() == TMethod::Post) {
    sessions_.End(caller.SessionId);
    events_.DropSessions([this](const QByteArray& id) { return sessions_.Peek(id) != nullptr; });
    return SendJson(socket, 200, {},
                    {{"Set-Cookie", QByteArray(kSessionCookie) + "=; Path=/; Max-Age=0"}});
  }
  Route(request, socket, caller);
}

void TWebApi::Login(const QHttpServerRequest& request, QTcpSocket& socket) {
  QString error;
  const auto body = BodyObject(request, error);
  if (!body)
    return SendError(socket, 400, error);
  const QJsonValue name = body->value(QStringLiteral("user"));
  const QJsonValue password = body->value(QStringLiteral("password"));
  if (!name.isString() || !password.isString())
    return SendError(socket, 400, QStringLiteral("\"user\" and \"password\" must be text"));
  const QString user = name.toString();
  const QString address = request.remoteAddress().toString();
  if (limiter_.Locked(address, user)) {
    log_.Line(QStringLiteral("Web: login refused for %1 from %2: too many failures")
                  .arg(Printable(user), address));
    return SendError(socket, 429,
                     QStringLiteral("Too many failed logins: wait a minute and try again"));
  }
  const auto found = users_.find(user);
  const QByteArray hash = found == users_.end() ? QByteArray() : found->second.Hash;
  QPointer<QTcpSocket> client(&socket);
  checker_.Check(hash, password.toString().toUtf8(), this, [this, client, user, address](bool ok) {
    if (!ok) {
      limiter_.Failed(address, user);
      log_.Line(QStringLiteral("Web: failed login for %1 from %2").arg(Printable(user), address));
      if (client)
        SendError(*client, 401, QStringLiteral("Wrong name or password"));
      return;
    }
    const auto entry = users_.find(user);
    if (!client || entry == users_.end())
      return;
    const QByteArray id = sessions_.Create(user);
    log_.Line(QStringLiteral("Web: %1 logged in from %2").arg(user, address));
    QByteArray cookie =
        QByteArray(kSessionCookie) + '=' + id + "; Path=/; HttpOnly; SameSite=Strict";
    if (https_)
      cookie += "; Secure";
    SendJson(*client, 200,
             {{QStringLiteral("user"), user},
              {QStringLiteral("role"), WebRoleName(entry->second.Role)},
              {QStringLiteral("token"), QString::fromLatin1(sessions_.Peek(id)->Token)}},
             {{"Set-Cookie", cookie}});
  });
}

void TWebApi::Route(const QHttpServerRequest& request, QTcpSocket& socket, const TCaller& caller) {
  const QString path = request.url().path(QUrl::FullyEncoded);
  const bool isPost = request.method() == TMethod::Post;
  if (!isPost && request.method() != TMethod::Get)
    return SendError(socket, 405, QStringLiteral("Use GET or POST"));
  if (path.startsWith(QLatin1String("/api/recordings")))
    return ServeRecordings(path.mid(15), isPost, socket, caller);

  struct TRoute {
    const char* Path;
    TWebRole Role;  // who may POST
  };
  static constexpr TRoute kRoutes[] = {
      {"/api/status", TWebRole::Admin},       {"/api/log", TWebRole::Admin},
      {"/api/mode", TWebRole::Operator},      {"/api/state", TWebRole::Operator},
      {"/api/scheduler", TWebRole::Operator}, {"/api/recorder", TWebRole::Operator},
      {"/api/beacons", TWebRole::Admin},      {"/api/schedule", TWebRole::Admin},
  };
  const TRoute* route = nullptr;
  for (const TRoute& candidate : kRoutes) {
    if (path == QLatin1String(candidate.Path))
      route = &candidate;
  }
  if (!route)
    return SendError(socket, 404, QStringLiteral("Not found"));
  const bool readable = path == QLatin1String("/api/status") || path == QLatin1String("/api/log") ||
                        path == QLatin1String("/api/beacons") ||
                        path == QLatin1String("/api/schedule");
  const bool writable = path != QLatin1String("/api/status") && path != QLatin1String("/api/log");
  if ((isPost && !writable) || (!isPost && !readable))
    return SendError(socket, 405, isPost ? QStringLiteral("Use GET") : QStringLiteral("Use POST"));

  if (!isPost) {
    if (path == QLatin1String("/api/status")) {
      QJsonObject status = link_.Snapshot();
      status[QStringLiteral("levels")] = link_.Levels();
      return SendJson(socket, 200, status);
    }
    if (path == QLatin1String("/api/beacons"))
      return SendJson(socket, 200, link_.Beacons());
    if (path == QLatin1String("/api/schedule"))
      return SendJson(socket, 200, link_.Schedule());
    bool ok = true;
    const QString text = request.query().queryItemValue(QStringLiteral("lines"));
    const int count = text.isEmpty() ? 100 : text.toInt(&ok);
    if (!ok || count < 0 || count > kMaxLogLines)
      return SendError(socket, 400, QStringLiteral("\"lines\" must be a number from 0 to 1000"));
    return SendJson(
        socket, 200,
        {{QStringLiteral("lines"),
          QJsonArray::fromStringList(lines_.mid(std::max<qsizetype>(0, lines_.size() - count)))}});
  }

  if (caller.Role < route->Role)
    return SendError(socket, 403,
                     QStringLiteral("The role %1 may not do this").arg(WebRoleName(caller.Role)));
  QString error;
  const auto body = BodyObject(request, error);
  if (!body)
    return SendError(socket, 400, error);
  const QString user = caller.User;
  if (path == QLatin1String("/api/mode")) {
    const QJsonValue mode = body->value(QStringLiteral("mode"));
    if (!mode.isDouble() || !IsOperatingMode(mode.toInt()) || mode.toDouble() != mode.toInt())
      return SendError(socket, 400, QStringLiteral("\"mode\" must be 1, 2 or 3"));
    return Change(socket, caller, link_.SetMode(mode.toInt()),
                  QStringLiteral("set the mode to %1").arg(RepeaterModeText(mode.toInt())));
  }
  if (path == QLatin1String("/api/state")) {
    const QJsonValue state = body->value(QStringLiteral("state"));
    if (!state.isDouble() || state.toDouble() != state.toInt() || state.toInt() < 1 ||
        state.toInt() > 3)
      return SendError(socket, 400, QStringLiteral("\"state\" must be 1, 2 or 3"));
    const QString caption = link_.StateCaption(state.toInt());
    return Change(socket, caller, link_.SetState(state.toInt()),
                  QStringLiteral("set the state to %1").arg(caption));
  }
  if (path == QLatin1String("/api/scheduler") || path == QLatin1String("/api/recorder")) {
    const QJsonValue on = body->value(QStringLiteral("on"));
    if (!on.isBool())
      return SendError(socket, 400, QStringLiteral("\"on\" must be true or false"));
    if (path == QLatin1String("/api/scheduler"))
      return Change(socket, caller, link_.SetScheduler(on.toBool()),
                    on.toBool() ? QStringLiteral("switched the scheduler on")
                                : QStringLiteral("switched the scheduler off"));
    return Change(socket, caller, link_.SetRecorder(on.toBool()),
                  on.toBool() ? QStringLiteral("started the Recorder")
                              : QStringLiteral("stopped the Recorder"));
  }
  const QJsonValue version = body->value(QStringLiteral("version"));
  const QJsonValue items = body->value(QStringLiteral("items"));
  if (!version.isDouble() || !items.isArray())
    return SendError(
        socket, 400,
        QStringLiteral("The body needs \"version\" (a number) and \"items\" (a list)"));
  if (version.toInt() != link_.ListVersion())
    return SendError(
        socket, 409,
        QStringLiteral("The lists changed since version %1: reload them").arg(version.toInt()));
  const bool beacons = path == QLatin1String("/api/beacons");
  error = beacons ? link_.ReplaceBeacons(items.toArray()) : link_.ReplaceSchedule(items.toArray());
  if (!error.isEmpty())
    return SendError(socket, 400, error);
  log_.Line(QStringLiteral("Web: %1 saved the %2")
                .arg(user, beacons ? QStringLiteral("beacon list") : QStringLiteral("schedule")));
  SendJson(socket, 200, beacons ? link_.Beacons() : link_.Schedule());
}

void TWebApi::ServeRecordings(const QString& rest, bool isPost, QTcpSocket& socket,
                              const TCaller& caller) {
  const QString folder = link_.RecordingsFolder();
  TLogFileList files;
  for (const QFileInfo& info : RecordingFiles(folder))
    files.AddFile(info, true);
  files.Sort();
  if (rest.isEmpty()) {
    if (isPost)
      return SendError(socket, 405, QStringLiteral("Use GET"));
    QJsonArray list;
    for (int i = files.Count() - 1; i >= 0; --i) {
      const TLogFile& file = files.Items(i);
      list.append(QJsonObject{{QStringLiteral("name"), file.FileName},
                              {QStringLiteral("time"), file.FileTime.toString(Qt::ISODate)},
                              {QStringLiteral("seconds"), static_cast<qint64>(file.Seconds)},
                              {QStringLiteral("length"), file.LengthText}});
    }
    return SendJson(socket, 200, {{QStringLiteral("recordings"), list}});
  }
  if (isPost && caller.Role < TWebRole::Operator)
    return SendError(socket, 403,
                     QStringLiteral("The role %1 may not do this").arg(WebRoleName(caller.Role)));
  QString name = rest.mid(1);
  const bool play = name.endsWith(QLatin1String("/play"));
  if (play)
    name.chop(5);
  if (!rest.startsWith(QLatin1Char('/')) || play != isPost)
    return SendError(socket, play ? 405 : 404, QStringLiteral("Not found"));
  // Only a name the listing gives is served; anything else, "..%2F" included, is not found.
  name = QUrl::fromPercentEncoding(name.toUtf8());
  QString path;
  for (int i = 0; i < files.Count(); ++i) {
    if (files.Items(i).FileName == name)
      path = QDir(folder).filePath(name);
  }
  if (path.isEmpty())
    return SendError(socket, 404, QStringLiteral("No such recording"));
  if (!play) {
    const QByteArray shown = IsValidUserName(name.chopped(4)) ? name.toUtf8() : "recording.wav";
    return SendFile(socket, path, "audio/wav",
                    {{"Content-Disposition", "inline; filename=\"" + shown + '"'}});
  }
  Change(socket, caller, link_.PlayRecording(path), QStringLiteral("played %1").arg(name));
}

void TWebApi::Change(QTcpSocket& socket, const TCaller& caller, const QString& refusal,
                     const QString& done) {
  if (!refusal.isEmpty())
    return SendError(socket, 409, refusal);
  log_.Line(QStringLiteral("Web: %1 %2").arg(caller.User, done));
  QJsonObject status = link_.Snapshot();
  SendJson(socket, 200, status);
}

}  // namespace tarvok
