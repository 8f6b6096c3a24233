// The checker with definitions served over http by a local server: the DTD
// and the entities it names relative to itself come through the URL system's
// HTTP driver.

#include <gtest/gtest.h>

#include "HttpTestServer.h"
#include "XMLToolsTestSupport.h"
#include "model/pvtools.h"

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
