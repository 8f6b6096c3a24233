// The local-socket DDE service: topics, a second instance, a socket left
// behind, and requests that are malformed or too large.

#include <QEventLoop>
#include <QLocalSocket>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "platform/TDdeService.h"

namespace {

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
