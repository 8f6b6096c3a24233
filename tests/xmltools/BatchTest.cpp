#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <grp.h>
#include <sys/stat.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <string>
#include <vector>

#include "BatchTestSupport.h"
#include "resource/TWorkProgress.h"
#include "xmltools/TBatch.h"

namespace fs = std::filesystem;

namespace {

const std::string kWellFormed = "<?xml version=\"1.0\"?>\r\n<doc><item>1</item></doc>\r\n";
const std::string kMalformed = "<?xml version=\"1.0\"?>\r\n<doc>\r\n<item>1</doc>\r\n";

// A temporary folder tree; the current folder is put back after each test.
class BatchRun : public ::testing::Test {
protected:
  void SetUp() override {
    Root = MakeTempFolder("xmlplivek-batch");
    StartFolder = fs::current_path();
  }
  void TearDown() override {
    fs::current_path(StartFolder);
    std::error_code ignored;
    fs::remove_all(Root, ignored);
  }

  // Source folder Root + folder with the masks, destination Root + destFolder
  // with the destination mask.
  void Aim(const std::string& folder, const std::string& masks, const std::string& destFolder = "out/",
           const std::string& destMask = "*.*") {
    Batch.Source.SetURL("file:" + Root + folder + masks);
    Batch.Dest.SetURL("file:" + Root + destFolder + destMask);
  }

  std::string Url(const std::string& relative) const { return "file:" + Root + relative; }

  std::string Root;
  fs::path StartFolder;
  BatchLog Log;
  TBatch Batch;
};

}  // namespace

TEST(BatchEngine, CreatesToolsAndLocalURLs) {
  TBatch batch;
  EXPECT_EQ(batch.Source.Protocol, TURLProtocol::file);
  EXPECT_EQ(batch.Dest.Protocol, TURLProtocol::file);
  EXPECT_EQ(batch.Command, bcHTMLToXML);
  EXPECT_EQ(static_cast<int>(bcDelete), 4);
  EXPECT_FALSE(batch.Recurse);
  EXPECT_EQ(batch.Convertor.Singletons, THTML2XMLConvertor::DefaultSingletons());
}

TEST_F(BatchRun, ConvertsMatchingFilesWithTheRunOptions) {
  PutTestFile(Root + "src/a.html", "<P>One<BR></P>");
  PutTestFile(Root + "src/b.HTM", "<Div Class=x CHECKED>two");
  PutTestFile(Root + "src/c.txt", "<p>not matched");
  fs::create_directories(Root + "out");
  Aim("src/", "*.html;*.htm", "out/", "*.xml");
  Batch.Command = bcHTMLToXML;
  Batch.TagCase = 1;
  Batch.AttrCase = 2;
  Batch.FixAttributes = true;
  Batch.FixMismatch = true;
  Batch.Execute();

  EXPECT_EQ(ReadTestFile(Root + "out/a.xml"), "<P/>One<BR/><!--- /P -->");
  EXPECT_EQ(ReadTestFile(Root + "out/b.xml"), "<DIV Class=\"x\" CHECKED=\"CHECKED\">two</DIV>");
  EXPECT_FALSE(FileExists(Root + "out/c.xml"));
  const std::vector<std::string> expected{
      "HTML file converted to XML: " + Url("src/a.html") + " to " + Url("out/a.xml"),
      "HTML file converted to XML: " + Url("src/b.HTM") + " to " + Url("out/b.xml")};
  EXPECT_EQ(Log.At(5), expected);
  EXPECT_EQ(fs::current_path(), StartFolder);
}

TEST_F(BatchRun, FailedCheckIsLoggedAtLevelTwoAndTheRunGoesOn) {
  PutTestFile(Root + "src/a.xml", kWellFormed);
  PutTestFile(Root + "src/b.xml", kMalformed);
  PutTestFile(Root + "src/c.xml", kWellFormed);
  Aim("src/", "*.xml", "missing-folder/");
  Batch.Command = bcCheck;
  Batch.Execute();

  EXPECT_EQ(Log.At(5), (std::vector<std::string>{"File checked: " + Url("src/a.xml"),
                                                  "File checked: " + Url("src/c.xml")}));
  const std::vector<std::string> failures = Log.At(2);
  ASSERT_EQ(failures.size(), 2u);
  EXPECT_EQ(failures[0], "File check failed:" + Url("src/b.xml"));
  EXPECT_NE(failures[1].find("\r\nLine: 3\r\n"), std::string::npos) << failures[1];
  EXPECT_EQ(failures[1].substr(failures[1].size() - 3), " \r\n");
  // The order of the lines: a, then both messages of b, then c.
  ASSERT_EQ(Log.Lines.size(), 4u);
  EXPECT_EQ(Log.Lines[1].second, failures[0]);
}

