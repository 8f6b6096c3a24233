// Start and stop of the model with the program folder in a temporary folder:
// which configuration file is read, the built-in fall-backs, and that both
// files are written at stop even when one of them fails.

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "model/BuiltInConfig.h"
#include "model/ModelModule.h"
#include "model/TFileTypes.h"
#include "resource/EResourceError.h"
#include "resource/ProgramFile.h"
#include "resource/zevlog.h"
#include "TestSupport.h"

namespace {

class ModelStartTest : public ::testing::Test {
protected:
  std::string Folder;
  std::vector<std::string> Level3;
  TzevLog::TLevels SavedLevels;
  std::string SavedLogFile;

  void SetUp() override
  {
    Folder = MakeTempFolder("model-start");
    SetProgramFileName(Folder + "xmlplivek");
    SavedLevels = AppLog().Levels;
    SavedLogFile = AppLog().FileName;
    AppLog().FileName = Folder + "xmlplivek.log";
    AppLog().SetLevels(TzevLog::MakeLevels({1, 2, 3}));
    AppLog().OnLog = [this](TzevLog&, std::uint8_t level, const std::string& msg) {
      if (level == 3) Level3.push_back(msg);
    };
  }

  void TearDown() override
  {
    try {
      StopModel();
    } catch (const std::exception&) {
    }
    AppLog().OnLog = nullptr;
    AppLog().SetLevels(SavedLevels);
    AppLog().FileName = SavedLogFile;
    SetProgramFileName("");
  }

  std::string ConfigPath() const { return Folder + "xmlplivek.config"; }
  std::string DefaultPath() const { return Folder + "default.config"; }
  std::string ProjectPath() const { return Folder + "default.pvp"; }

  static TConfigInfo BuiltIn()
  {
    TConfigInfo config;
    SetBuiltInConfig(config);
    return config;
  }

