#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "TypesTestSupport.h"
#include "model/TFileTypes.h"
#include "resource/EResourceError.h"
#include "resource/ProgramFile.h"

namespace {

const std::string TypesData = std::string(TEST_DATA_DIR) + "/types/";

std::unique_ptr<TFileType> MakeType(const std::string& id, int index = 0, const std::string& filter = "",
                                    const std::string& configFile = "unused")
{
  auto type = std::make_unique<TFileType>(configFile);
  type->Id = id;
  type->Index = index;
  type->Filter = filter;
  type->Title = id + " Files";
  return type;
}

std::string Ids(const TFileTypes& list)
{
  std::string ids;
  for (int i = 0; i < list.Count(); ++i) ids += (i ? "," : "") + list.GetFileType(i).Id;
  return ids;
}

std::string SortedIds(std::initializer_list<std::pair<const char*, int>> types)
{
  TFileTypes list;
  for (const auto& [id, index] : types) list.AddFileType(MakeType(id, index));
  list.SortByIndex();
  return Ids(list);
}

}  // namespace

TEST(FileTypesSort, PlacesEachIndexWhenItsPositionIsReached)
{
  EXPECT_EQ(SortedIds({{"A", 2}, {"B", 0}, {"C", 1}}), "B,C,A");
  EXPECT_EQ(SortedIds({{"A", 5}, {"B", 3}}), "A,B");
  EXPECT_EQ(SortedIds({{"A", 0}, {"B", 0}, {"C", 0}}), "A,B,C");
  EXPECT_EQ(SortedIds({{"A", 1}, {"B", 0}, {"C", 0}}), "C,A,B");
  EXPECT_EQ(SortedIds({{"A", 4}, {"B", 3}, {"C", 2}, {"D", 1}, {"E", 0}}), "E,D,C,B,A");
  EXPECT_EQ(SortedIds({}), "");
}

TEST(FileTypesLookup, ByIdIgnoringCaseWithTheLastTypeAsFallback)
{
  TFileTypes list;
  list.AddFileType(MakeType("xml"));
  list.AddFileType(MakeType("xsl"));
  list.AddFileType(MakeType("html"));
  EXPECT_EQ(list.FindById("XSL"), &list.GetFileType(1));
  EXPECT_EQ(list.FindById("none"), &list.GetFileType(2));
  // The key decides, not the current Id.
  list.SetKey(0, "renamed");
  EXPECT_EQ(list.FindById("xml"), &list.GetFileType(2));
  EXPECT_EQ(list.FindById("RENAMED"), &list.GetFileType(0));
}

TEST(FileTypesLookup, ByExtensionExactWithTheFirstTypeAsFallback)
{
  TFileTypes list;
  list.AddFileType(MakeType("xml", 0, "*.xml;*.xsd"));
  list.AddFileType(MakeType("html", 0, "*.htm;*.html"));
  list.AddFileType(MakeType("html2", 0, "*.htm"));
  EXPECT_EQ(list.FindByExtension(".htm"), &list.GetFileType(1));
  EXPECT_EQ(list.FindByExtension(".html"), &list.GetFileType(0));
  EXPECT_EQ(list.FindByExtension(".XML"), &list.GetFileType(0));
  EXPECT_EQ(list.FindByExtension(".xsd"), &list.GetFileType(0));
}

TEST(FileTypesLookup, EmptyListGivesNoTypeAndNoFilter)
{
  TFileTypes list;
  EXPECT_EQ(list.FindById("xml"), nullptr);
  EXPECT_EQ(list.FindByExtension(".xml"), nullptr);
  EXPECT_EQ(list.GetFilter(), "");
  EXPECT_THROW(list.GetFileType(0), EListError);
  list.SortByIndex();
  list.Renumber();
  EXPECT_EQ(list.Count(), 0);
}

TEST(FileTypesLookup, PositionsOutsideTheListRaiseTheIndexError)
{
  TFileTypes list;
  list.AddFileType(MakeType("a"));
  try {
    list.GetFileType(1);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (1)");
  }
  EXPECT_THROW(list.GetFileType(-1), EListError);
  EXPECT_THROW(list.GetKey(3), EListError);
  EXPECT_THROW(list.Delete(1), EListError);
  EXPECT_THROW(list.InsertFileType(2, MakeType("b")), EListError);
}

TEST(FileTypes, FilterForTheFileDialogs)
{
  TFileTypes list;
  list.AddFileType(MakeType("XML", 0, "*.xml"));
  list.AddFileType(MakeType("Web", 0, "*.htm;*.html"));
  EXPECT_EQ(list.GetFilter(), "XML Files (*.xml)|*.xml|Web Files (*.htm;*.html)|*.htm;*.html|");
}

TEST(FileTypes, EditingOperationsKeepKeysWithTheirTypes)
{
  TFileTypes list;
  list.AddFileType(MakeType("a"));
  list.AddFileType(MakeType("b"));
  list.InsertFileType(0, MakeType("c"));
  EXPECT_EQ(Ids(list), "c,a,b");
  list.Move(0, 2);
  EXPECT_EQ(Ids(list), "a,b,c");
  EXPECT_EQ(list.GetKey(2), "c");
  TFileType* b = &list.GetFileType(1);
  EXPECT_EQ(list.IndexOf(b), 1);
  list.Delete(1);
  EXPECT_EQ(Ids(list), "a,c");
  EXPECT_EQ(list.IndexOf(b), -1);
}

