#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <unistd.h>
#include <vector>

#include "CancelledWork.h"
#include "FtpTestServer.h"
#include "LogCapture.h"
#include "TestSupport.h"
#include "resource/EResourceError.h"
#include "resource/TFTPProtocol.h"
#include "resource/TURL.h"
#include "resource/TURLSystem.h"

namespace {

constexpr double kSecond = 1.0 / 86400.0;
constexpr double kMinute = 60 * kSecond;

bool Contains(const std::string& text, const std::string& part)
{
  return text.find(part) != std::string::npos;
}

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

// The driver on its own, with a clock the test moves and the level-4 lines
// of the application log recorded.
class FtpProtocolTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { Server = new FtpTestServer(); }
  static void TearDownTestSuite()
  {
    delete Server;
    Server = nullptr;
  }

  void SetUp() override
  {
    Driver.Now = [this] { return Clock; };
  }

  static TURL Url(const std::string& host, const std::string& path)
  {
    TURL url("ftp:" + host + path);
    url.User = "tester";
    url.Password = "secret";
    url.Passive = true;
    return url;
  }

  TURL Url(const std::string& path) const { return Url(Server->Host(), path); }

  // The names of the listing, folders marked with a trailing "/".
  static std::set<std::string> Names(const TURL& url)
  {
    std::set<std::string> names;
    for (const auto& item : url.Items) names.insert(item->Name + (item->Kind == TFolderItem::kFolder ? "/" : ""));
    return names;
  }

  std::vector<std::string> Level4() const
  {
    std::vector<std::string> lines;
    for (const auto& line : Log.Lines)
      if (line.first == 4) lines.push_back(line.second);
    return lines;
  }

  static FtpTestServer* Server;
  LogCapture Log{{1, 2, 4}};
  double Clock = 45000.5;
  TFTPProtocol Driver;
};

FtpTestServer* FtpProtocolTest::Server = nullptr;

}  // namespace

// --- listing ---------------------------------------------------------------

TEST_F(FtpProtocolTest, ListingKeepsFoldersAndLinksAndFiltersFiles)
{
  std::filesystem::create_directories(Server->Root + "list/sub");
  for (const char* name : {"a.xml", "B.XML", "c.txt", "README"}) WriteTestFile(Server->Root + "list/" + name, "x");
  ASSERT_EQ(::symlink((Server->Root + "list/sub").c_str(), (Server->Root + "list/link").c_str()), 0);

  TURL url = Url("/list/*.xml");
  url.Items.push_back(std::make_unique<TFolderItem>(TFolderItem::kFile, "stale"));
  Driver.ListFolder(url);
  EXPECT_EQ(Names(url), (std::set<std::string>{"sub/", "link/", "a.xml", "B.XML"}));
  EXPECT_FALSE(Driver.LastListFailed);

  url.SetFileName("*.*;*");
  Driver.ListFolder(url);
  EXPECT_EQ(Names(url), (std::set<std::string>{"sub/", "link/", "a.xml", "B.XML", "c.txt", "README"}));

  url.SetFileName("");
  Driver.ListFolder(url);
  EXPECT_EQ(Names(url), (std::set<std::string>{"sub/", "link/"}));
}

TEST_F(FtpProtocolTest, ListingThroughTheUrlSystem)
{
  std::filesystem::create_directories(Server->Root + "viaurl");
  WriteTestFile(Server->Root + "viaurl/doc.xml", "x");
  TURL url = Url("/viaurl/*.xml");
  ASSERT_EQ(url.GetCount(), 1);
  EXPECT_EQ(url.GetItem(0).Name, "doc.xml");
  FreeURLSystem();
}

TEST_F(FtpProtocolTest, FailedListingIsEmptyButFlagged)
{
  TURL url = Url("/no such folder/*.xml");
  url.Items.push_back(std::make_unique<TFolderItem>(TFolderItem::kFile, "stale"));
  EXPECT_NO_THROW(Driver.ListFolder(url));
  EXPECT_TRUE(url.Items.empty());
  EXPECT_TRUE(Driver.LastListFailed);
  EXPECT_TRUE(Contains(Driver.LastListError, "/no such folder/")) << Driver.LastListError;

  TURL good = Url("/*.xml");
  Driver.ListFolder(good);
  EXPECT_FALSE(Driver.LastListFailed);
  EXPECT_TRUE(Driver.LastListError.empty());
}

