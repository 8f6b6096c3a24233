#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <unistd.h>
#include <vector>

#include "CancelledWork.h"
#include "FtpTestServer.h"
#include "LogCapture.h"
#include "MemoryCappedChild.h"
#include "ProcessSockets.h"
#include "TestSupport.h"
#include "resource/EResourceError.h"
#include "resource/TFTPClient.h"

namespace {

bool Contains(const std::string& text, const std::string& part)
{
  return text.find(part) != std::string::npos;
}

// The message of the EFTPError that action raises ("" when none).
template <typename Action>
std::string ErrorOf(Action action)
{
  try {
    action();
  } catch (const EFTPError& e) {
    return e.what();
  }
  return "";
}

class FtpClientTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { Server = new FtpTestServer(); }
  static void TearDownTestSuite()
  {
    delete Server;
    Server = nullptr;
  }

  void SetUp() override
  {
    Client.Host = Server->Host();
    Client.User = "tester";
    Client.Password = "secret";
    Client.OnSent = [this](const std::string& data) { Sent += data; };
    Client.OnReceived = [this](const std::string& data) { Received += data; };
  }

  static FtpTestServer* Server;
  TFTPClient Client;
  std::string Sent;
  std::string Received;
};

FtpTestServer* FtpClientTest::Server = nullptr;

std::string AllBytes()
{
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  return bytes + "\r\nline\nend\r";
}

}  // namespace

TEST_F(FtpClientTest, BinaryRoundTripInActiveAndPassiveMode)
{
  LogCapture log({5});
  for (bool passive : {false, true}) {
    SCOPED_TRACE(passive ? "passive" : "active");
    Sent.clear();
    Client.Passive = passive;
    Client.Connect();
    ASSERT_TRUE(Client.Connected());
    std::string name = passive ? "/bin-passive.dat" : "/bin-active.dat";
    Client.Store(name, AllBytes());
    EXPECT_EQ(ReadTestFile(Server->Root + name.substr(1)), AllBytes());
    EXPECT_EQ(Client.Retrieve(name), AllBytes());
    EXPECT_TRUE(Contains(Sent, "TYPE I"));
    bool activeCommand = Contains(Sent, "EPRT ") || Contains(Sent, "PORT ");
    bool passiveCommand = Contains(Sent, "EPSV") || Contains(Sent, "PASV");
    EXPECT_EQ(activeCommand, !passive);
    EXPECT_EQ(passiveCommand, passive);
    Client.Disconnect();
  }
}

TEST_F(FtpClientTest, StoreReplacesAndEmptyFileWorks)
{
  Client.Connect();
  Client.Store("/replace.xml", "a much longer first version");
  Client.Store("/replace.xml", "short");
  EXPECT_EQ(ReadTestFile(Server->Root + "replace.xml"), "short");
  Client.Store("/replace.xml", "");
  EXPECT_TRUE(std::filesystem::exists(Server->Root + "replace.xml"));
  EXPECT_EQ(Client.Retrieve("/replace.xml"), "");
}

TEST_F(FtpClientTest, NamesWithBlanksAndNonAsciiBytes)
{
  const std::string folder = "my docs/\xC3\xA9t\xC3\xA9 %20#?";
  const std::string file = "a b \xC3\xA4;1.xml";
  std::filesystem::create_directories(Server->Root + folder);
  Client.Connect();
  Client.Store("/" + folder + "/" + file, "content");
  EXPECT_EQ(ReadTestFile(Server->Root + folder + "/" + file), "content");
  auto entries = Client.List("/" + folder + "/");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Name, file);
  EXPECT_EQ(entries[0].Kind, TFTPEntryKind::File);
  EXPECT_EQ(Client.Retrieve("/" + folder + "/" + file), "content");
  Client.Delete("/" + folder + "/" + file);
  EXPECT_FALSE(std::filesystem::exists(Server->Root + folder + "/" + file));
}

