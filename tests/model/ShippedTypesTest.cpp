// Loads every shipped document type under data/help through the model and
// checks that each file is read completely and consistently.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "TestSupport.h"
#include "TypesTestSupport.h"
#include "model/TFileTypes.h"

namespace fs = std::filesystem;

namespace {

const std::string HelpFolder = std::string(TEST_SOURCE_ROOT) + "/data/help/";

int CountOf(const std::string& text, const std::string& what)
{
  int n = 0;
  for (auto pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
  return n;
}

class ShippedTypes : public ::testing::Test {
protected:
  void SetUp() override { LoadFileTypes(list, HelpFolder); }
  LogCapture log;
  TFileTypes list;
};

}  // namespace

TEST_F(ShippedTypes, LoadWithoutAnyReport)
{
  EXPECT_TRUE(log.Messages.empty()) << (log.Messages.empty() ? "" : log.Messages[0].second);
  int configs = 0;
  for (const auto& entry : fs::recursive_directory_iterator(HelpFolder))
    if (entry.path().extension() == ".config") ++configs;
  EXPECT_EQ(list.Count(), configs);
}

TEST_F(ShippedTypes, TheFiveFamiliesInOrder)
{
  ASSERT_EQ(list.Count(), 5);
  const char* ids[] = {"xml", "xsl", "html", "css", "php"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(list.GetFileType(i).Id, ids[i]);
    EXPECT_EQ(list.GetKey(i), ids[i]);
    EXPECT_EQ(list.GetFileType(i).Index, i);
    EXPECT_EQ(list.FindById(ids[i]), &list.GetFileType(i));
  }
  EXPECT_EQ(list.FindById("html")->MimeType, "text/html");
  EXPECT_EQ(list.FindByExtension(".xml")->Id, "xml");
  EXPECT_EQ(list.FindByExtension(".xsl")->Id, "xsl");
  EXPECT_EQ(list.FindByExtension(".html")->Id, "html");
  EXPECT_EQ(list.FindByExtension(".css")->Id, "css");
  EXPECT_EQ(list.FindByExtension(".php")->Id, "php");
  EXPECT_EQ(list.FindById("css")->Highlighter, "CSS");
  EXPECT_EQ(list.FindById("php")->Highlighter, "PHP");
}

TEST_F(ShippedTypes, EveryDefinitionIsInItsWrittenForm)
{
  const std::set<std::string> highlighters{"XML", "CSS", "PHP"};
  const std::regex previewer(R"(^(\*|[^*"%]*"?%1"?[^%]*)?$)");
  for (int i = 0; i < list.Count(); ++i) {
    const TFileType& type = list.GetFileType(i);
    SCOPED_TRACE(type.ConfigFile);
    EXPECT_EQ(type.GetXML(), ReadTestFile(type.ConfigFile));
    EXPECT_FALSE(type.Title.empty());
    EXPECT_FALSE(type.MimeType.empty());
    EXPECT_EQ(type.GetDefaultExt(), "." + type.Id);
    EXPECT_EQ(type.NewFileName, "new." + type.Id);
    EXPECT_EQ(highlighters.count(type.Highlighter), 1u);
    EXPECT_EQ(type.Preview1, "*");
    for (const std::string* p : {&type.Preview1, &type.Preview2, &type.Preview3})
      EXPECT_TRUE(std::regex_match(*p, previewer)) << *p;
    const std::string family = fs::path(type.ConfigFile).parent_path().filename().string();
    EXPECT_EQ(type.HelpFile.rfind("help/" + family + "/", 0), 0u) << type.HelpFile;
  }
}

TEST_F(ShippedTypes, SchemasAreCompleteAndConsistent)
{
  for (int i = 0; i < list.Count(); ++i) {
    const TFileType& type = list.GetFileType(i);
    SCOPED_TRACE(type.ConfigFile);
    const bool hasFile = fs::exists(type.GetSchemaFile());
    EXPECT_EQ(type.AutoComplete, hasFile) << "a schema exactly for the types with autocompletion";
    if (!type.AutoComplete) continue;
    const std::string text = ReadTestFile(type.GetSchemaFile());
    const TAutoCompleteSchema& schema = *type.Schema;
    // Every entry of the file made it into the schema.
    EXPECT_EQ(static_cast<int>(schema.Elements.size()), CountOf(text, "<element "));
    EXPECT_EQ(static_cast<int>(schema.Entities.size()), CountOf(text, "<entity>"));
    int attributes = 0, children = 0;
    for (const auto& element : schema.Elements) {
      attributes += static_cast<int>(element->Attributes.size());
      children += static_cast<int>(element->Children.size());
      EXPECT_EQ(schema.FindElement(element->Name), element.get()) << "duplicate " << element->Name;
      for (const std::string& attribute : element->Attributes)
        EXPECT_NE(attribute.find("=\"|\""), std::string::npos) << attribute;
    }
    EXPECT_EQ(attributes, CountOf(text, "<attribute "));
    EXPECT_EQ(children, CountOf(text, "<child "));
    EXPECT_TRUE(schema.MissingChildren().empty());
    for (const std::string& entity : schema.Entities)
      EXPECT_TRUE(std::regex_match(entity, std::regex("&[A-Za-z][A-Za-z0-9]*;"))) << entity;
    EXPECT_FALSE(schema.Entities.empty());
  }
}