TEST_F(FtpProtocolTest, MalformedMaskIsSwallowedAndFlagged)
{
  std::filesystem::create_directories(Server->Root + "mask");
  WriteTestFile(Server->Root + "mask/a.xml", "x");
  TURL url = Url("/mask/[abc");
  EXPECT_NO_THROW(Driver.ListFolder(url));
  EXPECT_TRUE(url.Items.empty());
  EXPECT_TRUE(Driver.LastListFailed);
}

TEST_F(FtpProtocolTest, ListingErrorsBeforeTheCommandReachTheCaller)
{
  TURL url = Url("/*.xml");
  url.Password = "wrong";
  EXPECT_THROW(Driver.ListFolder(url), EFTPError);
}

// --- read, write, delete ------------------------------------------------------

TEST_F(FtpProtocolTest, ReadWriteReplaceAndDelete)
{
  TURL url = Url("/rw.xml");
  Driver.PutFile(url, "first version, longer");
  Driver.PutFile(url, "second");
  EXPECT_EQ(ReadTestFile(Server->Root + "rw.xml"), "second");
  std::string text = "old";
  Driver.GetFile(url, text);
  EXPECT_EQ(text, "second");
  Driver.DeleteFile(url);
  EXPECT_FALSE(std::filesystem::exists(Server->Root + "rw.xml"));
}

// A DTD or entity read on the fly is held to the resource limits, however
// large a document may be; the next read works.
TEST_F(FtpProtocolTest, AResourceStopsAtTheResourceLimitAndTheNextReadWorks)
{
  WriteTestFile(Server->Root + "small.dtd", "<!ELEMENT a EMPTY>");
  Driver.MaxResourceSize = 100000;
  TURL endless = Url("/endless.xml");
  std::string message = ErrorOf([&] {
    std::string text;
    Driver.GetResource(endless, text);
  });
  EXPECT_TRUE(Contains(message, "get \"/endless.xml\" on " + Server->Host() + " failed: the file is larger than 100000 bytes"))
      << message;
  TURL small = Url("/small.dtd");
  std::string text;
  Driver.GetResource(small, text);
  EXPECT_EQ(text, "<!ELEMENT a EMPTY>");
  EXPECT_EQ(Driver.Pool[0].FTP->MaxFileSize, std::size_t(1) << 30);  // documents keep theirs
}

TEST_F(FtpProtocolTest, ReadOfAMissingFileRaises)
{
  TURL url = Url("/missing.xml");
  std::string message = ErrorOf([&] {
    std::string text;
    Driver.GetFile(url, text);
  });
  EXPECT_TRUE(Contains(message, "/missing.xml")) << message;
}

TEST_F(FtpProtocolTest, AFolderIsNoDocument)
{
  std::filesystem::create_directories(Server->Root + "folder");
  WriteTestFile(Server->Root + "folder/in.xml", "x");
  for (const char* path : {"/folder/", "/"}) {
    TURL url = Url(path);
    std::string text = "kept";
    std::string message = ErrorOf([&] { Driver.GetFile(url, text); });
    EXPECT_TRUE(Contains(message, "folder")) << path << ": " << message;
    EXPECT_EQ(text, "kept");
    message = ErrorOf([&] { Driver.PutFile(url, "y"); });
    EXPECT_TRUE(Contains(message, "folder")) << path << ": " << message;
  }
  EXPECT_EQ(ReadTestFile(Server->Root + "folder/in.xml"), "x");
}

TEST_F(FtpProtocolTest, DeleteDoesNotConnect)
{
  WriteTestFile(Server->Root + "keep.xml", "x");
  TURL url = Url("/keep.xml");
  std::string message = ErrorOf([&] { Driver.DeleteFile(url); });
  EXPECT_TRUE(Contains(message, "not connected")) << message;
  EXPECT_TRUE(std::filesystem::exists(Server->Root + "keep.xml"));
  EXPECT_TRUE(Level4().empty());
}

TEST_F(FtpProtocolTest, EmptyHostFailsOnConnect)
{
  TURL url = Url("", "//server/a.xml");
  ASSERT_EQ(url.Host, "");
  std::string text;
  EXPECT_THROW(Driver.GetFile(url, text), EFTPError);
}

