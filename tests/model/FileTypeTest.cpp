#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "TestSupport.h"
#include "TypesTestSupport.h"
#include "model/TFileType.h"
#include "resource/EResourceError.h"
#include "resource/ProgramFile.h"

namespace {

const std::string TypesData = std::string(TEST_DATA_DIR) + "/types/";

// A type with a double quote, "&", "<", ">" and "'" in its fields.
void FillSpecial(TFileType& type)
{
  type.Id = "x&y";
  type.Title = "Tom & Jerry <\"Files\">";
  type.MimeType = "text/x-'q'";
  type.Filter = "*.abc;*.a<b";
  type.Preview1 = "\"/opt/My Viewer/view\" \"%1\"";
  type.Preview2 = "*";
  type.Preview3 = "";
  type.HelpFile = "help/x/x & y.html";
  type.NewFileName = "new \"1\".abc";
  type.Highlighter = "X<ML";
  type.AutoComplete = true;
  type.Index = -7;
}

void ExpectSameFields(const TFileType& a, const TFileType& b)
{
  EXPECT_EQ(a.Id, b.Id);
  EXPECT_EQ(a.Title, b.Title);
  EXPECT_EQ(a.MimeType, b.MimeType);
  EXPECT_EQ(a.Filter, b.Filter);
  EXPECT_EQ(a.Preview1, b.Preview1);
  EXPECT_EQ(a.Preview2, b.Preview2);
  EXPECT_EQ(a.Preview3, b.Preview3);
  EXPECT_EQ(a.HelpFile, b.HelpFile);
  EXPECT_EQ(a.NewFileName, b.NewFileName);
  EXPECT_EQ(a.Highlighter, b.Highlighter);
  EXPECT_EQ(a.AutoComplete, b.AutoComplete);
  EXPECT_EQ(a.Index, b.Index);
}

std::string Definition(const std::string& attributes)
{
  return "<filetype " + attributes + " />";
}

}  // namespace

TEST(FileType, StartsWithDefaults)
{
  TFileType type("/x/a.config");
  EXPECT_EQ(type.ConfigFile, "/x/a.config");
  EXPECT_EQ(type.NewFileName, "new");
  EXPECT_EQ(type.Index, 0);
  EXPECT_FALSE(type.AutoComplete);
  ASSERT_NE(type.Schema, nullptr);
  EXPECT_TRUE(type.Schema->Elements.empty());
}

TEST(FileTypeWriter, WritesTheTwelveLinesByteExact)
{
  TFileType type("unused");
  FillSpecial(type);
  EXPECT_EQ(type.GetXML(), ReadTestFile(TypesData + "golden.config"));

  TFileType plain("unused");
  plain.Id = "xml";
  plain.Title = "XML Files";
  plain.Preview1 = "\"C:\\v.exe\" \"%1\"";
  plain.Index = 12;
  EXPECT_EQ(plain.GetXML(),
            "<filetype\r\n"
            "  id=\"xml\" title=\"XML Files\"\r\n"
            "  mimetype=\"\" filter=\"\"\r\n"
            "  preview1=\"&quot;C:\\v.exe&quot; &quot;%1&quot;\"\r\n"
            "  preview2=\"\"\r\n"
            "  preview3=\"\"\r\n"
            "  helpfile=\"\"\r\n"
            "  newfilename=\"new\"\r\n"
            "  highlighter=\"\"\r\n"
            "  autocomplete=\"False\"\r\n"
            "  index=\"12\"\r\n"
            "/>\r\n");
}

TEST(FileTypeWriter, EveryFieldSurvivesAWriteAndARead)
{
  std::string folder = MakeTempFolder();
  TFileType type(folder + "special.config");
  FillSpecial(type);
  type.SaveToFile();
  EXPECT_EQ(ReadTestFile(folder + "special.config"), type.GetXML());

  TFileType read(folder + "special.config");
  read.LoadFromFile();
  ExpectSameFields(read, type);
  EXPECT_EQ(read.GetXML(), type.GetXML());
}

