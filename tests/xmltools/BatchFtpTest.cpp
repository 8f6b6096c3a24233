#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BatchTestSupport.h"
#include "FtpTestServer.h"
#include "resource/TFTPProtocol.h"
#include "resource/TURLSystem.h"
#include "xmltools/TBatch.h"

namespace fs = std::filesystem;

namespace {

// A batch whose source or destination lies on a local FTP server.
class BatchFtp : public ::testing::Test {
protected:
  void SetUp() override {
    if (!URLSystem().FindProtocol(TURL("ftp:x/"))) URLSystem().Register(std::make_unique<TFTPProtocol>());
    Local = MakeTempFolder("xmlplivek-batchftp");
    StartFolder = fs::current_path();
  }
  void TearDown() override {
    TURL url(Ftp("/"));
    SetLogin(url);
    url.Disconnect();
    fs::current_path(StartFolder);
    std::error_code ignored;
    fs::remove_all(Local, ignored);
  }

  std::string Ftp(const std::string& path) const { return "ftp:" + Server.Host() + path; }
  void SetLogin(TURL& url) const {
    url.User = Server.Settings.User;
    url.Password = Server.Settings.Password;
    url.Passive = true;
  }
  void AimSource(const std::string& text) {
    Batch.Source.SetURL(text);
    SetLogin(Batch.Source);
  }
  void AimDest(const std::string& text) {
    Batch.Dest.SetURL(text);
    SetLogin(Batch.Dest);
  }

  FtpTestServer Server;
  std::string Local;
  fs::path StartFolder;
  BatchLog Log;
  TBatch Batch;
};

// The per-file lines of the batch among the level-5 messages (FTP traffic is
// logged at that level too).
std::vector<std::string> FileLines(const BatchLog& log) {
  std::vector<std::string> lines;
  for (const std::string& msg : log.At(5))
    if (msg.rfind("File ", 0) == 0 || msg.rfind("HTML file ", 0) == 0 || msg.rfind("XSL transform ", 0) == 0)
      lines.push_back(msg);
  return lines;
}

}  // namespace

TEST_F(BatchFtp, ChecksRemoteTreeAndLogsTheMalformedFile) {
  PutTestFile(Server.Root + "pub/a.xml", "<a/>");
  PutTestFile(Server.Root + "pub/b.xml", "<b>\r\n<c></b>\r\n");
  PutTestFile(Server.Root + "pub/notes.txt", "not matched");
  PutTestFile(Server.Root + "pub/sub/c.xml", "<c/>");
  AimSource(Ftp("/pub/*.xml"));
  Batch.Command = bcCheck;
  Batch.Recurse = true;
  Batch.Execute();

  EXPECT_EQ(FileLines(Log), (std::vector<std::string>{"File checked: " + Ftp("/pub/a.xml"),
                                                  "File checked: " + Ftp("/pub/sub/c.xml")}));
  ASSERT_EQ(Log.At(2).size(), 2u);
  EXPECT_EQ(Log.At(2)[0], "File check failed:" + Ftp("/pub/b.xml"));
  EXPECT_TRUE(Log.At(3).empty());
  EXPECT_EQ(fs::current_path(), StartFolder);  // remote folders are not entered
}

// A remote file was checked as if it lay in the current folder, so an entity
// naming a local file was read into it; a file from the server reads no
// local file.
TEST_F(BatchFtp, RemoteFilesAreCheckedWithoutReadingLocalFiles) {
  PutTestFile(Local + "local.ent", "local text");
  PutTestFile(Server.Root + "pub/greedy.xml",
              "<!DOCTYPE a [<!ENTITY e SYSTEM \"file://" + Local + "local.ent\">]>\n<a>&e;</a>\n");
  AimSource(Ftp("/pub/*.xml"));
  Batch.Command = bcCheck;
  Batch.Execute();
  const std::vector<std::string> failures = Log.At(2);
  ASSERT_EQ(failures.size(), 2u);
  EXPECT_EQ(failures[0], "File check failed:" + Ftp("/pub/greedy.xml"));
  EXPECT_EQ(failures[1].rfind("Cannot load \"file://" + Local + "local.ent\": a resource from the web may not refer "
                              "to a local file", 0), 0u) << failures[1];
}