TEST_F(FtpProtocolTest, ActiveModeFromTheUrl)
{
  WriteTestFile(Server->Root + "active.xml", "active");
  TURL url = Url("/active.xml");
  url.Passive = false;
  std::string text;
  Driver.GetFile(url, text);
  EXPECT_EQ(text, "active");
  EXPECT_FALSE(Driver.GetConnection(url, false).Passive);
}

// --- log lines ------------------------------------------------------------------

TEST_F(FtpProtocolTest, LogLinesAndTheirOrder)
{
  WriteTestFile(Server->Root + "logged.xml", "x");
  TURL url = Url("/logged.xml");
  std::string text;
  Driver.GetFile(url, text);
  Driver.GetFile(url, text);
  Driver.PutFile(url, "y");
  Driver.Disconnect(url);
  Driver.PutFile(url, "z");
  const std::string host = Server->Host();
  EXPECT_EQ(Level4(), (std::vector<std::string>{
                          "ftp: get file: /logged.xml", "ftp: connect: " + host, "ftp: get file: /logged.xml",
                          "ftp: put file: /logged.xml", "ftp: disconnect: " + host, "ftp: put file: /logged.xml",
                          "ftp: connect: " + host}));
  // A name as a server may give it: its control characters are escaped.
  Log.Lines.clear();
  TURL odd = Url("/\x1b[2Jodd\n.xml");
  EXPECT_THROW(Driver.GetFile(odd, text), EFTPError);
  EXPECT_EQ(Level4(), std::vector<std::string>{"ftp: get file: /\\x1B[2Jodd\\x0A.xml"});
}

TEST_F(FtpProtocolTest, TrafficGoesToLevelFiveWithoutThePassword)
{
  LogCapture log({5});
  WriteTestFile(Server->Root + "traffic.xml", "x");
  TURL url = Url("/traffic.xml");
  std::string text;
  Driver.GetFile(url, text);
  EXPECT_EQ(log.Count(5, "> USER tester\r\n"), 1);
  EXPECT_EQ(log.Count(5, "> PASS ***\r\n"), 1);
  EXPECT_EQ(log.Count(5, "> RETR /traffic.xml\r\n"), 1);
  for (const auto& line : log.Lines) EXPECT_FALSE(Contains(line.second, "secret")) << line.second;
  EXPECT_TRUE(Contains(ReadTestFile(log.LogFile()), "230 Login successful."));
  FreeURLSystem();
}

// A log-in written into the host ("ftp:joe:s3cret@host/...") is refused, and
// the password shows neither in the log nor in the message.
TEST_F(FtpProtocolTest, APasswordWrittenIntoTheHostIsNeitherLoggedNorShown)
{
  TURL url = Url("joe:s3cret@" + Server->Host(), "/a.xml");
  std::string text;
  std::string message = ErrorOf([&] { Driver.GetFile(url, text); });
  EXPECT_EQ(message, "FTP connect to \"joe:***@" + Server->Host() + "\" failed: invalid host name");
  Driver.Disconnect(url);
  EXPECT_EQ(Level4(), (std::vector<std::string>{"ftp: get file: /a.xml", "ftp: connect: joe:***@" + Server->Host(),
                                                "ftp: disconnect: joe:***@" + Server->Host()}));
  EXPECT_FALSE(Contains(ReadTestFile(Log.LogFile()), "s3cret"));
}

// URLs of one server with different users share its connection, so an
// operation for the second user ran under the first one's log-in (a document
// was saved into the other account's folder). It logs in again as its own.
TEST_F(FtpProtocolTest, AnotherUserOfTheSameServerLogsInAsItself)
{
  WriteTestFile(Server->Root + "mine.xml", "tester's");
  TURL mine = Url("/mine.xml");
  TURL guests = Url("/theirs.xml");
  guests.User = "guest";
  guests.Password = "visitor";
  std::string text;
  Driver.GetFile(mine, text);
  Driver.PutFile(guests, "guest's");
  EXPECT_EQ(ReadTestFile(Server->GuestRoot + "theirs.xml"), "guest's");
  EXPECT_FALSE(std::filesystem::exists(Server->Root + "theirs.xml"));
  Driver.GetFile(mine, text);
  EXPECT_EQ(text, "tester's");
  Driver.DeleteFile(guests);
  EXPECT_FALSE(std::filesystem::exists(Server->GuestRoot + "theirs.xml"));
  TURL guestRoot = Url("/*.xml");
  guestRoot.User = "guest";
  guestRoot.Password = "visitor";
  WriteTestFile(Server->GuestRoot + "visible.xml", "x");
  Driver.ListFolder(guestRoot);
  EXPECT_EQ(Names(guestRoot), std::set<std::string>{"visible.xml"});
  Driver.Disconnect(mine);
}

