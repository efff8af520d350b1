// The web console of a running station: started from the [Web] settings, it listens (loopback
// unless the operator writes another address, which then needs HTTPS or AllowPlainHttp=1), gates
// every connection, serves the API and the page, pushes events, and follows the users file.
#pragma once

#include <QAbstractHttpServer>
#include <QFileSystemWatcher>
#include <memory>

namespace tarvok {

class TConnectionGate;
class TOperatorLog;
class TStationLink;
class TStationRuntime;
class TWebApi;
class TWebEvents;
struct TWebSettings;

class TWebConsole final : public QAbstractHttpServer {
  Q_OBJECT
 public:
  TWebConsole(TStationRuntime& station, TOperatorLog& log, const QString& stationFolder,
              QObject* parent = nullptr);
  ~TWebConsole() override;

  // Starts listening as the settings say; false (with one line in the log) when it cannot.
  bool Start(const TWebSettings& settings);
  quint16 Port() const;

 protected:
  bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
  void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

 private:
  void AcceptWebSockets();

  TOperatorLog& log_;
  QString usersFile_;
  std::unique_ptr<TStationLink> link_;
  std::unique_ptr<TWebEvents> events_;
  std::unique_ptr<TWebApi> api_;
  TConnectionGate* gate_ = nullptr;
  QFileSystemWatcher watcher_;
  // Upgrades the gate let through, by the client's address and port, with their session.
  QHash<QString, QByteArray> upgrades_;
};

// The console as the settings file asks for it: none when [Web] Enabled is not 1 or it cannot
// start (the log says why once; the station runs on).
std::unique_ptr<TWebConsole> StartWebConsole(TStationRuntime& station, TOperatorLog& log);

}  // namespace tarvok
