// The project: locations, recent lists, the project file text, loading and
// saving with owner-only permissions.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>

#include "model/TProject.h"
#include "resource/EResourceError.h"
#include "resource/ProgramFile.h"
#include "TestSupport.h"

namespace {

std::string Fixture(const std::string& name)
{
  return ReadTestFile(std::string(TEST_DATA_DIR) + "/config/" + name);
}

mode_t ModeOf(const std::string& path)
{
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return 0;
  return info.st_mode & 07777;
}

TURL FtpURL(const std::string& text, const std::string& user, const std::string& password, bool passive)
{
  TURL url(text);
  url.SetUser(user);
  url.SetPassword(password);
  url.SetPassive(passive);
  return url;
}

class ProjectTest : public ::testing::Test {
protected:
  void SetUp() override { SetProgramFileName("/opt/prog/xmlplivek"); }
  void TearDown() override { SetProgramFileName(""); }
};

TEST_F(ProjectTest, NewProjectNamesDefaultPvpInTheProgramFolder)
{
  TProject project;
  EXPECT_EQ(project.ProjectURL.GetURL(), "file:/opt/prog/default.pvp");
  EXPECT_EQ(project.ProjectURL.GetNativeName(), "/opt/prog/default.pvp");
  EXPECT_EQ(project.OpenURL.GetURL(), "file:/opt/prog/default.pvp");
  EXPECT_EQ(project.SaveURL.GetURL(), "file:/opt/prog/default.pvp");
  EXPECT_EQ(project.MRU.Count(), 0);
  EXPECT_EQ(project.MRU.MaxCount, 32);
  EXPECT_EQ(project.FtpHistory.MaxCount, 16);
  EXPECT_EQ(project.HttpHistory.MaxCount, 16);
  EXPECT_EQ(project.CurrentList, nullptr);
}

TEST_F(ProjectTest, GoldenText)
{
  TProject project;
  project.UseURL(TURL("file:/docs/a.xml"), false);
  project.UseURL(FtpURL("ftp:server/pub/b.xml", "joe", "p\"w&<", true), false);
  EXPECT_EQ(project.OpenURL.GetURL(), "file:/docs/a.xml");
  EXPECT_EQ(project.GetXML(), Fixture("golden.pvp"));
}

TEST_F(ProjectTest, GoldenReadsBackExactly)
{
  TProject project;
  project.Parse(Fixture("golden.pvp"));
  ASSERT_EQ(project.MRU.Count(), 2);
  EXPECT_EQ(project.MRU.GetItem(0).Password, "p\"w&<");
  EXPECT_TRUE(project.MRU.GetItem(0).Passive);
  EXPECT_EQ(project.FtpHistory.GetItem(0).GetURL(), "ftp:server");
  EXPECT_EQ(project.GetXML(), Fixture("golden.pvp"));
}

TEST_F(ProjectTest, SpecialCharactersSurviveEverywhere)
{
  TProject project;
  project.UseURL(FtpURL("ftp:host/a&b/<c\">.xml", "us\"er&", "<&\"'>", false), true);
  project.UseURL(TURL("http://h/p?a=1&b=\"2\"<"), false);
  TProject read;
  read.Parse(project.GetXML());
  ASSERT_EQ(read.MRU.Count(), 2);
  EXPECT_EQ(read.MRU.GetItem(1).GetURL(), "ftp:host/a&b/<c\">.xml");
  EXPECT_EQ(read.MRU.GetItem(1).User, "us\"er&");
  EXPECT_EQ(read.MRU.GetItem(1).Password, "<&\"'>");
  EXPECT_EQ(read.HttpHistory.GetItem(0).GetURL(), "http://h/p?a=1&b=\"2\"<");
  EXPECT_EQ(read.GetXML(), project.GetXML());
}

TEST_F(ProjectTest, NonFtpURLsCarryNoLogInData)
{
  TProject project;
  TURL url("http://server/x.html");
  url.SetUser("u");
  url.SetPassword("secret");
  project.AddToHistory(url);
  EXPECT_EQ(project.GetXML().find("secret"), std::string::npos);
  EXPECT_NE(project.GetXML().find("<url name=\"mru0\" url=\"http://server/x.html\" />"), std::string::npos);
}

TEST_F(ProjectTest, ListOrderIsKeptAndSavedAgainUnchanged)
{
  std::string text =
      "<project>\r\n  <mru name=\"mru\">\r\n"
      "  <url name=\"mru0\" url=\"file:/a.xml\" />\r\n"
      "  <url name=\"mru1\" url=\"file:/b.xml\" />\r\n"
      "  <url name=\"mru2\" url=\"file:/c.xml\" />\r\n</mru>\r\n\r\n</project>\r\n";
  TProject project;
  project.Parse(text);
  ASSERT_EQ(project.MRU.Count(), 3);
  EXPECT_EQ(project.MRU.GetItem(0).GetURL(), "file:/a.xml");
  EXPECT_EQ(project.MRU.GetItem(2).GetURL(), "file:/c.xml");
  std::string written = project.GetXML();
  EXPECT_NE(written.find("  <mru name=\"mru\">\r\n  <url name=\"mru0\" url=\"file:/a.xml\" />\r\n"
                         "  <url name=\"mru1\" url=\"file:/b.xml\" />\r\n  <url name=\"mru2\" url=\"file:/c.xml\" />\r\n"
                         "</mru>\r\n\r\n"),
            std::string::npos);
}

TEST_F(ProjectTest, DuplicatesKeepTheirEarliestPositionAndCapacityKeepsTheFirst)
{
  std::string text = "<mru name=\"httphistory\">";
  for (int i = 0; i < 20; ++i)
    text += "<url name=\"httphistory" + std::to_string(i) + "\" url=\"http://h/" + std::to_string(i % 18) + "\" />";
  text += "</mru>";
  TProject project;
  project.Parse(text);
  ASSERT_EQ(project.HttpHistory.Count(), 16);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(project.HttpHistory.GetItem(i).GetURL(), "http://h/" + std::to_string(i));
}

TEST_F(ProjectTest, FtpServerWithNewPasswordMovesToTheFront)
{
  TProject project;
  project.UseURL(FtpURL("ftp:one/a.xml", "joe", "old", false), false);
  project.UseURL(FtpURL("ftp:two/b.xml", "ann", "x", false), false);
  project.UseURL(FtpURL("ftp:one/c.xml", "joe", "new", true), false);
  ASSERT_EQ(project.FtpHistory.Count(), 2);
  EXPECT_EQ(project.FtpHistory.GetItem(0).GetURL(), "ftp:one");
  EXPECT_EQ(project.FtpHistory.GetItem(0).Password, "new");
  EXPECT_TRUE(project.FtpHistory.GetItem(0).Passive);
  project.UseURL(FtpURL("ftp:one/c.xml", "bob", "b", false), false);
  EXPECT_EQ(project.FtpHistory.Count(), 3);
  EXPECT_EQ(project.OpenURL.GetURL(), "file:/opt/prog/default.pvp");
}

TEST_F(ProjectTest, HttpAndLocalDocuments)
{
  TProject project;
  project.UseURL(TURL("http://server/p.html"), false);
  EXPECT_EQ(project.MRU.Count(), 1);
  EXPECT_EQ(project.HttpHistory.Count(), 1);
  EXPECT_EQ(project.OpenURL.GetURL(), "file:/opt/prog/default.pvp");
  project.UseURL(TURL("file:/docs/x.xml"), false);
  EXPECT_EQ(project.OpenURL.GetURL(), "file:/docs/x.xml");
  EXPECT_EQ(project.SaveURL.GetURL(), "file:/opt/prog/default.pvp");
  project.UseURL(TURL("file:/docs/y.xml"), true);
  EXPECT_EQ(project.SaveURL.GetURL(), "file:/docs/y.xml");
  EXPECT_EQ(project.HttpHistory.Count(), 1);
  EXPECT_EQ(project.FtpHistory.Count(), 0);
  // A web page read over https is a web page too.
  project.UseURL(TURL("https://server/q.html"), false);
  ASSERT_EQ(project.HttpHistory.Count(), 2);
  EXPECT_EQ(project.HttpHistory.GetItem(0).GetURL(), "https://server/q.html");
}

// A recent document opened again straight from the list: the entry passed in
// is the one the list moves, so it must be read before it is removed.
TEST_F(ProjectTest, ReusingARecentEntryMovesItToTheFront)
{
  TProject project;
  project.UseURL(TURL("file:/docs/x.xml"), false);
  project.UseURL(TURL("http://server/p.html"), false);
  project.UseURL(TURL("file:/docs/y.xml"), false);
  project.UseURL(project.MRU.GetItem(2), true);
  ASSERT_EQ(project.MRU.Count(), 3);
  EXPECT_EQ(project.MRU.GetItem(0).GetURL(), "file:/docs/x.xml");
  EXPECT_EQ(project.SaveURL.GetURL(), "file:/docs/x.xml");
  project.UseURL(project.MRU.GetItem(2), false);
  EXPECT_EQ(project.MRU.GetItem(0).GetURL(), "http://server/p.html");
  ASSERT_EQ(project.HttpHistory.Count(), 1);
  EXPECT_EQ(project.HttpHistory.GetItem(0).GetURL(), "http://server/p.html");
  EXPECT_EQ(project.OpenURL.GetURL(), "file:/docs/y.xml");
}

TEST_F(ProjectTest, ReloadedFtpServerIsReplacedWhenUsedAgain)
{
  TProject first;
  first.UseURL(FtpURL("ftp:srv/pub/a.xml", "joe", "old", false), false);
  TProject project;
  project.Parse(first.GetXML());
  ASSERT_EQ(project.FtpHistory.Count(), 1);
  EXPECT_EQ(project.FtpHistory.GetItem(0).GetURL(), "ftp:srv");
  project.UseURL(FtpURL("ftp:srv/pub/b.xml", "joe", "new", false), false);
  ASSERT_EQ(project.FtpHistory.Count(), 1);
  EXPECT_EQ(project.FtpHistory.GetItem(0).Password, "new");
}

TEST_F(ProjectTest, LocationsAndPassiveFlag)
{
  TProject project;
  project.Parse("<url name=\"open\" url=\"ftp:srv/d/\" user=\"u\" password=\"p\" ftppassive=\"yes\" />"
                "<url name=\"save\" url=\"ftp:srv/e/\" USER=\"v\" ftppassive=\"true\" />");
  EXPECT_EQ(project.OpenURL.GetURL(), "ftp:srv/d/");
  EXPECT_EQ(project.OpenURL.User, "u");
  EXPECT_FALSE(project.OpenURL.Passive);
  EXPECT_EQ(project.SaveURL.User, "v");
  EXPECT_EQ(project.SaveURL.Password, "");
  EXPECT_TRUE(project.SaveURL.Passive);
}

TEST_F(ProjectTest, EntriesWithoutAListAndBetweenBlocks)
{
  TProject project;
  project.Parse("<url name=\"mru0\" url=\"file:/lost.xml\" />"
                "<mru name=\"ftphistory\"></mru>"
                "<url name=\"x\" url=\"ftp:late\" user=\"u\" />"
                "<mru name=\"other\"><url name=\"y\" url=\"ftp:later\" /></mru>");
  EXPECT_EQ(project.MRU.Count(), 0);
  ASSERT_EQ(project.FtpHistory.Count(), 2);
  EXPECT_EQ(project.FtpHistory.GetItem(0).GetURL(), "ftp:late");
  EXPECT_EQ(project.FtpHistory.GetItem(0).User, "u");
  EXPECT_EQ(project.FtpHistory.GetItem(1).GetURL(), "ftp:later");
}

TEST_F(ProjectTest, MissingURLAttributeGivesAnEmptyFileURL)
{
  TProject project;
  project.Parse("<url name=\"open\" />");
  EXPECT_EQ(project.OpenURL.GetURL(), "file:");
}

class ProjectFileTest : public ::testing::Test {
protected:
  std::string Folder;
  std::string Path;
  void SetUp() override
  {
    Folder = MakeTempFolder("project-test");
    Path = Folder + "default.pvp";
    SetProgramFileName(Folder + "xmlplivek");
  }
  void TearDown() override { SetProgramFileName(""); }
};

TEST_F(ProjectFileTest, LoadWithoutFileThenSaveCreatesAnOwnerOnlyFile)
{
  TProject project;
  project.Load();
  EXPECT_EQ(project.ProjectURL.GetNativeName(), Path);
  EXPECT_EQ(project.MRU.Count(), 0);
  project.UseURL(FtpURL("ftp:srv/a.xml", "u", "secret", false), false);
  project.Save();
  EXPECT_EQ(ModeOf(Path), 0600u);
  EXPECT_EQ(ReadTestFile(Path), project.GetXML());
}

TEST_F(ProjectFileTest, LoadOverridesTheProjectElementAndTightensTheFile)
{
  WriteTestFile(Path, "<project>\r\n  <url name=\"project\" url=\"file:/elsewhere/x.pvp\" />\r\n"
                      "  <url name=\"open\" url=\"file:/docs/a.xml\" />\r\n</project>\r\n");
  ::chmod(Path.c_str(), 0644);
  TProject project;
  project.Load();
  EXPECT_EQ(ModeOf(Path), 0600u);
  EXPECT_EQ(project.ProjectURL.GetNativeName(), Path);
  EXPECT_EQ(project.OpenURL.GetURL(), "file:/docs/a.xml");
}

TEST_F(ProjectFileTest, SaveTightensAnExistingFile)
{
  WriteTestFile(Path, "old");
  ::chmod(Path.c_str(), 0664);
  TProject project;
  project.Save();
  EXPECT_EQ(ModeOf(Path), 0600u);
  EXPECT_EQ(ReadTestFile(Path), project.GetXML());
}

// Only the file written is made owner-only: a project file that is a link to
// a folder leaves the folder's mode alone; a link to a file writes and
// tightens that file, and the link stays.
TEST_F(ProjectFileTest, TheModeChangeAppliesToTheWrittenFileOnly)
{
  std::filesystem::create_directory(Folder + "elsewhere");
  ::chmod((Folder + "elsewhere").c_str(), 0755);
  std::filesystem::create_symlink(Folder + "elsewhere", Path);
  TProject project;
  project.Load();
  EXPECT_THROW(project.Save(), EFCreateError);
  EXPECT_EQ(ModeOf(Folder + "elsewhere"), 0755u);
  EXPECT_FALSE(RestrictToOwner(Path));
  EXPECT_EQ(ModeOf(Folder + "elsewhere"), 0755u);

  std::filesystem::remove(Path);
  WriteTestFile(Folder + "real.pvp", "<project>\r\n</project>\r\n");
  ::chmod((Folder + "real.pvp").c_str(), 0644);
  std::filesystem::create_symlink("real.pvp", Path);
  TProject linked;
  linked.Load();
  EXPECT_EQ(ModeOf(Folder + "real.pvp"), 0600u);
  ::chmod((Folder + "real.pvp").c_str(), 0644);
  linked.Save();
  EXPECT_TRUE(std::filesystem::is_symlink(Path));
  EXPECT_EQ(ModeOf(Folder + "real.pvp"), 0600u);
  EXPECT_EQ(ReadTestFile(Folder + "real.pvp"), linked.GetXML());
}

TEST_F(ProjectFileTest, FailedWriteKeepsTheOldFile)
{
  WriteTestFile(Path, "previous");
  TProject project;
  for (int i = 0; i < 10; ++i) project.AddToHistory(TURL("file:/docs/" + std::to_string(i) + ".xml"));
  // Files may not grow beyond 16 bytes: the write of the new text fails.
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old {};
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 16;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  bool failed = false;
  try {
    project.Save();
  } catch (const EFCreateError&) {
    failed = true;
  }
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_TRUE(failed);
  EXPECT_EQ(ReadTestFile(Path), "previous");
}

}  // namespace
