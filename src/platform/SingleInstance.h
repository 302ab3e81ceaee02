#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

class QLocalServer;
class QLocalSocket;

// One running instance per user. The first instance listens on a local server named
// "Semaphore:" + the application window's text + the user id, in the user's runtime directory;
// a later start connects, hands over its file list (possibly empty: then it only asks to be
// brought to the front) and ends. A lock file beside the server makes the check one step.
class TSingleInstance : public QObject {
  Q_OBJECT
 public:
  explicit TSingleInstance(const QString& windowText, QObject* parent = nullptr);
  ~TSingleInstance() override;

  QString serverName() const { return name_; }
  // Cached after the first call. Throws "CreateSemaphore Failed (n)" when no server can be made
  // or the lock stays taken.
  bool IsFirst();
  // From a later instance: true when the running instance acknowledged the list. Names are sent
  // as given: the caller makes them absolute.
  bool HandOver(const QStringList& files, int timeoutMs = 6000);

 signals:
  // The running instance received a list; an empty list asks only for activation.
  void handOverReceived(const QStringList& files);

 private:
  void acceptConnection();
  void readHandOver(QLocalSocket* socket);
  bool listen();
  bool probeAndListen();

  QString name_;
  std::unique_ptr<QLocalServer> server_;
  int first_ = -1;
};