TEST_F(FtpClientTest, MlsdListingShowsFoldersFilesAndLinks)
{
  std::filesystem::create_directories(Server->Root + "mlsd/sub");
  WriteTestFile(Server->Root + "mlsd/a.xml", "x");
  ASSERT_EQ(::symlink((Server->Root + "mlsd/sub").c_str(), (Server->Root + "mlsd/link").c_str()), 0);
  LogCapture log({5});
  Client.Connect();
  auto entries = Client.List("/mlsd/");
  EXPECT_TRUE(Contains(Sent, "MLSD /mlsd"));
  std::map<std::string, TFTPEntryKind> kinds;
  for (const auto& entry : entries) kinds[entry.Name] = entry.Kind;
  EXPECT_EQ(kinds.size(), 3u);
  EXPECT_EQ(kinds["sub"], TFTPEntryKind::Folder);
  // MLSD reports what the link points to, a folder; LIST tells it is a link.
  EXPECT_EQ(kinds["link"], TFTPEntryKind::Symlink);
  EXPECT_TRUE(Contains(Sent, "LIST /mlsd"));
  EXPECT_EQ(kinds["a.xml"], TFTPEntryKind::File);
}

TEST_F(FtpClientTest, ServerWithoutMlsdIsListedWithList)
{
  FtpTestServer::Options options;
  options.Mlsd = false;
  FtpTestServer server(options);
  std::filesystem::create_directories(server.Root + "sub");
  WriteTestFile(server.Root + "a b.xml", "x");
  ASSERT_EQ(::symlink((server.Root + "sub").c_str(), (server.Root + "link").c_str()), 0);
  LogCapture log({5});
  Client.Host = server.Host();
  Client.Connect();
  std::map<std::string, TFTPEntryKind> kinds;
  for (const auto& entry : Client.List("/")) kinds[entry.Name] = entry.Kind;
  EXPECT_EQ(kinds.size(), 3u);
  EXPECT_EQ(kinds["sub"], TFTPEntryKind::Folder);
  EXPECT_EQ(kinds["link"], TFTPEntryKind::Symlink);
  EXPECT_EQ(kinds["a b.xml"], TFTPEntryKind::File);
  // The refusal is remembered: the next listing goes straight to LIST.
  Sent.clear();
  Client.List("/sub/");
  EXPECT_FALSE(Contains(Sent, "MLSD"));
  EXPECT_TRUE(Contains(Sent, "LIST /sub"));

  // A line that no format reads is left out and logged; the rest stays.
  LogCapture warnings({3});
  std::filesystem::create_directories(server.Root + "odd");
  WriteTestFile(server.Root + "odd/kept.xml", "x");
  std::vector<TFTPListEntry> entries = Client.List("/odd/");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Name, "kept.xml");
  ASSERT_EQ(warnings.Lines.size(), 1u);
  EXPECT_EQ(warnings.Lines[0].second, "FTP list \"/odd/\" on " + server.Host() +
                                          ": line not understood, left out: odd trailing line");
  // The server's words go into the log with their control characters escaped.
  std::filesystem::create_directories(server.Root + "escape-odd");
  Client.List("/escape-odd/");
  ASSERT_EQ(warnings.Lines.size(), 2u);
  EXPECT_EQ(warnings.Lines[1].second, "FTP list \"/escape-odd/\" on " + server.Host() +
                                          ": line not understood, left out: odd trailing line \\x1B[2J\\x07");
}

TEST_F(FtpClientTest, ErrorsNameOperationHostPathAndServerReason)
{
  Client.Connect();
  std::string get = ErrorOf([&] { Client.Retrieve("/missing.xml"); });
  EXPECT_TRUE(Contains(get, "get")) << get;
  EXPECT_TRUE(Contains(get, "\"/missing.xml\"")) << get;
  EXPECT_TRUE(Contains(get, Server->Host())) << get;
  EXPECT_TRUE(Contains(get, "550")) << get;
  EXPECT_TRUE(Client.Connected());  // a refused command keeps the connection

  std::string list = ErrorOf([&] { Client.List("/no folder/"); });
  EXPECT_TRUE(Contains(list, "list \"/no folder/\"")) << list;
  EXPECT_TRUE(Contains(list, "No such")) << list;

  std::string del = ErrorOf([&] { Client.Delete("/missing.xml"); });
  EXPECT_TRUE(Contains(del, "delete \"/missing.xml\"")) << del;
  EXPECT_TRUE(Contains(del, "550")) << del;

  std::string put = ErrorOf([&] { Client.Store("/no folder/a.xml", "x"); });
  EXPECT_TRUE(Contains(put, "put \"/no folder/a.xml\"")) << put;
  EXPECT_TRUE(Client.Connected());
}

