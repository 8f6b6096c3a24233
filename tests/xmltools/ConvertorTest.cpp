#include <gtest/gtest.h>

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "xmltools/ConvertedPage.h"
#include "xmltools/THTML2XMLConvertor.h"

namespace fs = std::filesystem;

namespace {

const std::string kConvertData = std::string(TEST_DATA_DIR) + "/convert/";

std::string Convert(THTML2XMLConvertor& convertor, const std::string& html) {
  std::string xml;
  convertor.Convert(html, xml);
  return xml;
}

std::string ConvertDefault(const std::string& html) {
  THTML2XMLConvertor convertor;
  return Convert(convertor, html);
}

// Options file: words "FixMismatch", "FixAttributes", "TagCase=n", "AttrCase=n".
void ApplyOptions(THTML2XMLConvertor& convertor, const std::string& options) {
  std::istringstream words(options);
  std::string word;
  while (words >> word) {
    if (word == "FixMismatch")
      convertor.FixMismatch = true;
    else if (word == "FixAttributes")
      convertor.FixAttributes = true;
    else if (word.rfind("TagCase=", 0) == 0)
      convertor.TagCase = static_cast<std::uint8_t>(std::stoi(word.substr(8)));
    else if (word.rfind("AttrCase=", 0) == 0)
      convertor.AttrCase = static_cast<std::uint8_t>(std::stoi(word.substr(9)));
    else
      ADD_FAILURE() << "unknown option " << word;
  }
}

std::vector<std::string> GoldenNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kConvertData))
    if (entry.path().extension() == ".html") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The libxml2 error text when text is not well-formed XML, "" when it is.
std::string WellFormednessError(const std::string& text) {
  xmlResetLastError();
  xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), "converted.xml", nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (doc) {
    xmlFreeDoc(doc);
    return std::string();
  }
  const xmlError* error = xmlGetLastError();
  return error && error->message ? std::string(error->message) + " at line " + std::to_string(error->line)
                                 : std::string("not well-formed");
}

}  // namespace

TEST(ConvertorGolden, EveryPairMatchesByteForByte) {
  const std::vector<std::string> names = GoldenNames();
  ASSERT_GE(names.size(), 10u);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    THTML2XMLConvertor convertor;
    ApplyOptions(convertor, ReadTestFile(kConvertData + name + ".options"));
    const std::string expected = ReadTestFile(kConvertData + name + ".xml");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(Convert(convertor, ReadTestFile(kConvertData + name + ".html")), expected);
  }
}

TEST(ConvertorGolden, RealisticPagesBecomeWellFormedXML) {
  int pages = 0;
  for (const std::string& name : GoldenNames()) {
    if (name.rfind("realistic-", 0) != 0) continue;
    SCOPED_TRACE(name);
    ++pages;
    THTML2XMLConvertor convertor;
    ApplyOptions(convertor, ReadTestFile(kConvertData + name + ".options"));
    EXPECT_EQ(WellFormednessError(Convert(convertor, ReadTestFile(kConvertData + name + ".html"))), "");
  }
  EXPECT_GE(pages, 2);
}

TEST(ConvertorDefaults, OptionsAndSingletonList) {
  THTML2XMLConvertor convertor;
  EXPECT_EQ(convertor.TagCase, 0);
  EXPECT_EQ(convertor.AttrCase, 0);
  EXPECT_FALSE(convertor.FixAttributes);
  EXPECT_FALSE(convertor.FixMismatch);
  EXPECT_TRUE(convertor.Output.empty());
  EXPECT_TRUE(convertor.Stack.empty());
  const std::vector<std::string> expected{"p",    "img",     "br",   "hr",   "li",   "input", "meta",
                                          "isindex", "base", "link", "area", "dt", "dd"};
  EXPECT_EQ(convertor.Singletons, expected);
}

TEST(ConvertorTags, SingletonsAndEmptyElements) {
  EXPECT_EQ(ConvertDefault("<BR>"), "<br/>");
  EXPECT_EQ(ConvertDefault("<x/><Img src=a.gif>"), "<x/><img src=\"a.gif\"/>");
  EXPECT_EQ(ConvertDefault("<P>Hello</P>"), "<p/>Hello</p>");

  THTML2XMLConvertor convertor;
  convertor.Singletons = {"x"};
  convertor.FixMismatch = true;
  EXPECT_EQ(Convert(convertor, "<p>a<X>b</p>"), "<p>a<x/>b</p>");
}