TEST_F(BatchRun, ValidationResolvesDefinitionsAgainstEachSourceFolder) {
  const std::string dtdTop = "<!ELEMENT doc (item)*>\n<!ELEMENT item (#PCDATA)>\n";
  const std::string dtdSub = "<!ELEMENT doc (entry)*>\n<!ELEMENT entry (#PCDATA)>\n";
  PutTestFile(Root + "src/doc.dtd", dtdTop);
  PutTestFile(Root + "src/a.xml", "<!DOCTYPE doc SYSTEM \"doc.dtd\">\n<doc><item>1</item></doc>\n");
  PutTestFile(Root + "src/sub/doc.dtd", dtdSub);
  PutTestFile(Root + "src/sub/b.xml", "<!DOCTYPE doc SYSTEM \"doc.dtd\">\n<doc><entry>1</entry></doc>\n");
  PutTestFile(Root + "src/sub/c.xml", "<!DOCTYPE doc SYSTEM \"doc.dtd\">\n<doc><item>1</item></doc>\n");
  Aim("src/", "*.xml");
  Batch.Command = bcCheck;
  Batch.Validate = true;
  Batch.Recurse = true;
  Batch.Execute();

  EXPECT_EQ(Log.At(5), (std::vector<std::string>{"File checked: " + Url("src/a.xml"),
                                                  "File checked: " + Url("src/sub/b.xml")}));
  ASSERT_EQ(Log.At(2).size(), 2u);
  EXPECT_EQ(Log.At(2)[0], "File check failed:" + Url("src/sub/c.xml"));
  EXPECT_EQ(fs::current_path(), StartFolder);

  // Without validation the invalid document passes.
  BatchLog plain;
  Batch.Validate = false;
  Batch.Execute();
  EXPECT_EQ(plain.At(5).size(), 3u);
  EXPECT_TRUE(plain.At(2).empty());
}

TEST_F(BatchRun, TransformsWithOneStylesheetAndRestoresTheCurrentFolder) {
  PutTestFile(Root + "xsl/names.xsl",
              "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
              "<xsl:output method=\"text\"/>\n"
              "<xsl:template match=\"/\">[<xsl:value-of select=\"/doc/@name\"/>]</xsl:template>\n"
              "</xsl:stylesheet>\n");
  PutTestFile(Root + "src/one.xml", "<doc name=\"first\"/>");
  PutTestFile(Root + "src/two.xml", "<doc name=\"second\"/>");
  fs::create_directories(Root + "out");
  Aim("src/", "*.xml", "out/", "*.txt");
  Batch.Command = bcTransform;
  Batch.XSLFile = Root + "xsl/names.xsl";
  Batch.Execute();

  EXPECT_EQ(ReadTestFile(Root + "out/one.txt"), "[first]");
  EXPECT_EQ(ReadTestFile(Root + "out/two.txt"), "[second]");
  EXPECT_EQ(Log.At(5), (std::vector<std::string>{
                           "XSL transform on: " + Url("src/one.xml") + " to " + Url("out/one.txt"),
                           "XSL transform on: " + Url("src/two.xml") + " to " + Url("out/two.txt")}));
  EXPECT_EQ(fs::current_path(), StartFolder);
}

TEST_F(BatchRun, MissingStylesheetEndsTheRunBeforeAnyFile) {
  PutTestFile(Root + "src/one.xml", "<doc/>");
  fs::create_directories(Root + "out");
  Aim("src/", "*.xml", "out/", "*.txt");
  Batch.Command = bcTransform;
  Batch.XSLFile = Root + "xsl/none.xsl";
  EXPECT_ANY_THROW(Batch.Execute());
  EXPECT_FALSE(FileExists(Root + "out/one.txt"));
  EXPECT_EQ(fs::current_path(), StartFolder);
}

