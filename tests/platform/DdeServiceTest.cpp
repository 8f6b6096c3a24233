// The local-socket DDE service: topics, a second instance, a socket left
// behind, and requests that are malformed or too large.

#include <QEventLoop>
#include <QLocalSocket>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "platform/TDdeService.h"

namespace {

sockaddr_un SocketAddress(const std::string& path)
{
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  return address;
}

// A socket at path that listens, served by a forked child running as the
// user nobody (which only root may start). The child reads every connection
// to its end; Received stops it and tells how many bytes came in all.
class TForeignListener {
public:
  TForeignListener(const std::string& path, uid_t user)
  {
    int ready[2];
    int control[2];
    if (::pipe2(ready, O_CLOEXEC) != 0 || ::pipe2(control, O_CLOEXEC) != 0) return;
    const sockaddr_un address = SocketAddress(path);
    Child = ::fork();
    if (Child == 0) {  // only system calls from here
      ::close(ready[0]);
      ::close(control[1]);
      Serve(address, user, ready[1], control[0]);
    }
    ::close(ready[1]);
    ::close(control[0]);
    Control = control[1];
    Result = ready[0];
    char byte = 0;
    Listening = ::read(Result, &byte, 1) == 1;
  }
  ~TForeignListener() { Received(); }

  long Received()
  {
    if (Child <= 0) return -1;
    ::close(Control);
    long total = -1;
    if (::read(Result, &total, sizeof total) != sizeof total) total = -1;
    ::close(Result);
    ::waitpid(Child, nullptr, 0);
    Child = -1;
    return total;
  }

  bool Listening = false;

private:
  [[noreturn]] static void Serve(const sockaddr_un& address, uid_t user, int ready, int control)
  {
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (::setgroups(0, nullptr) != 0 || ::setgid(user) != 0 || ::setuid(user) != 0) ::_exit(1);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 8) != 0)
      ::_exit(1);
    (void)!::write(ready, "1", 1);
    long total = 0;
    for (;;) {
      pollfd watch[2] = {{fd, POLLIN, 0}, {control, POLLIN, 0}};
      if (::poll(watch, 2, -1) < 0) continue;
      if (watch[1].revents != 0) break;
      int connection = ::accept(fd, nullptr, nullptr);
      char buffer[4096];
      ssize_t n = 0;
      while (connection >= 0 && (n = ::read(connection, buffer, sizeof buffer)) > 0) total += n;
      if (connection >= 0) ::close(connection);
    }
    (void)!::write(ready, &total, sizeof total);
    ::_exit(0);
  }

  pid_t Child = -1;
  int Control = -1;
  int Result = -1;
};

class DdeServiceTest : public ::testing::Test {
protected:
  std::string Folder;
  QString Socket;
  QStringList Log;
  std::unique_ptr<TDdeService> Service;

  void SetUp() override
  {
    Folder = MakeTempFolder("dde-service");
    Socket = QString::fromStdString(Folder) + "s";
    Service = std::make_unique<TDdeService>();
    Service->OnLog = [this](int level, const QString& text) { Log << QString::number(level) + " " + text; };
  }
  void TearDown() override
  {
    Service.reset();
    FreeDdeService();
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
  }

  // Runs a blocking client call on another thread while this one serves.
  template <typename TCall>
  auto Client(TCall call)
  {
    auto reply = std::async(std::launch::async, call);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return reply.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 20000));
    return reply.get();
  }

  // Sends raw bytes and returns the reply line.
  QByteArray Raw(const QByteArray& request)
  {
    return Client([this, request] {
      QLocalSocket socket;
      socket.connectToServer(Socket);
      if (!socket.waitForConnected(5000)) return QByteArray("no connection");
      socket.write(request);
      socket.waitForBytesWritten(5000);
      while (!socket.canReadLine())
        if (!socket.waitForReadyRead(5000)) return QByteArray("no reply");
      return socket.readLine().trimmed();
    });
  }
};

