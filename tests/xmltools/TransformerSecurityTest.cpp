// Stylesheets run under security preferences: no writing files, no creating
// folders, no writing to the network, and no reading local files for a
// stylesheet that came from the web. Entity expansion limits stay on. A
// check or transform whose document or stylesheet came from the network
// reads no local file by any route.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <memory>
#include <vector>

#include "FtpTestServer.h"
#include "HttpTestServer.h"
#include "MemoryCap.h"
#include "XMLToolsTestSupport.h"
#include "resource/TURL.h"
#include "resource/TURLSystem.h"
#include "xmltools/XMLEntityLoader.h"
#include "xmltools/pvtools.h"

namespace {

bool Exists(const std::string& path)
{
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

std::string WriterStylesheet(const std::string& target)
{
  return "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\"\n"
         " xmlns:exsl=\"http://exslt.org/common\" extension-element-prefixes=\"exsl\">\n"
         "<xsl:template match=\"/\">\n"
         "<exsl:document href=\"" + target + "\" method=\"text\">stolen</exsl:document>\n"
         "<done/>\n"
         "</xsl:template>\n"
         "</xsl:stylesheet>\n";
}

std::string ReaderStylesheet(const std::string& source)
{
  return "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
         "<xsl:output method=\"text\"/>\n"
         "<xsl:template match=\"/\">\n"
         "<xsl:value-of select=\"document('" + source + "')\"/>\n"
         "</xsl:template>\n"
         "</xsl:stylesheet>\n";
}

}  // namespace

TEST(TransformerSecurity, WritingFilesIsRefused)
{
  std::string folder = MakeTempFolder();
  CurrentFolderScope scope(folder);
  TXMLTransformer transformer;
  transformer.SetStyleSheet(WriterStylesheet("written.txt"));
  std::string output = "stale";
  EXPECT_EQ(MessageOf<EXSLTError>([&] { transformer.Transform("<a/>", output); }),
            "File write for written.txt refused\r\nLine: 4\r\n<exsl:document href=\"written.txt\" method");
  EXPECT_EQ(output, "");
  EXPECT_FALSE(Exists(folder + "written.txt"));
}

TEST(TransformerSecurity, CreatingFoldersIsRefused)
{
  std::string folder = MakeTempFolder();
  CurrentFolderScope scope(folder);
  TXMLTransformer transformer;
  transformer.SetStyleSheet(WriterStylesheet(folder + "newdir/deeper/out.txt"));
  std::string output;
  EXPECT_THROW(transformer.Transform("<a/>", output), EXSLTError);
  EXPECT_FALSE(Exists(folder + "newdir"));
}

TEST(TransformerSecurity, WritingToTheNetworkIsRefused)
{
  TXMLTransformer transformer;
  transformer.SetStyleSheet(WriterStylesheet("http://127.0.0.1:9/upload.txt"));
  std::string output;
  EXPECT_THROW(transformer.Transform("<a/>", output), EXSLTError);
}

TEST(TransformerSecurity, ALocalStylesheetReadsLocalFiles)
{
  CurrentFolderScope scope(TransformData());
  TXMLTransformer transformer;
  transformer.SetStyleSheet(ReaderStylesheet(TransformData("prices.xml")));
  std::string output;
  transformer.Transform("<a/>", output);
  EXPECT_EQ(output, "\n  0.80\n  1.20\n  3.50\n");
}

TEST(TransformerSecurity, AStylesheetFromTheWebReadsNoLocalFiles)
{
  HttpTestServer server(TransformData());
  std::string url = "file://" + TransformData("prices.xml");
  TXMLTransformer transformer;
  transformer.SetStyleSheet(ReaderStylesheet(url), server.BaseURL() + "reader.xsl");
  std::string output;
  EXPECT_EQ(MessageOf<EXSLTError>([&] { transformer.Transform("<a/>", output); }),
            "Local file read for " + url + " refused\r\nLine: 4\r\n<xsl:value-of select=\"document('file:///");
  // A plain path is a path on the stylesheet's server, where it is not found.
  transformer.SetStyleSheet(ReaderStylesheet(TransformData("prices.xml")), server.BaseURL() + "reader.xsl");
  std::string message = MessageOf<EXSLTError>([&] { transformer.Transform("<a/>", output); });
  EXPECT_EQ(message.rfind("Cannot load \"" + server.BaseURL() + TransformData("prices.xml").substr(1) + "\": ", 0), 0u)
      << message;
  EXPECT_NE(message.find("\r\nLine: 4\r\n"), std::string::npos) << message;
  EXPECT_EQ(output, "");
  // A stylesheet from an FTP server is as foreign as one from the web.
  transformer.SetStyleSheet(ReaderStylesheet(url), "ftp:127.0.0.1/styles/reader.xsl");
  EXPECT_EQ(MessageOf<EXSLTError>([&] { transformer.Transform("<a/>", output); }),
            "Local file read for " + url + " refused\r\nLine: 4\r\n<xsl:value-of select=\"document('file:///");
}

TEST(TransformerSecurity, AStylesheetFromTheWebIncludesAndReadsFromTheWeb)
{
  HttpTestServer server(TransformData());
  std::string text = ReadTestFile(TransformData("report.xsl"));
  TXMLTransformer transformer;
  // lib/common.xsl and, from it, ../prices.xml come over http.
  transformer.SetStyleSheet(text, server.BaseURL() + "report.xsl");
  std::string output;
  transformer.Transform(ReadTestFile(TransformData("catalog.xml")), output);
  EXPECT_NE(output.find("<line group=\"office\">Eraser: 1.20</line>"), std::string::npos) << output;

  // Loaded by its address, over TLS too.
  HttpTestServer https(TransformData(), HttpTestServer::TCertificate::Trusted);
  EnvironmentScope trust("SSL_CERT_FILE", HttpTestServer::TrustedCertificateFile());
  TXMLTransformer loaded;
  loaded.LoadStyleSheet(https.BaseURL() + "report.xsl");
  loaded.Transform(ReadTestFile(TransformData("catalog.xml")), output);
  EXPECT_NE(output.find("<line group=\"office\">Eraser: 1.20</line>"), std::string::npos) << output;
  EXPECT_NE(https.RequestLog().find("GET /lib/common.xsl "), std::string::npos) << https.RequestLog();
}

TEST(TransformerSecurity, AStylesheetFromTheWebIncludesNoLocalFiles)
{
  HttpTestServer server(TransformData());
  std::string text =
      "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
      "<xsl:include href=\"" + TransformData("lib/common.xsl") + "\"/>\n"
      "</xsl:stylesheet>\n";
  TXMLTransformer transformer;
  EXPECT_THROW(transformer.SetStyleSheet(text, server.BaseURL() + "x.xsl"), EXSLTError);
  EXPECT_FALSE(transformer.HasStyleSheet());
}

TEST(TransformerSecurity, EntityExpansionLimitsStayOn)
{
  TXMLTransformer transformer;
  transformer.SetStyleSheet(
      "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
      "<xsl:template match=\"/\"><xsl:copy-of select=\".\"/></xsl:template>\n"
      "</xsl:stylesheet>\n");
  std::string output;
  EXPECT_EQ(MessageOf<EXMLParseError>(
                [&] { transformer.Transform(ReadTestFile(CheckerData("billion-laughs.xml")), output); }),
            "Detected an entity reference loop\r\nLine: 14\r\n<lolz>&lol9;</lolz>");
}

// Entity references in the default value of an attribute are copied into
// every element: 1 MB times 5,000 elements took a transform to 5 GB, and a
// check minutes. Attribute values that come to far more than the text and
// its definitions fail the check and the transform, within bounded memory
// and time.
TEST(TransformerSecurity, AttributeDefaultsCannotAmplifyTheText)
{
  std::string text = "<!DOCTYPE d [<!ENTITY a \"" + std::string(1 << 20, 'x') + "\">\n"
                     "<!ATTLIST e x CDATA \"&a;\">]>\n<d>";
  for (int i = 0; i < 5000; ++i) text += "<e/>";
  text += "</d>\n";
  const std::string refusal = "The attribute values of the elements, with the defaults the DTD gives them, come to more "
                              "than 10 times the size of the text and its definitions (64 MB at least): the text is "
                              "not read further\r\nLine: 3\r\n";
  for (bool transform : {false, true}) {
    SCOPED_TRACE(transform ? "transform" : "check");
    std::string outcome = RunWithMemoryCap(std::size_t(1) << 30, 60, [&] {
      try {
        if (transform) {
          TXMLTransformer transformer;
          transformer.SetStyleSheet(
              "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
              "<xsl:template match=\"/\"><xsl:copy-of select=\".\"/></xsl:template>\n</xsl:stylesheet>\n");
          std::string output;
          transformer.Transform(text, output);
        } else {
          TXMLChecker checker;
          checker.XML = text;
          checker.Check();
        }
        return std::string("passed");
      } catch (const EXMLParseError& e) {
        return std::string(e.what()).substr(0, refusal.size());
      }
    });
    EXPECT_EQ(outcome, refusal);
  }
}

namespace {

const char* const kSecret = "TOPSECRET";

// Local files that hold the secret, each in the form one route reads.
struct SecretFiles {
  SecretFiles() : Folder(MakeTempFolder("xmlplivek-secret"))
  {
    WriteTestFile(Folder + "secret.ent", kSecret);
    WriteTestFile(Folder + "secret.dtd", std::string("<!ENTITY leak \"") + kSecret + "\">\n");
    WriteTestFile(Folder + "secret.xml", std::string("<s>") + kSecret + "</s>\n");
    WriteTestFile(Folder + "secret.xsl",
                  std::string("<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
                              "<xsl:template match=\"/\">") + kSecret + "</xsl:template>\n</xsl:stylesheet>\n");
  }
  std::string URL(const std::string& name) const { return "file://" + Folder + name; }
  // What a server of the network holds: a DTD that declares an entity of a local file.
  std::string EvilDtd() const { return "<!ENTITY s SYSTEM \"" + URL("secret.ent") + "\">\n"; }