TEST_F(BatchRun, CopyReplacesExistingFilesAndKeepsBytes) {
  const std::string bytes("line 1\r\nline 2\0end", 18);
  PutTestFile(Root + "src/a.xml", bytes);
  PutTestFile(Root + "src/b.xml", "<b/>");
  PutTestFile(Root + "out/b.xml", "old content that is longer");
  Aim("src/", "*.xml");
  Batch.Command = bcCopy;
  Batch.Execute();

  EXPECT_EQ(ReadTestFile(Root + "out/a.xml"), bytes);
  EXPECT_EQ(ReadTestFile(Root + "out/b.xml"), "<b/>");
  EXPECT_EQ(Log.At(5), (std::vector<std::string>{
                           "File copied: " + Url("src/a.xml") + " to " + Url("out/a.xml"),
                           "File copied: " + Url("src/b.xml") + " to " + Url("out/b.xml")}));
}

// Cancelled while a file is copied, the run finishes that file, logs where
// it stopped and raises ECancelled; it reports the files done meanwhile.
TEST_F(BatchRun, CancelledRunStopsAfterTheCurrentFileAndLogsWhereItStopped) {
  for (const char* name : {"a.xml", "b.xml", "c.xml"}) PutTestFile(Root + "src/" + name, name);
  fs::create_directories(Root + "out");
  Aim("src/", "*.xml");
  Batch.Command = bcCopy;
  TWorkProgress progress;
  std::string stepWhileCopying;
  AppLog().OnLog = [&](TzevLog&, std::uint8_t level, const std::string& msg) {
    Log.Lines.emplace_back(level, msg);
    if (msg.rfind("File copied: ", 0) != 0) return;
    stepWhileCopying = progress.Step();
    progress.Cancel();
  };
  TWorkProgressScope scope(progress);
  EXPECT_THROW(Batch.Execute(), ECancelled);

  EXPECT_EQ(ReadTestFile(Root + "out/a.xml"), "a.xml");
  EXPECT_FALSE(FileExists(Root + "out/b.xml"));
  EXPECT_EQ(stepWhileCopying, Url("src/a.xml"));
  EXPECT_EQ(progress.Done(), 1u);
  EXPECT_EQ(progress.Total(), 3u);
  EXPECT_EQ(progress.Unit(), TProgressUnit::files);
  EXPECT_EQ(Log.At(2), (std::vector<std::string>{"Batch cancelled after 1 of 3 files. Last file done: " +
                                                 Url("src/a.xml")}));
}

// The tools inside a file (the checker's bytes, a download's) report on a
// progress of their own: the run's progress keeps counting files.
TEST_F(BatchRun, ProgressCountsFilesWhileTheToolsInsideReportBytes) {
  for (const char* name : {"a.xml", "b.xml"}) PutTestFile(Root + "src/" + name, "<" + std::string(name, 1) + "/>");
  Aim("src/", "*.xml");
  Batch.Command = bcCheck;
  TWorkProgress progress;
  std::vector<TProgressUnit> units;
  AppLog().OnLog = [&](TzevLog&, std::uint8_t level, const std::string& msg) {
    Log.Lines.emplace_back(level, msg);
    if (msg.rfind("File checked: ", 0) == 0) units.push_back(progress.Unit());
  };
  TWorkProgressScope scope(progress);
  Batch.Execute();
  EXPECT_EQ(units, (std::vector<TProgressUnit>{TProgressUnit::files, TProgressUnit::files}));
  EXPECT_EQ(progress.Done(), 2u);
}

TEST_F(BatchRun, FailedLocalCopyRaisesNamingTheFileAndEndsTheRun) {
  PutTestFile(Root + "src/a.xml", "<a/>");
  PutTestFile(Root + "src/b.xml", "<b/>");
  PutTestFile(Root + "src/sub/c.xml", "<c/>");
  fs::create_directories(Root + "out");  // out/sub is missing
  Aim("src/", "*.xml");
  Batch.Command = bcCopy;
  Batch.Recurse = true;
  try {
    Batch.Execute();
    FAIL() << "the copy into a missing folder did not fail";
  } catch (const EBatchCopyError& e) {
    const std::string message = e.what();
    EXPECT_EQ(message.rfind("Cannot copy file \"" + Root + "src/sub/c.xml\" to \"" + Root + "out/sub/c.xml\". ", 0),
              0u)
        << message;
  }
  EXPECT_EQ(ReadTestFile(Root + "out/a.xml"), "<a/>");  // files done before stay done
  EXPECT_EQ(Log.At(5).size(), 2u);
  EXPECT_EQ(fs::current_path(), StartFolder);
}