// --- the pool ---------------------------------------------------------------------

class FtpPoolTest : public FtpProtocolTest {
protected:
  static void SetUpTestSuite()
  {
    FtpProtocolTest::SetUpTestSuite();
    for (int i = 0; i < 4; ++i) Others.push_back(std::make_unique<FtpTestServer>());
  }
  static void TearDownTestSuite()
  {
    Others.clear();
    FtpProtocolTest::TearDownTestSuite();
  }

  // Hosts A to E: five servers on five ports.
  static std::string HostOf(int i) { return i == 0 ? Server->Host() : Others[i - 1]->Host(); }

  void Read(int i)
  {
    WriteTestFile((i == 0 ? Server->Root : Others[i - 1]->Root) + "p.xml", "x");
    TURL url = Url(HostOf(i), "/p.xml");
    std::string text;
    Driver.GetFile(url, text);
  }

  std::vector<std::string> PoolHosts() const
  {
    std::vector<std::string> hosts;
    for (const auto& entry : Driver.Pool) hosts.push_back(entry.FTP->Host + (entry.FTP->Connected() ? "+" : "-"));
    return hosts;
  }

  static std::vector<std::unique_ptr<FtpTestServer>> Others;
};

std::vector<std::unique_ptr<FtpTestServer>> FtpPoolTest::Others;

TEST_F(FtpPoolTest, FifthHostEvictsTheLeastRecentlyUsed)
{
  for (int i = 0; i < 4; ++i) {
    Clock += kMinute / 10;
    Read(i);
  }
  auto a = HostOf(0), b = HostOf(1), c = HostOf(2), d = HostOf(3), e = HostOf(4);
  EXPECT_EQ(PoolHosts(), (std::vector<std::string>{a + "+", b + "+", c + "+", d + "+"}));
  Log.Lines.clear();
  Clock += kMinute / 10;
  Read(4);
  EXPECT_EQ(PoolHosts(), (std::vector<std::string>{e + "+", b + "+", c + "+", d + "+"}));
  // No disconnect line for the eviction.
  EXPECT_EQ(Level4(), (std::vector<std::string>{"ftp: get file: /p.xml", "ftp: connect: " + e}));
  Clock += kMinute / 10;
  Read(0);
  EXPECT_EQ(PoolHosts(), (std::vector<std::string>{e + "+", a + "+", c + "+", d + "+"}));
  EXPECT_DOUBLE_EQ(Driver.Pool[1].LastUse, Clock);
}

TEST_F(FtpPoolTest, TiesEvictTheLowestIndex)
{
  for (int i = 0; i < 4; ++i) Read(i);  // the clock stands still
  TURL url = Url(HostOf(4), "/");
  Driver.GetConnection(url, false);  // entry 0 is dropped
  EXPECT_EQ(PoolHosts()[0], HostOf(4) + "-");
  EXPECT_EQ(PoolHosts()[1], HostOf(1) + "+");
}

// A state poll asks every 300 ms whether its URL is connected: asking must
// neither drop a connection nor re-aim a client.
TEST_F(FtpPoolTest, AskingWhetherAHostIsConnectedLeavesThePoolAlone)
{
  for (int i = 0; i < 4; ++i) {
    Clock += kMinute / 10;
    Read(i);
  }
  const std::vector<std::string> hosts = PoolHosts();
  const double lastUse = Driver.Pool[0].LastUse;
  Clock += kMinute;
  for (const std::string& host : {HostOf(4), std::string(), std::string("other.invalid")}) {
    TURL url = Url(host, "/");
    EXPECT_FALSE(Driver.IsConnected(url)) << host;
    EXPECT_EQ(PoolHosts(), hosts) << host;
  }
  TURL third = Url(HostOf(2), "/");
  EXPECT_TRUE(Driver.IsConnected(third));
  EXPECT_DOUBLE_EQ(Driver.Pool[0].LastUse, lastUse);

  // Nor does closing a host that has no connection.
  TURL fifth = Url(HostOf(4), "/");
  Driver.Disconnect(fifth);
  EXPECT_EQ(PoolHosts(), hosts);

  // A free client is not aimed by asking either.
  Driver.Pool[3].FTP->Disconnect();
  EXPECT_FALSE(Driver.IsConnected(fifth));
  EXPECT_EQ(Driver.Pool[3].FTP->Host, HostOf(3));
}

