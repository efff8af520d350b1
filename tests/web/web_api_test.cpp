// The web console's API against a station on the virtual card, grouped by route family: sessions,
// roles and tokens, the station's controls, the lists, recordings, the gate in front of Qt's
// parser, the event stream, HTTPS and the users file.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <QWebSocket>

#include "support/application.h"
#include "web_station.h"

namespace tarvok {
namespace {

class WebApiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    web_.AddUsers();
    ASSERT_TRUE(web_.Start()) << web_.Output().constData();
  }
  QJsonObject Status(const TLogin& login) { return web_.Get("/api/status", login).Json(); }

  TWebStation web_;
};

TEST_F(WebApiTest, SessionsNeedALoginAndEndAtLogout) {
  EXPECT_EQ(web_.Get("/api/status").Status, 401);
  EXPECT_EQ(web_.Post("/api/mode", R"({"mode":3})").Status, 401);

  const THttpAnswer wrong = web_.Post("/api/login", R"({"user":"otto","password":"guess"})");
  EXPECT_EQ(wrong.Status, 401);
  EXPECT_TRUE(web_.WaitFor("Web: failed login for otto from 127.0.0.1", 5000));
  EXPECT_FALSE(web_.Output().contains("guess"));

  const THttpAnswer right =
      web_.Post("/api/login", R"({"user":"otto","password":"correct horse"})");
  ASSERT_EQ(right.Status, 200);
  const QByteArray cookie = right.Header("Set-Cookie");
  EXPECT_TRUE(cookie.contains("HttpOnly")) << cookie.constData();
  EXPECT_TRUE(cookie.contains("SameSite=Strict"));
  EXPECT_FALSE(cookie.contains("Secure"));
  EXPECT_EQ(right.Json()["role"].toString(), "operator");

  const TLogin login = web_.Login("otto");
  const QJsonObject session = web_.Get("/api/session", {login.Cookie, {}}).Json();
  EXPECT_EQ(session["user"].toString(), "otto");
  EXPECT_EQ(session["token"].toString().toLatin1(), login.Token);
  EXPECT_EQ(Status(login)["mode"].toInt(), 2);

  EXPECT_EQ(web_.Post("/api/logout", "{}", {login.Cookie, {}}).Status, 403);
  EXPECT_EQ(web_.Post("/api/logout", "{}", login).Status, 200);
  EXPECT_EQ(web_.Get("/api/status", login).Status, 401);
}

TEST_F(WebApiTest, FiveFailedLoginsLockTheAddressAndTheNameForAMinute) {
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(web_.Post("/api/login", R"({"user":"ada","password":"no"})").Status, 401);
  EXPECT_EQ(web_.Post("/api/login", R"({"user":"ada","password":"correct horse"})").Status, 429);
  EXPECT_EQ(web_.Post("/api/login", R"({"user":"otto","password":"correct horse"})").Status, 429);
  EXPECT_TRUE(web_.WaitFor("Web: login refused for ada from 127.0.0.1", 5000));
}