TEST(FileTypes, RenumberWritesOnlyChangedTypes)
{
  std::string folder = MakeTempFolder();
  TFileTypes list;
  list.AddFileType(MakeType("a", 0, "", folder + "a.config"));
  list.AddFileType(MakeType("b", 5, "", folder + "b.config"));
  list.AddFileType(MakeType("c", 2, "", folder + "c.config"));
  list.Renumber();
  EXPECT_FALSE(std::filesystem::exists(folder + "a.config"));
  EXPECT_FALSE(std::filesystem::exists(folder + "c.config"));
  ASSERT_TRUE(std::filesystem::exists(folder + "b.config"));
  TFileType b(folder + "b.config");
  b.LoadFromFile();
  EXPECT_EQ(b.Index, 1);
  EXPECT_EQ(b.Id, "b");
  std::filesystem::remove(folder + "b.config");
  list.Renumber();
  EXPECT_FALSE(std::filesystem::exists(folder + "b.config"));
}

TEST(FileTypes, RenumberStopsAtAFailedWrite)
{
  std::string folder = MakeTempFolder();
  TFileTypes list;
  list.AddFileType(MakeType("a", 7, "", folder + "a.config"));
  list.AddFileType(MakeType("b", 7, "", folder + "missing/b.config"));
  list.AddFileType(MakeType("c", 7, "", folder + "c.config"));
  EXPECT_THROW(list.Renumber(), EFCreateError);
  EXPECT_TRUE(std::filesystem::exists(folder + "a.config"));
  EXPECT_FALSE(std::filesystem::exists(folder + "c.config"));
  EXPECT_EQ(list.GetFileType(2).Index, 7);
}

TEST(FileTypesDiscovery, FoldersAndFilesInNameOrderIgnoringCase)
{
  LogCapture log;
  TFileTypes list;
  LoadFileTypes(list, TypesData + "help");
  // Alpha/one, beta/three, beta/Two, Delta/five; nothing from gamma/deeper, nothing at the top.
  EXPECT_EQ(Ids(list), "one,three,two,five");
  EXPECT_EQ(list.GetKey(3), "five");
  EXPECT_EQ(list.GetFileType(0).ConfigFile, TypesData + "help/Alpha/one.config");
}

TEST(FileTypesDiscovery, MalformedFilesAreSkippedOrDefaultedAndLogged)
{
  LogCapture log;
  TFileTypes list;
  LoadFileTypes(list, TypesData + "help/");
  // A folder named like a definition file cannot be read: skipped.
  EXPECT_EQ(log.Count(3, "Document type \"" + TypesData + "help/Delta/broken.config\" skipped. Cannot open file"), 1);
  // A text without a filetype element: skipped.
  EXPECT_EQ(log.Count(3, "help/Delta/notag.config\" skipped: no filetype element."), 1);
  // An unreadable schema: the type stays, with an empty schema.
  EXPECT_EQ(log.Count(3, "Autocompletion schema of \"" + TypesData + "help/Delta/five.config\" not loaded."), 1);
  TFileType* five = list.FindById("five");
  ASSERT_EQ(five, &list.GetFileType(3));
  EXPECT_TRUE(five->AutoComplete);
  EXPECT_TRUE(five->Schema->Elements.empty());
  // A child without an element is reported; the schema is kept.
  EXPECT_EQ(log.Count(3, "child \"y\" of element \"x\" not found."), 1);
  EXPECT_NE(list.FindById("one")->Schema->FindElement("x"), nullptr);
  EXPECT_EQ(log.Messages.size(), 4u);
}

TEST(FileTypesDiscovery, MissingOrEmptyFoldersGiveNoTypes)
{
  LogCapture log;
  TFileTypes list;
  LoadFileTypes(list, TypesData + "no-such-help/");
  LoadFileTypeFolder(list, TypesData + "help/gamma/");
  EXPECT_EQ(list.Count(), 0);
  EXPECT_TRUE(log.Messages.empty());
}

TEST(FileTypesDiscovery, SortsByIndexAfterLoading)
{
  std::string base = MakeTempFolder() + "help/";
  std::filesystem::create_directories(base + "b");
  std::filesystem::create_directories(base + "a");
  auto definition = [](const char* id, int index) {
    return std::string("<filetype id=\"") + id + "\" index=\"" + std::to_string(index) + "\"/>";
  };
  WriteTestFile(base + "a/first.config", definition("first", 2));
  WriteTestFile(base + "b/second.config", definition("second", 0));
  WriteTestFile(base + "b/third.config", definition("third", 1));
  TFileTypes list;
  LoadFileTypes(list, base);
  EXPECT_EQ(Ids(list), "second,third,first");
  // Nothing is renumbered or written at start-up.
  EXPECT_EQ(list.GetFileType(2).Index, 2);
  EXPECT_EQ(ReadTestFile(base + "a/first.config"), definition("first", 2));
}

TEST(FileTypesGlobal, CreatedLoadedAndFreedForTheProgram)
{
  std::string folder = MakeTempFolder();
  std::filesystem::create_directories(folder + "help/x");
  WriteTestFile(folder + "help/x/x.config", "<filetype id=\"x\"/>");
  SetProgramFileName(folder + "xmlplivek");
  CreateFileTypes();
  LoadFileTypes();
  EXPECT_EQ(Ids(FileTypes()), "x");
  CreateFileTypes();
  EXPECT_EQ(FileTypes().Count(), 0);
  FreeFileTypes();
  EXPECT_EQ(FileTypes().Count(), 0);  // a fresh empty list, never a dangling one
  FreeFileTypes();
  SetProgramFileName("");
}