TEST_F(FtpClientTest, FailedLoginReportsTheServerAndLeavesDisconnected)
{
  Client.Password = "wrong";
  std::string message = ErrorOf([&] { Client.Connect(); });
  EXPECT_TRUE(Contains(message, "connect to " + Server->Host())) << message;
  EXPECT_TRUE(Contains(message, "530")) << message;
  EXPECT_FALSE(Client.Connected());
}

TEST_F(FtpClientTest, OperationsNeedAConnection)
{
  std::string message = ErrorOf([&] { Client.Delete("/a.xml"); });
  EXPECT_TRUE(Contains(message, "not connected")) << message;
  EXPECT_FALSE(ErrorOf([&] { Client.Retrieve("/a.xml"); }).empty());
  EXPECT_FALSE(ErrorOf([&] { Client.List("/"); }).empty());
  EXPECT_TRUE(Sent.empty());
}

TEST_F(FtpClientTest, MalformedHostsFailWithoutTouchingTheNetwork)
{
  for (const char* host : {"", "tester@127.0.0.1", "127.0.0.1/x", "127.0.0.1:99999", "127.0.0.1:abc", "127.0.0.1:", "a b"}) {
    SCOPED_TRACE(host);
    Client.Host = host;
    std::string message = ErrorOf([&] { Client.Connect(); });
    EXPECT_TRUE(Contains(message, "connect to \"" + std::string(host) + "\"")) << message;
    EXPECT_FALSE(Client.Connected());
  }
  EXPECT_TRUE(Sent.empty());
}

TEST_F(FtpClientTest, NamesWithLineBreaksAreRefused)
{
  Client.Connect();
  std::string message = ErrorOf([&] { Client.Delete("/a.xml\r\nDELE /other.xml"); });
  EXPECT_TRUE(Contains(message, "line break")) << message;
  EXPECT_TRUE(Client.Connected());
}

// libcurl sends the user name and password as they are: a line break in
// either would smuggle a command of its own onto the control connection.
TEST_F(FtpClientTest, CredentialsWithLineBreaksAreRefused)
{
  WriteTestFile(Server->Root + "victim.xml", "keep");
  for (auto credentials : {std::pair<std::string, std::string>{"tester", "secret\r\nDELE /victim.xml"},
                           {"tester\r\nDELE /victim.xml", "secret"},
                           {"tester", std::string("secret\0DELE /victim.xml", 23)}}) {
    Client.User = credentials.first;
    Client.Password = credentials.second;
    std::string message = ErrorOf([&] { Client.Connect(); });
    EXPECT_TRUE(Contains(message, "line break")) << message;
    EXPECT_FALSE(Client.Connected());
  }
  EXPECT_EQ(ReadTestFile(Server->Root + "victim.xml"), "keep");
  EXPECT_TRUE(Sent.empty());
}

TEST_F(FtpClientTest, PortFromTheHostTextOrThePortSetting)
{
  Client.Host = "127.0.0.1";
  Client.Port = Server->Port;
  Client.Connect();
  EXPECT_TRUE(Client.Connected());
}

TEST_F(FtpClientTest, PasswordNeverReachesTheTrafficLog)
{
  LogCapture log({5});
  Client.Connect();
  EXPECT_TRUE(Contains(Sent, "USER tester\r\n"));
  EXPECT_TRUE(Contains(Sent, "PASS ***\r\n"));
  EXPECT_FALSE(Contains(Sent, "secret"));
  EXPECT_TRUE(Contains(Received, "230 "));
}

TEST_F(FtpClientTest, NoTrafficWhileLevelFiveIsOff)
{
  LogCapture log({1, 2, 4});
  Client.Connect();
  Client.List("/");
  EXPECT_TRUE(Sent.empty());
  EXPECT_TRUE(Received.empty());
}

TEST_F(FtpClientTest, DisconnectSaysQuitAndConnectReconnects)
{
  Client.Connect();
  Client.Connect();  // closes the first connection, logs in again
  EXPECT_TRUE(Client.Connected());
  Client.Disconnect();
  EXPECT_FALSE(Client.Connected());
  std::string serverLog = Server->ServerLog();
  EXPECT_TRUE(Contains(serverLog, "<- QUIT")) << serverLog;
}

