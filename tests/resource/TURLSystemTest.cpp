#include <gtest/gtest.h>

#include "FakeProtocol.h"
#include "LogCapture.h"
#include "resource/EResourceError.h"
#include "resource/TURLSystem.h"

namespace {

const char* const kUnknown = "Unknown value for TURLProtocol type";

class LocalSystemTest : public ::testing::Test {
protected:
  FakeProtocol& Add(const std::string& name)
  {
    auto driver = std::make_unique<FakeProtocol>(name, Calls);
    FakeProtocol& result = *driver;
    System.Register(std::move(driver));
    return result;
  }

  std::vector<std::string> Calls;
  TURLSystem System;
};

}  // namespace

TEST_F(LocalSystemTest, FirstRegisteredDriverOfTheNameWins)
{
  FakeProtocol& first = Add("file");
  Add("file");
  TURL url("file:/x");
  EXPECT_EQ(System.FindProtocol(url), &first);
  EXPECT_EQ(System.FindProtocol(TURL("ftp:h/x")), nullptr);
}

TEST_F(LocalSystemTest, UnknownSchemeGoesToHttpAndLogsPerDriverExamined)
{
  LogCapture log;
  Add("file");
  Add("ftp");
  FakeProtocol& http = Add("http");
  EXPECT_EQ(System.FindProtocol(TURL("gopher://server/p.html")), &http);
  EXPECT_EQ(log.Count(1, kUnknown), 3);
  // https is the HTTP driver's own: no internal error at every fetch.
  TURL url("https://server/p.html");
  EXPECT_EQ(System.FindProtocol(url), &http);
  std::string text;
  System.GetFile(url, text);
  EXPECT_EQ(Calls.back(), "http.GetFile(//server/p.html)");
  EXPECT_EQ(log.Count(1, kUnknown), 3);
}

TEST_F(LocalSystemTest, MissingDriverRaises)
{
  Add("file");
  TURL url("ftp:host/a.xml");
  try {
    System.Driver(url);
    FAIL() << "no error";
  } catch (const EResourceError& e) {
    EXPECT_STREQ(e.what(), "No driver for the protocol \"ftp\"");
  }
  std::string text;
  EXPECT_THROW(System.GetFile(url, text), EResourceError);
  EXPECT_THROW(System.PutFile(url, text), EResourceError);
  EXPECT_THROW(System.ListFolder(url), EResourceError);
  EXPECT_TRUE(Calls.empty());
}

TEST_F(LocalSystemTest, DispatchesToTheDriverOfTheSameName)
{
  Add("file");
  FakeProtocol& ftp = Add("ftp");
  ftp.Files = {"a.xml", "b.txt"};
  TURL url("ftp:host/pub/*.xml");
  System.ListFolder(url);
  ASSERT_EQ(url.Items.size(), 1u);
  EXPECT_EQ(url.Items[0]->Name, "a.xml");
  System.PutFile(url, "data");
  std::string text;
  System.GetFile(url, text);
  EXPECT_EQ(text, "data");
  EXPECT_EQ(Calls, (std::vector<std::string>{"ftp.ListFolder(host/pub/*.xml)", "ftp.PutFile(host/pub/*.xml)",
                                             "ftp.GetFile(host/pub/*.xml)"}));
}

TEST_F(LocalSystemTest, TimerTickAsksEveryDriverInOrder)
{
  Add("file");
  Add("ftp");
  Add("http");
  System.TimerTick();
  EXPECT_EQ(Calls, (std::vector<std::string>{"file.CheckIdle", "ftp.CheckIdle", "http.CheckIdle"}));
}

TEST(TrafficLog, SentDataGetsThePrefixBothOnlyAtLevelFive)
{
  TURLSystem system;
  {
    LogCapture log({1, 2, 5});
    system.LogSent("GET / HTTP/1.1\r\n");
    system.LogReceived("HTTP/1.1 200 OK\r\n");
    EXPECT_EQ(log.Lines, (std::vector<std::pair<int, std::string>>{{5, "> GET / HTTP/1.1\r\n"},
                                                                   {5, "HTTP/1.1 200 OK\r\n"}}));
    EXPECT_EQ(ReadTestFile(log.LogFile()), "> GET / HTTP/1.1\r\n\r\nHTTP/1.1 200 OK\r\n\r\n");
  }
  {
    LogCapture log({1, 2, 4});
    system.LogSent("x");
    system.LogReceived("y");
    EXPECT_TRUE(log.Lines.empty());
  }
}

TEST(OneURLSystem, IsCreatedOnceWithFileBeforeHttp)
{
  FreeURLSystem();
  TURLSystem& system = URLSystem();
  EXPECT_EQ(&URLSystem(), &system);
  ASSERT_GE(system.Protocols.size(), 2u);
  EXPECT_EQ(system.Protocols.front()->ProtocolName, "file");
  EXPECT_EQ(system.Protocols.back()->ProtocolName, "http");
  EXPECT_EQ(system.FindProtocol(TURL("file:/x"))->ProtocolName, "file");
  EXPECT_EQ(system.FindProtocol(TURL("http://h/x"))->ProtocolName, "http");
  FreeURLSystem();
}
