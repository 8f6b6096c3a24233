// Text rules of the command line and of the file dialogs' filters.

#include <gtest/gtest.h>

#include "workspace/CommandLineText.h"

namespace {

TEST(CommandLineTextTest, DequoteTakesTheQuotedPartOnly)
{
  EXPECT_EQ(DequoteText("\"C:\\My Documents\\a.xml\"", '"'), "C:\\My Documents\\a.xml");
  EXPECT_EQ(DequoteText("\"a\"\"b\"rest", '"'), "a\"b");   // doubled quote, tail dropped
  EXPECT_EQ(DequoteText("\"unclosed", '"'), "unclosed");
  EXPECT_EQ(DequoteText("\"\"", '"'), "\"\"");              // empty quoted part: unchanged
  EXPECT_EQ(DequoteText("plain\"x\"", '"'), "plain\"x\"");  // no leading quote: unchanged
  EXPECT_EQ(DequoteText("'a.xml'", '\''), "a.xml");
  EXPECT_EQ(DequoteText("", '"'), "");
}

TEST(CommandLineTextTest, SwitchIdIsTheUpperCasedTextAfterTheFirstEquals)
{
  bool found = false;
  EXPECT_EQ(SwitchTypeId("/type=xsl", found), "XSL");
  EXPECT_TRUE(found);
  EXPECT_EQ(SwitchTypeId("/t=a=b", found), "A=B");
  EXPECT_EQ(SwitchTypeId("/t=", found), "");
  EXPECT_TRUE(found);
  SwitchTypeId("/x", found);
  EXPECT_FALSE(found);
}

TEST(CommandLineTextTest, SwitchesAndAbsolutePathsAreToldApart)
{
  EXPECT_TRUE(IsSwitchArgument("/type=xsl"));
  EXPECT_TRUE(IsSwitchArgument("/x"));
  EXPECT_TRUE(IsSwitchArgument("/t="));
  EXPECT_FALSE(IsSwitchArgument("/home/user/a.xml"));
  EXPECT_FALSE(IsSwitchArgument("a.xml"));
  EXPECT_FALSE(IsSwitchArgument(""));
}

TEST(CommandLineTextTest, PathsAreDequotedSlashedAndMadeAbsolute)
{
  EXPECT_EQ(CommandLinePath("\"C:\\My Documents\\a.xml\"", "/start"), "/start/C:/My Documents/a.xml");
  EXPECT_EQ(CommandLinePath("'/data/a b.xml'", "/start"), "/data/a b.xml");
  EXPECT_EQ(CommandLinePath("sub\\a.xml", "/start/"), "/start/sub/a.xml");
}

TEST(CommandLineTextTest, FilterTurnsIntoQtForm)
{
  EXPECT_EQ(QtFileFilter("XML Files (*.xml;*.xsd)|*.xml;*.xsd|CSS Files (*.css)|*.css|").toStdString(),
            "XML Files (*.xml *.xsd);;CSS Files (*.css)");
  EXPECT_EQ(QtFileFilter("Odd|*.a;*.b|").toStdString(), "Odd (*.a *.b)");
  EXPECT_EQ(QtFileFilter("").toStdString(), "All files (*)");
}

TEST(CommandLineTextTest, FolderPart)
{
  EXPECT_EQ(NativeFolderPart("/data/docs/a.xml"), "/data/docs/");
  EXPECT_EQ(NativeFolderPart("a.xml"), "");
}

}  // namespace
