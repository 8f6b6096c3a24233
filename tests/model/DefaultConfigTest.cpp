// The shipped data/default.config: exactly the file format, every binding
// names a known command, no key sequence is bound twice, and it equals the
// built-in configuration.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "model/ApplicationCommands.h"
#include "model/BuiltInConfig.h"
#include "model/EditorCommands.h"
#include "model/TConfigInfo.h"
#include "TestSupport.h"

namespace {

std::string ShippedText()
{
  return ReadTestFile(std::string(TEST_SOURCE_ROOT) + "/data/default.config");
}

TEST(DefaultConfig, ParsesCompletelyAndWritesBackByteForByte)
{
  std::string text = ShippedText();
  ASSERT_FALSE(text.empty());
  TConfigInfo config;
  int errors = 0;
  config.Parse(text, [&errors](const std::string&, const std::string&, const std::string&) { ++errors; });
  EXPECT_EQ(errors, 0);
  EXPECT_EQ(config.GetXML(), text);
}

TEST(DefaultConfig, EveryLineEndsInCRLF)
{
  std::string text = ShippedText();
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
    }
  }
}

TEST(DefaultConfig, EqualsTheBuiltInConfiguration)
{
  TConfigInfo builtIn;
  SetBuiltInConfig(builtIn);
  EXPECT_EQ(builtIn.GetXML(), ShippedText());
}

TEST(DefaultConfig, SensibleEditorSettings)
{
  TConfigInfo config;
  config.Parse(ShippedText());
  EXPECT_TRUE(config.GutterVisible);
  EXPECT_TRUE(config.GutterLineNumbers);
  EXPECT_GT(config.TabWidth, 0);
  EXPECT_EQ(config.RightEdgeColumn, 80);
  EXPECT_EQ(config.EditorFont.GetName(), "Monospace");
  EXPECT_EQ(config.EditorFont.Size, 10);
  EXPECT_NE(config.BackgroundColor, config.EditorFont.Color);
  EXPECT_NE(config.SelectedColor, config.SelectedBackground);
}

TEST(DefaultConfig, EveryBindingNamesAKnownCommandAndAKey)
{
  TConfigInfo config;
  config.Parse(ShippedText());
  ASSERT_GT(config.ShortcutCount(), 50);
  for (int i = 0; i < config.ShortcutCount(); ++i) {
    const TShortcutItem& item = *config.GetShortcut(i);
    EXPECT_NE(item.Key, 0) << item.Command;
    if (item.IsEditorCommand()) {
      TEditorCommand number;
      EXPECT_TRUE(IdentToEditorCommand(item.Command, number)) << item.Command;
      EXPECT_NE(item.GetEditorCommand(), ecNone) << item.Command;
    } else {
      EXPECT_TRUE(IsApplicationCommandName(item.Command)) << item.Command;
    }
  }
}

TEST(DefaultConfig, NoKeySequenceIsBoundTwice)
{
  TConfigInfo config;
  config.Parse(ShippedText());
  std::map<std::pair<unsigned, unsigned>, std::string> seen;
  std::set<unsigned> firstStrokes;
  for (int i = 0; i < config.ShortcutCount(); ++i) {
    const TShortcutItem& item = *config.GetShortcut(i);
    unsigned key2 = item.IsEditorCommand() ? item.Key2 : 0;
    auto [it, added] = seen.emplace(std::make_pair(item.Key, key2), item.Command);
    EXPECT_TRUE(added) << item.GetKeyText() << " " << item.GetKey2Text() << " binds " << it->second << " and "
                       << item.Command;
    firstStrokes.insert(item.Key);
  }
  // A key that starts a two-stroke sequence is not also bound alone.
  for (const auto& [keys, command] : seen) {
    if (keys.second != 0) {
      EXPECT_EQ(seen.count({keys.first, 0}), 0u) << command;
    }
  }
}

TEST(DefaultConfig, BindsTheCommonCommands)
{
  TConfigInfo config;
  config.Parse(ShippedText());
  std::map<std::string, std::set<std::string>> keysOf;
  for (int i = 0; i < config.ShortcutCount(); ++i)
    keysOf[config.GetShortcut(i)->Command].insert(config.GetShortcut(i)->GetKeyText());
  const std::map<std::string, std::string> expected = {
      {"pvFileNew", "Ctrl+N"},        {"pvFileOpenFile", "Ctrl+O"},  {"pvFileSave", "Ctrl+S"},
      {"pvFilePrint", "Ctrl+P"},      {"pvSearchFind", "Ctrl+F"},     {"pvSearchReplace", "Ctrl+R"},
      {"pvToolsWellFormed", "F9"},    {"pvToolsIsValid", "Shift+F9"}, {"pvToolsTransform", "F10"},
      {"pvHelpContents", "F1"},       {"pvFileClose", "Ctrl+F4"},     {"pvToolsPreview1", "F12"},
      {"ecUndo", "Ctrl+Z"},           {"ecRedo", "Shift+Ctrl+Z"},     {"ecCopy", "Ctrl+Ins"},
      {"ecPaste", "Shift+Ins"},       {"ecCut", "Shift+Del"},         {"ecSelectAll", "Ctrl+A"},
      {"ecToggleMode", "Ins"},        {"ecDeleteLastWord", "Ctrl+BkSp"}, {"ecDeleteWord", "Ctrl+Del"},
      {"ecEditorTop", "Ctrl+Home"},   {"ecSelEditorBottom", "Shift+Ctrl+End"}, {"ecScrollDown", "Ctrl+Down"},
      {"ecSetMarker3", "Shift+Ctrl+3"}, {"ecGotoMarker3", "Ctrl+3"}, {"ecBlockIndent", "Shift+Ctrl+I"},
      {"ecBlockUnindent", "Shift+Ctrl+U"}, {"ecShiftTab", "Shift+Tab"}, {"ecLineBreak", "Enter"}};
  for (const auto& [command, key] : expected) EXPECT_EQ(keysOf[command].count(key), 1u) << command << " " << key;
  EXPECT_EQ(keysOf["ecUndo"].count("Alt+BkSp"), 1u);
  EXPECT_EQ(keysOf["ecRedo"].count("Ctrl+Y"), 1u);
}

}  // namespace
