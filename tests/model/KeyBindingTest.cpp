// Key text, the editor command table, the application command names, the
// classification of binding commands and keys claimed by two bindings.

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "model/ApplicationCommands.h"
#include "model/EditorCommands.h"
#include "model/KeyText.h"
#include "model/ShortcutClashes.h"
#include "model/TShortcutItem.h"

namespace {

TEST(KeyText, NoKeyReadsAndWritesAsEmpty)
{
  EXPECT_EQ(ShortCutToText(0), "");
  EXPECT_EQ(TextToShortCut(""), 0);
  EXPECT_EQ(TextToShortCut("Shift+"), 0);
  EXPECT_EQ(TextToShortCut("Ctrl+Alt+"), 0);
  EXPECT_EQ(TextToShortCut("^"), 0);
  EXPECT_EQ(TextToShortCut("Hyper"), 0);
  EXPECT_EQ(TextToShortCut("Ctrl+Hyper"), 0);
  // A modifier bit alone names no key.
  EXPECT_EQ(ShortCutToText(scCtrl | scShift), "");
}

TEST(KeyText, FixedNames)
{
  const std::vector<std::pair<unsigned, std::string>> names = {
      {0x08, "BkSp"}, {0x09, "Tab"},   {0x0D, "Enter"}, {0x1B, "Esc"}, {0x20, "Space"}, {0x21, "PgUp"},
      {0x22, "PgDn"}, {0x23, "End"},   {0x24, "Home"},  {0x25, "Left"}, {0x26, "Up"},   {0x27, "Right"},
      {0x28, "Down"}, {0x2D, "Ins"},   {0x2E, "Del"},   {0x30, "0"},   {0x39, "9"},     {0x41, "A"},
      {0x5A, "Z"},    {0x60, "0"},     {0x69, "9"},     {0x70, "F1"},  {0x7B, "F12"},   {0x87, "F24"}};
  for (const auto& [code, name] : names) EXPECT_EQ(KeyName(code), name) << code;
}

TEST(KeyText, KeyboardNamesForOtherKeys)
{
  EXPECT_EQ(KeyName(0xBA), ";");
  EXPECT_EQ(KeyName(0xBB), "=");
  EXPECT_EQ(KeyName(0xBC), ",");
  EXPECT_EQ(KeyName(0xBD), "-");
  EXPECT_EQ(KeyName(0xBE), ".");
  EXPECT_EQ(KeyName(0xBF), "/");
  EXPECT_EQ(KeyName(0xC0), "`");
  EXPECT_EQ(KeyName(0xDB), "[");
  EXPECT_EQ(KeyName(0xDC), "\\");
  EXPECT_EQ(KeyName(0xDD), "]");
  EXPECT_EQ(KeyName(0xDE), "'");
  EXPECT_EQ(KeyName(0x6A), "Num *");
  EXPECT_EQ(KeyName(0x6B), "Num +");
  EXPECT_EQ(KeyName(0x90), "Num Lock");
  // Unnamed keys give the empty text, with or without modifiers.
  EXPECT_EQ(KeyName(0x00), "");
  EXPECT_EQ(KeyName(0x03), "");
  EXPECT_EQ(ShortCutToText(ShortCut(0xE5, scCtrl)), "");
}

TEST(KeyText, EveryNamedKeyReadsBack)
{
  for (unsigned code = 1; code < 256; ++code) {
    std::string name = KeyName(code);
    if (name.empty()) continue;
    TShortCut key = TextToShortCut(name);
    EXPECT_EQ(KeyName(key), name) << code;
    EXPECT_LT(key, 256u) << code;
    if (code < 0x60 || code > 0x69) {
      EXPECT_EQ(key, code) << name;
    }
  }
}

TEST(KeyText, ModifiersWriteShiftCtrlAlt)
{
  EXPECT_EQ(ShortCutToText(ShortCut(vk::Letter('F'), scShift | scCtrl)), "Shift+Ctrl+F");
  EXPECT_EQ(ShortCutToText(ShortCut(vk::F(12), scShift | scCtrl | scAlt)), "Shift+Ctrl+Alt+F12");
  EXPECT_EQ(ShortCutToText(ShortCut(vk::Back, scAlt)), "Alt+BkSp");
  EXPECT_EQ(ShortCutToText(ShortCut(vk::Delete)), "Del");
}

TEST(KeyText, ModifierSpellingsAllReadTheSame)
{
  const TShortCut expected = ShortCut(vk::Letter('N'), scShift | scCtrl);
  for (const char* text : {"Shift+Ctrl+N", "Ctrl+Shift+N", "ctrl+SHIFT+n", "^Shift+N", "shift+^N", "SHIFT+CTRL+N",
                           "Shift+Shift+Ctrl+N"}) {
    EXPECT_EQ(TextToShortCut(text), expected) << text;
  }
  EXPECT_EQ(ShortCutToText(expected), "Shift+Ctrl+N");
  EXPECT_EQ(TextToShortCut("alt+del"), ShortCut(vk::Delete, scAlt));
  EXPECT_EQ(TextToShortCut("pgdn"), vk::Next);
}

TEST(KeyText, KeypadDigitWritesAsDigitAndReadsAsMainKeyboardDigit)
{
  TShortCut keypad7 = ShortCut(0x67, scCtrl);
  EXPECT_EQ(ShortCutToText(keypad7), "Ctrl+7");
  EXPECT_EQ(TextToShortCut(ShortCutToText(keypad7)), ShortCut(vk::Digit(7), scCtrl));
}

TEST(KeyText, NamesHoldingPlusAreNotModifiers)
{
  EXPECT_EQ(TextToShortCut("Ctrl+Num +"), ShortCut(0x6B, scCtrl));
  EXPECT_EQ(ShortCutToText(ShortCut(0x6B, scCtrl)), "Ctrl+Num +");
}

TEST(EditorCommands, TableHas96UniqueEntriesInOrder)
{
  const auto& table = EditorCommandTable();
  ASSERT_EQ(table.size(), 96u);
  std::set<unsigned> numbers;
  std::set<std::string> idents;
  for (const auto& entry : table) {
    numbers.insert(entry.Number);
    std::string lower = entry.Ident;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    idents.insert(lower);
  }
  EXPECT_EQ(numbers.size(), 96u);
  EXPECT_EQ(idents.size(), 96u);
  EXPECT_STREQ(table.front().Ident, "ecNone");
  EXPECT_STREQ(table.back().Ident, "ecString");
  EXPECT_STREQ(table[17].Ident, "ecGotoXY");
  EXPECT_EQ(table[17].Number, 17);
  EXPECT_STREQ(table[18].Ident, "ecSelLeft");
  EXPECT_EQ(table[18].Number, 101);
}

TEST(EditorCommands, EnumerationVisitsEveryIdentifierInTableOrder)
{
  std::vector<std::string> idents;
  GetEditorCommandValues([&idents](const std::string& ident) { idents.push_back(ident); });
  ASSERT_EQ(idents.size(), 96u);
  for (std::size_t i = 0; i < idents.size(); ++i) EXPECT_EQ(idents[i], EditorCommandTable()[i].Ident);
}

TEST(EditorCommands, Lookups)
{
  const std::vector<std::pair<std::string, unsigned>> samples = {
      {"ecNone", 0},           {"ecLeft", 1},           {"ecSelGotoXY", 117},   {"ecSelectAll", 199},
      {"ecDeleteLastChar", 501}, {"ecChar", 511},       {"ecImeStr", 550},      {"ecUndo", 601},
      {"ecRedo", 602},         {"ecCut", 603},          {"ecCopy", 201},        {"ecPaste", 604},
      {"ecScrollRight", 214},  {"ecToggleMode", 223},   {"ecTab", 612},         {"ecShiftTab", 613},
      {"ecMatchBracket", 250}, {"ecLineSelect", 233},   {"ecAutoCompletion", 650}, {"ecUserFirst", 1001},
      {"ecContextHelp", 490},  {"ecGotoMarker0", 301},  {"ecGotoMarker9", 310}, {"ecSetMarker0", 351},
      {"ecSetMarker9", 360},   {"ecTitleCase", 623},    {"ecString", 630}};
  for (const auto& [ident, number] : samples) {
    TEditorCommand found = 9999;
    ASSERT_TRUE(IdentToEditorCommand(ident, found)) << ident;
    EXPECT_EQ(found, number) << ident;
    std::string back;
    ASSERT_TRUE(EditorCommandToIdent(static_cast<TEditorCommand>(number), back));
    EXPECT_EQ(back, ident);
  }
  TEditorCommand number = 77;
  EXPECT_TRUE(IdentToEditorCommand("ECCOPY", number));
  EXPECT_EQ(number, 201);
  number = 77;
  EXPECT_FALSE(IdentToEditorCommand("ecFoo", number));
  EXPECT_EQ(number, 77);
  std::string ident = "unchanged";
  EXPECT_FALSE(EditorCommandToIdent(1000, ident));
  EXPECT_EQ(ident, "unchanged");
}

TEST(ApplicationCommands, ThirtyTwoNamesInOrder)
{
  const auto& names = ApplicationCommandNames();
  ASSERT_EQ(names.size(), 32u);
  EXPECT_STREQ(names[0], "pvFileNew");
  EXPECT_STREQ(names[10], "pvFileExit");
  EXPECT_STREQ(names[17], "pvEditConfiguration");
  EXPECT_STREQ(names[23], "pvToolsTransform");
  EXPECT_STREQ(names[31], "pvHelpAbout");
  std::set<std::string> unique(names.begin(), names.end());
  EXPECT_EQ(unique.size(), 32u);
  EXPECT_TRUE(IsApplicationCommandName("pvToolsPreview3"));
  EXPECT_FALSE(IsApplicationCommandName("PVTOOLSPREVIEW3"));
  EXPECT_STREQ(KeyCategories()[0], "Application");
  EXPECT_STREQ(KeyCategories()[1], "Editor");
}

TEST(ShortcutItem, NewItemIsEmpty)
{
  TShortcutItem item;
  EXPECT_EQ(item.Key, 0);
  EXPECT_EQ(item.Key2, 0);
  EXPECT_EQ(item.Command, "");
  EXPECT_FALSE(item.IsEditorCommand());
  EXPECT_EQ(item.GetEditorCommand(), ecNone);
}

TEST(ShortcutItem, ClassificationIsCaseSensitiveButLookupIsNot)
{
  TShortcutItem item;
  item.Command = "ecLeft";
  EXPECT_TRUE(item.IsEditorCommand());
  EXPECT_EQ(item.GetEditorCommand(), 1);
  item.Command = "EcLeft";
  EXPECT_FALSE(item.IsEditorCommand());
  EXPECT_EQ(item.GetEditorCommand(), 1);
  item.Command = "ECLEFT";
  EXPECT_FALSE(item.IsEditorCommand());
  EXPECT_EQ(item.GetEditorCommand(), 1);
  item.Command = "ecNoSuchCommand";
  EXPECT_TRUE(item.IsEditorCommand());
  EXPECT_EQ(item.GetEditorCommand(), 0);
  item.Command = "e";
  EXPECT_FALSE(item.IsEditorCommand());
  item.Command = "ecUserFirst";
  EXPECT_EQ(item.GetEditorCommand(), 1001);
}

TEST(ShortcutItem, KeyTexts)
{
  TShortcutItem item;
  item.SetKeyText("ctrl+k");
  item.SetKey2Text("B");
  EXPECT_EQ(item.Key, ShortCut(vk::Letter('K'), scCtrl));
  EXPECT_EQ(item.GetKeyText(), "Ctrl+K");
  EXPECT_EQ(item.GetKey2Text(), "B");
  item.SetKey2Text("");
  EXPECT_EQ(item.Key2, 0);
}

TShortcutItem Binding(const std::string& command, TShortCut key, TShortCut key2 = 0)
{
  TShortcutItem item;
  item.Command = command;
  item.Key = key;
  item.Key2 = key2;
  return item;
}

TEST(ShortcutClashes, OnlyBindingsThatRunTheirCommandHoldTheirKey)
{
  const TShortCut ctrlN = ShortCut(vk::Letter('N'), scCtrl);
  const std::vector<TShortcutItem> bindings = {
      Binding("pvFileNew", ctrlN),         // replaced by the later binding of pvFileNew
      Binding("pvFileNew", ShortCut(vk::F(2))),
      Binding("pvNoSuchCommand", ctrlN),   // binds nothing
      Binding("ecNone", ctrlN),            // binds nothing
      Binding("ecNoSuchCommand", ctrlN),   // binds nothing
      Binding("ecUndo", 0),                // no key
      Binding("pvFileOpenFile", ctrlN),
  };
  std::vector<bool> holds;
  for (int i = 0; i < static_cast<int>(bindings.size()); ++i) holds.push_back(HoldsKey(bindings, i));
  EXPECT_EQ(holds, std::vector<bool>({false, true, false, false, false, false, true}));
  EXPECT_TRUE(FindKeyClashes(bindings, 6).empty());
  EXPECT_TRUE(FindKeyClashes(bindings, 0).empty());
}

TEST(ShortcutClashes, FirstKeysAndSequencesThatCannotBothRun)
{
  const TShortCut ctrlK = ShortCut(vk::Letter('K'), scCtrl), one = ShortCut(vk::Digit(1)),
                  two = ShortCut(vk::Digit(2));
  const std::vector<TShortcutItem> bindings = {
      Binding("pvHelpAbout", ctrlK, two),  // 0: a menu key; its second key means nothing
      Binding("ecSetMarker1", ctrlK, one), // 1: its first stroke runs the menu command
      Binding("ecSetMarker2", ctrlK, two), // 2
      Binding("ecDeleteLine", ctrlK),      // 3: runs before any sequence could go on
      Binding("ecUndo", one),              // 4: another key
      Binding("ecSetMarker1", ctrlK, one), // 5: the same command as 1
      Binding("ecsetmarker2", ctrlK, one), // 6: 2 in other letter case, the sequence of 1
  };
  EXPECT_EQ(FindKeyClashes(bindings, 0), std::vector<int>({1, 2, 3, 5, 6}));
  EXPECT_EQ(FindKeyClashes(bindings, 1), std::vector<int>({0, 3, 6}));
  EXPECT_EQ(FindKeyClashes(bindings, 2), std::vector<int>({0, 3}));
  EXPECT_EQ(FindKeyClashes(bindings, 4), std::vector<int>());
  EXPECT_EQ(BindingKeysText(bindings[0]), "Ctrl+K");
  EXPECT_EQ(BindingKeysText(bindings[1]), "Ctrl+K, 1");
}

}  // namespace