// A copy that fails halfway (the disk full, here a file-size limit) leaves the
// destination file it would have replaced as it was.
TEST_F(BatchRun, FailedLocalCopyKeepsTheFileItWouldHaveReplaced) {
  PutTestFile(Root + "src/a.xml", std::string(100000, 'x'));
  PutTestFile(Root + "out/a.xml", "precious");
  Aim("src/", "*.xml");
  Batch.Command = bcCopy;
  pid_t child = ::fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{16, 16};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(2);
    try {
      Batch.Execute();
    } catch (const EBatchCopyError&) {
      ::_exit(0);
    } catch (...) {
    }
    ::_exit(1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadTestFile(Root + "out/a.xml"), "precious");
  EXPECT_EQ(std::distance(fs::directory_iterator(Root + "out"), fs::directory_iterator()), 1);
}

// With an access list, the group bits of a file's mode are the list's mask:
// a file of mode 600 that lets one other user read it shows 640. A new copy
// took that mode, so the user's group could read it; it is the owner's alone.
TEST_F(BatchRun, CopyOfAFileWithAnAccessListLetsNoGroupIn) {
  const mode_t oldMask = ::umask(022);
  PutTestFile(Root + "src/listed.xml", "<for-one-user/>");
  ::chmod((Root + "src/listed.xml").c_str(), 0600);
  if (!GrantReadThroughAccessList(Root + "src/listed.xml", 65534)) {
    ::umask(oldMask);
    GTEST_SKIP() << "the file system keeps no access lists";
  }
  fs::create_directories(Root + "out");
  Aim("src/", "*.xml");
  Batch.Command = bcCopy;
  Batch.Execute();
  ::umask(oldMask);
  struct stat info {};
  ASSERT_EQ(::stat((Root + "out/listed.xml").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
}

// Only regular files are copied: a named pipe that the masks select would
// wait for a writer for ever. It is not opened; the run ends naming it.
TEST_F(BatchRun, NamedPipeIsNotCopied) {
  PutTestFile(Root + "src/a.xml", "<a/>");
  fs::create_directories(Root + "out");
  TFifoTrap pipe(Root + "src/b.xml");
  Aim("src/", "*.xml");
  Batch.Command = bcCopy;
  try {
    Batch.Execute();
    FAIL() << "the copy of a named pipe did not fail";
  } catch (const EBatchCopyError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot copy file \"" + Root + "src/b.xml\" to \"" + Root +
                                         "out/b.xml\". It is a named pipe, not a file.");
  }
  EXPECT_FALSE(pipe.Opened());
  EXPECT_FALSE(fs::exists(Root + "out/b.xml"));
}

TEST_F(BatchRun, DeleteRemovesOnlyMatchingFilesAndIgnoresTheDestination) {
  PutTestFile(Root + "src/a.xml", "<a/>");
  PutTestFile(Root + "src/b.html", "<b/>");
  PutTestFile(Root + "src/sub/c.xml", "<c/>");
  Aim("src/", "*.xml", "no/such/folder/", "out");
  Batch.Command = bcDelete;
  Batch.Execute();

  EXPECT_FALSE(FileExists(Root + "src/a.xml"));
  EXPECT_TRUE(FileExists(Root + "src/b.html"));
  EXPECT_TRUE(FileExists(Root + "src/sub/c.xml"));  // no recursion asked
  EXPECT_EQ(Log.At(5), std::vector<std::string>{"File deleted: " + Url("src/a.xml")});
}

// A file that cannot be deleted (its folder does not let the user) is no
// "File deleted": the run ends naming it, and the file is still there.
TEST_F(BatchRun, DeleteThatFailsEndsTheRunNamingTheFile) {
  PutTestFile(Root + "src/a.xml", "<a/>");
  PutTestFile(Root + "src/b.xml", "<b/>");
  Aim("src/", "*.xml");
  Batch.Command = bcDelete;
  ::chmod(Root.c_str(), 0755);
  ::chmod((Root + "src").c_str(), 0555);
  ::chmod(fs::path(AppLog().FileName).parent_path().c_str(), 0777);  // the log file stays writable
  enum { kRaisedNamingTheFile, kNoError, kOtherError, kCannotDropRights };
  pid_t child = ::fork();
  if (child == 0) {
    // The superuser may delete anything: run as an ordinary user.
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
      ::_exit(kCannotDropRights);
    try {
      Batch.Execute();
    } catch (const std::exception& e) {
      const bool named = std::string(e.what()).rfind("Cannot delete file \"" + Root + "src/a.xml\". ", 0) == 0;
      ::_exit(named && Log.At(5).empty() ? kRaisedNamingTheFile : kOtherError);
    }
    ::_exit(kNoError);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ::chmod((Root + "src").c_str(), 0755);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kCannotDropRights) GTEST_SKIP() << "cannot drop superuser rights";
  EXPECT_EQ(WEXITSTATUS(status), kRaisedNamingTheFile);
  EXPECT_TRUE(FileExists(Root + "src/a.xml"));
  EXPECT_TRUE(FileExists(Root + "src/b.xml"));
}

TEST_F(BatchRun, RecursionDoesTheFolderFirstThenSubFoldersDepthFirst) {
  PutTestFile(Root + "src/z.xml", "<z/>");
  PutTestFile(Root + "src/a/one.xml", "<one/>");
  PutTestFile(Root + "src/a/deep/two.xml", "<two/>");
  PutTestFile(Root + "src/b/three.xml", "<three/>");
  PutTestFile(Root + "src/b.xml.d/ignored.txt", "x");  // folders are walked whatever the masks say
  for (const char* folder : {"out/a/deep", "out/b", "out/b.xml.d"}) fs::create_directories(Root + folder);
  Aim("src/", "*.xml", "out/", "copy_*.*");
  Batch.Command = bcCopy;
  Batch.Recurse = true;
  Batch.Execute();

  const std::vector<std::string> expected{
      "File copied: " + Url("src/z.xml") + " to " + Url("out/copy_z.xml"),
      "File copied: " + Url("src/a/one.xml") + " to " + Url("out/a/copy_one.xml"),
      "File copied: " + Url("src/a/deep/two.xml") + " to " + Url("out/a/deep/copy_two.xml"),
      "File copied: " + Url("src/b/three.xml") + " to " + Url("out/b/copy_three.xml")};
  EXPECT_EQ(Log.At(5), expected);
  EXPECT_EQ(ReadTestFile(Root + "out/a/deep/copy_two.xml"), "<two/>");
  EXPECT_TRUE(fs::is_empty(Root + "out/b.xml.d"));
}

TEST_F(BatchRun, RecursionNeverFollowsLinksToFolders) {
  PutTestFile(Root + "src/a.xml", "<a/>");
  PutTestFile(Root + "src/sub/b.xml", "<b/>");
  PutTestFile(Root + "outside/c.xml", "<c/>");
  fs::create_directory_symlink(Root + "src", Root + "src/sub/up");     // a loop
  fs::create_directory_symlink(Root + "outside", Root + "src/away");  // out of the tree
  Aim("src/", "*.xml");
  Batch.Command = bcDelete;
  Batch.Recurse = true;
  Batch.Execute();

  EXPECT_EQ(Log.At(5), (std::vector<std::string>{"File deleted: " + Url("src/a.xml"),
                                                  "Link to a folder not followed: " + Url("src/away"),
                                                  "File deleted: " + Url("src/sub/b.xml"),
                                                  "Link to a folder not followed: " + Url("src/sub/up")}));
  EXPECT_TRUE(FileExists(Root + "outside/c.xml"));
}

// Each source folder is mirrored into the destination's folder of the same
// name; one that is a link leads elsewhere: back into the source tree (the
// run wrote over the files it read) or anywhere at all. The run writes into
// no destination folder that is a link, and says so at a level that is on.
TEST_F(BatchRun, RecursionNeverWritesIntoADestinationFolderThatIsALink) {
  PutTestFile(Root + "xsl/mark.xsl",
              "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
              "<xsl:template match=\"/\"><done/></xsl:template>\n"
              "</xsl:stylesheet>\n");
  PutTestFile(Root + "bsrc/a.xml", "<a/>");
  PutTestFile(Root + "bsrc/sub/a.xml", "<sub/>");
  PutTestFile(Root + "bsrc/away/b.xml", "<b/>");
  PutTestFile(Root + "bsrc/real/c.xml", "<c/>");
  fs::create_directories(Root + "bdst/real");
  fs::create_directories(Root + "elsewhere");
  fs::create_directory_symlink("../bsrc/sub", Root + "bdst/sub");
  fs::create_directory_symlink(Root + "elsewhere", Root + "bdst/away");
  Aim("bsrc/", "*.xml", "bdst/", "*.xml");
  Batch.Command = bcTransform;
  Batch.XSLFile = Root + "xsl/mark.xsl";
  Batch.Recurse = true;
  Batch.Execute();

  EXPECT_EQ(ReadTestFile(Root + "bsrc/sub/a.xml"), "<sub/>");
  EXPECT_TRUE(fs::is_empty(Root + "elsewhere"));
  EXPECT_NE(ReadTestFile(Root + "bdst/a.xml").find("<done/>"), std::string::npos);
  EXPECT_NE(ReadTestFile(Root + "bdst/real/c.xml").find("<done/>"), std::string::npos);
  EXPECT_EQ(Log.At(2), (std::vector<std::string>{
                           "Destination folder is a link, not written into: " + Url("bdst/away/") + " (" +
                               Url("bsrc/away/") + " not done)",
                           "Destination folder is a link, not written into: " + Url("bdst/sub/") + " (" +
                               Url("bsrc/sub/") + " not done)"}));
}

TEST_F(BatchRun, NamedFilesAreNeitherReadNorWritten) {
  PutTestFile(Root + "src/a.xml", "<a/>");
  PutTestFile(Root + "src/~a.xml", "<working/>");
  PutTestFile(Root + "src/sub/~b.xml", "<working b/>");
  PutTestFile(Root + "out/sub/~c.xml", "<working c/>");
  PutTestFile(Root + "src/sub/~c.xml", "<c/>");  // would be copied over out/sub/~c.xml
  fs::create_directory_symlink(Root + "src", Root + "alias");
  fs::current_path(Root);
  Batch.SkipFiles = {Root + "src/~a.xml", "alias/sub/../sub/~b.xml", Root + "out/./sub/~c.xml"};
  Aim("src/", "*.xml");
  Batch.Command = bcCopy;
  Batch.Recurse = true;
  Batch.Execute();

  EXPECT_EQ(Log.At(5), (std::vector<std::string>{
                           "File copied: " + Url("src/a.xml") + " to " + Url("out/a.xml"),
                           "Working copy skipped: " + Url("src/~a.xml"),
                           "Working copy skipped: " + Url("src/sub/~b.xml"),
                           "Working copy skipped: " + Url("out/sub/~c.xml")}));
  EXPECT_FALSE(FileExists(Root + "out/~a.xml"));
  EXPECT_FALSE(FileExists(Root + "out/sub/~b.xml"));
  EXPECT_EQ(ReadTestFile(Root + "out/sub/~c.xml"), "<working c/>");

  // A command that writes nothing skips them too.
  BatchLog deleting;
  Batch.Command = bcDelete;
  Batch.Execute();
  EXPECT_FALSE(FileExists(Root + "src/a.xml"));
  EXPECT_TRUE(FileExists(Root + "src/~a.xml"));
  EXPECT_TRUE(FileExists(Root + "src/sub/~b.xml"));
  EXPECT_FALSE(FileExists(Root + "src/sub/~c.xml"));  // only the destination was a working copy
}

TEST_F(BatchRun, RelativeSourceFolderSurvivesTheFolderChanges) {
  PutTestFile(Root + "src/a.xml", "<a/>");
  PutTestFile(Root + "src/sub/b.xml", "<b/>");
  fs::create_directories(Root + "out/sub");
  fs::current_path(Root);
  Batch.Source.SetURL("file:src/*.xml");
  Batch.Dest.SetURL("file:out/*.*");
  Batch.Command = bcCopy;
  Batch.Recurse = true;
  Batch.Execute();
  EXPECT_EQ(ReadTestFile(Root + "out/sub/b.xml"), "<b/>");
  EXPECT_EQ(Log.At(5).size(), 2u);
  EXPECT_EQ(fs::current_path(), fs::path(Root).parent_path());
}

TEST_F(BatchRun, NoMatchingFileDoesNothingAndLogsNothing) {
  PutTestFile(Root + "src/a.txt", "x");
  PutTestFile(Root + "src/sub/b.xml", "<b/>");
  Aim("src/", "*.xml");
  Batch.Command = bcDelete;
  Batch.Execute();
  EXPECT_TRUE(Log.Lines.empty());
  EXPECT_TRUE(FileExists(Root + "src/sub/b.xml"));
}

// A source folder that cannot be listed (mistyped, or unreadable) is no
// folder without files: the failure is logged at a level that is always on.
TEST_F(BatchRun, AFolderThatCannotBeListedIsReported) {
  Aim("no-such-folder/", "*.xml");
  Batch.Command = bcDelete;
  Batch.Execute();
  const std::vector<std::string> failures = Log.At(2);
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0], "Folder listing failed: " + Url("no-such-folder/*.xml") + " " + std::strerror(ENOENT));
}