// A batch Transform of files on a server with a local identity stylesheet
// copied a local file named by an entity of a file to the server; nothing of
// it is read, and the DTD beside a file on the server comes from there, as
// the file's user.
TEST_F(BatchFtp, RemoteFilesAreTransformedWithoutReadingLocalFilesAndFindTheirDtdOnTheServer) {
  PutTestFile(Local + "local.ent", "local text");
  PutTestFile(Local + "identity.xsl",
              "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
              "<xsl:template match=\"/\"><xsl:copy-of select=\".\"/></xsl:template>\n</xsl:stylesheet>\n");
  PutTestFile(Server.Root + "in/greedy.xml",
              "<!DOCTYPE a [<!ENTITY e SYSTEM \"file://" + Local + "local.ent\">]>\n<a>&e;</a>\n");
  PutTestFile(Server.Root + "in/sub/valid.xml", "<!DOCTYPE a SYSTEM \"../dtd/a.dtd\">\n<a>&greeting;</a>\n");
  PutTestFile(Server.Root + "in/dtd/a.dtd", "<!ELEMENT a (#PCDATA)>\n<!ENTITY greeting \"hello\">\n");
  fs::create_directories(Server.Root + "out/sub");
  AimSource(Ftp("/in/*.xml"));
  AimDest(Ftp("/out/*.res"));
  Batch.Command = bcTransform;
  Batch.XSLFile = Local + "identity.xsl";
  Batch.Recurse = true;
  std::string message;
  try {
    Batch.Execute();
  } catch (const std::exception& e) {
    message = e.what();
  }
  EXPECT_EQ(message.rfind("Cannot load \"file://" + Local + "local.ent\": ", 0), 0u) << message;
  EXPECT_FALSE(FileExists(Server.Root + "out/greedy.res"));
  // The run that stopped says where.
  const std::vector<std::string> stopped = Log.At(2);
  ASSERT_EQ(stopped.size(), 2u);
  EXPECT_EQ(stopped[0], "Batch stopped by an error after 0 files. Failed: " + Ftp("/in/greedy.xml"));

  PutTestFile(Server.Root + "in/greedy.xml", "<a/>");
  Batch.Execute();
  EXPECT_EQ(ReadTestFile(Server.Root + "out/sub/valid.res"), "<?xml version=\"1.0\"?>\n<a>hello</a>\n");
  fs::remove(Server.Root + "in/greedy.xml");
  Batch.Command = bcCheck;
  Batch.Validate = true;
  Batch.Execute();
  EXPECT_EQ(FileLines(Log).back(), "File checked: " + Ftp("/in/sub/valid.xml"));
  EXPECT_EQ(Log.At(2), stopped);
}

TEST_F(BatchFtp, CopiesBetweenServerAndLocalFoldersThroughTheURLSystem) {
  const std::string bytes = "<doc>\r\nbytes \x01\xff kept</doc>\r\n";
  PutTestFile(Server.Root + "in/a.xml", bytes);
  fs::create_directories(Server.Root + "back");
  AimSource(Ftp("/in/*.xml"));
  AimDest("file:" + Local + "*.*");
  Batch.Command = bcCopy;
  Batch.Execute();
  EXPECT_EQ(ReadTestFile(Local + "a.xml"), bytes);
  EXPECT_EQ(FileLines(Log), std::vector<std::string>{"File copied: " + Ftp("/in/a.xml") + " to file:" + Local + "a.xml"});

  AimSource("file:" + Local + "*.xml");
  AimDest(Ftp("/back/*.bak"));
  Batch.Execute();
  EXPECT_EQ(ReadTestFile(Server.Root + "back/a.bak"), bytes);
}

TEST_F(BatchFtp, ConvertsLocalPagesOntoTheServerAndDeletesRemoteFiles) {
  PutTestFile(Local + "page.html", "<HTML><BODY><P>text<BR></BODY></HTML>");
  fs::create_directories(Server.Root + "site");
  AimSource("file:" + Local + "*.html");
  AimDest(Ftp("/site/*.xml"));
  Batch.Command = bcHTMLToXML;
  Batch.FixMismatch = true;
  Batch.Execute();
  EXPECT_EQ(ReadTestFile(Server.Root + "site/page.xml"), "<html><body><p/>text<br/></body></html>");

  AimSource(Ftp("/site/*.xml"));
  Batch.Command = bcDelete;
  Batch.Execute();
  EXPECT_FALSE(FileExists(Server.Root + "site/page.xml"));
  EXPECT_EQ(FileLines(Log).back(), "File deleted: " + Ftp("/site/page.xml"));
}

TEST_F(BatchFtp, FailedListingIsLoggedAtLevelTwoAndTheRunGoesOn) {
  PutTestFile(Server.Root + "pub/a.xml", "<a/>");
  AimSource(Ftp("/no-such-folder/*.xml"));
  Batch.Command = bcCheck;
  Batch.Execute();
  const std::vector<std::string> failures = Log.At(2);
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].rfind("Folder listing failed: " + Ftp("/no-such-folder/*.xml"), 0), 0u) << failures[0];
  EXPECT_TRUE(FileLines(Log).empty());

  // A listing that works after it is not reported.
  AimSource(Ftp("/pub/*.xml"));
  Batch.Execute();
  EXPECT_EQ(Log.At(2).size(), 1u);
  EXPECT_EQ(FileLines(Log), std::vector<std::string>{"File checked: " + Ftp("/pub/a.xml")});
}