  static std::string ConfigText(const std::string& tabWidth, const std::string& command)
  {
    TConfigInfo config = BuiltIn();
    config.TabWidth = 0;
    config.ClearShortcuts();
    config.AddShortcut().Command = command;
    std::string text = config.GetXML();
    auto pos = text.find("tabwidth=\"0\"");
    text.replace(pos, 12, "tabwidth=\"" + tabWidth + "\"");
    return text;
  }
};

TEST_F(ModelStartTest, WithoutConfigurationFilesTheBuiltInConfigurationIsUsed)
{
  StartModel();
  EXPECT_TRUE(ConfigInfo() == BuiltIn());
  ASSERT_EQ(Level3.size(), 1u);
  EXPECT_NE(Level3[0].find("default.config"), std::string::npos);
  EXPECT_EQ(Project().MRU.Count(), 0);
  EXPECT_EQ(Project().ProjectURL.GetNativeName(), ProjectPath());
  EXPECT_EQ(FileTypes().Count(), 0);
  StopModel();
  EXPECT_EQ(ReadTestFile(ConfigPath()), BuiltIn().GetXML());
  EXPECT_FALSE(ReadTestFile(ProjectPath()).empty());
}

TEST_F(ModelStartTest, DefaultConfigIsReadUntilTheFirstExit)
{
  WriteTestFile(DefaultPath(), ConfigText("3", "ecUp"));
  StartModel();
  EXPECT_EQ(ConfigInfo().TabWidth, 3);
  EXPECT_TRUE(Level3.empty());
  ConfigInfo().TabWidth = 5;
  StopModel();
  EXPECT_EQ(ReadTestFile(DefaultPath()), ConfigText("3", "ecUp"));
  EXPECT_NE(ReadTestFile(ConfigPath()).find("tabwidth=\"5\""), std::string::npos);

  WriteTestFile(DefaultPath(), ConfigText("7", "ecDown"));
  StartModel();
  EXPECT_EQ(ConfigInfo().TabWidth, 5);
  ASSERT_EQ(ConfigInfo().ShortcutCount(), 1);
  EXPECT_EQ(ConfigInfo().GetShortcut(0)->Command, "ecUp");
}

TEST_F(ModelStartTest, MalformedValueIsDefaultedAndReported)
{
  std::string text = ConfigText("6", "ecUp");
  auto pos = text.find("rightedgecolor=\"clSilver\"");
  ASSERT_NE(pos, std::string::npos);
  text.replace(pos, 25, "rightedgecolor=\"silverish\"");
  WriteTestFile(ConfigPath(), text);
  StartModel();
  EXPECT_EQ(ConfigInfo().RightEdgeColor, BuiltIn().RightEdgeColor);
  EXPECT_EQ(ConfigInfo().TabWidth, 6);
  EXPECT_EQ(ConfigInfo().SelectedBackground, clHighlight);
  EXPECT_EQ(ConfigInfo().ShortcutCount(), 1);
  ASSERT_EQ(Level3.size(), 1u);
  EXPECT_NE(Level3[0].find("rightedgecolor"), std::string::npos);
  EXPECT_NE(Level3[0].find("'silverish' is not a valid integer value"), std::string::npos);
}

// An empty or garbled configuration file holds no key bindings: the built-in
// ones are used (and saved at exit), not an editor without arrows or Enter.
TEST_F(ModelStartTest, AConfigurationWithoutKeyBindingsGetsTheBuiltInOnes)
{
  for (const std::string& text : {std::string(), std::string("\x01\xff<<config gutter=\"\0\"")}) {
    WriteTestFile(ConfigPath(), text);
    Level3.clear();
    StartModel();
    EXPECT_EQ(ConfigInfo().ShortcutCount(), BuiltIn().ShortcutCount());
    EXPECT_TRUE(ConfigInfo() == BuiltIn());
    ASSERT_EQ(Level3.size(), 1u);
    EXPECT_NE(Level3[0].find("no key bindings"), std::string::npos) << Level3[0];
    StopModel();
    EXPECT_EQ(ReadTestFile(ConfigPath()), BuiltIn().GetXML());
  }
}

TEST_F(ModelStartTest, UnreadableConfigurationGivesTheBuiltInOne)
{
  ASSERT_EQ(::mkdir(ConfigPath().c_str(), 0755), 0);
  WriteTestFile(DefaultPath(), ConfigText("3", "ecUp"));
  StartModel();
  EXPECT_TRUE(ConfigInfo() == BuiltIn());
  ASSERT_EQ(Level3.size(), 1u);
  EXPECT_NE(Level3[0].find("xmlplivek.config"), std::string::npos);
}

TEST_F(ModelStartTest, ProjectPathThatIsAFolderGivesAnEmptyProject)
{
  ASSERT_EQ(::mkdir(ProjectPath().c_str(), 0700), 0);
  ASSERT_EQ(::mkdir((ProjectPath() + "/inner").c_str(), 0700), 0);
  StartModel();
  EXPECT_EQ(Project().MRU.Count(), 0);
  EXPECT_EQ(Project().ProjectURL.GetNativeName(), ProjectPath());
}

TEST_F(ModelStartTest, MalformedProjectGivesWhatItsTextHolds)
{
  std::string garbage = "\x01<url <mru name=\"mru\"><url name=\"m\" url=\"file:/x.xml\" \xff<<\"";
  WriteTestFile(ProjectPath(), garbage + std::string(1, '\0') + "<url name=\"mru1\" url=\"file:/y.xml\" />");
  StartModel();
  EXPECT_LE(Project().MRU.Count(), 1);
  EXPECT_EQ(Project().ProjectURL.GetNativeName(), ProjectPath());
}

TEST_F(ModelStartTest, ProjectIsReadAndWrittenOwnerOnly)
{
  WriteTestFile(ProjectPath(), "<project>\r\n  <mru name=\"mru\">\r\n  <url name=\"mru0\" url=\"file:/d/a.xml\" />\r\n"
                               "</mru>\r\n\r\n</project>\r\n");
  ::chmod(ProjectPath().c_str(), 0644);
  StartModel();
  ASSERT_EQ(Project().MRU.Count(), 1);
  StopModel();
  struct stat info {};
  ASSERT_EQ(::stat(ProjectPath().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  EXPECT_NE(ReadTestFile(ProjectPath()).find("file:/d/a.xml"), std::string::npos);
}

// A configuration or project file that exists but cannot be read (written
// once by another user, say) starts the model with defaults; the exit must
// not replace what the file holds with them, and says so.
TEST_F(ModelStartTest, FilesThatCouldNotBeReadAreNotOverwritten)
{
  const std::string config = ConfigText("3", "ecUp");
  const std::string project = "<project>\r\n  <mru name=\"mru\">\r\n  <url name=\"mru0\" url=\"file:/d/a.xml\" />\r\n"
                              "</mru>\r\n\r\n</project>\r\n";
  WriteTestFile(ConfigPath(), config);
  WriteTestFile(ProjectPath(), project);
  ::chmod(ConfigPath().c_str(), 0);
  ::chmod(ProjectPath().c_str(), 0);
  ::chmod(Folder.c_str(), 0777);
  constexpr int kAsExpected = 0, kReadAnyway = 1, kNoStopError = 2, kCannotDropRights = 3, kOther = 4;
  pid_t pid = ::fork();
  if (pid == 0) {
    int code = kOther;
    try {
      // The superuser reads everything: run as an ordinary user.
      if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(kCannotDropRights);
      StartModel();
      code = ConfigInfo() == BuiltIn() && Project().MRU.Count() == 0 ? kNoStopError : kReadAnyway;
      ConfigInfo().TabWidth = 13;
      Project().UseURL(TURL("file:/d/b.xml"), false);
      try {
        StopModel();
      } catch (const EModelStopError& e) {
        std::string message = e.what();
        bool both = message.find(ConfigPath()) != std::string::npos && message.find(ProjectPath()) != std::string::npos;
        if (code == kNoStopError && both) code = kAsExpected;
      }
    } catch (...) {
      code = kOther;
    }
    ::_exit(code);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ::chmod(ConfigPath().c_str(), 0600);
  ::chmod(ProjectPath().c_str(), 0600);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kCannotDropRights) GTEST_SKIP() << "cannot drop superuser rights";
  EXPECT_EQ(WEXITSTATUS(status), kAsExpected);
  EXPECT_EQ(ReadTestFile(ConfigPath()), config);
  EXPECT_EQ(ReadTestFile(ProjectPath()), project);
}

TEST_F(ModelStartTest, FailedConfigurationSaveStillWritesTheProject)
{
  StartModel();
  ASSERT_EQ(::mkdir(ConfigPath().c_str(), 0755), 0);
  Project().UseURL(TURL("file:/d/new.xml"), false);
  Level3.clear();
  try {
    StopModel();
    ADD_FAILURE() << "no failure reported";
  } catch (const EModelStopError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + ConfigPath() + "\". ", 0), 0u) << e.what();
  }
  EXPECT_NE(ReadTestFile(ProjectPath()).find("file:/d/new.xml"), std::string::npos);
  EXPECT_EQ(Level3.size(), 1u);
}

TEST_F(ModelStartTest, FailedProjectSaveStillWritesTheConfiguration)
{
  StartModel();
  ASSERT_EQ(::mkdir(ProjectPath().c_str(), 0755), 0);
  ConfigInfo().TabWidth = 13;
  EXPECT_THROW(StopModel(), EModelStopError);
  EXPECT_NE(ReadTestFile(ConfigPath()).find("tabwidth=\"13\""), std::string::npos);
}

TEST_F(ModelStartTest, BothFailuresAreReported)
{
  StartModel();
  ASSERT_EQ(::mkdir(ProjectPath().c_str(), 0755), 0);
  ASSERT_EQ(::mkdir(ConfigPath().c_str(), 0755), 0);
  try {
    StopModel();
    ADD_FAILURE() << "no failure reported";
  } catch (const EModelStopError& e) {
    std::string message = e.what();
    EXPECT_NE(message.find(ProjectPath()), std::string::npos);
    EXPECT_NE(message.find("\n"), std::string::npos);
    EXPECT_NE(message.find(ConfigPath()), std::string::npos);
  }
}

TEST_F(ModelStartTest, FailedConfigurationWriteKeepsTheOldFile)
{
  WriteTestFile(ConfigPath(), ConfigText("3", "ecUp"));
  StartModel();
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old {};
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 32;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_THROW(SaveConfig(), EFCreateError);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(ReadTestFile(ConfigPath()), ConfigText("3", "ecUp"));
}

}  // namespace
