#include "web/web_console.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpSocket>
#include <QWebSocket>

#include "core/config/config.h"
#include "core/station/station_runtime.h"
#include "platform/operator_log.h"
#include "web/connection_gate.h"
#include "web/http_reply.h"
#include "web/station_link.h"
#include "web/web_api.h"
#include "web/web_events.h"
#include "web/web_settings.h"
#include "web/web_users.h"

// The page's files live in a static library: the linker keeps them only when named.
static void InitPageResources() { Q_INIT_RESOURCE(page); }

namespace tarvok {

namespace {

QString PeerKey(const QHostAddress& address, quint16 port) {
  return address.toString() + QLatin1Char('/') + QString::number(port);
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The certificate and key as a server configuration; the reason when they do not load.
QString LoadTls(const TWebSettings& settings, QSslConfiguration& tls) {
  const QList<QSslCertificate> chain = QSslCertificate::fromData(ReadAll(settings.Certificate));
  if (chain.isEmpty())
    return QStringLiteral("no certificate in %1").arg(settings.Certificate);
  const QByteArray pem = ReadAll(settings.PrivateKey);
  QSslKey key(pem, QSsl::Rsa);
  if (key.isNull())
    key = QSslKey(pem, QSsl::Ec);
  if (key.isNull())
    return QStringLiteral("no RSA or EC private key in %1").arg(settings.PrivateKey);
  tls = QSslConfiguration::defaultConfiguration();
  tls.setLocalCertificateChain(chain);
  tls.setPrivateKey(key);
  tls.setPeerVerifyMode(QSslSocket::VerifyNone);
  return {};
}

}  // namespace

TWebConsole::TWebConsole(TStationRuntime& station, TOperatorLog& log, const QString& stationFolder,
                         QObject* parent)
    : QAbstractHttpServer(parent),
      log_(log),
      usersFile_(TWebUsers::FileIn(stationFolder)),
      link_(std::make_unique<TStationLink>(station)) {
  InitPageResources();
  events_ = std::make_unique<TWebEvents>(*link_);
  connect(this, &QAbstractHttpServer::newWebSocketConnection, this, &TWebConsole::AcceptWebSockets);
  // The users file is replaced, not edited: the folder tells of it.
  watcher_.addPath(stationFolder);
  auto reload = [this] {
    if (QFile::exists(usersFile_) && !watcher_.files().contains(usersFile_))
      watcher_.addPath(usersFile_);
    if (api_)
      api_->ReloadUsers();
  };
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, reload);
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, reload);
  reload();
}

TWebConsole::~TWebConsole() = default;

bool TWebConsole::Start(const TWebSettings& settings) {
  QHostAddress address;
  quint16 port = 0;
  if (!ParseListen(settings.Listen, address, port)) {
    log_.Line(QStringLiteral("Web console not started: [Web] Listen=%1 is not an address:port")
                  .arg(settings.Listen));
    return false;
  }
  QSslConfiguration tls;
  if (settings.Https()) {
    if (QString error = LoadTls(settings, tls); !error.isEmpty()) {
      log_.Line(QStringLiteral("Web console not started: %1").arg(error));
      return false;
    }
  } else if (!address.isLoopback()) {
    if (!settings.AllowPlainHttp) {
      log_.Line(QStringLiteral("Web console not started: %1 is not a loopback address and "
                               "[Web] has no Certificate and PrivateKey (or AllowPlainHttp=1)")
                    .arg(settings.Listen));
      return false;
    }
    log_.Line(QStringLiteral("Warning: the web console serves plain HTTP on %1: passwords "
                             "cross the network readable")
                  .arg(settings.Listen));
  }
  api_ = std::make_unique<TWebApi>(*link_, log_, *events_, usersFile_, settings.Https());
  gate_ = new TConnectionGate(this);
  if (settings.Https())
    gate_->SetTls(tls);
  gate_->SetUpgradeCheck([this](const TRequestHead& head, const QTcpSocket& socket) {
    QByteArray session;
    const int status = api_->CheckUpgrade(head, session);
    if (status == 0)
      upgrades_.insert(PeerKey(socket.peerAddress(), socket.peerPort()), session);
    return status;
  });
  if (!gate_->listen(address, port)) {
    log_.Line(QStringLiteral("Web console not started: cannot listen on %1: %2")
                  .arg(settings.Listen, gate_->errorString()));
    delete gate_;
    gate_ = nullptr;
    return false;
  }
  bind(gate_);
  log_.Line(QStringLiteral("Web console on %1://%2")
                .arg(settings.Https() ? QStringLiteral("https") : QStringLiteral("http"),
                     PeerKey(address, Port()).replace(QLatin1Char('/'), QLatin1Char(':'))));
  if (!api_->HasUsers())
    log_.Line(
        QStringLiteral("Web console has no users: add one with tarvok --home DIR "
                       "--web-user NAME --role admin"));
  return true;
}

quint16 TWebConsole::Port() const { return gate_ ? gate_->serverPort() : 0; }

bool TWebConsole::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
  // Qt upgrades a WebSocket request after this returns, whatever is answered here: the gate has
  // decided on it already, and nothing may be written before the handshake.
  if (request.value("upgrade").compare("websocket", Qt::CaseInsensitive) == 0 ||
      request.value("Upgrade").compare("websocket", Qt::CaseInsensitive) == 0)
    return true;
  api_->Handle(request, *socket);
  return true;
}

void TWebConsole::missingHandler(const QHttpServerRequest&, QTcpSocket* socket) {
  SendError(*socket, 404, QStringLiteral("Not found"));
}

void TWebConsole::AcceptWebSockets() {
  while (hasPendingWebSocketConnections()) {
    std::unique_ptr<QWebSocket> socket = nextPendingWebSocketConnection();
    const QString key = PeerKey(socket->peerAddress(), socket->peerPort());
    // Only an upgrade the gate checked is served: anything else is closed unheard.
    if (!upgrades_.contains(key)) {
      socket->abort();
      continue;
    }
    events_->Accept(std::move(socket), upgrades_.take(key));
  }
}

std::unique_ptr<TWebConsole> StartWebConsole(TStationRuntime& station, TOperatorLog& log) {
  const TWebSettings settings = TWebSettings::Read(station.Settings().IniFile());
  if (!settings.Enabled)
    return nullptr;
  auto console = std::make_unique<TWebConsole>(station, log, station.Settings().Folder().Path());
  if (!console->Start(settings))
    return nullptr;
  return console;
}

}  // namespace tarvok