TEST(ConvertorTags, MismatchStackIsPerConversion) {
  THTML2XMLConvertor convertor;
  convertor.FixMismatch = true;
  EXPECT_EQ(Convert(convertor, "<b><i>x</b></i>"), "<b><i>x<!--- /b --></i></b>");
  EXPECT_EQ(convertor.Stack, std::vector<std::string>{"b"});  // closed in the result only
  EXPECT_EQ(convertor.Output, "<b><i>x<!--- /b --></i>");
  EXPECT_EQ(Convert(convertor, "<u>y</u>"), "<u>y</u>");
  EXPECT_TRUE(convertor.Stack.empty());
  EXPECT_EQ(Convert(convertor, "</u>"), "<!--- /u -->");
}

TEST(ConvertorTags, EndTagsWithoutFixMismatchAreWrittenAsGiven) {
  EXPECT_EQ(ConvertDefault("<b><i>x</b></i>"), "<b><i>x</b></i>");
  THTML2XMLConvertor convertor;
  EXPECT_EQ(Convert(convertor, "<b>x"), "<b>x");
  EXPECT_TRUE(convertor.Stack.empty());
}

TEST(ConvertorAttributes, BareNamesAndCases) {
  THTML2XMLConvertor convertor;
  EXPECT_EQ(Convert(convertor, "<option SELECTED Value=1>"), "<option selected value=\"1\">");
  convertor.FixAttributes = true;
  EXPECT_EQ(Convert(convertor, "<option SELECTED>"), "<option selected=\"selected\">");
  convertor.AttrCase = 1;
  EXPECT_EQ(Convert(convertor, "<option selected x=\"a=b\">"), "<option SELECTED=\"SELECTED\" X=\"a=b\">");
  convertor.AttrCase = 7;
  EXPECT_EQ(Convert(convertor, "<option SeLected>"), "<option SeLected=\"SeLected\">");
}

TEST(ConvertorAttributes, ValuesStayWellFormed) {
  EXPECT_EQ(ConvertDefault("<a t='1 \"2\" 3'>"), "<a t=\"1 &quot;2&quot; 3\">");
  EXPECT_EQ(ConvertDefault("<a t='a<b'>"), "<a t=\"a&lt;b\">");
  EXPECT_EQ(ConvertDefault("<a h=\"?a=1&b=2&amp;c&#1;&#x1F;&#;&\">"),
            "<a h=\"?a=1&amp;b=2&amp;c&#1;&#x1F;&amp;#;&amp;\">");
  EXPECT_EQ(ConvertDefault("<a h=x\"y>"), "<a h=\"x&quot;y\">");
  EXPECT_EQ(WellFormednessError(ConvertDefault("<a t='say \"hi\" & go' u=\"&lt;&#60;\">x</a>")), "");
}

TEST(ConvertorAttributes, ReportedWhitespaceIsKept) {
  EXPECT_EQ(ConvertDefault("<a\r\n  href=\"x\">"), "<a \r\n   href=\"x\">");
  EXPECT_EQ(ConvertDefault("<a href=\"x\">"), "<a href=\"x\">");
  EXPECT_EQ(ConvertDefault("<a  b = 1>"), "<a    b=\"1\">");
}

TEST(ConvertorOtherEvents, CommentsDeclarationsAndInstructions) {
  EXPECT_EQ(ConvertDefault("<!-- a -->"), "<!-- a -->");
  EXPECT_EQ(ConvertDefault("<!DOCTYPE html>"), "<!DOCTYPE  html >");
  EXPECT_EQ(ConvertDefault("<?xml version=\"1.0\"?>"), "<?xml  version=\"1.0\" ?>");
  EXPECT_EQ(ConvertDefault("<?x?>"), "<?x  ?>");
}

