#include "platform/TDdeService.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Prompter.h"

namespace {

TDdeService* Instance = nullptr;

constexpr int MaxMacroLines = 4096;

// Why the file at path is not a socket this user may trust as an instance
// of the editor: a link, something else than a socket, or another user's.
// Empty when it is the user's own socket, or when there is no file at all.
QString UntrustedSocketReason(const QString& path)
{
  struct stat info {};
  if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
    return errno == ENOENT ? QString() : "it cannot be examined: " + QString::fromLocal8Bit(std::strerror(errno));
  if (S_ISLNK(info.st_mode)) return "it is a symbolic link";
  if (!S_ISSOCK(info.st_mode)) return "it is not a socket";
  if (info.st_uid != ::geteuid()) return "it belongs to another user (user id " + QString::number(info.st_uid) + ")";
  return QString();
}

// Why the process at the other end of a connected socket is not trusted:
// it runs as another user. Empty when it runs as this process's user.
QString UntrustedPeerReason(const QLocalSocket& socket)
{
  ucred peer {};
  socklen_t size = sizeof peer;
  if (::getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0)
    return "the user serving it cannot be asked: " + QString::fromLocal8Bit(std::strerror(errno));
  if (peer.uid != ::geteuid())
    return "it is served by a process of another user (user id " + QString::number(peer.uid) + ")";
  return QString();
}

// Whether an instance answers on the socket: nobody, an instance of this
// user, or a process of another user (untrusted says why then).
enum class TAnswer { nobody, instance, stranger };

TAnswer WhoAnswers(const QString& socketName, QString& untrusted)
{
  QLocalSocket probe;
  probe.connectToServer(socketName);
  if (!probe.waitForConnected(1000)) return TAnswer::nobody;
  untrusted = UntrustedPeerReason(probe);
  probe.abort();
  return untrusted.isEmpty() ? TAnswer::instance : TAnswer::stranger;
}

// One parsed request: complete is false while lines are still missing.
struct TRequest {
  bool Complete = false;
  bool Valid = true;
  QByteArray Topic;
  QList<QByteArray> Lines;
};

TRequest ParseRequest(const QByteArray& data)
{
  TRequest request;
  int start = 0;
  auto nextLine = [&data, &start](QByteArray& line) {
    int end = data.indexOf('\n', start);
    if (end < 0) return false;
    line = data.mid(start, end - start);
    start = end + 1;
    return true;
  };
  QByteArray countText;
  if (!nextLine(request.Topic) || !nextLine(countText)) return request;
  bool number = false;
  int count = countText.toInt(&number);
  if (!number || count < 0 || count > MaxMacroLines) {
    request.Complete = true;
    request.Valid = false;
    return request;
  }
  for (int i = 0; i < count; ++i) {
    QByteArray line;
    if (!nextLine(line)) return request;
    request.Lines << line;
  }
  request.Complete = true;
  return request;
}

}  // namespace

// --- TDdeService ---------------------------------------------------------------

TDdeService::TDdeService(QObject* parent)
    : QObject(parent)
{
}

TDdeService::~TDdeService()
{
  Unregister();
  if (Instance == this) Instance = nullptr;
}

bool TDdeService::Register(const QString& socketName)
{
  Unregister();
  if (!TakeOver(socketName)) return false;
  auto server = new QLocalServer(this);
  server->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server->listen(socketName)) {
    Log(3, "The DDE service \"" + socketName + "\" cannot be served: " + server->errorString());
    delete server;
    return false;
  }
  FServer = server;
  FSocketName = socketName;
  connect(FServer, &QLocalServer::newConnection, this, &TDdeService::NewConnection);
  return true;
}

// A socket that is not the user's own (without XDG_RUNTIME_DIR the name lies
// in the shared temporary folder, where anyone may make it first) is neither
// used nor removed: this instance runs without the service, and says why.
bool TDdeService::TakeOver(const QString& socketName)
{
  if (!QFileInfo::exists(socketName) && !QFileInfo(socketName).isSymLink()) return true;
  QString untrusted = UntrustedSocketReason(socketName);
  const TAnswer answer = untrusted.isEmpty() ? WhoAnswers(socketName, untrusted) : TAnswer::stranger;
  if (answer == TAnswer::instance) {
    Log(3, "The DDE service \"" + socketName + "\" is served by another instance; this one does not serve it.");
    return false;
  }
  if (answer == TAnswer::stranger) {
    Log(2, "The DDE service \"" + socketName + "\" is not served: its socket is not this user's own, " + untrusted +
               ". It is neither used nor removed.");
    return false;
  }
  // Left behind by an instance of the user that ended.
  QLocalServer::removeServer(socketName);
  return true;
}

void TDdeService::Unregister()
{
  if (!FServer) return;
  FServer->close();  // removes the socket file
  delete FServer;
  FServer = nullptr;
  FSocketName.clear();
}

bool TDdeService::Serving() const
{
  return FServer && FServer->isListening();
}

void TDdeService::AddTopic(TDdeServerConv* conversation)
{
  if (std::find(FTopics.begin(), FTopics.end(), conversation) == FTopics.end()) FTopics.push_back(conversation);
}

