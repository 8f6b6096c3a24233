#include "model/EditorCommands.h"

#include "model/AttributeList.h"

const std::array<TEditorCommandEntry, EditorCommandCount>& EditorCommandTable()
{
  static const std::array<TEditorCommandEntry, EditorCommandCount> table = {{
      {ecNone, "ecNone"},
      {ecLeft, "ecLeft"},
      {ecRight, "ecRight"},
      {ecUp, "ecUp"},
      {ecDown, "ecDown"},
      {ecWordLeft, "ecWordLeft"},
      {ecWordRight, "ecWordRight"},
      {ecLineStart, "ecLineStart"},
      {ecLineEnd, "ecLineEnd"},
      {ecPageUp, "ecPageUp"},
      {ecPageDown, "ecPageDown"},
      {ecPageLeft, "ecPageLeft"},
      {ecPageRight, "ecPageRight"},
      {ecPageTop, "ecPageTop"},
      {ecPageBottom, "ecPageBottom"},
      {ecEditorTop, "ecEditorTop"},
      {ecEditorBottom, "ecEditorBottom"},
      {ecGotoXY, "ecGotoXY"},
      {ecSelLeft, "ecSelLeft"},
      {ecSelRight, "ecSelRight"},
      {ecSelUp, "ecSelUp"},
      {ecSelDown, "ecSelDown"},
      {ecSelWordLeft, "ecSelWordLeft"},
      {ecSelWordRight, "ecSelWordRight"},
      {ecSelLineStart, "ecSelLineStart"},
      {ecSelLineEnd, "ecSelLineEnd"},
      {ecSelPageUp, "ecSelPageUp"},
      {ecSelPageDown, "ecSelPageDown"},
      {ecSelPageLeft, "ecSelPageLeft"},
      {ecSelPageRight, "ecSelPageRight"},
      {ecSelPageTop, "ecSelPageTop"},
      {ecSelPageBottom, "ecSelPageBottom"},
      {ecSelEditorTop, "ecSelEditorTop"},
      {ecSelEditorBottom, "ecSelEditorBottom"},
      {ecSelGotoXY, "ecSelGotoXY"},
      {ecSelectAll, "ecSelectAll"},
      {ecDeleteLastChar, "ecDeleteLastChar"},
      {ecDeleteChar, "ecDeleteChar"},
      {ecDeleteWord, "ecDeleteWord"},
      {ecDeleteLastWord, "ecDeleteLastWord"},
      {ecDeleteBOL, "ecDeleteBOL"},
      {ecDeleteEOL, "ecDeleteEOL"},
      {ecDeleteLine, "ecDeleteLine"},
      {ecClearAll, "ecClearAll"},
      {ecLineBreak, "ecLineBreak"},
      {ecInsertLine, "ecInsertLine"},
      {ecChar, "ecChar"},
      {ecImeStr, "ecImeStr"},
      {ecUndo, "ecUndo"},
      {ecRedo, "ecRedo"},
      {ecCut, "ecCut"},
      {ecCopy, "ecCopy"},
      {ecPaste, "ecPaste"},
      {ecScrollUp, "ecScrollUp"},
      {ecScrollDown, "ecScrollDown"},
      {ecScrollLeft, "ecScrollLeft"},
      {ecScrollRight, "ecScrollRight"},
      {ecInsertMode, "ecInsertMode"},
      {ecOverwriteMode, "ecOverwriteMode"},
      {ecToggleMode, "ecToggleMode"},
      {ecBlockIndent, "ecBlockIndent"},
      {ecBlockUnindent, "ecBlockUnindent"},
      {ecTab, "ecTab"},
      {ecShiftTab, "ecShiftTab"},
      {ecMatchBracket, "ecMatchBracket"},
      {ecNormalSelect, "ecNormalSelect"},
      {ecColumnSelect, "ecColumnSelect"},
      {ecLineSelect, "ecLineSelect"},
      {ecAutoCompletion, "ecAutoCompletion"},
      {ecUserFirst, "ecUserFirst"},
      {ecContextHelp, "ecContextHelp"},
      {ecGotoMarker0, "ecGotoMarker0"},
      {ecGotoMarker1, "ecGotoMarker1"},
      {ecGotoMarker2, "ecGotoMarker2"},
      {ecGotoMarker3, "ecGotoMarker3"},
      {ecGotoMarker4, "ecGotoMarker4"},
      {ecGotoMarker5, "ecGotoMarker5"},
      {ecGotoMarker6, "ecGotoMarker6"},
      {ecGotoMarker7, "ecGotoMarker7"},
      {ecGotoMarker8, "ecGotoMarker8"},
      {ecGotoMarker9, "ecGotoMarker9"},
      {ecSetMarker0, "ecSetMarker0"},
      {ecSetMarker1, "ecSetMarker1"},
      {ecSetMarker2, "ecSetMarker2"},
      {ecSetMarker3, "ecSetMarker3"},
      {ecSetMarker4, "ecSetMarker4"},
      {ecSetMarker5, "ecSetMarker5"},
      {ecSetMarker6, "ecSetMarker6"},
      {ecSetMarker7, "ecSetMarker7"},
      {ecSetMarker8, "ecSetMarker8"},
      {ecSetMarker9, "ecSetMarker9"},
      {ecUpperCase, "ecUpperCase"},
      {ecLowerCase, "ecLowerCase"},
      {ecToggleCase, "ecToggleCase"},
      {ecTitleCase, "ecTitleCase"},
      {ecString, "ecString"},  }};
  return table;
}

bool IdentToEditorCommand(const std::string& ident, TEditorCommand& number)
{
  for (const auto& entry : EditorCommandTable()) {
    if (SameTextAscii(ident, entry.Ident)) {
      number = entry.Number;
      return true;
    }
  }
  return false;
}

bool EditorCommandToIdent(TEditorCommand number, std::string& ident)
{
  for (const auto& entry : EditorCommandTable()) {
    if (entry.Number == number) {
      ident = entry.Ident;
      return true;
    }
  }
  return false;
}

void GetEditorCommandValues(const std::function<void(const std::string& ident)>& proc)
{
  for (const auto& entry : EditorCommandTable()) proc(entry.Ident);
}
