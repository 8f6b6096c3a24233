#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <thread>
#include <vector>

#include "LogCapture.h"
#include "resource/ProgramFile.h"
#include "resource/zevlog.h"

namespace {

class AppLogTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    FreeAppLog();
    SetProgramFileName(Folder + "xmlplivek");
  }
  void TearDown() override
  {
    FreeAppLog();
    SetProgramFileName("");
    std::error_code ec;
    std::filesystem::remove_all(Folder, ec);
  }
  std::string LogFile() const { return Folder + "xmlplivek.log"; }

  std::string Folder = MakeTempFolder("xmlplivek-log");
};

}  // namespace

TEST_F(AppLogTest, FileLiesBesideTheProgramWithLogExtension)
{
  SetProgramFileName(Folder + "xmlplivek.exe");
  FreeAppLog();
  EXPECT_EQ(AppLog().FileName, Folder + "xmlplivek.log");
}

TEST_F(AppLogTest, StartsWithLevelsOneAndTwoAndFiltersOthers)
{
  int calls = 0;
  AppLog().OnLog = [&](TzevLog&, std::uint8_t, const std::string&) { ++calls; };
  EXPECT_EQ(AppLog().Levels, TzevLog::MakeLevels({1, 2}));
  AppLog().Log(4, "hidden");
  EXPECT_EQ(calls, 0);
  EXPECT_FALSE(std::filesystem::exists(LogFile()));
}

TEST_F(AppLogTest, WithoutListenerMessageStillReachesTheFile)
{
  AppLog().Log(2, "no listener");
  EXPECT_EQ(ReadTestFile(LogFile()), "no listener\r\n");
}

TEST_F(AppLogTest, ListenerIsCalledBeforeTheFileIsWritten)
{
  bool fileExistedDuringCall = true;
  std::string received;
  int level = 0;
  AppLog().OnLog = [&](TzevLog& sender, std::uint8_t lvl, const std::string& msg) {
    EXPECT_EQ(&sender, &AppLog());
    fileExistedDuringCall = std::filesystem::exists(LogFile());
    received = msg;
    level = lvl;
  };
  AppLog().Log(1, "first");
  EXPECT_FALSE(fileExistedDuringCall);
  EXPECT_EQ(received, "first");
  EXPECT_EQ(level, 1);
  EXPECT_EQ(ReadTestFile(LogFile()), "first\r\n");
}

TEST_F(AppLogTest, SetLevelsFiresOnlyOnRealChange)
{
  int changes = 0;
  AppLog().OnLevelsChange = [&](TzevLog&) { ++changes; };
  AppLog().SetLevels(TzevLog::MakeLevels({1, 2}));
  EXPECT_EQ(changes, 0);
  AppLog().SetLevels(TzevLog::MakeLevels({1, 2, 5}));
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(AppLog().Levels.test(5));
}

TEST_F(AppLogTest, LevelsZeroAndAboveFiveAreOrdinary)
{
  AppLog().SetLevels(TzevLog::MakeLevels({0, 6, 255}));
  AppLog().Log(0, "zero");
  AppLog().Log(6, "six");
  AppLog().Log(255, "top");
  AppLog().Log(1, "one is off now");
  EXPECT_EQ(ReadTestFile(LogFile()), "zero\r\nsix\r\ntop\r\n");
}

TEST_F(AppLogTest, FileIsAppendedAcrossRunsAndKeepsMessagesUnchanged)
{
  AppLog().Log(1, "run one");
  FreeAppLog();  // a later run of the program
  AppLog().Log(2, "");
  const std::string traffic("line\r\nnext\x00\xff", 12);
  AppLog().Log(2, traffic);
  EXPECT_EQ(ReadTestFile(LogFile()), "run one\r\n\r\n" + traffic + "\r\n");
}

TEST_F(AppLogTest, CheckAndLogException)
{
  AppLog().Check(true, "not logged");
  AppLog().Check(false, "check failed");
  AppLog().LogException(std::runtime_error("Boom."), "while saving");
  EXPECT_EQ(ReadTestFile(LogFile()), "check failed\r\nBoom. while saving\r\n");
}

TEST_F(AppLogTest, UnwritableFileRaisesAfterTheListenerHadTheMessage)
{
  AppLog().FileName = Folder + "missing/xmlplivek.log";
  std::string received;
  AppLog().OnLog = [&](TzevLog&, std::uint8_t, const std::string& msg) { received = msg; };
  EXPECT_THROW(AppLog().Log(1, "lost"), EInOutError);
  EXPECT_EQ(received, "lost");

  // Whoever listens for file errors is told once until a write succeeds
  // again; the caller that logged goes on.
  std::vector<std::string> told;
  AppLog().OnFileError = [&](TzevAppLog&, const std::string& reason) { told.push_back(reason); };
  EXPECT_NO_THROW(AppLog().Log(1, "first"));
  EXPECT_NO_THROW(AppLog().Log(1, "second"));
  EXPECT_EQ(received, "second");
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].rfind("Cannot open log file \"" + AppLog().FileName + "\". ", 0), 0u) << told[0];
  std::filesystem::create_directory(Folder + "missing");
  AppLog().Log(1, "kept");
  EXPECT_EQ(ReadTestFile(AppLog().FileName), "kept\r\n");
  std::filesystem::remove_all(Folder + "missing");
  AppLog().Log(1, "lost again");
  EXPECT_EQ(told.size(), 2u);
}

TEST(BaseLog, PlainLogHasNoFileAndNeedsALevelAndAListener)
{
  TzevLog log;
  std::vector<std::string> got;
  log.Log(1, "no listener: nothing happens");
  log.OnLog = [&](TzevLog&, std::uint8_t, const std::string& msg) { got.push_back(msg); };
  log.Log(3, "filtered");
  log.Log(2, "passes");
  EXPECT_EQ(got, std::vector<std::string>{"passes"});
}

TEST_F(AppLogTest, FailedWriteNamesItsOwnReason)
{
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  AppLog().FileName = "/dev/full";
  errno = EACCES;  // an older, unrelated error must not be reported
  try {
    AppLog().Log(1, "does not fit");
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_NE(std::string(e.what()).find(std::strerror(ENOSPC)), std::string::npos) << e.what();
  }
}

// Work on another thread logs while the user interface's thread does: every
// message reaches the listener and the file whole, one after the other.
TEST_F(AppLogTest, MessagesOfTwoThreadsPassOneAtATime)
{
  constexpr int kCount = 2000;
  std::vector<std::string> heard;
  AppLog().OnLog = [&](TzevLog&, std::uint8_t, const std::string& msg) { heard.push_back(msg); };
  auto logMany = [](const std::string& text) {
    for (int i = 0; i < kCount; ++i) AppLog().Log(2, text);
  };
  std::thread worker(logMany, "from the worker");
  logMany("from the window");
  worker.join();
  EXPECT_EQ(heard.size(), 2u * kCount);
  const std::string file = ReadTestFile(LogFile());
  std::size_t lines = 0;
  for (std::size_t start = 0; start < file.size(); ++lines) {
    std::size_t end = file.find("\r\n", start);
    ASSERT_NE(end, std::string::npos);
    const std::string line = file.substr(start, end - start);
    EXPECT_TRUE(line == "from the worker" || line == "from the window") << line;
    start = end + 2;
  }
  EXPECT_EQ(lines, 2u * kCount);
}