void TDdeService::RemoveTopic(TDdeServerConv* conversation)
{
  FTopics.erase(std::remove(FTopics.begin(), FTopics.end(), conversation), FTopics.end());
}

TDdeServerConv* TDdeService::FindTopic(const QByteArray& topic) const
{
  QString name = QString::fromUtf8(topic);
  for (TDdeServerConv* conversation : FTopics)
    if (name.compare(conversation->Topic, Qt::CaseInsensitive) == 0) return conversation;
  return nullptr;
}

void TDdeService::NewConnection()
{
  while (QLocalSocket* socket = FServer->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadRequest(socket); });
    // A client that never completes its request is dropped.
    QTimer::singleShot(IdleTimeout, socket, [socket] { socket->abort(); });
  }
}

void TDdeService::ReadRequest(QLocalSocket* socket)
{
  if (socket->property("answered").toBool()) {
    socket->readAll();
    return;
  }
  QByteArray data = socket->peek(std::min<qint64>(socket->bytesAvailable(), MaxRequestSize + 1));
  TRequest request = ParseRequest(data);
  if (!request.Complete && data.size() <= MaxRequestSize) return;  // more to come
  socket->setProperty("answered", true);
  socket->readAll();

  // This runs from the event loop: nothing may escape it. A macro that fails
  // is answered NACK, and its message is shown once the sender has its answer.
  // The macro may run a loop of its own (a question to the user), in which a
  // sender that went away has its socket freed: then there is nobody to answer.
  QPointer<QLocalSocket> sender(socket);
  bool taken = false;
  QString failure;
  try {
    if (request.Complete && request.Valid) {
      QPointer<TDdeServerConv> conversation = FindTopic(request.Topic);
      if (conversation) {
        if (conversation->OnExecuteMacro) conversation->OnExecuteMacro(*conversation, request.Lines);
        taken = true;
      }
    } else {
      Log(3, "A DDE request was refused: it is malformed or too large.");
    }
  } catch (const std::exception& error) {
    failure = QString::fromLocal8Bit(error.what());
  } catch (...) {
    failure = "A DDE macro failed.";
  }
  if (sender) {
    sender->write(taken ? "ACK\n" : "NACK\n");
    sender->disconnectFromServer();
  }
  if (!failure.isEmpty()) QTimer::singleShot(0, this, [failure] { Prompter().ShowMessage(failure); });
}

void TDdeService::Log(int level, const QString& text)
{
  if (OnLog) OnLog(level, text);
}

// --- TDdeServerConv ---------------------------------------------------------------

TDdeServerConv::TDdeServerConv(const QString& topic, QObject* parent)
    : QObject(parent),
      Topic(topic)
{
  DdeService().AddTopic(this);
}

TDdeServerConv::~TDdeServerConv()
{
  if (Instance) Instance->RemoveTopic(this);
}

// --- program-wide service, names, client -------------------------------------------

TDdeService& DdeService()
{
  if (!Instance) Instance = new TDdeService;
  return *Instance;
}

void FreeDdeService()
{
  delete Instance;
  Instance = nullptr;
}

QString DdeServiceName(const QString& programFileName)
{
  QString name = QFileInfo(programFileName).fileName();
  int dot = name.indexOf('.');
  return dot < 0 ? name : name.left(dot);
}

QString DdeSocketName(const QString& serviceName)
{
  QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::tempPath();
  return folder + "/" + serviceName + "-" + QString::number(::getuid());
}

bool DdeExecute(const QString& socketName, const QString& topic, const QList<QByteArray>& macro, QString* error,
                int timeoutMs)
{
  auto fail = [error](const QString& reason) {
    if (error) *error = reason;
    return false;
  };
  QByteArray request = topic.toUtf8() + '\n' + QByteArray::number(macro.size()) + '\n';
  if (request.count('\n') != 2) return fail("The topic holds a line break.");
  for (const QByteArray& line : macro) {
    if (line.contains('\n')) return fail("A macro line holds a line break.");
    request += line + '\n';
  }
  if (request.size() > TDdeService::MaxRequestSize) return fail("The macro is too large.");

  // Nothing goes to a socket, or to a process behind it, that is not this
  // user's own.
  const QString untrusted = UntrustedSocketReason(socketName);
  if (!untrusted.isEmpty()) return fail("The socket \"" + socketName + "\" is not this user's own: " + untrusted + ".");
  QLocalSocket socket;
  socket.connectToServer(socketName);
  if (!socket.waitForConnected(timeoutMs)) return fail(socket.errorString());
  const QString stranger = UntrustedPeerReason(socket);
  if (!stranger.isEmpty()) return fail("The socket \"" + socketName + "\" is not this user's own: " + stranger + ".");
  socket.write(request);
  while (socket.bytesToWrite() > 0)
    if (!socket.waitForBytesWritten(timeoutMs)) return fail(socket.errorString());
  while (!socket.canReadLine())
    if (!socket.waitForReadyRead(timeoutMs)) return fail("The instance did not answer: " + socket.errorString());
  QByteArray reply = socket.readLine().trimmed();
  socket.disconnectFromServer();
  if (reply != "ACK") return fail("The instance did not take the macro for the topic \"" + topic + "\".");
  return true;
}
