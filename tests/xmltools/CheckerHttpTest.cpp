// The checker with definitions served over http (and FTP) by a local server:
// the DTD and the entities it names relative to itself come through the URL
// system's HTTP (and FTP) driver.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "CancelledWork.h"
#include "FtpTestServer.h"
#include "HttpTestServer.h"
#include "MemoryCap.h"
#include "XMLToolsTestSupport.h"
#include "resource/TFTPProtocol.h"
#include "resource/THTTPProtocol.h"
#include "resource/TURL.h"
#include "resource/TURLSystem.h"
#include "xmltools/XMLEntityLoader.h"
#include "xmltools/pvtools.h"

namespace {

std::string WithDoctype(const std::string& fixture, const std::string& dtdURL)
{
  std::string text = ReadTestFile(CheckerData(fixture));
  const std::string local = "SYSTEM \"book.dtd\"";
  return text.replace(text.find(local), local.size(), "SYSTEM \"" + dtdURL + "\"");
}

bool CheckFromElsewhere(const std::string& text, bool validate)
{
  CurrentFolderScope scope(MakeTempFolder());  // nothing resolves locally
  TXMLChecker checker;
  checker.Validate = validate;
  checker.XML = text;
  return checker.Check();
}

std::string ErrorFromElsewhere(const std::string& text, bool validate)
{
  return MessageOf<EXMLParseError>([&] { CheckFromElsewhere(text, validate); });
}

}  // namespace

TEST(CheckerHttp, DtdAndItsRelativeEntitiesComeFromTheServer)
{
  HttpTestServer server(CheckerData());
  EXPECT_TRUE(CheckFromElsewhere(WithDoctype("book.xml", server.BaseURL() + "book.dtd"), true));
  EXPECT_EQ(ErrorFromElsewhere(WithDoctype("book-invalid.xml", server.BaseURL() + "book.dtd"), true),
            "Value \"star\" for attribute mark of itemizedlist is not among the enumerated set\r\n"
            "Line: 8\r\n"
            "    <itemizedlist mark=\"star\">");
}

TEST(CheckerHttp, MissingDtdOnTheServer)
{
  HttpTestServer server(CheckerData());
  std::string url = server.BaseURL() + "missing.dtd";
  std::string message = ErrorFromElsewhere("<!DOCTYPE a SYSTEM \"" + url + "\">\n<a/>\n", false);
  EXPECT_EQ(message.rfind("Cannot load \"" + url + "\": ", 0), 0u) << message;
  EXPECT_NE(message.find("\r\nLine: 1\r\n<!DOCTYPE a SYSTEM"), std::string::npos) << message;
}

TEST(CheckerHttp, SchemaFromTheServer)
{
  HttpTestServer server(CheckerData());
  std::string text = ReadTestFile(CheckerData("invoice-invalid.xml"));
  text.replace(text.find("invoice.xsd"), 11, server.BaseURL() + "invoice.xsd");
  EXPECT_TRUE(CheckFromElsewhere(text, false));
  EXPECT_EQ(ErrorFromElsewhere(text, true),
            "Element '{urn:plivek:invoice}discount': This element is not expected.\r\nLine: 7\r\n"
            "  <discount>5</discount>");
}

TEST(CheckerHttp, ADtdFromTheWebMayNotReadLocalFiles)
{
  std::string folder = MakeTempFolder();
  std::string secret = "file://" + CheckerData("sub/legal.ent");
  WriteTestFile(folder + "evil.dtd", "<!ELEMENT a ANY>\n<!ENTITY % secret SYSTEM \"" + secret + "\">\n%secret;\n");
  HttpTestServer server(folder);
  std::string url = server.BaseURL() + "evil.dtd";
  EXPECT_EQ(ErrorFromElsewhere("<!DOCTYPE a SYSTEM \"" + url + "\">\n<a/>\n", false),
            "Cannot load \"" + secret + "\": a resource from the web may not refer to a local file (in \"" + url +
                "\")\r\nLine: 3\r\n%secret;");
}