TEST_F(FtpPoolTest, HostMatchComesFirstAndTheFirstEntryWins)
{
  Driver.Pool[1].FTP->Host = "shared:21";
  Driver.Pool[2].FTP->Host = "shared:21";
  Driver.Pool[1].LastUse = 1;
  TURL url = Url("shared:21", "/");
  EXPECT_EQ(&Driver.GetConnection(url, false), Driver.Pool[1].FTP.get());
  EXPECT_EQ(Driver.Pool[1].LastUse, 1);  // no touch
  EXPECT_EQ(&Driver.GetConnection(url, true), Driver.Pool[1].FTP.get());
  EXPECT_EQ(Driver.Pool[1].LastUse, Clock);
  EXPECT_EQ(Driver.Pool[2].LastUse, 0);
}

TEST_F(FtpPoolTest, FreeClientIsAimedAndStampedEvenWithoutTouch)
{
  Read(0);  // entry 0 connected to A
  Clock += kMinute;
  TURL url = Url(HostOf(1), "/");
  EXPECT_FALSE(Driver.GetConnection(url, false).Connected());
  EXPECT_EQ(Driver.Pool[1].FTP->Host, HostOf(1));
  EXPECT_EQ(Driver.Pool[1].LastUse, Clock);
  // A disconnected entry aimed elsewhere is free too: the host match ignores it.
  Driver.Pool[0].FTP->Disconnect();
  TURL other = Url(HostOf(2), "/");
  Driver.GetConnection(other, false);
  EXPECT_EQ(Driver.Pool[0].FTP->Host, HostOf(2));
}

TEST_F(FtpPoolTest, SameHostWithAnotherUserSharesTheClient)
{
  Read(0);
  TURL url = Url(HostOf(0), "/");
  url.User = "someone";
  EXPECT_TRUE(Driver.IsConnected(url));
  EXPECT_EQ(&Driver.GetConnection(url, false), Driver.Pool[0].FTP.get());
}

// --- idle check -------------------------------------------------------------------

TEST_F(FtpPoolTest, IdleConnectionsAreDroppedAfterMoreThanThreeMinutes)
{
  const double start = Clock;
  Read(0);  // used at start
  Clock = start + kMinute;
  Read(1);  // used a minute later
  Clock = start + 3 * kMinute;
  Read(2);  // used at start + 3 minutes
  Clock = start + 3 * kMinute + kSecond;
  Driver.CheckIdle();
  EXPECT_FALSE(Driver.Pool[0].FTP->Connected());  // 3 min 1 s
  EXPECT_TRUE(Driver.Pool[1].FTP->Connected());   // 2 min 1 s
  EXPECT_TRUE(Driver.Pool[2].FTP->Connected());
  EXPECT_DOUBLE_EQ(Driver.Pool[0].LastUse, start);  // not changed by the drop
  EXPECT_TRUE(Level4().size() == 6u);               // no line for the drop

  Clock = start + kMinute + 3 * kMinute;  // exactly 3 minutes for entry 1
  Driver.CheckIdle();
  EXPECT_TRUE(Driver.Pool[1].FTP->Connected());
}

TEST_F(FtpPoolTest, ReconnectAfterTheIdleDropWithTheUrlsCredentials)
{
  Read(0);
  Clock += 3 * kMinute + kSecond;
  Driver.CheckIdle();
  TURL url = Url(HostOf(0), "/p.xml");
  EXPECT_FALSE(Driver.IsConnected(url));
  Log.Lines.clear();
  std::string text;
  Driver.GetFile(url, text);
  EXPECT_EQ(text, "x");
  EXPECT_EQ(Level4(), (std::vector<std::string>{"ftp: get file: /p.xml", "ftp: connect: " + HostOf(0)}));
  EXPECT_TRUE(Driver.IsConnected(url));
  EXPECT_EQ(Driver.Pool[0].FTP->User, "tester");
}

