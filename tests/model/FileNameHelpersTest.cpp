// The model's small file-name routines.

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "model/FileNameHelpers.h"
#include "TestSupport.h"

namespace {

// Runs each test in a fresh current directory.
class UniqueFileNameTest : public ::testing::Test {
protected:
  std::string Saved;
  void SetUp() override
  {
    char buffer[PATH_MAX];
    ASSERT_NE(::getcwd(buffer, sizeof buffer), nullptr);
    Saved = buffer;
    ASSERT_EQ(::chdir(MakeTempFolder("unique-name").c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(::chdir(Saved.c_str()), 0); }
};

TEST_F(UniqueFileNameTest, FreeNameIsKept)
{
  EXPECT_EQ(UniqueFileName("a.xml"), "a.xml");
}

TEST_F(UniqueFileNameTest, NumberGoesBeforeTheExtension)
{
  WriteTestFile("a.xml", "");
  WriteTestFile("a1.xml", "");
  EXPECT_EQ(UniqueFileName("a.xml"), "a2.xml");
}

TEST_F(UniqueFileNameTest, NameWithoutDotGetsTheNumberAtTheEnd)
{
  WriteTestFile("readme", "");
  EXPECT_EQ(UniqueFileName("readme"), "readme1");
}

TEST_F(UniqueFileNameTest, NameBeginningWithItsOnlyDot)
{
  WriteTestFile(".xml", "");
  EXPECT_EQ(UniqueFileName(".xml"), "1.xml");
}

TEST_F(UniqueFileNameTest, SplitsAtTheLastDot)
{
  WriteTestFile("a.b.c", "");
  EXPECT_EQ(UniqueFileName("a.b.c"), "a.b1.c");
}

TEST_F(UniqueFileNameTest, FolderDoesNotCount)
{
  ASSERT_EQ(::mkdir("~x.xml", 0755), 0);
  EXPECT_EQ(UniqueFileName("~x.xml"), "~x.xml");
}

TEST(FileNameHelpers, NumberSuffix)
{
  EXPECT_EQ(NumberSuffix(0), "");
  EXPECT_EQ(NumberSuffix(-3), "");
  EXPECT_EQ(NumberSuffix(1), "1");
  EXPECT_EQ(NumberSuffix(42), "42");
}

TEST(FileNameHelpers, LastCharPos)
{
  EXPECT_EQ(LastCharPos('.', "a.b.c"), 4);
  EXPECT_EQ(LastCharPos('.', ".x"), 1);
  EXPECT_EQ(LastCharPos('.', "abc"), -1);
  EXPECT_EQ(LastCharPos('.', ""), -1);
}

TEST(FileNameHelpers, ExtractBaseName)
{
  EXPECT_EQ(ExtractBaseName("/home/u/report.final.xml"), "report.final");
  EXPECT_EQ(ExtractBaseName("C:\\docs\\report.final.xml"), "report.final");
  EXPECT_EQ(ExtractBaseName("C:report.xml"), "report");
  EXPECT_EQ(ExtractBaseName("/a.dir/readme"), "readme");
  EXPECT_EQ(ExtractBaseName("noext"), "noext");
  EXPECT_EQ(ExtractBaseName("/folder/"), "");
}

}  // namespace