// A document naming many definitions on a server that no longer answers held
// the check for a stall limit each; once a load has failed the check fails,
// so nothing more is fetched.
TEST(CheckerHttp, NothingMoreIsFetchedOnceALoadFailed)
{
  HttpTestServer server(CheckerData());
  auto* http = dynamic_cast<THTTPProtocol*>(URLSystem().FindProtocol(TURL("http://x/")));
  ASSERT_NE(http, nullptr);
  http->StallTimeout = 1;
  std::string text = "<!DOCTYPE a [\n";
  for (const char* n : {"1", "2", "3"})
    text += std::string("<!ENTITY % p") + n + " SYSTEM \"" + server.BaseURL() + "_stall?" + n + "\">\n%p" + n + ";\n";
  text += "]>\n<a/>\n";
  std::string message = ErrorFromElsewhere(text, false);
  EXPECT_EQ(message.rfind("Cannot load \"" + server.BaseURL() + "_stall?1\": ", 0), 0u) << message;
  std::string requests = server.RequestLog();
  EXPECT_NE(requests.find("GET /_stall?1 "), std::string::npos) << requests;
  EXPECT_EQ(requests.find("GET /_stall?2 "), std::string::npos) << requests;
  EXPECT_EQ(requests.find("GET /_stall?3 "), std::string::npos) << requests;
  FreeURLSystem();
}

// A DTD without end, or one that trickles in, fails the check naming it
// within the limits of a resource read on the fly; the next check works.
TEST(CheckerHttp, AnEndlessOrTricklingDtdFailsAndTheNextCheckWorks)
{
  HttpTestServer server(CheckerData());
  auto* http = dynamic_cast<THTTPProtocol*>(URLSystem().FindProtocol(TURL("http://x/")));
  ASSERT_NE(http, nullptr);
  http->MaxResourceSize = std::size_t(1) << 20;
  http->StallTimeout = 1;
  http->ResourceTimeout = 2;
  const std::string endless = server.BaseURL() + "_endless";
  EXPECT_EQ(ErrorFromElsewhere("<!DOCTYPE a SYSTEM \"" + endless + "\">\n<a/>\n", false),
            "Cannot load \"" + endless + "\": HTTP request for \"" + endless +
                "\" failed: the response is larger than 1 MB\r\nLine: 1\r\n<!DOCTYPE a SYSTEM \"" + endless.substr(0, 20));
  const std::string drip = server.BaseURL() + "_drip";
  std::string message = ErrorFromElsewhere("<!DOCTYPE a SYSTEM \"" + drip + "\">\n<a/>\n", false);
  EXPECT_EQ(message.rfind("Cannot load \"" + drip + "\": HTTP request for \"" + drip + "\" failed: Timeout was reached", 0), 0u)
      << message;
  EXPECT_TRUE(CheckFromElsewhere(WithDoctype("book.xml", server.BaseURL() + "book.dtd"), true));
  FreeURLSystem();
}

// Every resource read on the fly may be as large as 64 MB, but a DTD naming
// many of them had the check keep them all (40 made 2.7 GB): a run reads 256
// MB from the network at most, and the check fails cleanly past that, in
// bounded memory.
TEST(CheckerHttp, ARunReadsABoundedTotalFromTheNetwork)
{
  std::string folder = MakeTempFolder();
  WriteTestFile(folder + "blank.ent", std::string(std::size_t(60) << 20, ' '));
  std::string text = "<!DOCTYPE a [\n";
  for (int i = 1; i <= 8; ++i) {
    std::string n = std::to_string(i);
    text += "<!ENTITY % p" + n + " SYSTEM \"BASEblank.ent?" + n + "\">\n%p" + n + ";\n";
  }
  text += "]>\n<a/>\n";
  HttpTestServer server(folder);
  std::size_t at;
  while ((at = text.find("BASE")) != std::string::npos) text.replace(at, 4, server.BaseURL());
  std::string outcome = RunWithMemoryCap(std::size_t(1) << 30, 120, [&] { return ErrorFromElsewhere(text, false); });
  const std::string fifth = server.BaseURL() + "blank.ent?5";
  EXPECT_EQ(outcome.rfind("Cannot load \"" + fifth + "\": the resources read from the network for one check or "
                          "transform may come to 256 MB at most\r\nLine: 11\r\n", 0), 0u) << outcome;
  EXPECT_EQ(server.RequestLog().find("GET /blank.ent?6 "), std::string::npos);
}