// --- time-outs and dead servers ----------------------------------------------------------

TEST_F(FtpProtocolTest, ConnectTimesOutOnASilentPort)
{
  SilentTcpServer silent;
  Driver.ConnectTimeout = 1;
  TURL url = Url(silent.Host(), "/a.xml");
  std::string message = ErrorOf([&] { Driver.Connect(url); });
  EXPECT_TRUE(Contains(message, silent.Host())) << message;
  EXPECT_TRUE(Contains(message, "time-out")) << message;
  EXPECT_FALSE(Driver.IsConnected(url));
}

TEST_F(FtpProtocolTest, DeadServerThenRestart)
{
  FtpTestServer server;
  WriteTestFile(server.Root + "a.xml", "back");
  TURL url = Url(server.Host(), "/a.xml");
  std::string text;
  Driver.GetFile(url, text);
  server.Stop();
  EXPECT_THROW(Driver.GetFile(url, text), EFTPError);
  EXPECT_FALSE(Driver.IsConnected(url));
  server.Start();
  Driver.GetFile(url, text);
  EXPECT_EQ(text, "back");
}

// --- cancelling -----------------------------------------------------------------

// A listing that the server never sends, cancelled from another thread,
// stops with ECancelled: no error, and not swallowed as a failed listing.
// While it runs, the idle check and the state poll on the user interface's
// thread leave the busy pool alone and answer at once. The next listing
// connects again and works.
TEST_F(FtpProtocolTest, CancelledListingStopsAndTheNextListingWorks)
{
  std::filesystem::create_directories(Server->Root + "cancel-stall");
  std::filesystem::create_directories(Server->Root + "after-cancel");
  WriteTestFile(Server->Root + "after-cancel/a.xml", "x");
  TURL stalled = Url("/cancel-stall/*.xml");
  std::exception_ptr raised = RunAndCancel([&] { Driver.ListFolder(stalled); }, [&](const TWorkProgress&) {
    if (!Contains(Server->ServerLog(), "MLSD /cancel-stall")) return false;
    Clock += 10 * kMinute;
    Driver.CheckIdle();
    EXPECT_FALSE(Driver.IsConnected(stalled));
    return true;
  });
  EXPECT_EQ(Outcome(raised), "cancelled");
  EXPECT_FALSE(Driver.LastListFailed);
  EXPECT_FALSE(Driver.IsConnected(stalled));
  TURL after = Url("/after-cancel/*.xml");
  Driver.ListFolder(after);
  EXPECT_EQ(Names(after), (std::set<std::string>{"a.xml"}));
  EXPECT_FALSE(Driver.LastListFailed);
}

// A server that never greets holds a connect until it is cancelled; a read
// on a good server works afterwards.
TEST_F(FtpProtocolTest, CancelledConnectStopsAndTheNextReadWorks)
{
  SilentTcpServer silent;
  WriteTestFile(Server->Root + "after-connect.xml", "read");
  TURL dead = Url(silent.Host(), "/a.xml");
  std::exception_ptr raised = RunAndCancel([&] { Driver.Connect(dead); }, [](const TWorkProgress& progress) {
    return progress.Step().rfind("Connecting to ftp://", 0) == 0;
  });
  EXPECT_EQ(Outcome(raised), "cancelled");
  EXPECT_FALSE(Driver.IsConnected(dead));
  TURL good = Url("/after-connect.xml");
  std::string text;
  Driver.GetFile(good, text);
  EXPECT_EQ(text, "read");
}

TEST(FtpProtocolRegistration, FtpUrlsReachTheFtpDriver)
{
  TAbstractProtocol* driver = URLSystem().FindProtocol(TURL("ftp:host/a.xml"));
  ASSERT_NE(driver, nullptr);
  EXPECT_NE(dynamic_cast<TFTPProtocol*>(driver), nullptr);
  ASSERT_EQ(URLSystem().Protocols.size(), 3u);
  EXPECT_EQ(URLSystem().Protocols[0]->ProtocolName, "file");
  EXPECT_EQ(URLSystem().Protocols[1]->ProtocolName, "ftp");
  EXPECT_EQ(URLSystem().Protocols[2]->ProtocolName, "http");
  FreeURLSystem();
}