TEST_F(FtpClientTest, DeadServerDropsTheConnectionAndRestartWorks)
{
  FtpTestServer server;
  WriteTestFile(server.Root + "a.xml", "alive");
  Client.Host = server.Host();
  Client.Connect();
  server.Stop();
  std::string message = ErrorOf([&] { Client.Retrieve("/a.xml"); });
  EXPECT_TRUE(Contains(message, "get \"/a.xml\" on " + server.Host())) << message;
  EXPECT_FALSE(Client.Connected());
  EXPECT_FALSE(ErrorOf([&] { Client.Connect(); }).empty());
  server.Start();
  Client.Connect();
  EXPECT_EQ(Client.Retrieve("/a.xml"), "alive");
}

TEST_F(FtpClientTest, ConnectTimesOutOnAServerThatNeverGreets)
{
  SilentTcpServer silent;
  Client.Host = silent.Host();
  Client.ConnectTimeout = 1;
  std::string message = ErrorOf([&] { Client.Connect(); });
  EXPECT_TRUE(Contains(message, "connect to " + silent.Host())) << message;
  EXPECT_TRUE(Contains(message, "time-out")) << message;
  EXPECT_FALSE(Client.Connected());
}

TEST_F(FtpClientTest, StalledTransferTimesOut)
{
  WriteTestFile(Server->Root + "stall.xml", "never sent");
  Client.StallTimeout = 1;
  Client.Connect();
  std::string message = ErrorOf([&] { Client.Retrieve("/stall.xml"); });
  EXPECT_TRUE(Contains(message, "get \"/stall.xml\"")) << message;
  EXPECT_TRUE(Contains(message, "time-out")) << message;
  EXPECT_FALSE(Client.Connected());
}

// A listing is given up at its own, shorter limit.
TEST_F(FtpClientTest, StalledListingTimesOutAtTheListingLimit)
{
  std::filesystem::create_directories(Server->Root + "list-stall");
  Client.ListStallTimeout = 1;
  Client.Connect();
  std::string message = ErrorOf([&] { Client.List("/list-stall/"); });
  EXPECT_TRUE(Contains(message, "list \"/list-stall/\"")) << message;
  EXPECT_TRUE(Contains(message, "time-out")) << message;
  EXPECT_EQ(Client.StallTimeout, 60);
}

// A server may send a listing or a file without end: the client stops at its
// size limit (memory would run out first, and an exception thrown inside
// libcurl left the connection unusable), and the next request works.
TEST_F(FtpClientTest, ListingsAndFilesStopAtTheSizeLimitAndTheNextRequestWorks)
{
  std::filesystem::create_directories(Server->Root + "endless");
  WriteTestFile(Server->Root + "large.xml", std::string(300000, 'x'));
  WriteTestFile(Server->Root + "small.xml", "small");
  const std::string others = OpenConnections();  // none of the client's
  for (bool passive : {false, true}) {
    SCOPED_TRACE(passive ? "passive" : "active");
    Client.Passive = passive;
    Client.Connect();
    std::string list = ErrorOf([&] { Client.List("/endless/"); });
    EXPECT_TRUE(Contains(list, "list \"/endless/\" on " + Server->Host() + " failed: the listing is larger than 32 MB"))
        << list;
    EXPECT_EQ(Client.Retrieve("/small.xml"), "small");
    Client.MaxFileSize = 100000;
    std::string get = ErrorOf([&] { Client.Retrieve("/large.xml"); });
    EXPECT_TRUE(Contains(get, "get \"/large.xml\" on " + Server->Host() + " failed: the file is larger than 100000 bytes"))
        << get;
    EXPECT_EQ(Client.Retrieve("/small.xml"), "small");
    // A file without end, whose size the server does not name beforehand.
    get = ErrorOf([&] { Client.Retrieve("/endless.xml"); });
    EXPECT_TRUE(Contains(get, "get \"/endless.xml\" on " + Server->Host() + " failed: the file is larger than 100000 bytes"))
        << get;
    // The server learns at once that the transfer is over: the client keeps
    // neither the data connection nor the control connection (whose replies
    // about the broken-off transfer are not waited for).
    EXPECT_EQ(OpenConnections(), others);
    EXPECT_EQ(Client.Retrieve("/small.xml"), "small");
    std::vector<TFTPListEntry> entries = Client.List("/");
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [](const TFTPListEntry& e) { return e.Name == "small.xml"; }));
    Client.MaxFileSize = std::size_t(1) << 30;
  }
}

