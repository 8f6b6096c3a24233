// The editor configuration and its file text: exact output, reading, the
// fall-backs of the attribute tables, the conversion errors and round trips.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/EConvertError.h"
#include "model/TConfigInfo.h"
#include "TestSupport.h"

namespace {

std::string Fixture(const std::string& name)
{
  return ReadTestFile(std::string(TEST_DATA_DIR) + "/config/" + name);
}

const std::string kColors =
    " color=\"clBlack\" font-color=\"clBlack\"";
const std::string kEditorColors =
    " background-color=\"clBlack\" rightedgecolor=\"clBlack\" font-color=\"clBlack\" selectedcolor=\"clBlack\""
    " selectedbackground=\"clBlack\"";

// The configuration that golden.config holds.
TConfigInfo GoldenConfig()
{
  TConfigInfo config;
  config.GutterVisible = true;
  config.GutterLineNumbers = true;
  config.GutterLeadingZeros = true;
  config.GutterColor = clBtnFace;
  config.GutterFont.Color = 0x123456;
  config.GutterFont.Size = 8;
  config.GutterFont.Style.Bold = true;
  config.GutterFont.Style.Italic = true;
  config.GutterFont.SetName("Courier New");
  config.BackgroundColor = clWindow;
  config.TabWidth = 2;
  config.RightEdgeColumn = 100;
  config.RightEdgeColor = clNone;
  config.EditorFont.Color = clDefault;
  config.EditorFont.Size = 11;
  config.EditorFont.Style.Underline = true;
  config.EditorFont.Style.StrikeOut = true;
  config.EditorFont.SetName("Monospace");
  config.SelectedColor = 0xFF000019;
  config.SelectedBackground = clSkyBlue;
  TShortcutItem& a = config.AddShortcut();
  a.Key = ShortCut(vk::F(12), scShift | scCtrl | scAlt);
  a.Command = "pvFileNew";
  TShortcutItem& b = config.AddShortcut();
  b.Key = ShortCut(vk::Letter('K'), scCtrl);
  b.Key2 = vk::Letter('B');
  b.Command = "ecSetMarker1";
  TShortcutItem& c = config.AddShortcut();
  c.Command = "a \"quoted\" & <odd> name";
  return config;
}

TEST(ConfigInfoXML, NewConfigurationText)
{
  TConfigInfo config;
  EXPECT_EQ(config.GetXML(), Fixture("new.config"));
}

TEST(ConfigInfoXML, GoldenText)
{
  EXPECT_EQ(GoldenConfig().GetXML(), Fixture("golden.config"));
}

TEST(ConfigInfoXML, GoldenReadsBackExactly)
{
  TConfigInfo config;
  config.Parse(Fixture("golden.config"));
  EXPECT_TRUE(config == GoldenConfig());
  EXPECT_EQ(config.GetXML(), Fixture("golden.config"));
}

TEST(ConfigInfoXML, QuotesAmpersandsAndLessThanSurviveARoundTrip)
{
  TConfigInfo config;
  config.EditorFont.SetName("Q\"&<>'x");
  config.GutterFont.SetName("&amp;&lt;");
  config.AddShortcut().Command = "pv\"x\" & <y> 'z' &quot;";
  TConfigInfo read;
  read.Parse(config.GetXML());
  EXPECT_EQ(read.EditorFont.GetName(), "Q\"&<>'x");
  EXPECT_EQ(read.GutterFont.GetName(), "&amp;&lt;");
  ASSERT_EQ(read.ShortcutCount(), 1);
  EXPECT_EQ(read.GetShortcut(0)->Command, "pv\"x\" & <y> 'z' &quot;");
}

TEST(ConfigInfoXML, ColourOutsideTheTableSurvivesAsHex)
{
  TConfigInfo config;
  config.GutterColor = 0x00ABCDEF;
  std::string text = config.GetXML();
  EXPECT_NE(text.find("color=\"$00ABCDEF\""), std::string::npos);
  TConfigInfo read;
  read.Parse(text);
  EXPECT_EQ(read.GutterColor, 0x00ABCDEFu);
}

TEST(ConfigInfoParse, ConfigElementAloneChangesNothing)
{
  TConfigInfo config;
  config.Parse("<config>\r\n</config>\r\n");
  EXPECT_TRUE(config == TConfigInfo());
  EXPECT_EQ(config.TabWidth, 0);
  EXPECT_EQ(config.RightEdgeColumn, 0);
  EXPECT_EQ(config.ShortcutCount(), 0);
}

TEST(ConfigInfoParse, AttributeFallbacks)
{
  TConfigInfo config;
  config.GutterFont.SetName("Keep");
  config.Parse("<gutter visible=\"True\" autosize=\"true\"" + kColors + " font-name=\"\" />" + "<editor tabwidth=\"x\"" +
               kEditorColors + " font-size=\"big\" />");
  EXPECT_FALSE(config.GutterVisible);
  EXPECT_TRUE(config.GutterAutoSize);
  EXPECT_FALSE(config.GutterLineNumbers);
  EXPECT_EQ(config.GutterFont.Size, 6);
  EXPECT_EQ(config.GutterFont.GetName(), "Keep");
  EXPECT_EQ(config.GutterFont.Style, TFontStyles());
  EXPECT_EQ(config.TabWidth, 8);
  EXPECT_EQ(config.RightEdgeColumn, 80);
  EXPECT_EQ(config.EditorFont.Size, 6);
}

TEST(ConfigInfoParse, NamesIgnoreCaseFirstOccurrenceCounts)
{
  TConfigInfo config;
  config.Parse("<editor TABWIDTH=\"3\" tabwidth=\"5\" RightEdgeColumn=\"$10\"" + kEditorColors + " />");
  EXPECT_EQ(config.TabWidth, 3);
  EXPECT_EQ(config.RightEdgeColumn, 16);
  // Tag names compare exactly.
  config.Parse("<Editor tabwidth=\"9\" />");
  EXPECT_EQ(config.TabWidth, 3);
}

TEST(ConfigInfoParse, FontStyleWordsAnywhereAnyCase)
{
  TConfigInfo config;
  config.Parse("<gutter" + kColors + " font-style=\"xBOLDx Underlined\" />");
  EXPECT_TRUE(config.GutterFont.Style.Bold);
  EXPECT_FALSE(config.GutterFont.Style.Italic);
  EXPECT_TRUE(config.GutterFont.Style.Underline);
  EXPECT_FALSE(config.GutterFont.Style.StrikeOut);
  config.Parse("<gutter" + kColors + " font-style=\"\" />");
  EXPECT_EQ(config.GutterFont.Style, TFontStyles());
}

TEST(ConfigInfoParse, ColourForms)
{
  TConfigInfo config;
  config.Parse("<gutter color=\"CLRED\" font-color=\"255\" />");
  EXPECT_EQ(config.GutterColor, clRed);
  EXPECT_EQ(config.GutterFont.Color, clRed);
  config.Parse("<gutter color=\"$FF00000F\" font-color=\"-16777208\" />");
  EXPECT_EQ(config.GutterColor, clBtnFace);
  EXPECT_EQ(config.GutterFont.Color, clWindowText);
}

TEST(ConfigInfoParse, FontNameIsCutTo31Characters)
{
  TConfigInfo config;
  std::string name(40, 'n');
  config.Parse("<gutter" + kColors + " font-name=\"" + name + "\" />");
  EXPECT_EQ(config.GutterFont.GetName(), std::string(31, 'n'));
}

TEST(ConfigInfoParse, ShortcutsElementEmptiesTheList)
{
  TConfigInfo config;
  config.Parse(
      "<config><shortcut key=\"A\" command=\"ecUp\"/><shortcuts><shortcut key=\"B\" key2=\"Ctrl+C\""
      " command=\"ecDown\"/></shortcuts><shortcut key=\"^D\" command=\"pvFileNew\"/></config>");
  ASSERT_EQ(config.ShortcutCount(), 2);
  EXPECT_EQ(config.GetShortcut(0)->Command, "ecDown");
  EXPECT_EQ(config.GetShortcut(0)->Key, vk::Letter('B'));
  EXPECT_EQ(config.GetShortcut(0)->Key2, ShortCut(vk::Letter('C'), scCtrl));
  EXPECT_EQ(config.GetShortcut(1)->Command, "pvFileNew");
  EXPECT_EQ(config.GetShortcut(1)->Key, ShortCut(vk::Letter('D'), scCtrl));
  EXPECT_EQ(config.GetShortcut(2), nullptr);
  EXPECT_EQ(config.GetShortcut(-1), nullptr);
}

TEST(ConfigInfoParse, SynCommandsByNumber)
{
  TConfigInfo config;
  config.Parse("<shortcut command=\"syn-1f5\"/><shortcut command=\"syn-3E8\"/><shortcut command=\"Syn-1f5\"/>");
  ASSERT_EQ(config.ShortcutCount(), 3);
  EXPECT_EQ(config.GetShortcut(0)->Command, "ecDeleteLastChar");
  EXPECT_EQ(config.GetShortcut(1)->Command, "$3E8");
  EXPECT_EQ(config.GetShortcut(2)->Command, "Syn-1f5");
}

template <typename Error>
std::string ParseFailure(TConfigInfo& config, const std::string& text)
{
  try {
    config.Parse(text);
  } catch (const Error& e) {
    return e.what();
  }
  return "no failure";
}

TEST(ConfigInfoParse, ConversionErrors)
{
  TConfigInfo config;
  EXPECT_EQ(ParseFailure<EConvertError>(config, "<shortcut command=\"syn-zz\"/>"),
            "'$zz' is not a valid integer value");
  EXPECT_EQ(ParseFailure<EConvertError>(config, "<shortcut command=\"syn-\"/>"), "'$' is not a valid integer value");
  EXPECT_EQ(ParseFailure<ERangeError>(config, "<shortcut command=\"syn-10000\"/>"), "Range check error");
  EXPECT_EQ(ParseFailure<EConvertError>(config, "<gutter color=\"pink\"/>"), "'pink' is not a valid integer value");
  EXPECT_EQ(ParseFailure<EConvertError>(config, "<gutter/>"), "'' is not a valid integer value");
  EXPECT_EQ(config.ShortcutCount(), 0);
}

TEST(ConfigInfoParse, FailureKeepsWhatWasReadBefore)
{
  TConfigInfo config;
  std::string text = "<shortcuts><shortcut command=\"ecUp\"/></shortcuts>"
                     "<gutter visible=\"true\" color=\"clRed\" font-color=\"bad\" font-size=\"12\" />";
  EXPECT_THROW(config.Parse(text), EConvertError);
  EXPECT_TRUE(config.GutterVisible);
  EXPECT_EQ(config.GutterColor, clRed);
  EXPECT_EQ(config.GutterFont.Size, TConfigFont::DefaultSize);
  EXPECT_EQ(config.ShortcutCount(), 1);
}

TEST(ConfigInfoParse, TolerantReadingReportsAndGoesOn)
{
  TConfigInfo config;
  config.GutterFont.Color = clNavy;
  std::vector<std::string> reports;
  std::string text = "<gutter visible=\"true\" color=\"clRed\" font-color=\"bad\" font-size=\"12\" />"
                     "<shortcuts><shortcut key=\"A\" command=\"syn-zz\"/><shortcut command=\"ecUp\"/></shortcuts>";
  config.Parse(text, [&reports](const std::string& element, const std::string& attribute, const std::string& reason) {
    reports.push_back(element + "|" + attribute + "|" + reason);
  });
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0], "gutter|font-color|'bad' is not a valid integer value");
  EXPECT_EQ(reports[1], "shortcut|command|'$zz' is not a valid integer value");
  EXPECT_EQ(config.GutterFont.Color, clNavy);
  EXPECT_EQ(config.GutterFont.Size, 12);
  ASSERT_EQ(config.ShortcutCount(), 2);
  EXPECT_EQ(config.GetShortcut(0)->Command, "syn-zz");
  EXPECT_EQ(config.GetShortcut(0)->Key, vk::Letter('A'));
}

TEST(ConfigInfo, CopyIsDeep)
{
  TConfigInfo config = GoldenConfig();
  TConfigInfo copy(config);
  EXPECT_TRUE(copy == config);
  copy.GetShortcut(0)->Command = "changed";
  EXPECT_EQ(config.GetShortcut(0)->Command, "pvFileNew");
  copy.ClearShortcuts();
  EXPECT_EQ(copy.ShortcutCount(), 0);
  EXPECT_EQ(config.ShortcutCount(), 3);
}

}  // namespace
