#include "model/BuiltInConfig.h"

namespace {

struct TBinding {
  TShortCut Key;
  const char* Command;
};

constexpr TShortCut S = scShift;
constexpr TShortCut C = scCtrl;
constexpr TShortCut A = scAlt;

// Caret movement, selection, deletion, clipboard and undo.
const TBinding EditorBindings[] = {
    {ShortCut(vk::Up), "ecUp"},
    {ShortCut(vk::Up, S), "ecSelUp"},
    {ShortCut(vk::Up, C), "ecScrollUp"},
    {ShortCut(vk::Down), "ecDown"},
    {ShortCut(vk::Down, S), "ecSelDown"},
    {ShortCut(vk::Down, C), "ecScrollDown"},
    {ShortCut(vk::Left), "ecLeft"},
    {ShortCut(vk::Left, S), "ecSelLeft"},
    {ShortCut(vk::Left, C), "ecWordLeft"},
    {ShortCut(vk::Left, S | C), "ecSelWordLeft"},
    {ShortCut(vk::Right), "ecRight"},
    {ShortCut(vk::Right, S), "ecSelRight"},
    {ShortCut(vk::Right, C), "ecWordRight"},
    {ShortCut(vk::Right, S | C), "ecSelWordRight"},
    {ShortCut(vk::Next), "ecPageDown"},
    {ShortCut(vk::Next, S), "ecSelPageDown"},
    {ShortCut(vk::Next, C), "ecPageBottom"},
    {ShortCut(vk::Next, S | C), "ecSelPageBottom"},
    {ShortCut(vk::Prior), "ecPageUp"},
    {ShortCut(vk::Prior, S), "ecSelPageUp"},
    {ShortCut(vk::Prior, C), "ecPageTop"},
    {ShortCut(vk::Prior, S | C), "ecSelPageTop"},
    {ShortCut(vk::Home), "ecLineStart"},
    {ShortCut(vk::Home, S), "ecSelLineStart"},
    {ShortCut(vk::Home, C), "ecEditorTop"},
    {ShortCut(vk::Home, S | C), "ecSelEditorTop"},
    {ShortCut(vk::End), "ecLineEnd"},
    {ShortCut(vk::End, S), "ecSelLineEnd"},
    {ShortCut(vk::End, C), "ecEditorBottom"},
    {ShortCut(vk::End, S | C), "ecSelEditorBottom"},
    {ShortCut(vk::Insert), "ecToggleMode"},
    {ShortCut(vk::Insert, C), "ecCopy"},
    {ShortCut(vk::Insert, S), "ecPaste"},
    {ShortCut(vk::Delete), "ecDeleteChar"},
    {ShortCut(vk::Delete, S), "ecCut"},
    {ShortCut(vk::Delete, C), "ecDeleteWord"},
    {ShortCut(vk::Back), "ecDeleteLastChar"},
    {ShortCut(vk::Back, S), "ecDeleteLastChar"},
    {ShortCut(vk::Back, C), "ecDeleteLastWord"},
    {ShortCut(vk::Back, A), "ecUndo"},
    {ShortCut(vk::Back, S | A), "ecRedo"},
    {ShortCut(vk::Return), "ecLineBreak"},
    {ShortCut(vk::Return, S), "ecLineBreak"},
    {ShortCut(vk::Tab), "ecTab"},
    {ShortCut(vk::Tab, S), "ecShiftTab"},
    {ShortCut(vk::Letter('A'), C), "ecSelectAll"},
    {ShortCut(vk::Letter('C'), C), "ecCopy"},
    {ShortCut(vk::Letter('V'), C), "ecPaste"},
    {ShortCut(vk::Letter('X'), C), "ecCut"},
    {ShortCut(vk::Letter('Z'), C), "ecUndo"},
    {ShortCut(vk::Letter('Z'), S | C), "ecRedo"},
    {ShortCut(vk::Letter('Y'), C), "ecRedo"},
    {ShortCut(vk::Letter('I'), S | C), "ecBlockIndent"},
    {ShortCut(vk::Letter('U'), S | C), "ecBlockUnindent"},
    {ShortCut(vk::Letter('B'), S | C), "ecMatchBracket"},
};

// Menu commands of the main window.
const TBinding ApplicationBindings[] = {
    {ShortCut(vk::Letter('N'), C), "pvFileNew"},
    {ShortCut(vk::Letter('O'), C), "pvFileOpenFile"},
    {ShortCut(vk::Letter('S'), C), "pvFileSave"},
    {ShortCut(vk::F(4), C), "pvFileClose"},
    {ShortCut(vk::Letter('P'), C), "pvFilePrint"},
    {ShortCut(vk::Letter('F'), C), "pvSearchFind"},
    {ShortCut(vk::Letter('R'), C), "pvSearchReplace"},
    {ShortCut(vk::F(9)), "pvToolsWellFormed"},
    {ShortCut(vk::F(9), S), "pvToolsIsValid"},
    {ShortCut(vk::F(10)), "pvToolsTransform"},
    {ShortCut(vk::F(12)), "pvToolsPreview1"},
    {ShortCut(vk::F(1)), "pvHelpContents"},
    {ShortCut(vk::F(1), C), "pvHelpContext"},
};

void Add(TConfigInfo& config, TShortCut key, const std::string& command)
{
  TShortcutItem& item = config.AddShortcut();
  item.Key = key;
  item.Command = command;
}

void AddBindings(TConfigInfo& config)
{
  for (const auto& binding : EditorBindings) Add(config, binding.Key, binding.Command);
  for (int i = 0; i < 10; ++i) Add(config, ShortCut(vk::Digit(i), C), "ecGotoMarker" + std::to_string(i));
  for (int i = 0; i < 10; ++i) Add(config, ShortCut(vk::Digit(i), S | C), "ecSetMarker" + std::to_string(i));
  for (const auto& binding : ApplicationBindings) Add(config, binding.Key, binding.Command);
}

}  // namespace

void SetBuiltInSettings(TConfigInfo& config)
{
  config.GutterVisible = true;
  config.GutterAutoSize = true;
  config.GutterLineNumbers = true;
  config.GutterStartAtZero = false;
  config.GutterLeadingZeros = false;
  config.GutterColor = clBtnFace;
  config.GutterFont = TConfigFont();
  config.GutterFont.SetName("Monospace");
  config.GutterFont.Size = 9;
  config.GutterFont.Color = clGray;
  config.BackgroundColor = clWindow;
  config.EditorFont = TConfigFont();
  config.EditorFont.SetName("Monospace");
  config.EditorFont.Size = 10;
  config.EditorFont.Color = clWindowText;
  config.TabWidth = 4;
  config.RightEdgeColumn = 80;
  config.RightEdgeColor = clSilver;
  config.SelectedColor = clHighlightText;
  config.SelectedBackground = clHighlight;
}

void SetBuiltInShortcuts(TConfigInfo& config)
{
  config.ClearShortcuts();
  AddBindings(config);
}

void SetBuiltInConfig(TConfigInfo& config)
{
  SetBuiltInSettings(config);
  SetBuiltInShortcuts(config);
}