TEST(FileTypeWriter, FailedWriteKeepsTheOldFile)
{
  std::string folder = MakeTempFolder();
  TFileType type(folder + "a.config");
  type.Id = "old";
  type.SaveToFile();
  const std::string old = ReadTestFile(folder + "a.config");

  // Writes beyond 16 bytes fail (EFBIG) while the limit holds.
  type.Id = "new";
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 16;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_THROW(type.SaveToFile(), EFCreateError);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_EQ(ReadTestFile(folder + "a.config"), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);

  TFileType missing(folder + "no/such/folder/b.config");
  try {
    missing.SaveToFile();
    FAIL() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + folder + "no/such/folder/b.config\". ", 0), 0u);
  }
}

TEST(FileTypeReader, ReadsThePlainWrittenForm)
{
  TFileType type(TypesData + "plain.config");
  type.LoadFromFile();
  EXPECT_EQ(type.Id, "xml");
  EXPECT_EQ(type.Title, "XML Files");
  EXPECT_EQ(type.MimeType, "text/xml");
  EXPECT_EQ(type.Filter, "*.xml;*.xsl");
  EXPECT_EQ(type.Preview1, "\"C:\\Program Files\\Viewer\\v.exe\" \"%1\"");
  EXPECT_EQ(type.Preview2, "*");
  EXPECT_EQ(type.Preview3, "viewer '%1'");
  EXPECT_EQ(type.HelpFile, "manual\\x.html");
  EXPECT_EQ(type.NewFileName, "new.xml");
  EXPECT_EQ(type.Highlighter, "XML");
  EXPECT_TRUE(type.AutoComplete);
  EXPECT_EQ(type.Index, 3);
  EXPECT_EQ(type.ConfigFile, TypesData + "plain.config");
  // Autocompletion on: the schema beside it is read.
  EXPECT_EQ(type.Schema->Entities, std::vector<std::string>{"&amp;"});
  ASSERT_NE(type.Schema->FindElement("a"), nullptr);
}

TEST(FileTypeReader, MissingAttributesOverwriteFields)
{
  TFileType type("unused");
  FillSpecial(type);
  EXPECT_TRUE(type.Parse(Definition("id=\"a\"")));
  EXPECT_EQ(type.Id, "a");
  EXPECT_EQ(type.Title, "");
  EXPECT_EQ(type.Preview1, "");
  EXPECT_EQ(type.NewFileName, "");
  EXPECT_FALSE(type.AutoComplete);
  EXPECT_EQ(type.Index, 0);

  TFileType untouched("unused");
  EXPECT_FALSE(untouched.Parse("<FileType id=\"a\"/><other/>text"));
  EXPECT_EQ(untouched.NewFileName, "new");
  EXPECT_EQ(untouched.Id, "");

  TFileType twice("unused");
  EXPECT_TRUE(twice.Parse(Definition("id=\"a\" title=\"A\"") + Definition("id=\"b\"")));
  EXPECT_EQ(twice.Id, "b");
  EXPECT_EQ(twice.Title, "");
}

TEST(FileTypeReader, AutocompleteValues)
{
  for (const char* on : {"True", "TRUE", "true", "1", "-1", "2", "0.5", "1e3"}) {
    TFileType type("unused");
    type.Parse(Definition(std::string("autocomplete=\"") + on + "\""));
    EXPECT_TRUE(type.AutoComplete) << on;
  }
  for (const char* off : {"False", "FALSE", "0", "-0", "0.0", "yes", "", " 1", "1x", "e1"}) {
    TFileType type("unused");
    type.AutoComplete = true;
    type.Parse(Definition(std::string("autocomplete=\"") + off + "\" index=\"4\""));
    EXPECT_FALSE(type.AutoComplete) << off;
    EXPECT_EQ(type.Index, 4) << "reading goes on after " << off;
  }
}

