#pragma once
// A small stand-in for DDE: other programs (a file manager, a second start of
// the editor, the tests) send "execute" requests to a running instance.
//
// The service listens on a local socket named after the service name and the
// user id, so that two users never meet. A conversation (TDdeServerConv) is
// one topic of the service; an execute request names a topic and carries the
// lines of a macro, which the topic's OnExecuteMacro receives.
//
// Wire form of one request (each line ends with LF; lines are bytes):
//   the topic
//   the number of macro lines, in decimal
//   the macro lines
// The reply is one line: "ACK" when a topic of that name (compared ignoring
// ASCII case) took the macro, "NACK" otherwise; a topic whose OnExecuteMacro
// fails has not taken it, and the failure's message is shown through the
// prompter after the reply. A request larger than
// MaxRequestSize, or one that is not complete within IdleTimeout, is refused
// and its connection closed.
//
// There is no lock against a second instance: when the socket is served by a
// running instance, Register says so (OnLog, level 3) and the new instance
// simply serves nothing. A socket left behind by an instance that ended is
// taken over. A socket that is not the user's own (a symbolic link, another
// user's socket, or one that a process of another user serves, as its peer
// credentials tell) is neither used nor removed: Register says why (OnLog,
// level 2) and the instance runs without the service; DdeExecute sends it
// nothing.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QLocalServer;
class QLocalSocket;
class TDdeServerConv;

class TDdeService : public QObject {
  Q_OBJECT
public:
  static constexpr int MaxRequestSize = 64 * 1024;
  static constexpr int IdleTimeout = 10000;  // ms

  explicit TDdeService(QObject* parent = nullptr);
  ~TDdeService() override;

  // Starts serving on the socket; false when it is served elsewhere or
  // cannot be created (reported through OnLog).
  bool Register(const QString& socketName);
  void Unregister();
  bool Serving() const;
  QString SocketName() const { return FSocketName; }

  // Conversations register themselves on creation and leave on destruction.
  void AddTopic(TDdeServerConv* conversation);
  void RemoveTopic(TDdeServerConv* conversation);
  TDdeServerConv* FindTopic(const QByteArray& topic) const;

  // Messages about the service (level 3: information).
  std::function<void(int level, const QString& text)> OnLog;

private:
  // Frees the socket name for this instance: false, with the reason logged,
  // when it is served elsewhere or not the user's own.
  bool TakeOver(const QString& socketName);
  void NewConnection();
  void ReadRequest(QLocalSocket* socket);
  void Log(int level, const QString& text);

  QLocalServer* FServer = nullptr;
  QString FSocketName;
  std::vector<TDdeServerConv*> FTopics;
};

// One topic of the service.
class TDdeServerConv : public QObject {
  Q_OBJECT
public:
  // Joins the program-wide service (DdeService()).
  explicit TDdeServerConv(const QString& topic, QObject* parent = nullptr);
  ~TDdeServerConv() override;

  const QString Topic;
  // Receives the lines of every execute request sent to the topic; an
  // exception it raises answers the request NACK and is shown to the user.
  std::function<void(TDdeServerConv& sender, const QList<QByteArray>& macro)> OnExecuteMacro;
};

// The program-wide service, created on first use (it serves nothing until
// registered).
TDdeService& DdeService();
// Frees the program-wide service (before the application object goes).
void FreeDdeService();

// The service name of a program file: its name without the folder, cut
// before the first "." ("/opt/x/editor.bin" gives "editor").
QString DdeServiceName(const QString& programFileName);
// The socket of a service for the user running this process:
// "<service>-<uid>" in the user's runtime folder (XDG_RUNTIME_DIR) when there
// is one, else in the temporary folder.
QString DdeSocketName(const QString& serviceName);

// Sends an execute request to a running instance and waits for its reply
// (blocking; call it from a thread of its own when the server runs in this
// process). True when the topic took the macro; else false with the reason.
bool DdeExecute(const QString& socketName, const QString& topic, const QList<QByteArray>& macro,
                QString* error = nullptr, int timeoutMs = 10000);
