#include <gtest/gtest.h>

#include <stdexcept>

#include "FakeProtocol.h"
#include "LogCapture.h"
#include "resource/TURL.h"

namespace {

const char* const kUnknown = "Unknown value for TURLProtocol type";

struct UrlRow {
  const char* Text;
  TURLProtocol Protocol;
  const char* Host;
  const char* Path;
  const char* FileName;
  const char* Printed;
};

const UrlRow kRows[] = {
    {"file:C:/docs/a.xml", TURLProtocol::file, "", "C:/docs/", "a.xml", "file:C:/docs/a.xml"},
    {"C:/docs/a.xml", TURLProtocol::file, "", "C:/docs/", "a.xml", "file:C:/docs/a.xml"},
    {"//srv/share/a.xml", TURLProtocol::file, "", "//srv/share/", "a.xml", "file://srv/share/a.xml"},
    {"a.xml", TURLProtocol::file, "", "a.xml", "", "file:a.xml"},
    {"", TURLProtocol::file, "", "", "", "file:"},
    {"ftp:server/pub/a.xml", TURLProtocol::ftp, "server", "/pub/", "a.xml", "ftp:server/pub/a.xml"},
    {"ftp:server", TURLProtocol::ftp, "server", "/", "", "ftp:server/"},
    {"ftp://server/a.xml", TURLProtocol::ftp, "", "//server/", "a.xml", "ftp://server/a.xml"},
    {"http://server/dir/p.html", TURLProtocol::http, "server", "/dir/", "p.html", "http://server/dir/p.html"},
    {"http:server/p.html", TURLProtocol::http, "server", "/", "p.html", "http://server/p.html"},
    {"http://server", TURLProtocol::http, "server", "/", "", "http://server/"},
    // An unknown scheme prints as written: an https address printed as
    // "http:" was fetched as plain http.
    {"https://server/p.html", TURLProtocol::unknown, "", "//server/", "p.html", "https://server/p.html"},
    {"FILE:C:/a.xml", TURLProtocol::unknown, "", "C:/", "a.xml", "FILE:C:/a.xml"},
};

}  // namespace

TEST(URLText, EveryFormParsesAndPrintsAsTabled)
{
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.Text);
    LogCapture log;
    TURL url(row.Text);
    EXPECT_EQ(url.Protocol, row.Protocol);
    EXPECT_EQ(url.Host, row.Host);
    EXPECT_EQ(url.Path, row.Path);
    EXPECT_EQ(url.FileName, row.FileName);
    EXPECT_EQ(url.GetURL(), row.Printed);
    // Printing logs nothing: an unknown scheme prints as written.
    EXPECT_TRUE(log.Lines.empty());
    // Asked for its driver's name, an unknown scheme logs at level 1; https
    // is one the HTTP driver serves, fetched every day.
    url.GetProtocolName();
    bool unknown = row.Protocol == TURLProtocol::unknown && !url.IsWeb();
    EXPECT_EQ(log.Count(1, kUnknown), unknown ? 1 : 0);
  }
}

TEST(URLText, PrintedTextParsesBackToTheSameURL)
{
  LogCapture log;
  for (const auto& row : kRows) {
    if (TURL(row.Text).Protocol == TURLProtocol::unknown) continue;
    SCOPED_TRACE(row.Text);
    TURL again(row.Printed);
    EXPECT_EQ(again.GetURL(), row.Printed);
  }
  for (const char* text : {"file:C:/docs/a.xml", "ftp:server/pub/a.xml", "ftp://server/a.xml",
                           "http://server/dir/p.html", "http://server/", "file:a.xml", "file:"})
    EXPECT_EQ(TURL(text).GetURL(), text);
}

TEST(URLText, PortAndUserStayInTheHost)
{
  TURL url("ftp:server:21/x");
  EXPECT_EQ(url.Host, "server:21");
  EXPECT_EQ(url.Path, "/");
  EXPECT_EQ(url.FileName, "x");
  url.SetURL("ftp:joe@server/pub/");
  EXPECT_EQ(url.Host, "joe@server");
  EXPECT_EQ(url.FileName, "");
  EXPECT_TRUE(url.User.empty());
}