// A server that lists with LIST shows links as links: the run does not follow
// them.
TEST_F(BatchFtp, RecursionNeverFollowsRemoteLinksToFolders) {
  FtpTestServer::Options options;
  options.Mlsd = false;
  FtpTestServer server(options);
  PutTestFile(server.Root + "pub/a.xml", "<a/>");
  PutTestFile(server.Root + "pub/sub/b.xml", "<b/>");
  fs::create_directory_symlink(server.Root + "pub", server.Root + "pub/sub/up");
  const std::string remote = "ftp:" + server.Host();
  AimSource(remote + "/pub/*.xml");
  Batch.Command = bcCheck;
  Batch.Recurse = true;
  Batch.Execute();
  TURL(remote + "/").Disconnect();

  EXPECT_EQ(FileLines(Log), (std::vector<std::string>{"File checked: " + remote + "/pub/a.xml",
                                                  "File checked: " + remote + "/pub/sub/b.xml"}));
  const std::vector<std::string> details = Log.At(5);
  EXPECT_NE(std::find(details.begin(), details.end(), "Link to a folder not followed: " + remote + "/pub/sub/up"),
            details.end());
}

// An MLSD listing describes the folder a link leads to (pyftpdlib says
// "type=dir"), so a recursive Delete followed a link out of its tree and
// deleted the files there; the client learns the links from a LIST of the
// folder, and the run leaves them alone.
TEST_F(BatchFtp, RecursiveDeleteNeverFollowsALinkThatAnMlsdListingShowsAsAFolder) {
  PutTestFile(Server.Root + "pub/a.xml", "<a/>");
  PutTestFile(Server.Root + "pub/sub/b.xml", "<b/>");
  PutTestFile(Server.Root + "private/keep.xml", "<keep/>");
  fs::create_directory_symlink(Server.Root + "private", Server.Root + "pub/sub/out");
  AimSource(Ftp("/pub/*.xml"));
  Batch.Command = bcDelete;
  Batch.Recurse = true;
  Batch.Execute();
  EXPECT_FALSE(FileExists(Server.Root + "pub/a.xml"));
  EXPECT_FALSE(FileExists(Server.Root + "pub/sub/b.xml"));
  EXPECT_TRUE(FileExists(Server.Root + "private/keep.xml"));
  const std::vector<std::string> details = Log.At(5);
  EXPECT_NE(std::find(details.begin(), details.end(), "Link to a folder not followed: " + Ftp("/pub/sub/out")),
            details.end());
}

// An MLSD listing shows a link to a folder as that folder, and where LIST is
// refused nothing tells that it is a link: a run that followed a link back up
// went round the loop as deep as the server let it. The listing names each
// folder's identity (the "unique" fact), and a run enters a folder once.
TEST_F(BatchFtp, RecursionEntersEachRemoteFolderOnceWhereNoListingMarksTheLinks) {
  PutTestFile(Server.Root + "nolist/a.xml", "<a/>");
  PutTestFile(Server.Root + "nolist/sub/b.xml", "<b/>");
  fs::create_directory_symlink(Server.Root + "nolist", Server.Root + "nolist/sub/loop");
  AimSource(Ftp("/nolist/*.xml"));
  Batch.Command = bcCheck;
  Batch.Recurse = true;
  Batch.Execute();
  EXPECT_EQ(FileLines(Log), (std::vector<std::string>{"File checked: " + Ftp("/nolist/a.xml"),
                                                  "File checked: " + Ftp("/nolist/sub/b.xml")}));
  EXPECT_EQ(Log.At(2), std::vector<std::string>{"Folder already visited, not entered again: " +
                                                Ftp("/nolist/sub/loop/") + " (the same folder as " +
                                                Ftp("/nolist/") + ")"});

  // A link to the run's own folder.
  PutTestFile(Server.Root + "nolist-self/c.xml", "<c/>");
  fs::create_directory_symlink(Server.Root + "nolist-self", Server.Root + "nolist-self/again");
  Log.Lines.clear();
  AimSource(Ftp("/nolist-self/*.xml"));
  Batch.Execute();
  EXPECT_EQ(FileLines(Log), std::vector<std::string>{"File checked: " + Ftp("/nolist-self/c.xml")});
  EXPECT_EQ(Log.At(2), std::vector<std::string>{"Folder already visited, not entered again: " +
                                                Ftp("/nolist-self/again/") + " (the same folder as " +
                                                Ftp("/nolist-self/") + ")"});
}

