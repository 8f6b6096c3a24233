#pragma once
// What each editor command does to the source editor: one table from the
// command numbers of model/EditorCommands.h to handlers. Where the editor
// component has the command it is sent (SCI_ messages); the rest is written
// here: markers, selection modes, page top and bottom, horizontal paging,
// case changes, block indent, Tab and Shift+Tab, bracket matching.

#include <QString>
#include <array>
#include <functional>

#include "model/EditorCommands.h"

class QsciScintilla;

// How the selection commands (ecSel...) select.
enum class TSelectionMode { Normal, Column, Line };

// What the commands remember besides the editor control's own state.
struct TEditorCommandState {
  struct TBookmark {
    int Handle = -1;  // marker handle; -1 when not set
    int Column = 0;   // caret column when it was set
  };

  TSelectionMode SelectionMode = TSelectionMode::Normal;
  std::array<TBookmark, 10> Bookmarks;
  // Line selection: where it began and where the caret really stands (the
  // selection itself covers whole lines); valid while the editor's selection
  // is still LineSelStart..LineSelEnd.
  long LineAnchor = -1;
  long LineCaret = -1;
  long LineSelStart = -1;
  long LineSelEnd = -1;

  std::function<void()> OnContextHelp;    // ecContextHelp
  std::function<void()> OnAutoCompletion; // ecAutoCompletion; words of the document when empty
  std::function<void()> OnModeChange;     // insert/overwrite or selection mode changed
};

struct TEditorCommandArgs {
  QsciScintilla& Editor;
  TEditorCommandState& State;
  QString Text;  // what the key typed (ecChar, ecString, ecImeStr)
};

using TEditorCommandHandler = void (*)(TEditorCommandArgs& args);

// The handler of a command number; nullptr when the number has none.
TEditorCommandHandler FindEditorCommandHandler(TEditorCommand command);
// Runs a command; false when the number has no handler.
bool RunEditorCommand(TEditorCommand command, TEditorCommandArgs& args);

// Markers 0 to 9 of the editor are the bookmarks; they show their digit in
// the symbol margin.
constexpr int BookmarkMarkerMask = 0x3FF;
void DefineBookmarkMarkers(QsciScintilla& editor);

// Number of columns an indent step moves the block indent commands.
constexpr int BlockIndentWidth = 2;