TEST(URLText, SchemeNeedsColonAtThirdPlaceOrLater)
{
  EXPECT_EQ(TURL("ab:x").Protocol, TURLProtocol::unknown);
  EXPECT_EQ(TURL("a:b/x").Protocol, TURLProtocol::file);
  EXPECT_EQ(TURL("a:b/x").Path, "a:b/");
  EXPECT_EQ(TURL(":x").Protocol, TURLProtocol::file);
  EXPECT_EQ(TURL("http:").GetURL(), "http:///");  // empty host
  EXPECT_EQ(TURL("file:/tmp/a:b/c.xml").Path, "/tmp/a:b/");
}

TEST(URLText, SettingTextKeepsCredentialsAndListing)
{
  TURL url("ftp:server/a.xml");
  url.SetUser("joe");
  url.SetPassword("secret");
  url.SetPassive(true);
  url.Items.push_back(std::make_unique<TFolderItem>(TFolderItem::kFile, "kept"));
  url.Listed = true;
  url.SetURL("http://other/b.xml");
  EXPECT_EQ(url.User, "joe");
  EXPECT_EQ(url.Password, "secret");
  EXPECT_TRUE(url.Passive);
  EXPECT_FALSE(url.Listed);
  ASSERT_EQ(url.Items.size(), 1u);
  EXPECT_EQ(url.Items[0]->Name, "kept");
}

TEST(URLText, ProtocolNamesAreCaseSensitive)
{
  LogCapture log;
  TURL url;
  for (auto [name, protocol] : {std::pair<const char*, TURLProtocol>{"file", TURLProtocol::file},
                                {"ftp", TURLProtocol::ftp},
                                {"http", TURLProtocol::http},
                                {"HTTP", TURLProtocol::unknown},
                                {"Ftp", TURLProtocol::unknown},
                                {"", TURLProtocol::unknown}}) {
    url.SetProtocolName(name);
    EXPECT_EQ(url.Protocol, protocol) << name;
  }
  EXPECT_EQ(url.GetProtocolName(), "http");
  EXPECT_EQ(url.GetProtocolName(), "http");
  EXPECT_EQ(log.Count(1, kUnknown), 2);
}

TEST(URLText, NativeNamesArePosixPathsOfFileURLs)
{
  TURL url = TURL::CreateNative("/tmp/a:b/x.xml");
  EXPECT_EQ(url.Protocol, TURLProtocol::file);
  EXPECT_EQ(url.Path, "/tmp/a:b/");
  EXPECT_EQ(url.FileName, "x.xml");
  EXPECT_EQ(url.GetNativeName(), "/tmp/a:b/x.xml");
  EXPECT_EQ(url.GetURL(), "file:/tmp/a:b/x.xml");

  url.SetNativeName("http://looks/like/a/url");
  EXPECT_EQ(url.Protocol, TURLProtocol::file);
  EXPECT_EQ(url.GetNativeName(), "http://looks/like/a/url");

  EXPECT_EQ(TURL("file://srv/share/a.xml").GetNativeName(), "//srv/share/a.xml");
  EXPECT_EQ(TURL("http://server/dir/p.html").GetNativeName(), "http://server/dir/p.html");
  EXPECT_EQ(TURL("ftp:server/pub/a.xml").GetNativeName(), "ftp:server/pub/a.xml");
}

TEST(URLFields, EverySetterClearsListed)
{
  TURL url("file:/tmp/");
  auto check = [&](const char* what, auto&& change) {
    url.Listed = true;
    change();
    EXPECT_FALSE(url.Listed) << what;
  };
  check("path", [&] { url.SetPath("/x/"); });
  check("file name", [&] { url.SetFileName("*.xml"); });
  check("user", [&] { url.SetUser("u"); });
  check("password", [&] { url.SetPassword("p"); });
  check("passive", [&] { url.SetPassive(true); });
  check("protocol", [&] { url.SetProtocolName("ftp"); });
  check("text", [&] { url.SetURL("file:/y/"); });
  check("assign", [&] { url.Assign(TURL("file:/z/")); });
  EXPECT_EQ(url.Path, "/z/");
}

TEST(URLFields, FileExtensionFromTheLastDot)
{
  EXPECT_EQ(TURL("file:/d/a.b.xml").GetFileExt(), ".xml");
  EXPECT_EQ(TURL("file:/d/README").GetFileExt(), "");
  EXPECT_EQ(TURL("file:/d/a.").GetFileExt(), ".");
  EXPECT_EQ(TURL("file:/d.x/").GetFileExt(), "");
  EXPECT_EQ(TURL("http://server").GetFileExt(), "");
}