// A program the editor starts (a tool, a browser) while a connection is open
// got its sockets, and held the server's session open after the editor had
// closed it. The control connection, a data connection and the socket that
// waits for the server's data connection in active mode are closed on exec.
TEST_F(FtpClientTest, AProgramStartedMeanwhileGetsNoConnection)
{
  for (bool passive : {false, true}) {
    SCOPED_TRACE(passive ? "passive" : "active");
    Client.Passive = passive;
    Client.Connect();
    WriteTestFile(Server->Root + "drip.xml", "dripping");
    EXPECT_EQ(ConnectionsOfAStartedProgram(), "");
    std::string duringTransfer = "not checked";
    RunAndCancel([this] { Client.Retrieve("/drip.xml"); }, [&](const TWorkProgress& progress) {
      if (progress.Done() == 0) return false;
      duringTransfer = ConnectionsOfAStartedProgram();
      return true;
    });
    EXPECT_EQ(duringTransfer, "");
  }
}

// A file whose size the server announces (SIZE) is received into one buffer
// of that size. It used to grow as a string does, copying itself into a
// buffer twice as large, so its address space reached one and a half times
// its size and more.
TEST_F(FtpClientTest, AFileOfAnnouncedSizeIsReceivedIntoOneBufferOfItsSize)
{
  const std::size_t megabyte = std::size_t(1) << 20;
  const std::size_t size = 40 * megabyte + 12345;
  WriteTestFile(Server->Root + "big.xml", std::string(size, 'b'));
  TCappedRun run = RunMemoryCapped(size + 8 * megabyte, [this, size] {
    TFTPClient client;  // a connection of the child's own
    client.Host = Server->Host();
    client.User = "tester";
    client.Password = "secret";
    client.Passive = true;
    client.MaxFileSize = 256 * megabyte;
    client.Connect();
    std::string bytes = client.Retrieve("/big.xml");
    client.Disconnect();
    bool whole = bytes.size() == size && bytes.find_first_not_of('b') == std::string::npos;
    return whole ? std::string() : std::to_string(bytes.size()) + " bytes came";
  });
  std::filesystem::remove(Server->Root + "big.xml");
  ASSERT_TRUE(run.Finished) << run.Report;
  EXPECT_EQ(run.Report, "") << run.AddressGrowth / megabyte << " MB of address space";
  EXPECT_LE(run.ResidentGrowth, size + 8 * megabyte) << run.ResidentGrowth / megabyte << " MB";
}

// A store that failed midway (a full disk) left the server's file cut short,
// its old text gone. The document goes to a temporary name beside the file
// and is renamed over it once complete: a failure leaves the file as it was,
// and the temporary copy is removed. A small document is all in the socket
// buffers when the server gives up, and the store ends with the server's
// reply on a live connection; a large one meets the server's reset while it
// is still being sent, and libcurl drops the connection with it. Either way
// the message names the reason and the next store through the client works.
TEST_F(FtpClientTest, StoreThatFailsMidwayLeavesTheFileAsItWas)
{
  struct Case {
    std::string Name;
    std::size_t Size;
    std::string Reason;
  };
  const Case cases[] = {{"full.xml", 1000, "426 "}, {"break.xml", std::size_t(32) << 20, "Send failure: "}};
  LogCapture log({5});
  for (bool passive : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE((passive ? "passive, " : "active, ") + c.Name);
      WriteTestFile(Server->Root + c.Name, "the old text");
      Client.Passive = passive;
      Client.Connect();
      Sent.clear();
      std::string message = ErrorOf([&] { Client.Store("/" + c.Name, std::string(c.Size, 'n')); });
      EXPECT_TRUE(Contains(message, "put \"/" + c.Name + "\" on " + Server->Host() + " failed: " + c.Reason)) << message;
      EXPECT_TRUE(Contains(message, "; the file on the server is unchanged")) << message;
      const std::string kept = ReadTestFile(Server->Root + c.Name);
      EXPECT_TRUE(kept == "the old text") << kept.size() << " bytes: " << kept.substr(0, 20);
      EXPECT_FALSE(std::filesystem::exists(Server->Root + "." + c.Name + ".part"));
      Client.Store("/next.xml", "new text");
      EXPECT_EQ(ReadTestFile(Server->Root + "next.xml"), "new text");
      EXPECT_FALSE(std::filesystem::exists(Server->Root + ".next.xml.part"));
      EXPECT_TRUE(Contains(Sent, "RNTO /next.xml")) << Sent;
    }
  }
}