TEST(FileTypeReader, IndexValues)
{
  const std::pair<const char*, int> cases[] = {{"3", 3},   {"x", 0},           {"-2", -2},         {"", 0},
                                               {"+5", 5},  {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
                                               {"2147483648", 0}, {"1.5", 0},  {"-", 0}};
  for (const auto& [text, value] : cases) {
    TFileType type("unused");
    type.Parse(Definition(std::string("index=\"") + text + "\""));
    EXPECT_EQ(type.Index, value) << text;
  }
}

TEST(FileTypeSchema, ReadOnlyWithAutocompleteOnAndAFilePresent)
{
  std::string folder = MakeTempFolder();
  const std::string schema = "<schema><entity>&amp;</entity></schema>";
  WriteTestFile(folder + "on.config", Definition("id=\"on\" autocomplete=\"True\""));
  WriteTestFile(folder + "on.pvcs", schema);
  WriteTestFile(folder + "off.config", Definition("id=\"off\" autocomplete=\"False\""));
  WriteTestFile(folder + "off.pvcs", schema);
  WriteTestFile(folder + "alone.config", Definition("id=\"alone\" autocomplete=\"True\""));

  TFileType on(folder + "on.config"), off(folder + "off.config"), alone(folder + "alone.config");
  on.LoadFromFile();
  off.LoadFromFile();
  alone.LoadFromFile();
  EXPECT_EQ(on.Schema->Entities.size(), 1u);
  EXPECT_TRUE(off.Schema->Entities.empty());
  EXPECT_TRUE(alone.Schema->Entities.empty());
  // Loading again does not double the schema.
  on.LoadFromFile();
  EXPECT_EQ(on.Schema->Entities.size(), 1u);
  // Saving never writes the schema.
  on.SaveToFile();
  EXPECT_EQ(ReadTestFile(folder + "on.pvcs"), schema);
}

TEST(FileTypeSchema, SchemaPathReplacesTheExtension)
{
  EXPECT_EQ(TFileType("/a/b/x.config").GetSchemaFile(), "/a/b/x.pvcs");
  EXPECT_EQ(TFileType("/a/b/x.y.config").GetSchemaFile(), "/a/b/x.y.pvcs");
  EXPECT_EQ(TFileType("/a.d/noext").GetSchemaFile(), "/a.d/noext.pvcs");
}

TEST(FileTypeReader, UnreadableDefinitionRaisesOpenError)
{
  TFileType type(TypesData + "nothing-here.config");
  EXPECT_THROW(type.LoadFromFile(), EFOpenError);
}

TEST(FileType, DefaultExtensionFromTheFirstPattern)
{
  const std::pair<const char*, const char*> cases[] = {
      {"*.xml;*.xsl", ".xml"}, {"*.*", ".*"},          {"*", ""},       {"", ""},
      {"*.htm;*.html", ".htm"}, {"a.b\\c", ""},        {"x.d/y", ""},   {"c:x", ""},
      {"*.tar.gz", ".gz"},      {"readme;*.txt", ""}};
  for (const auto& [filter, ext] : cases) {
    TFileType type("unused");
    type.Filter = filter;
    EXPECT_EQ(type.GetDefaultExt(), ext) << filter;
  }
}

TEST(FileType, HelpFileRelativeToTheProgramFolder)
{
  SetProgramFileName("/opt/plivek/xmlplivek");
  TFileType type("unused");
  type.HelpFile = "help/xml/x.html";
  EXPECT_EQ(type.GetHelpFile(), "/opt/plivek/help/xml/x.html");
  type.HelpFile = "manual\\x.html";
  EXPECT_EQ(type.GetHelpFile(), "/opt/plivek/manual\\x.html");
  for (const char* absolute : {"", "/usr/share/doc/x.html", "\\\\server\\x.html", "C:\\x.html",
                               "http://example.org/x.html"}) {
    type.HelpFile = absolute;
    EXPECT_EQ(type.GetHelpFile(), absolute);
  }
  SetProgramFileName("");
}