TEST_F(DdeServiceTest, TheTopicReceivesTheMacroLinesAsBytes)
{
  // Conversations join the program-wide service.
  ASSERT_TRUE(DdeService().Register(Socket));
  TDdeServerConv topic("System");
  QList<QByteArray> received;
  topic.OnExecuteMacro = [&received](TDdeServerConv&, const QList<QByteArray>& macro) { received = macro; };
  const QList<QByteArray> macro = {"open(\"/a b/\xE9.xml\")", "", "second\r"};
  EXPECT_TRUE(Client([this, macro] { return DdeExecute(Socket, "system", macro); }));
  EXPECT_EQ(received, macro);

  QString error;
  EXPECT_FALSE(Client([&] { return DdeExecute(Socket, "Other", {"x"}, &error); }));
  EXPECT_TRUE(error.contains("Other"));
  EXPECT_FALSE(DdeExecute(Socket, "System", {"a\nb"}, &error));
  EXPECT_TRUE(error.contains("line break"));
}

TEST_F(DdeServiceTest, ASecondInstanceDoesNotServeAndSaysSo)
{
  ASSERT_TRUE(Service->Register(Socket));
  TDdeService second;
  QStringList secondLog;
  second.OnLog = [&secondLog](int level, const QString& text) { secondLog << QString::number(level) + " " + text; };
  EXPECT_FALSE(second.Register(Socket));
  EXPECT_FALSE(second.Serving());
  ASSERT_EQ(secondLog.size(), 1);
  EXPECT_TRUE(secondLog[0].startsWith("3 ")) << secondLog[0].toStdString();
  EXPECT_TRUE(Service->Serving());
}

TEST_F(DdeServiceTest, ASocketLeftBehindIsTakenOver)
{
  // A bound socket whose owner is gone: the file stays, nobody listens.
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::string path = Socket.toStdString();
  std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ::close(fd);
  ASSERT_TRUE(QFileInfo::exists(Socket));

  EXPECT_TRUE(Service->Register(Socket));
  EXPECT_TRUE(Log.isEmpty());
  TDdeServerConv topic("System");
  Service->AddTopic(&topic);
  EXPECT_TRUE(Client([this] { return DdeExecute(Socket, "System", {"x"}); }));
  Service->RemoveTopic(&topic);
  Service->Unregister();
  EXPECT_FALSE(QFileInfo::exists(Socket));
}

// A socket at the name that is not the user's own (without XDG_RUNTIME_DIR
// the name lies in the shared temporary folder, where anyone may make it
// before the editor starts): a link, another user's socket, or the user's
// socket served by a process of another user. It was taken for another
// instance of the editor: this instance served nothing, and a sender wrote
// its request to it. Now it is neither used nor removed: the service is not
// served and says why at level 2 (always logged), and a sender sends
// nothing.
TEST_F(DdeServiceTest, ASocketThatIsNotTheUsersOwnIsNeitherUsedNorRemoved)
{
  auto refused = [this](const QString& why) {
    Log.clear();
    EXPECT_FALSE(Service->Register(Socket));
    EXPECT_FALSE(Service->Serving());
    EXPECT_EQ(Log.size(), 1);
    EXPECT_TRUE(Log.value(0).startsWith("2 ") && Log.value(0).contains(why)) << Log.value(0).toStdString();
    QString error;
    EXPECT_FALSE(Client([this, &error] { return DdeExecute(Socket, "System", {"open(x)"}, &error, 2000); }));
    EXPECT_TRUE(error.contains(why)) << error.toStdString();
    struct stat info {};
    EXPECT_EQ(::lstat(Socket.toStdString().c_str(), &info), 0);  // not removed
  };

  // A link to a socket that an instance serves.
  const QString served = QString::fromStdString(Folder) + "served";
  TDdeService instance;
  ASSERT_TRUE(instance.Register(served));
  TDdeServerConv topic("System");
  int calls = 0;
  topic.OnExecuteMacro = [&calls](TDdeServerConv&, const QList<QByteArray>&) { ++calls; };
  instance.AddTopic(&topic);
  ASSERT_EQ(::symlink(served.toStdString().c_str(), Socket.toStdString().c_str()), 0);
  {
    SCOPED_TRACE("a link");
    refused("link");
  }
  EXPECT_EQ(calls, 0);
  instance.RemoveTopic(&topic);
  ::unlink(Socket.toStdString().c_str());

  if (::geteuid() != 0) GTEST_SKIP() << "sockets of another user need root to be made (a process run as nobody)";
  const passwd* nobody = ::getpwnam("nobody");
  ASSERT_NE(nobody, nullptr);
  ASSERT_EQ(::chmod(Folder.c_str(), 0777), 0);  // nobody binds its socket here
  {
    SCOPED_TRACE("another user's socket");
    TForeignListener foreign(Socket.toStdString(), nobody->pw_uid);
    ASSERT_TRUE(foreign.Listening);
    refused("another user");
    EXPECT_EQ(foreign.Received(), 0);
  }
  ::unlink(Socket.toStdString().c_str());
  {
    SCOPED_TRACE("the user's socket served by another user");
    TForeignListener foreign(Socket.toStdString(), nobody->pw_uid);
    ASSERT_TRUE(foreign.Listening);
    ASSERT_EQ(::lchown(Socket.toStdString().c_str(), ::geteuid(), ::getegid()), 0);
    refused("another user");
    EXPECT_EQ(foreign.Received(), 0);
  }
}