// A store cancelled while the server hangs midway never renames: the file
// keeps its old text, the temporary copy is removed, and the client works on.
TEST_F(FtpClientTest, CancelledStoreLeavesTheFileAsItWas)
{
  WriteTestFile(Server->Root + "stall.xml", "the old text");
  const std::string bytes(32 << 20, 'n');
  Client.Connect();
  std::exception_ptr raised = RunAndCancel([&] { Client.Store("/stall.xml", bytes); },
                                           [](const TWorkProgress& progress) { return progress.Done() > 65536; });
  EXPECT_EQ(Outcome(raised), "cancelled");
  EXPECT_EQ(ReadTestFile(Server->Root + "stall.xml"), "the old text");
  EXPECT_FALSE(std::filesystem::exists(Server->Root + ".stall.xml.part"));
  if (!Client.Connected()) Client.Connect();
  Client.Store("/afterwards.xml", "new");
  EXPECT_EQ(Client.Retrieve("/afterwards.xml"), "new");
}

// The work progress of the calling thread follows reads and writes: the
// bytes moved of the whole, and what is being done.
TEST_F(FtpClientTest, ProgressCountsTheBytesOfReadsAndWrites)
{
  const std::string bytes(300000, 'p');
  TWorkProgress progress;
  TWorkProgressScope scope(progress);
  Client.Connect();
  EXPECT_EQ(progress.Step(), "Connecting to ftp://" + Server->Host());
  Client.Store("/progress.xml", bytes);
  EXPECT_EQ(progress.Step(), "Writing ftp://" + Server->Host() + "/progress.xml");
  EXPECT_EQ(progress.Done(), bytes.size());
  EXPECT_EQ(progress.Total(), bytes.size());
  EXPECT_EQ(Client.Retrieve("/progress.xml"), bytes);
  EXPECT_EQ(progress.Step(), "Reading ftp://" + Server->Host() + "/progress.xml");
  EXPECT_EQ(progress.Done(), bytes.size());
  EXPECT_EQ(progress.Total(), bytes.size());
  EXPECT_EQ(progress.Unit(), TProgressUnit::bytes);
}

// Servers that will not rename onto an existing file, or that refuse names
// beginning with a dot, are written in place as before.
TEST_F(FtpClientTest, StoreGoesInPlaceWhereTheTemporaryCopyCannotBeUsed)
{
  std::filesystem::create_directories(Server->Root + "nodots");
  WriteTestFile(Server->Root + "noreplace.xml", "old");
  WriteTestFile(Server->Root + "nodots/a.xml", "old");
  Client.Connect();
  Client.Store("/noreplace.xml", "new");
  EXPECT_EQ(ReadTestFile(Server->Root + "noreplace.xml"), "new");
  EXPECT_FALSE(std::filesystem::exists(Server->Root + ".noreplace.xml.part"));
  Client.Store("/nodots/a.xml", "new");
  EXPECT_EQ(ReadTestFile(Server->Root + "nodots/a.xml"), "new");
  Client.Store("/nodots/b.xml", "created");
  EXPECT_EQ(ReadTestFile(Server->Root + "nodots/b.xml"), "created");
  std::string message = ErrorOf([&] { Client.Store("/no folder/a.xml", "x"); });
  EXPECT_TRUE(Contains(message, "put \"/no folder/a.xml\"")) << message;
  EXPECT_TRUE(Contains(message, "550")) << message;
}

// A server that trickles a byte now and then never trips the stall limit: a
// transfer that goes on too long in all is given up.
TEST_F(FtpClientTest, TricklingTransferGivesUpAtTheTotalLimit)
{
  WriteTestFile(Server->Root + "drip.xml", std::string(1000000, 'd'));  // named by SIZE, never sent
  WriteTestFile(Server->Root + "small.xml", "small");
  Client.Passive = true;
  Client.StallTimeout = 1;
  Client.TransferTimeout = 2;
  Client.Connect();
  std::string message = ErrorOf([&] { Client.Retrieve("/drip.xml"); });
  EXPECT_TRUE(Contains(message, "get \"/drip.xml\" on " + Server->Host() + " failed: time-out")) << message;
  Client.Connect();
  EXPECT_EQ(Client.Retrieve("/small.xml"), "small");
}
