#pragma once
// The editor commands of the editor control: 96 numbered identifiers in a
// fixed order (the order in which the configuration dialog lists them).
// Identifiers are unique ignoring letter case, numbers are unique.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

using TEditorCommand = std::uint16_t;

constexpr TEditorCommand ecNone = 0;
constexpr TEditorCommand ecLeft = 1;
constexpr TEditorCommand ecRight = 2;
constexpr TEditorCommand ecUp = 3;
constexpr TEditorCommand ecDown = 4;
constexpr TEditorCommand ecWordLeft = 5;
constexpr TEditorCommand ecWordRight = 6;
constexpr TEditorCommand ecLineStart = 7;
constexpr TEditorCommand ecLineEnd = 8;
constexpr TEditorCommand ecPageUp = 9;
constexpr TEditorCommand ecPageDown = 10;
constexpr TEditorCommand ecPageLeft = 11;
constexpr TEditorCommand ecPageRight = 12;
constexpr TEditorCommand ecPageTop = 13;
constexpr TEditorCommand ecPageBottom = 14;
constexpr TEditorCommand ecEditorTop = 15;
constexpr TEditorCommand ecEditorBottom = 16;
constexpr TEditorCommand ecGotoXY = 17;
constexpr TEditorCommand ecSelLeft = 101;
constexpr TEditorCommand ecSelRight = 102;
constexpr TEditorCommand ecSelUp = 103;
constexpr TEditorCommand ecSelDown = 104;
constexpr TEditorCommand ecSelWordLeft = 105;
constexpr TEditorCommand ecSelWordRight = 106;
constexpr TEditorCommand ecSelLineStart = 107;
constexpr TEditorCommand ecSelLineEnd = 108;
constexpr TEditorCommand ecSelPageUp = 109;
constexpr TEditorCommand ecSelPageDown = 110;
constexpr TEditorCommand ecSelPageLeft = 111;
constexpr TEditorCommand ecSelPageRight = 112;
constexpr TEditorCommand ecSelPageTop = 113;
constexpr TEditorCommand ecSelPageBottom = 114;
constexpr TEditorCommand ecSelEditorTop = 115;
constexpr TEditorCommand ecSelEditorBottom = 116;
constexpr TEditorCommand ecSelGotoXY = 117;
constexpr TEditorCommand ecSelectAll = 199;
constexpr TEditorCommand ecDeleteLastChar = 501;
constexpr TEditorCommand ecDeleteChar = 502;
constexpr TEditorCommand ecDeleteWord = 503;
constexpr TEditorCommand ecDeleteLastWord = 504;
constexpr TEditorCommand ecDeleteBOL = 505;
constexpr TEditorCommand ecDeleteEOL = 506;
constexpr TEditorCommand ecDeleteLine = 507;
constexpr TEditorCommand ecClearAll = 508;
constexpr TEditorCommand ecLineBreak = 509;
constexpr TEditorCommand ecInsertLine = 510;
constexpr TEditorCommand ecChar = 511;
constexpr TEditorCommand ecImeStr = 550;
constexpr TEditorCommand ecUndo = 601;
constexpr TEditorCommand ecRedo = 602;
constexpr TEditorCommand ecCut = 603;
constexpr TEditorCommand ecCopy = 201;
constexpr TEditorCommand ecPaste = 604;
constexpr TEditorCommand ecScrollUp = 211;
constexpr TEditorCommand ecScrollDown = 212;
constexpr TEditorCommand ecScrollLeft = 213;
constexpr TEditorCommand ecScrollRight = 214;
constexpr TEditorCommand ecInsertMode = 221;
constexpr TEditorCommand ecOverwriteMode = 222;
constexpr TEditorCommand ecToggleMode = 223;
constexpr TEditorCommand ecBlockIndent = 610;
constexpr TEditorCommand ecBlockUnindent = 611;
constexpr TEditorCommand ecTab = 612;
constexpr TEditorCommand ecShiftTab = 613;
constexpr TEditorCommand ecMatchBracket = 250;
constexpr TEditorCommand ecNormalSelect = 231;
constexpr TEditorCommand ecColumnSelect = 232;
constexpr TEditorCommand ecLineSelect = 233;
constexpr TEditorCommand ecAutoCompletion = 650;
constexpr TEditorCommand ecUserFirst = 1001;
constexpr TEditorCommand ecContextHelp = 490;
constexpr TEditorCommand ecGotoMarker0 = 301;
constexpr TEditorCommand ecGotoMarker1 = 302;
constexpr TEditorCommand ecGotoMarker2 = 303;
constexpr TEditorCommand ecGotoMarker3 = 304;
constexpr TEditorCommand ecGotoMarker4 = 305;
constexpr TEditorCommand ecGotoMarker5 = 306;
constexpr TEditorCommand ecGotoMarker6 = 307;
constexpr TEditorCommand ecGotoMarker7 = 308;
constexpr TEditorCommand ecGotoMarker8 = 309;
constexpr TEditorCommand ecGotoMarker9 = 310;
constexpr TEditorCommand ecSetMarker0 = 351;
constexpr TEditorCommand ecSetMarker1 = 352;
constexpr TEditorCommand ecSetMarker2 = 353;
constexpr TEditorCommand ecSetMarker3 = 354;
constexpr TEditorCommand ecSetMarker4 = 355;
constexpr TEditorCommand ecSetMarker5 = 356;
constexpr TEditorCommand ecSetMarker6 = 357;
constexpr TEditorCommand ecSetMarker7 = 358;
constexpr TEditorCommand ecSetMarker8 = 359;
constexpr TEditorCommand ecSetMarker9 = 360;
constexpr TEditorCommand ecUpperCase = 620;
constexpr TEditorCommand ecLowerCase = 621;
constexpr TEditorCommand ecToggleCase = 622;
constexpr TEditorCommand ecTitleCase = 623;
constexpr TEditorCommand ecString = 630;

struct TEditorCommandEntry {
  TEditorCommand Number;
  const char* Ident;
};

constexpr int EditorCommandCount = 96;

// The table, in its fixed order.
const std::array<TEditorCommandEntry, EditorCommandCount>& EditorCommandTable();

// The number of the first entry whose identifier equals ident ignoring ASCII
// letter case; false (number unchanged) when none does.
bool IdentToEditorCommand(const std::string& ident, TEditorCommand& number);
// The identifier of the entry with that number; false, leaving ident
// unchanged, when no entry has it.
bool EditorCommandToIdent(TEditorCommand number, std::string& ident);
// Calls proc once per identifier, in table order.
void GetEditorCommandValues(const std::function<void(const std::string& ident)>& proc);