TEST_F(BatchRun, DestinationMaskWithoutStarMakesEachFileOverwriteTheLast) {
  PutTestFile(Root + "src/a.xml", "<a/>");
  PutTestFile(Root + "src/b.xml", "<b/>");
  fs::create_directories(Root + "out");
  Aim("src/", "*.xml", "out/", "all.xml");
  Batch.Command = bcCopy;
  Batch.Execute();
  EXPECT_EQ(ReadTestFile(Root + "out/all.xml"), "<b/>");
  EXPECT_EQ(std::distance(fs::directory_iterator(Root + "out"), fs::directory_iterator()), 1);
}

TEST_F(BatchRun, UnknownCommandIsReportedOnceAndOncePerFile) {
  PutTestFile(Root + "src/a.xml", "<a/>");
  PutTestFile(Root + "src/sub/b.xml", "<b/>");
  Aim("src/", "*.xml");
  Batch.Command = static_cast<TBatchCommand>(9);
  Batch.Recurse = true;
  Batch.Execute();
  EXPECT_EQ(Log.At(1), std::vector<std::string>(3, "Unknown Batch Command"));
  EXPECT_TRUE(FileExists(Root + "src/a.xml"));
}

TEST_F(BatchRun, ReadFailureOfACheckedFileEndsTheRun) {
  PutTestFile(Root + "src/a.xml", kWellFormed);
  fs::create_symlink(Root + "nowhere.xml", Root + "src/b.xml");  // listed as a file, cannot be read
  PutTestFile(Root + "src/c.xml", kWellFormed);
  Aim("src/", "*.xml");
  Batch.Command = bcCheck;
  try {
    Batch.Execute();
    FAIL() << "reading a dangling link did not fail";
  } catch (const std::exception& e) {
    EXPECT_NE(std::string(e.what()).find(Root + "src/b.xml"), std::string::npos) << e.what();
  }
  EXPECT_EQ(Log.At(5), std::vector<std::string>{"File checked: " + Url("src/a.xml")});
  // The log says where the run stopped.
  ASSERT_EQ(Log.At(2).size(), 2u);
  EXPECT_EQ(Log.At(2)[0], "Batch stopped by an error after 1 of 3 files. Failed: " + Url("src/b.xml"));
  EXPECT_EQ(fs::current_path(), StartFolder);
}

