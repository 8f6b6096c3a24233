#pragma once
// One key binding: a key, an optional second key and a command name.

#include <string>

#include "model/EditorCommands.h"
#include "model/KeyText.h"

class TShortcutItem {
public:
  TShortCut Key = 0;   // the key that triggers the command; 0 = none
  TShortCut Key2 = 0;  // editor commands: second stroke of a two-stroke sequence; 0 = none
  std::string Command; // editor command identifier, application command name, or any text

  // True when Command begins with exactly "ec" (case-sensitive).
  bool IsEditorCommand() const;
  // The number of the editor command named by Command (ignoring letter case);
  // ecNone when no identifier matches.
  TEditorCommand GetEditorCommand() const;

  std::string GetKeyText() const { return ShortCutToText(Key); }
  std::string GetKey2Text() const { return ShortCutToText(Key2); }
  void SetKeyText(const std::string& text) { Key = TextToShortCut(text); }
  void SetKey2Text(const std::string& text) { Key2 = TextToShortCut(text); }
};