TEST_F(ShippedTypes, SchemaContents)
{
  const TAutoCompleteSchema& xml = *list.FindById("xml")->Schema;
  EXPECT_EQ(xml.Entities, (std::vector<std::string>{"&amp;", "&apos;", "&gt;", "&lt;", "&quot;"}));

  TAutoCompleteSchema& html = *list.FindById("html")->Schema;
  EXPECT_EQ(html.Entities.size(), 252u);
  for (const char* entity : {"&nbsp;", "&copy;", "&euro;", "&Omega;", "&thetasym;", "&zwnj;", "&amp;"})
    EXPECT_NE(std::find(html.Entities.begin(), html.Entities.end(), entity), html.Entities.end()) << entity;
  EXPECT_EQ(html.GetChildren("html"), (std::vector<std::string>{"<body>|</body>", "<head>|</head>"}));
  EXPECT_EQ(html.FindElement("br")->InsertText, "<br />");
  EXPECT_EQ(html.FindElement("img")->InsertText, "<img src=\"|\" alt=\"\" />");
  const auto& ul = html.GetChildren("ul");
  EXPECT_EQ(ul, std::vector<std::string>{"<li>|</li>"});
  const auto& a = html.GetAttributes("a");
  EXPECT_NE(std::find(a.begin(), a.end(), "href=\"|\""), a.end());

  TAutoCompleteSchema& xsl = *list.FindById("xsl")->Schema;
  int xslElements = 0;
  for (const auto& element : xsl.Elements) xslElements += element->Name.rfind("xsl:", 0) == 0;
  EXPECT_EQ(xslElements, 35);
  const auto& choose = xsl.GetChildren("xsl:choose");
  EXPECT_EQ(choose, (std::vector<std::string>{"<xsl:otherwise>|</xsl:otherwise>", "<xsl:when test=\"|\"></xsl:when>"}));
  const auto& sort = xsl.GetAttributes("xsl:sort");
  EXPECT_EQ(sort.size(), 5u);
  // Outside any element the document's top-level items are offered.
  const auto& top = xsl.GetChildren("");
  EXPECT_NE(std::find(top.begin(), top.end(),
                      "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">|"
                      "</xsl:stylesheet>"),
            top.end());
}

TEST_F(ShippedTypes, EveryFamilyHasTemplates)
{
  for (int i = 0; i < list.Count(); ++i) {
    const TFileType& type = list.GetFileType(i);
    const fs::path blanks = fs::path(type.ConfigFile).parent_path() / "blanks";
    ASSERT_TRUE(fs::is_directory(blanks)) << blanks;
    bool extension = false;
    for (const auto& entry : fs::directory_iterator(blanks)) {
      EXPECT_TRUE(entry.is_regular_file()) << entry.path();
      extension |= entry.path().extension() == type.GetDefaultExt();
    }
    EXPECT_TRUE(extension) << "a template for " << type.Id;
  }
}

// The data files are written with CR LF. The templates are documents: new
// documents use LF, and so do the documents made from them.
TEST(ShippedData, DataFilesHaveCRLFLineEndsAndTemplatesLF)
{
  for (const auto& entry : fs::recursive_directory_iterator(HelpFolder)) {
    if (!entry.is_regular_file()) continue;
    const std::string text = ReadTestFile(entry.path().string());
    SCOPED_TRACE(entry.path().string());
    EXPECT_FALSE(text.empty());
    if (entry.path().parent_path().filename() == "blanks") {
      EXPECT_EQ(text.back(), '\n');
      EXPECT_EQ(text.find('\r'), std::string::npos);
      continue;
    }
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') {
        ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
      }
    }
  }
}