// The XHTML and DocBook DTDs come from the system's XML catalog, without the
// network: a page made from the shipped XHTML template is valid offline, also
// when it came from the web (the catalog's copies are no files of the user).
TEST(CheckerHttp, DtdsOfTheSystemCatalogNeedNoNetwork)
{
  auto& drivers = URLSystem().Protocols;
  drivers.erase(std::remove_if(drivers.begin(), drivers.end(),
                               [](const auto& driver) { return driver->ProtocolName != "file"; }),
                drivers.end());
  const std::string page = ReadTestFile(std::string(TEST_SOURCE_ROOT) + "/data/help/html/blanks/page.html");
  ASSERT_NE(page.find("\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\""), std::string::npos);
  const std::string book = "<?xml version=\"1.0\"?>\n<!DOCTYPE article PUBLIC \"-//OASIS//DTD DocBook XML V4.5//EN\"\n"
                           " \"http://www.oasis-open.org/docbook/xml/4.5/docbookx.dtd\">\n"
                           "<article><title>T&eacute;</title><para>A &ndash; B</para></article>\n";
  for (const std::string& text : {page, book}) {
    for (const std::string& origin : {std::string(), std::string("https://127.0.0.1:9/page.html")}) {
      SCOPED_TRACE(origin);
      CurrentFolderScope scope(MakeTempFolder());
      TXMLChecker checker;
      checker.Validate = true;
      checker.XML = text;
      checker.BaseURL = origin;
      EXPECT_EQ(MessageOf<std::exception>([&] { checker.Check(); }), "no exception");
    }
  }
  std::string invalid = page;
  invalid.replace(invalid.find("<head>"), 6, "<head><blink/>");
  TXMLChecker checker;
  checker.Validate = true;
  checker.XML = invalid;
  EXPECT_NE(MessageOf<EXMLParseError>([&] { checker.Check(); }).find("No declaration for element blink"),
            std::string::npos);
  FreeURLSystem();
}

// A check waiting for a DTD from a server that stopped answering ends as
// cancelled when the user cancels it, not as a DTD that could not be loaded;
// the next check works.
TEST(CheckerHttp, CancelWhileADtdIsFetchedEndsTheCheckAsCancelled)
{
  HttpTestServer server(CheckerData());
  const std::string stalled = server.BaseURL() + "_headers";
  std::exception_ptr raised = RunAndCancel(
      [&] {
        CheckFromElsewhere("<!DOCTYPE a SYSTEM \"" + stalled + "\">\n<a>" + std::string(1 << 20, 'x') + "</a>\n", false);
      },
      [&](const TWorkProgress&) { return server.RequestLog().find("GET /_headers ") != std::string::npos; });
  EXPECT_EQ(Outcome(raised), "cancelled");
  EXPECT_TRUE(CheckFromElsewhere(WithDoctype("book.xml", server.BaseURL() + "book.dtd"), true));
  FreeURLSystem();
}

// A document on an FTP server in a folder whose name holds "#", "?", "%", a
// blank or a letter beyond ASCII had its DTD looked for one folder up (a "#"
// or "?" cut the folder off its address), under another name ("%41" read as
// "A") or as a local file (an address with a blank is none): its address went
// to the parser unescaped. The DTD beside it, and the entity that the DTD
// names relative to itself, are read from that folder.
TEST(CheckerFtp, DefinitionsBesideADocumentInAFolderWithUrlCharacters)
{
  if (!URLSystem().FindProtocol(TURL("ftp:x/"))) URLSystem().Register(std::make_unique<TFTPProtocol>());
  FtpTestServer server;
  WriteTestFile(server.Root + "book.dtd", "<!ELEMENT book EMPTY>\n");  // a decoy where the cut-off name points
  CurrentFolderScope scope(MakeTempFolder());                         // and nothing resolves locally
  for (const std::string name : {"a#b", "c?d", "100%41", "my docs", "\xC3\xA9t\xC3\xA9"}) {
    SCOPED_TRACE(name);
    std::filesystem::create_directories(server.Root + name + "/sub");
    for (const char* file : {"book.dtd", "sub/legal.ent"})
      WriteTestFile(server.Root + name + "/" + file, ReadTestFile(CheckerData(file)));
    TURL document("ftp:" + server.Host() + "/" + name + "/book.xml");
    document.User = server.Settings.User;
    document.Password = server.Settings.Password;
    document.Passive = true;
    XMLFTPLogin login(document);
    TXMLChecker checker;
    checker.Validate = true;
    checker.XML = ReadTestFile(CheckerData("book.xml"));
    checker.BaseURL = document.GetURL();
    bool valid = false;
    EXPECT_EQ(MessageOf<std::exception>([&] { valid = checker.Check(); }), "no exception");
    EXPECT_TRUE(valid);
    EXPECT_NE(server.ServerLog().find("RETR /" + name + "/sub/legal.ent"), std::string::npos);
  }
  EXPECT_EQ(server.ServerLog().find("RETR /book.dtd"), std::string::npos);
  FreeURLSystem();
}