// A name may hold any byte but "/" and NUL: written raw into the log, an
// escape sequence would act on the terminal that shows it and a line break
// would make a line of its own. Local files so named are done, and logged
// with those characters escaped.
TEST_F(BatchRun, NamesWithControlCharactersAreLoggedEscaped) {
  PutTestFile(Root + "src/\x1b[2Jred.xml", "<red/>");
  PutTestFile(Root + "src/two\nlines.xml", "<two/>");
  fs::create_directories(Root + "out");
  Aim("src/", "*.xml");
  Batch.Command = bcCopy;
  Batch.Execute();
  EXPECT_EQ(ReadTestFile(Root + "out/\x1b[2Jred.xml"), "<red/>");
  EXPECT_EQ(Log.At(5), (std::vector<std::string>{
                           "File copied: " + Url("src/\\x1B[2Jred.xml") + " to " + Url("out/\\x1B[2Jred.xml"),
                           "File copied: " + Url("src/two\\x0Alines.xml") + " to " + Url("out/two\\x0Alines.xml")}));
}

TEST_F(BatchRun, HttpSourceListsNoFile) {
  Batch.Source.SetURL("http://127.0.0.1:1/folder/*.xml");
  Batch.Command = bcDelete;
  Batch.Recurse = true;
  Batch.Execute();
  EXPECT_TRUE(Log.Lines.empty());
}