TEST_F(DdeServiceTest, MalformedAndOversizedRequestsAreRefused)
{
  ASSERT_TRUE(Service->Register(Socket));
  TDdeServerConv topic("System");
  Service->AddTopic(&topic);
  int calls = 0;
  topic.OnExecuteMacro = [&calls](TDdeServerConv&, const QList<QByteArray>&) { ++calls; };
  EXPECT_EQ(Raw("System\nmany\nx\n"), "NACK");
  EXPECT_EQ(Raw("System\n-1\n"), "NACK");
  EXPECT_EQ(Raw("System\n1\n" + QByteArray(TDdeService::MaxRequestSize, 'a')), "NACK");
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(Raw("System\n0\n"), "ACK");
  EXPECT_EQ(calls, 1);
  Service->RemoveTopic(&topic);
}

TEST_F(DdeServiceTest, AFailingTopicIsAnsweredAndReportedAndTheServiceGoesOn)
{
  TScriptedPrompter prompts;
  ASSERT_TRUE(Service->Register(Socket));
  TDdeServerConv topic("System");
  Service->AddTopic(&topic);
  topic.OnExecuteMacro = [](TDdeServerConv&, const QList<QByteArray>& macro) {
    if (macro.value(0) == "fail") throw std::runtime_error("Cannot open file \"x\".");
    if (macro.value(0) == "odd") throw 42;
  };
  // The sender learns that the macro was not carried out; the user sees why.
  EXPECT_EQ(Raw("System\n1\nfail\n"), "NACK");
  EXPECT_EQ(Raw("System\n1\nodd\n"), "NACK");
  EXPECT_TRUE(QTest::qWaitFor([&prompts] { return prompts.Messages.size() == 2; }, 5000));
  EXPECT_EQ(prompts.Messages.value(0), "Cannot open file \"x\".");
  EXPECT_FALSE(prompts.Messages.value(1).isEmpty());
  EXPECT_EQ(Raw("System\n1\nfine\n"), "ACK");

  // A log that cannot be written does not take the program down either.
  Service->OnLog = [](int, const QString&) { throw std::runtime_error("Cannot write log file."); };
  EXPECT_EQ(Raw("System\nmany\n"), "NACK");
  EXPECT_EQ(Raw("System\n0\n"), "ACK");
  EXPECT_TRUE(QTest::qWaitFor([&prompts] { return prompts.Messages.size() == 3; }, 5000));
  EXPECT_EQ(prompts.Messages.value(2), "Cannot write log file.");
  Service->RemoveTopic(&topic);
}

TEST_F(DdeServiceTest, ASenderThatLeavesWhileTheMacroRunsIsNoHarm)
{
  ASSERT_TRUE(Service->Register(Socket));
  TDdeServerConv topic("System");
  Service->AddTopic(&topic);
  // The macro asks the user something (a loop of its own) while the sender,
  // tired of waiting, goes away.
  bool ran = false;
  topic.OnExecuteMacro = [&ran](TDdeServerConv&, const QList<QByteArray>& macro) {
    if (macro.value(0) != "ask") return;
    QEventLoop question;  // as a message box runs one
    QTimer::singleShot(300, &question, &QEventLoop::quit);
    question.exec();
    ran = true;
  };
  Client([this] {
    QLocalSocket socket;
    socket.connectToServer(Socket);
    if (!socket.waitForConnected(5000)) return false;
    socket.write("System\n1\nask\n");
    socket.waitForBytesWritten(5000);
    socket.abort();
    return true;
  });
  EXPECT_TRUE(QTest::qWaitFor([&ran] { return ran; }, 5000));
  QTest::qWait(100);
  EXPECT_EQ(Raw("System\n1\nnext\n"), "ACK");
  Service->RemoveTopic(&topic);
}

}  // namespace