TEST_F(WebApiTest, AModeChangeReachesTheSnapshotTheLogAndTheSettings) {
  const TLogin login = web_.Login("otto");
  const THttpAnswer answer = web_.Post("/api/mode", R"({"mode":3})", login);
  ASSERT_EQ(answer.Status, 200) << answer.Body.constData();
  EXPECT_EQ(answer.Json()["mode"].toInt(), 3);
  EXPECT_EQ(Status(login)["title"].toString(), "Beacon Station");
  EXPECT_TRUE(web_.WaitFor("Web: otto set the mode to Beacon Station", 5000));
  EXPECT_TRUE(web_.Output().contains("Mode: Beacon Station"));
  const QJsonArray lines = web_.Get("/api/log?lines=5", login).Json()["lines"].toArray();
  EXPECT_TRUE(lines.last().toString().contains(
      QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}  ")));
  EXPECT_EQ(web_.Get("/api/log?lines=1001", login).Status, 400);
  web_.Stop();
  QFile settings(web_.File("tarvok.ini"));
  ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
  EXPECT_TRUE(settings.readAll().contains("DefaultMode=3"));
}

TEST_F(WebApiTest, EveryChangingRouteChecksTheTokenAndTheRole) {
  const TLogin viewer = web_.Login("vera");
  const TLogin operatorLogin = web_.Login("otto");
  const TLogin admin = web_.Login("ada");
  struct TCase {
    QByteArray Path;
    QByteArray Body;
    bool AdminOnly;
  };
  const QByteArray beacons = web_.Get("/api/beacons", admin).Body;
  const int version = QJsonDocument::fromJson(beacons).object()["version"].toInt();
  const QByteArray list = R"({"version":)" + QByteArray::number(version) + R"(,"items":[]})";
  const TCase cases[] = {
      {"/api/mode", R"({"mode":1})", false},
      {"/api/state", R"({"state":1})", false},
      {"/api/scheduler", R"({"on":false})", false},
      {"/api/recorder", R"({"on":false})", false},
      {"/api/beacons", list, true},
      {"/api/schedule", list, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Path.constData());
    EXPECT_EQ(web_.Post(c.Path, c.Body, {operatorLogin.Cookie, {}}).Status, 403);
    EXPECT_EQ(web_.Post(c.Path, c.Body, {operatorLogin.Cookie, "0123"}).Status, 403);
    EXPECT_EQ(web_.Post(c.Path, c.Body, {admin.Cookie, operatorLogin.Token}).Status, 403);
    EXPECT_EQ(web_.Post(c.Path, c.Body, viewer).Status, 403);
    EXPECT_EQ(web_.Post(c.Path, c.Body, operatorLogin).Status, c.AdminOnly ? 403 : 200);
  }
  // An admin's list save moved the version on: the second is a conflict.
  EXPECT_EQ(web_.Post("/api/beacons", list, admin).Status, 200);
  EXPECT_EQ(web_.Post("/api/beacons", list, admin).Status, 409);
  EXPECT_EQ(web_.Post("/api/recordings/none.wav/play", "{}", viewer).Status, 403);
  EXPECT_EQ(web_.Get("/api/nothing", viewer).Status, 404);
  EXPECT_EQ(web_.Request("DELETE", "/api/mode", {}, operatorLogin).Status, 405);
}

TEST_F(WebApiTest, BadInputIsRefusedWithItsReasonAndChangesNothing) {
  const TLogin admin = web_.Login("ada");
  for (const QByteArray& body :
       {QByteArray("{\"mode\":"), QByteArray("[3]"), QByteArray(R"({"mode":"3"})"),
        QByteArray(R"({"mode":4})"), QByteArray(R"({"mode":2.5})")}) {
    const THttpAnswer answer = web_.Post("/api/mode", body, admin);
    EXPECT_EQ(answer.Status, 400) << body.constData();
    EXPECT_FALSE(answer.Error().isEmpty());
  }
  EXPECT_EQ(web_.Post("/api/state", R"({"state":0})", admin).Status, 400);
  EXPECT_EQ(Status(admin)["mode"].toInt(), 2);

  const QJsonObject before = web_.Get("/api/beacons", admin).Json();
  const QByteArray version = QByteArray::number(before["version"].toInt());
  const THttpAnswer unnamed =
      web_.Post("/api/beacons",
                R"({"version":)" + version + R"(,"items":[{"name":"ok"},{"name":"  "}]})", admin);
  EXPECT_EQ(unnamed.Status, 400);
  EXPECT_EQ(unnamed.Error(), "The <Beacon Name> field is empty.");
  const THttpAnswer noMode = web_.Post(
      "/api/schedule", R"({"version":)" + version + R"(,"items":[{"mode":0,"hour":"6"}]})", admin);
  EXPECT_EQ(noMode.Error(), "Please select repeater mode.");
  const THttpAnswer control = web_.Post(
      "/api/beacons", R"({"version":)" + version + R"(,"items":[{"name":"a\nb"}]})", admin);
  EXPECT_EQ(control.Status, 400);
  EXPECT_EQ(web_.Get("/api/beacons", admin).Json(), before);

  const THttpAnswer saved = web_.Post(
      "/api/beacons",
      R"({"version":)" + version +
          R"(,"items":[{"name":"<img src=x onerror=alert(1)>","enabled":true,"min":"0,30","cw":"TEST"}]})",
      admin);
  ASSERT_EQ(saved.Status, 200) << saved.Body.constData();
  EXPECT_EQ(saved.Json()["items"][0]["name"].toString(), "<img src=x onerror=alert(1)>");
  EXPECT_TRUE(web_.WaitFor("Web: ada saved the beacon list", 5000));
}

TEST_F(WebApiTest, WhatTheWindowWouldGreyIsAConflict) {
  const TLogin login = web_.Login("otto");
  const THttpAnswer simplex = web_.Post("/api/recorder", R"({"on":true})", login);
  EXPECT_EQ(simplex.Status, 409);
  EXPECT_EQ(simplex.Error(), "The Recorder works in Internet Repeater mode only");
  const QJsonObject forced = web_.Post("/api/state", R"({"state":2})", login).Json();
  EXPECT_EQ(forced["stateButtons"][1]["caption"].toString(), "Force XMIT");
  EXPECT_TRUE(forced["stateButtons"][1]["checked"].toBool());
  ASSERT_EQ(web_.Post("/api/mode", R"({"mode":1})", login).Status, 200);
  ASSERT_EQ(web_.Post("/api/recorder", R"({"on":true})", login).Status, 200);
  const THttpAnswer busy = web_.Post("/api/mode", R"({"mode":3})", login);
  EXPECT_EQ(busy.Status, 409);
  EXPECT_TRUE(busy.Error().contains("Recorder"));
  EXPECT_EQ(web_.Post("/api/recorder", R"({"on":false})", login).Status, 200);
  EXPECT_EQ(web_.Post("/api/mode", R"({"mode":3})", login).Status, 200);
  const THttpAnswer noState = web_.Post("/api/state", R"({"state":2})", login);
  EXPECT_EQ(noState.Status, 409);
  EXPECT_EQ(noState.Error(), "Beacon Station mode has no state 2");
}

TEST_F(WebApiTest, RecordingsAreServedByteForByteAndNothingElseIs) {
  ASSERT_TRUE(web_.WaitFor("Recording finished", 20000)) << web_.Output().constData();
  const TLogin viewer = web_.Login("vera");
  const QJsonArray list = web_.Get("/api/recordings", viewer).Json()["recordings"].toArray();
  ASSERT_FALSE(list.isEmpty());
  const QString name = list[0]["name"].toString();
  QFile file(web_.File("temp/" + name));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const THttpAnswer wav = web_.Get("/api/recordings/" + QUrl::toPercentEncoding(name), viewer);
  EXPECT_EQ(wav.Status, 200);
  EXPECT_EQ(wav.Header("Content-Type"), "audio/wav");
  EXPECT_TRUE(wav.Body == file.readAll());
  for (const QByteArray& path :
       {QByteArray("/api/recordings/..%2Ftarvok.ini"), QByteArray("/api/recordings/../tarvok.ini"),
        QByteArray("/api/recordings/%2E%2E%2Fweb-users"), QByteArray("/api/recordings/nope.wav")})
    EXPECT_EQ(web_.Get(path, viewer).Status, 404) << path.constData();
}

#ifdef __SANITIZE_ADDRESS__
// AddressSanitizer keeps freed memory in quarantine: every drained chunk of a body would count.
constexpr bool kPeakMemoryMeasurable = false;
#else
constexpr bool kPeakMemoryMeasurable = true;
#endif

TEST_F(WebApiTest, TheGateRefusesLargeSlowAndOddRequestsBeforeTheParser) {
  auto peak = [this] {
    QFile status(QStringLiteral("/proc/%1/status").arg(web_.Process().processId()));
    status.open(QIODevice::ReadOnly);
    const QByteArray text = status.readAll();
    const qsizetype at = text.indexOf("VmHWM:");
    return text.mid(at + 6, text.indexOf("kB", at) - at - 6).trimmed().toLongLong();
  };
  // No login: the gate refuses before any session is looked at, and a login's password hash
  // alone would raise the peak by its 64 MiB.
  const qint64 before = peak();
  // 100 MB sent for real, as fast as the station takes it, until it answers and closes.
  QTcpSocket socket;
  socket.connectToHost(QStringLiteral("127.0.0.1"), web_.Port());
  ASSERT_TRUE(socket.waitForConnected(5000));
  socket.write("POST /api/mode HTTP/1.1\r\nHost: x\r\nContent-Length: 104857600\r\n\r\n");
  const QByteArray megabyte(1024 * 1024, 'x');
  QByteArray reply;
  for (int i = 0; i < 100 && socket.state() == QAbstractSocket::ConnectedState; ++i) {
    socket.write(megabyte);
    socket.waitForBytesWritten(200);
    reply += socket.readAll();
  }
  socket.waitForReadyRead(1000);
  reply += socket.readAll();
  EXPECT_TRUE(reply.startsWith("HTTP/1.1 413")) << reply.left(100).constData();
  if (kPeakMemoryMeasurable) {
    EXPECT_LT(peak() - before, 5 * 1024) << "VmHWM grew (kB)";
  }

  EXPECT_EQ(web_.Request("POST", "/api/mode", {}, {}, "Transfer-Encoding: chunked\r\n").Status,
            411);
  EXPECT_EQ(web_.Request("GET", "/api/status", {}, {}, "X-Long: " + QByteArray(9000, 'a') + "\r\n")
                .Status,
            431);
  EXPECT_EQ(Exchange(web_.Port(), "NONSENSE\r\n\r\n").Status, 400);
  // A client that sends half a head and waits is cut off.
  QTcpSocket slow;
  slow.connectToHost(QStringLiteral("127.0.0.1"), web_.Port());
  ASSERT_TRUE(slow.waitForConnected(5000));
  slow.write("GET /api/status HTTP/1.1\r\n");
  QElapsedTimer timer;
  timer.start();
  slow.waitForDisconnected(15000);
  EXPECT_EQ(slow.state(), QAbstractSocket::UnconnectedState);
  EXPECT_LT(timer.elapsed(), 12000);
}

// Opens the event stream; returns its messages received within ms, or "refused N".
QStringList Events(quint16 port, const QByteArray& cookie, const QByteArray& origin, int ms,
                   const std::function<void()>& meanwhile = {}) {
  EnsureApplication();
  QWebSocket socket;
  QStringList messages;
  QObject::connect(&socket, &QWebSocket::textMessageReceived,
                   [&messages](const QString& text) { messages << text; });
  QNetworkRequest request(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/events").arg(port)));
  if (!cookie.isEmpty())
    request.setRawHeader("Cookie", cookie);
  request.setRawHeader("Origin", origin);
  QEventLoop loop;
  QObject::connect(&socket, &QWebSocket::connected, &loop, [&] {
    if (meanwhile)
      QTimer::singleShot(300, meanwhile);
  });
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  socket.open(request);
  loop.exec();
  if (socket.state() != QAbstractSocket::ConnectedState && messages.isEmpty())
    messages << QStringLiteral("refused");
  return messages;
}

TEST_F(WebApiTest, TheEventStreamNeedsASessionAndTheOwnOriginAndPushesInOrder) {
  const QByteArray origin = "http://127.0.0.1:" + QByteArray::number(web_.Port());
  EXPECT_EQ(Events(web_.Port(), {}, origin, 1500), QStringList{"refused"});
  const TLogin login = web_.Login("otto");
  EXPECT_EQ(Events(web_.Port(), login.Cookie, "http://evil.example", 1500), QStringList{"refused"});
  EXPECT_EQ(
      web_.Request("GET", "/api/events", {}, {},
                   "Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
                   "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nOrigin: " +
                       origin + "\r\n")
          .Status,
      401);

  const QStringList messages = Events(web_.Port(), login.Cookie, origin, 4500, [this, &login] {
    web_.Post("/api/mode", R"({"mode":3})", login);
  });
  ASSERT_FALSE(messages.isEmpty());
  EXPECT_TRUE(messages[0].startsWith(R"({"type":"snapshot")"));
  const qsizetype changed = messages.indexOf(QRegularExpression(".*\"mode\":3.*"));
  EXPECT_GT(changed, 0);
  EXPECT_GT(messages.indexOf(QRegularExpression(".*set the mode to Beacon.*")), 0);
  EXPECT_GE(messages.filter(QStringLiteral("\"heartbeat\"")).size(), 2);
  const qsizetype levels = messages.filter(QStringLiteral("\"levels\"")).size();
  EXPECT_GT(levels, 10);
  EXPECT_LE(levels, 47);
  // Log lines arrive as the operator log printed them, in its order.
  const QStringList logged = messages.filter(QStringLiteral("\"type\":\"log\""));
  ASSERT_FALSE(logged.isEmpty());
  web_.WaitFor(QJsonDocument::fromJson(logged.last().toUtf8()).object()["line"].toString().toUtf8(),
               5000);
  const QByteArray output = web_.Output();
  qsizetype at = -1;
  for (const QString& message : logged) {
    const QString line = QJsonDocument::fromJson(message.toUtf8()).object()["line"].toString();
    const qsizetype found = output.indexOf(line.toUtf8() + '\n');
    EXPECT_GT(found, at) << line.toStdString();
    at = found;
  }
  EXPECT_GE(at, 0);
}

TEST_F(WebApiTest, UsersAddedChangedAndRemovedWhileTheStationRuns) {
  const TLogin otto = web_.Login("otto");
  ASSERT_EQ(web_.Get("/api/status", otto).Status, 200);
  auto command = [this](const QStringList& arguments, const QByteArray& input) {
    QProcess process;
    process.start(QStringLiteral(TARVOK_BINARY),
                  QStringList{QStringLiteral("--home"), web_.Folder()} + arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(20000);
    return process.exitCode();
  };
  EXPECT_EQ(command({"--web-user", "otto", "--role", "viewer"}, "new secret\n"), 0);
  for (int i = 0; i < 20 && web_.Post("/api/mode", R"({"mode":1})", otto).Status != 403; ++i)
    QThread::msleep(100);
  EXPECT_EQ(web_.Post("/api/mode", R"({"mode":1})", otto).Status, 403);
  EXPECT_EQ(web_.Login("otto", "new secret").Token.size(), 64);

  EXPECT_EQ(command({"--web-user", "otto", "--remove"}, {}), 0);
  for (int i = 0; i < 20 && web_.Get("/api/status", otto).Status != 401; ++i)
    QThread::msleep(100);
  EXPECT_EQ(web_.Get("/api/status", otto).Status, 401);
  EXPECT_EQ(QFile(TWebUsers::FileIn(web_.Folder())).permissions() & 0x0077, 0);
  EXPECT_EQ(command({"--web-user", "bad name", "--role", "admin"}, "x\n"), 2);
  EXPECT_EQ(command({"--web-user", "eve", "--role", "root"}, "x\n"), 2);
}

TEST(WebConsoleTest, WithoutUsersThePageSaysHowToAddOne) {
  TWebStation web;
  ASSERT_TRUE(web.Start());
  EXPECT_TRUE(web.WaitFor("Web console has no users", 5000));
  const THttpAnswer page = web.Get("/");
  EXPECT_EQ(page.Status, 200);
  EXPECT_TRUE(page.Body.contains("--web-user NAME --role admin"));
  EXPECT_EQ(web.Post("/api/login", R"({"user":"admin","password":"admin"})").Status, 503);
}

TEST(WebConsoleTest, OtherAddressesNeedHttpsAndABusyPortGivesOneMessage) {
  TWebStation open;
  ASSERT_TRUE(open.Start("Listen=0.0.0.0:" + QByteArray::number(FreePort()) + "\n"));
  EXPECT_TRUE(open.Output().contains("Web console not started: 0.0.0.0:"));
  QTcpServer busy;
  ASSERT_TRUE(busy.listen(QHostAddress::LocalHost, 0));
  TWebStation blocked;
  ASSERT_TRUE(blocked.Start("Listen=127.0.0.1:" + QByteArray::number(busy.serverPort()) + "\n"));
  EXPECT_EQ(blocked.Output().count("Web console"), 1);
  EXPECT_TRUE(blocked.Output().contains("cannot listen on"));
  EXPECT_EQ(blocked.Process().state(), QProcess::Running);
}

TEST(WebConsoleTest, HttpsWithAnOpensslCertificate) {
  TWebStation web;
  web.AddUsers();
  const QString key = web.File("key.pem");
  const QString certificate = web.File("cert.pem");
  ASSERT_EQ(QProcess::execute("openssl",
                              {"req", "-x509", "-newkey", "ec", "-pkeyopt",
                               "ec_paramgen_curve:prime256v1", "-nodes", "-subj", "/CN=localhost",
                               "-days", "1", "-keyout", key, "-out", certificate}),
            0);
  const quint16 port = FreePort();
  ASSERT_TRUE(web.Start("Listen=0.0.0.0:" + QByteArray::number(port) + "\nCertificate=" +
                        certificate.toUtf8() + "\nPrivateKey=" + key.toUtf8() + "\n"));
  EXPECT_TRUE(web.Output().contains("Web console on https://0.0.0.0:"));
  const QByteArray body = R"({"user":"vera","password":"correct horse"})";
  const THttpAnswer login = Exchange(port,
                                     "POST /api/login HTTP/1.1\r\nHost: x\r\nContent-Length: " +
                                         QByteArray::number(body.size()) + "\r\n\r\n" + body,
                                     true);
  EXPECT_EQ(login.Status, 200);
  EXPECT_TRUE(login.Header("Set-Cookie").contains("; Secure"));
  EXPECT_EQ(Exchange(port, "GET / HTTP/1.1\r\nHost: x\r\n\r\n").Status, 0);
}

}  // namespace
}  // namespace tarvok