TEST(URLFields, AssignAndCopyTakeEverythingButTheListing)
{
  TURL source("ftp:host/pub/a.xml");
  source.SetUser("joe");
  source.SetPassword("pw");
  source.SetPassive(true);
  source.Items.push_back(std::make_unique<TFolderItem>(TFolderItem::kFolder, "sub"));
  source.Listed = true;

  TURL copy(source);
  EXPECT_EQ(copy.GetURL(), "ftp:host/pub/a.xml");
  EXPECT_EQ(copy.User, "joe");
  EXPECT_EQ(copy.Password, "pw");
  EXPECT_TRUE(copy.Passive);
  EXPECT_FALSE(copy.Listed);
  EXPECT_TRUE(copy.Items.empty());

  TURL target("file:/x/");
  target.Items.push_back(std::make_unique<TFolderItem>(TFolderItem::kFile, "old"));
  target.Assign(source);
  EXPECT_EQ(target.Host, "host");
  ASSERT_EQ(target.Items.size(), 1u);  // neither copied nor cleared
  EXPECT_EQ(target.Items[0]->Name, "old");
}

// ---------------------------------------------------------------------------
// Masks

TEST(URLMask, ExtensionMasksIgnoreAsciiCase)
{
  TURL url("file:/d/*.xml");
  EXPECT_TRUE(url.MatchesFilter("A.XML"));
  EXPECT_TRUE(url.MatchesFilter("b.xml"));
  EXPECT_FALSE(url.MatchesFilter("b.xml.bak"));
  EXPECT_FALSE(url.MatchesFilter("xml"));
}

TEST(URLMask, StarDotStarNeedsADot)
{
  EXPECT_FALSE(MatchesMaskList("*.*", "README"));
  EXPECT_TRUE(MatchesMaskList("*.*;*", "README"));
  EXPECT_TRUE(MatchesMaskList("*.*", "a.b"));
  EXPECT_TRUE(MatchesMaskList("*.*", "."));
}

TEST(URLMask, WildcardsAndSets)
{
  EXPECT_TRUE(MatchesMask("a?c", "abc"));
  EXPECT_FALSE(MatchesMask("a?c", "ac"));
  EXPECT_TRUE(MatchesMask("a*b*c", "aXbYbZc"));
  EXPECT_FALSE(MatchesMask("*a", "ab"));
  EXPECT_TRUE(MatchesMask("**", ""));
  EXPECT_TRUE(MatchesMask("[a-c]x", "Bx"));
  EXPECT_FALSE(MatchesMask("[a-c]x", "dx"));
  EXPECT_TRUE(MatchesMask("[!a-c]x", "dx"));
  EXPECT_FALSE(MatchesMask("[!a-c]x", "ax"));
  EXPECT_TRUE(MatchesMask("[xyz]", "Y"));
  EXPECT_TRUE(MatchesMask("[a-]", "-"));
  EXPECT_TRUE(MatchesMask("[*?]", "*"));
  EXPECT_FALSE(MatchesMask("[*?]", "a"));
  EXPECT_FALSE(MatchesMask("[]", "a"));
  EXPECT_TRUE(MatchesMask("data[0-9].xml", "DATA7.XML"));
}

TEST(URLMask, OnlyAsciiLettersFoldCase)
{
  EXPECT_TRUE(MatchesMask("caf\xe9.xml", "CAF\xe9.xml"));
  EXPECT_FALSE(MatchesMask("\xc9", "\xe9"));
  EXPECT_TRUE(MatchesMask("[\x80-\xff]", "\xe9"));
}

TEST(URLMask, ListSeparatorsAndEmptyMasks)
{
  EXPECT_TRUE(MatchesMaskList(" *.xml ; *.txt", "a.txt"));
  EXPECT_TRUE(MatchesMaskList("*.xml *.txt", "a.txt"));
  EXPECT_TRUE(MatchesMaskList("*.xml\t*.txt", "a.txt"));
  EXPECT_TRUE(MatchesMaskList(";;*.xml", "a.xml"));
  EXPECT_TRUE(MatchesMaskList("*.xml;", "a.xml"));
  EXPECT_FALSE(MatchesMaskList("", "a"));
  EXPECT_FALSE(MatchesMaskList(";", "a"));
  EXPECT_FALSE(MatchesMaskList("   ", "a"));
}