  std::string Folder;
};

std::string Stylesheet(const std::string& doctype, const std::string& top, const std::string& body)
{
  return doctype + "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n" + top +
         "<xsl:output method=\"xml\"/>\n<xsl:template match=\"/\"><out>" + body + "</out></xsl:template>\n"
         "</xsl:stylesheet>\n";
}

// One way for a text from the network to reach a local file: a document
// (checked, and transformed by a local stylesheet) or a stylesheet (applied
// to a local document).
struct LeakRoute {
  std::string Name;
  std::string Document;    // empty: the route is the stylesheet's
  std::string Stylesheet;  // the stylesheet's text, or the local one the document is transformed with
};

std::vector<LeakRoute> LeakRoutes(const SecretFiles& secret)
{
  const std::string copy = Stylesheet("", "", "<xsl:copy-of select=\".\"/>");
  const std::string fetch = Stylesheet("", "", "<xsl:copy-of select=\"document(/a/@href)\"/>");
  return {
      {"external DTD", "<!DOCTYPE a SYSTEM \"" + secret.URL("secret.dtd") + "\">\n<a>&leak;</a>\n", copy},
      {"general entity", "<!DOCTYPE a [<!ENTITY s SYSTEM \"" + secret.URL("secret.ent") + "\">]>\n<a>&s;</a>\n", copy},
      {"parameter entity",
       "<!DOCTYPE a [<!ENTITY % p SYSTEM \"" + secret.URL("secret.dtd") + "\">\n%p;\n]>\n<a>&leak;</a>\n", copy},
      {"entity of a DTD from the network", "<!DOCTYPE a SYSTEM \"evil.dtd\">\n<a>&s;</a>\n", copy},
      {"XInclude",
       "<a xmlns:xi=\"http://www.w3.org/2001/XInclude\"><xi:include href=\"" + secret.URL("secret.xml") +
           "\"/><xi:include href=\"" + secret.URL("secret.ent") + "\" parse=\"text\"/></a>\n",
       copy},
      {"document() of the document's reference", "<a href=\"" + secret.URL("secret.xml") + "\"/>\n", fetch},
      {"document() of the stylesheet", "",
       Stylesheet("", "", "<xsl:copy-of select=\"document('" + secret.URL("secret.xml") + "')\"/>")},
      {"xsl:include", "",
       "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
       "<xsl:include href=\"" + secret.URL("secret.xsl") + "\"/>\n</xsl:stylesheet>\n"},
      {"xsl:import", "",
       "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
       "<xsl:import href=\"" + secret.URL("secret.xsl") + "\"/>\n</xsl:stylesheet>\n"},
      {"entity of the stylesheet's internal subset", "",
       Stylesheet("<!DOCTYPE xsl:stylesheet [<!ENTITY s SYSTEM \"" + secret.URL("secret.ent") + "\">]>\n", "", "&s;")},
      {"entity of the stylesheet's DTD from the network", "",
       Stylesheet("<!DOCTYPE xsl:stylesheet SYSTEM \"evil.dtd\">\n", "", "&s;")},
  };
}

// What a run gave: its output, or the message it failed with.
std::string Outcome(const std::function<void(std::string&)>& run)
{
  std::string output;
  try {
    run(output);
    return "output: " + output;
  } catch (const std::exception& e) {
    return "failure: " + std::string(e.what()) + " (output: " + output + ")";
  }
}

// The outcomes of a route's check and transform with the document or the
// stylesheet at origin (a URL text; a local path for the control runs).
std::vector<std::string> RunRoute(const LeakRoute& route, const std::string& origin)
{
  std::vector<std::string> outcomes;
  if (!route.Document.empty()) {
    outcomes.push_back(Outcome([&](std::string&) {
      TXMLChecker checker;
      checker.XML = route.Document;
      checker.BaseURL = origin + "doc.xml";
      checker.Check();
    }));
    outcomes.push_back(Outcome([&](std::string& output) {
      TXMLTransformer transformer;
      transformer.SetStyleSheet(route.Stylesheet);
      transformer.Transform(route.Document, output, origin + "doc.xml");
    }));
  } else {
    outcomes.push_back(Outcome([&](std::string& output) {
      TXMLTransformer transformer;
      transformer.SetStyleSheet(route.Stylesheet, origin + "style.xsl");
      transformer.Transform("<a/>", output);
    }));
  }
  return outcomes;
}

}  // namespace

// Every route to a local file, tried with the document or the stylesheet
// from an FTP server, a web server and a web server over TLS: the secret
// appears in no result and no message. The same routes from a local folder
// do reach it (but XInclude, which the tools never process), so each route
// is a real one.
TEST(TransformerSecurity, NothingFromTheNetworkReadsALocalFile)
{
  SecretFiles secret;
  CurrentFolderScope scope(MakeTempFolder());
  FtpTestServer ftp;
  WriteTestFile(ftp.Root + "evil.dtd", secret.EvilDtd());
  std::string web = MakeTempFolder();
  WriteTestFile(web + "evil.dtd", secret.EvilDtd());
  HttpTestServer http(web);
  HttpTestServer https(web, HttpTestServer::TCertificate::Trusted);
  EnvironmentScope trust("SSL_CERT_FILE", HttpTestServer::TrustedCertificateFile());
  TURL ftpDocument("ftp:" + ftp.Host() + "/doc.xml");
  ftpDocument.User = ftp.Settings.User;
  ftpDocument.Password = ftp.Settings.Password;
  ftpDocument.Passive = true;
  XMLFTPLogin login(ftpDocument);
  WriteTestFile(secret.Folder + "evil.dtd", secret.EvilDtd());

  for (const LeakRoute& route : LeakRoutes(secret)) {
    for (const std::string& origin : {"ftp:" + ftp.Host() + "/", http.BaseURL(), https.BaseURL()}) {
      SCOPED_TRACE(route.Name + " from " + origin);
      for (const std::string& outcome : RunRoute(route, origin))
        EXPECT_EQ(outcome.find(kSecret), std::string::npos) << outcome;
    }
    SCOPED_TRACE(route.Name + " from a local folder");
    bool reached = false;
    for (const std::string& outcome : RunRoute(route, secret.Folder)) reached |= outcome.find(kSecret) != std::string::npos;
    EXPECT_EQ(reached, route.Name != "XInclude");
  }
  // The DTD on each server was read, from the address of the text that names it.
  EXPECT_NE(http.RequestLog().find("GET /evil.dtd "), std::string::npos);
  EXPECT_NE(https.RequestLog().find("GET /evil.dtd "), std::string::npos);
  EXPECT_NE(ftp.ServerLog().find("RETR /evil.dtd"), std::string::npos);
  TURL(ftpDocument).Disconnect();
  FreeURLSystem();
}