TEST(ConvertorText, TextAfterTheLastMarkupIsKept) {
  EXPECT_EQ(ConvertDefault("<b>x</b> tail"), "<b>x</b> tail");
  EXPECT_EQ(ConvertDefault("no markup at all"), "no markup at all");
  EXPECT_EQ(ConvertDefault(""), "");
  EXPECT_EQ(ConvertDefault("<!-- c -->after"), "<!-- c -->after");
  EXPECT_EQ(ConvertDefault("<?pi x?>after"), "<?pi  x ?>after");
  THTML2XMLConvertor convertor;
  convertor.FixMismatch = true;
  // The tail belongs inside the elements still open, before they are closed.
  EXPECT_EQ(Convert(convertor, "<div>a<em>b</em>c"), "<div>a<em>b</em>c</div>");
  EXPECT_EQ(convertor.Output, "<div>a<em>b</em>c");
}

TEST(ConvertorText, CutOffMarkupAtTheEndIsKeptAsText) {
  EXPECT_EQ(ConvertDefault("<b>x</b>y<c"), "<b>x</b>y&lt;c");
  EXPECT_EQ(ConvertDefault("<b>x</b><c d=1"), "<b>x</b>&lt;c d=1");
  // Cut off right after a quoted value the parser still reports the tag.
  EXPECT_EQ(ConvertDefault("<b>x</b><c d='1'"), "<b>x</b><c d=\"1\">");
}

TEST(ConvertorText, ReferencesPassStrayAmpersandsAreEscaped) {
  EXPECT_EQ(ConvertDefault("<p>&nbsp;&amp;&#160; AT&T & co</p>"), "<p/>&nbsp;&amp;&#160; AT&amp;T &amp; co</p>");
}

// The parser reads markup as ASCII: a UTF-16 page (told by its byte-order
// mark) is converted character for character and stays UTF-16 with its mark.
TEST(ConvertorText, Utf16PagesAreConvertedInTheirEncoding) {
  const std::u16string page = u"<HTML><p>Caf\u00E9 \u65E5\u672C<BR></HTML>";
  const std::u16string xml = u"<html><p/>Caf\u00E9 \u65E5\u672C<br/></html>";
  for (bool little : {true, false}) {
    auto bytes = [little](const std::u16string& text) {
      std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
      for (char16_t c : text) {
        char low = static_cast<char>(c & 0xFF);
        char high = static_cast<char>(c >> 8);
        out += little ? low : high;
        out += little ? high : low;
      }
      return out;
    };
    EXPECT_EQ(ConvertDefault(bytes(page)), bytes(xml)) << little;
  }
}

// The result keeps the page's bytes, and an XML reader takes a document that
// names no encoding for UTF-8: a page in another encoding gave a result that
// was not well-formed. It names the encoding now, in a declaration of its
// own or in the one the page began with.
TEST(ConvertedPageTest, APageThatIsNotUtf8NamesItsEncoding) {
  struct Case {
    std::string Page;
    std::string Encoding;
    std::string Xml;
  };
  const Case cases[] = {
      {"<html><body><p>caf\xE9</body></html>\r\n", "WINDOWS-1252",
       "<?xml version=\"1.0\" encoding=\"WINDOWS-1252\"?>\r\n<html><body><p/>caf\xE9</body></html>\r\n"},
      {"<?xml version='1.0'?><html>\xA4</html>", "ISO-8859-15",
       "<?xml  version='1.0' encoding=\"ISO-8859-15\" ?><html>\xA4</html>"},
      {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><html>caf\xE9</html>", "ISO-8859-1",
       "<?xml  version=\"1.0\" encoding=\"ISO-8859-1\" ?><html>caf\xE9</html>"},
      {"<?xml-stylesheet href=\"a.css\"?><html>caf\xE9</html>", "WINDOWS-1252",
       "<?xml version=\"1.0\" encoding=\"WINDOWS-1252\"?>\n<?xml-stylesheet  href=\"a.css\" ?><html>caf\xE9</html>"},
      {"<html>caf\xC3\xA9</html>", "UTF-8", "<html>caf\xC3\xA9</html>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Page);
    THTML2XMLConvertor convertor;
    const std::string xml = ConvertPage(convertor, c.Page, c.Encoding);
    EXPECT_EQ(xml, c.Xml);
    EXPECT_EQ(WellFormednessError(xml), "");
  }
}