// A server that names no folder's identity could lead a run round a loop
// without end: a remote walk goes no deeper than its limit, and says so.
TEST_F(BatchFtp, RemoteRecursionStopsAtItsDepthLimit) {
  std::string deep = "nounique/";
  for (int level = 0; level < TBatch::kMaxRemoteDepth; ++level) deep += "d/";
  PutTestFile(Server.Root + "nounique/top.xml", "<top/>");
  PutTestFile(Server.Root + deep + "last.xml", "<last/>");
  PutTestFile(Server.Root + deep + "d/beyond.xml", "<beyond/>");
  AimSource(Ftp("/nounique/*.xml"));
  Batch.Command = bcCheck;
  Batch.Recurse = true;
  Batch.Execute();
  EXPECT_EQ(FileLines(Log), (std::vector<std::string>{"File checked: " + Ftp("/nounique/top.xml"),
                                                  "File checked: " + Ftp("/" + deep + "last.xml")}));
  EXPECT_EQ(Log.At(2), std::vector<std::string>{"Folder not entered, more than " +
                                                std::to_string(TBatch::kMaxRemoteDepth) +
                                                " levels below the run's folder: " + Ftp("/" + deep + "d/")});
}

// An FTP name with control characters cannot be sent to the server (libcurl
// refuses it): one such name ended the whole run, and went raw into the log.
// The run skips it, says why with the characters escaped, and goes on.
TEST_F(BatchFtp, ANameWithControlCharactersIsSkippedLoggedEscapedAndTheRunGoesOn) {
  PutTestFile(Server.Root + "pub/\x1b[31mred.xml", "<red/>");
  PutTestFile(Server.Root + "pub/z.xml", "<z/>");
  PutTestFile(Server.Root + "pub/bell\x07/c.xml", "<c/>");
  PutTestFile(Server.Root + "pub/sub/d.xml", "<d/>");
  AimSource(Ftp("/pub/*.xml"));
  Batch.Command = bcCheck;
  Batch.Recurse = true;
  Batch.Execute();
  EXPECT_EQ(FileLines(Log), (std::vector<std::string>{"File checked: " + Ftp("/pub/z.xml"),
                                                  "File checked: " + Ftp("/pub/sub/d.xml")}));
  EXPECT_EQ(Log.At(2), (std::vector<std::string>{
                           "Name holds control characters, skipped: " + Ftp("/pub/\\x1B[31mred.xml"),
                           "Name holds control characters, skipped: " + Ftp("/pub/bell\\x07/")}));

  // A local name that the server would get.
  PutTestFile(Local + "in/e\x1b.xml", "<e/>");
  PutTestFile(Local + "in/f.xml", "<f/>");
  fs::create_directories(Server.Root + "drop");
  Log.Lines.clear();
  Batch.Source.SetURL("file:" + Local + "in/*.xml");
  AimDest(Ftp("/drop/*.xml"));
  Batch.Command = bcCopy;
  Batch.Recurse = false;
  Batch.Execute();
  EXPECT_EQ(ReadTestFile(Server.Root + "drop/f.xml"), "<f/>");
  EXPECT_EQ(Log.At(2), std::vector<std::string>{"Name holds control characters, skipped: " + Ftp("/drop/e\\x1B.xml")});
  for (const auto& line : Log.Lines) EXPECT_EQ(line.second.find_first_of("\x1b\x07"), std::string::npos) << line.second;
}

// A destination folder on the server that is a link leads out of the
// destination tree: the run writes nothing there.
TEST_F(BatchFtp, RecursionNeverWritesIntoARemoteDestinationFolderThatIsALink) {
  PutTestFile(Local + "src/a.xml", "<a/>");
  PutTestFile(Local + "src/sub/b.xml", "<b/>");
  fs::create_directories(Server.Root + "out");
  fs::create_directories(Server.Root + "private");
  fs::create_directory_symlink(Server.Root + "private", Server.Root + "out/sub");
  Batch.Source.SetURL("file:" + Local + "src/*.xml");
  AimDest(Ftp("/out/*.xml"));
  Batch.Command = bcCopy;
  Batch.Recurse = true;
  Batch.Execute();
  EXPECT_EQ(ReadTestFile(Server.Root + "out/a.xml"), "<a/>");
  EXPECT_TRUE(fs::is_empty(Server.Root + "private"));
  EXPECT_EQ(Log.At(2), std::vector<std::string>{"Destination folder is a link, not written into: " +
                                                Ftp("/out/sub/") + " (file:" + Local + "src/sub/ not done)"});
}
