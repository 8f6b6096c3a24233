// Stylesheets run under security preferences: no writing files, no creating
// folders, no writing to the network, and no reading local files for a
// stylesheet that came from the web. Entity expansion limits stay on.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "HttpTestServer.h"
#include "XMLToolsTestSupport.h"
#include "model/pvtools.h"

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