TEST(URLMask, UnclosedSetIsAnInvalidMask)
{
  try {
    MatchesMaskList("a[bc", "x");
    FAIL() << "no error";
  } catch (const EMaskException& e) {
    EXPECT_STREQ(e.what(), "'a[bc' is an invalid mask at (5)");
  }
  // Masks are tried in order: a match before the bad mask ends the search.
  EXPECT_TRUE(MatchesMaskList("*.xml;[x", "a.xml"));
  EXPECT_THROW(MatchesMaskList("*.txt;[x", "a.xml"), EMaskException);
  EXPECT_THROW(MatchesMask("x[", "y"), EMaskException);
  EXPECT_THROW(MatchesMask("[!", "y"), EMaskException);
}

// ---------------------------------------------------------------------------
// Listing and forwarding

class URLListingTest : public FakeURLSystemTest {};

TEST_F(URLListingTest, ListsOnceOnFirstAccess)
{
  File().Folders = {"sub"};
  File().Files = {"a.xml", "b.txt"};
  TURL url("file:/data/*.xml");
  EXPECT_FALSE(url.Listed);
  ASSERT_EQ(url.GetCount(), 2);
  EXPECT_TRUE(url.Listed);
  EXPECT_EQ(url.GetItem(0).Kind, TFolderItem::kFolder);
  EXPECT_EQ(url.GetItem(0).Name, "sub");
  EXPECT_EQ(url.GetItem(1).Kind, TFolderItem::kFile);
  EXPECT_EQ(url.GetItem(1).Name, "a.xml");
  EXPECT_EQ(Calls, std::vector<std::string>{"file.ListFolder(/data/*.xml)"});
}

TEST_F(URLListingTest, AssignOntoAListedURLListsAgain)
{
  File().Files = {"a.xml"};
  TURL url("file:/data/*.xml");
  EXPECT_EQ(url.GetCount(), 1);
  url.Assign(TURL("file:/data/*.txt"));
  EXPECT_EQ(url.GetCount(), 0);
  EXPECT_EQ(Calls.size(), 2u);
}

TEST_F(URLListingTest, EmptyMaskListListsOnlyFolders)
{
  File().Folders = {"one", "two"};
  File().Files = {"a.xml", "README"};
  TURL url("file:/data/");
  ASSERT_EQ(url.GetCount(), 2);
  EXPECT_EQ(url.GetItem(1).Name, "two");
}

TEST_F(URLListingTest, FailedListingIsRetriedOnNextAccess)
{
  File().FailListing = true;
  TURL url("file:/data/*");
  EXPECT_THROW(url.GetCount(), std::runtime_error);
  EXPECT_FALSE(url.Listed);
  File().FailListing = false;
  File().Files = {"x"};
  EXPECT_EQ(url.GetCount(), 1);
  EXPECT_EQ(Calls.size(), 2u);
}

TEST_F(URLListingTest, IndexOutsideTheListingRaises)
{
  File().Files = {"a", "b"};
  TURL url("file:/data/*");
  try {
    url.GetItem(2);
    FAIL() << "no error";
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (2)");
  }
  EXPECT_THROW(url.GetItem(-1), std::out_of_range);
  EXPECT_EQ(Calls.size(), 1u);
}

TEST_F(URLListingTest, OperationsReachTheDriverOfTheProtocol)
{
  TURL ftp("ftp:host/pub/a.xml");
  EXPECT_TRUE(ftp.IsConnected());
  ftp.Connect();
  ftp.PutFile("bytes");
  std::string text;
  ftp.GetFile(text);
  EXPECT_EQ(text, "bytes");
  ftp.DeleteFile();
  ftp.Disconnect();
  TURL http("http://server/p.html");
  http.GetFile(text);
  EXPECT_EQ(Calls, (std::vector<std::string>{
                       "ftp.IsConnected(host/pub/a.xml)", "ftp.Connect(host/pub/a.xml)",
                       "ftp.PutFile(host/pub/a.xml)", "ftp.GetFile(host/pub/a.xml)",
                       "ftp.DeleteFile(host/pub/a.xml)", "ftp.Disconnect(host/pub/a.xml)",
                       "http.GetFile(server/p.html)"}));
}
