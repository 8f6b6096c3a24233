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
