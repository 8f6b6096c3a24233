#include "editor/EditorCommandHandlers.h"

// The commands that the editor has as they are, the modes, markers,
// scrolling and hooks, and the lookup over all the command groups.

#include <Qsci/qsciscintilla.h>
#include <algorithm>

#include "editor/EditorCommandSupport.h"

namespace editorcommands {
namespace {

// ---- commands the editor has as they are ---------------------------------

template <unsigned Msg>
void SendHandler(TEditorCommandArgs& a)
{
  Send(a.Editor, Msg);
}

void NothingHandler(TEditorCommandArgs&) {}

// ---- modes -------------------------------------------------------------

template <int Overtype>
void OvertypeHandler(TEditorCommandArgs& a)
{
  Send(a.Editor, B::SCI_SETOVERTYPE, Overtype);
  ModeChanged(a);
}

void ToggleModeHandler(TEditorCommandArgs& a)
{
  Send(a.Editor, B::SCI_EDITTOGGLEOVERTYPE);
  ModeChanged(a);
}

// ---- markers ------------------------------------------------------------

template <int N>
void SetMarkerHandler(TEditorCommandArgs& a)
{
  QsciScintilla& e = a.Editor;
  auto& mark = a.State.Bookmarks[N];
  long caret = Caret(e);
  long line = LineOf(e, caret);
  long oldLine = mark.Handle >= 0 ? Send(e, B::SCI_MARKERLINEFROMHANDLE, mark.Handle) : -1;
  if (oldLine >= 0) Send(e, B::SCI_MARKERDELETEHANDLE, mark.Handle);
  mark.Handle = -1;
  if (oldLine == line) return;  // set again on its own line: removed
  mark.Handle = static_cast<int>(Send(e, B::SCI_MARKERADD, line, N));
  mark.Column = static_cast<int>(ColumnOf(e, caret));
}

template <int N>
void GotoMarkerHandler(TEditorCommandArgs& a)
{
  QsciScintilla& e = a.Editor;
  const auto& mark = a.State.Bookmarks[N];
  if (mark.Handle < 0) return;
  long line = Send(e, B::SCI_MARKERLINEFROMHANDLE, mark.Handle);
  if (line < 0) return;
  Send(e, B::SCI_GOTOPOS, FindColumn(e, line, mark.Column));
}

// ---- scrolling ----------------------------------------------------------

template <int Direction>
void ScrollHorizontalHandler(TEditorCommandArgs& a)
{
  QsciScintilla& e = a.Editor;
  long xOffset = Send(e, B::SCI_GETXOFFSET) + Direction * CharWidth(e);
  Send(e, B::SCI_SETXOFFSET, static_cast<unsigned long>(std::max(0L, xOffset)));
}

// ---- hooks --------------------------------------------------------------

void ContextHelpHandler(TEditorCommandArgs& a)
{
  if (a.State.OnContextHelp) a.State.OnContextHelp();
}

void AutoCompletionHandler(TEditorCommandArgs& a)
{
  if (a.State.OnAutoCompletion)
    a.State.OnAutoCompletion();
  else
    a.Editor.autoCompleteFromDocument();
}

const TEntry Entries[] = {
    {ecNone, NothingHandler},
    {ecSelectAll, SendHandler<B::SCI_SELECTALL>},
    {ecDeleteLastChar, SendHandler<B::SCI_DELETEBACK>},
    {ecDeleteChar, SendHandler<B::SCI_CLEAR>},
    {ecDeleteWord, SendHandler<B::SCI_DELWORDRIGHT>},
    {ecDeleteLastWord, SendHandler<B::SCI_DELWORDLEFT>},
    {ecDeleteBOL, SendHandler<B::SCI_DELLINELEFT>},
    {ecDeleteEOL, SendHandler<B::SCI_DELLINERIGHT>},
    {ecDeleteLine, SendHandler<B::SCI_LINEDELETE>},
    {ecClearAll, SendHandler<B::SCI_CLEARALL>},
    {ecLineBreak, SendHandler<B::SCI_NEWLINE>},
    {ecUndo, SendHandler<B::SCI_UNDO>},
    {ecRedo, SendHandler<B::SCI_REDO>},
    {ecCut, SendHandler<B::SCI_CUT>},
    {ecCopy, SendHandler<B::SCI_COPY>},
    {ecPaste, SendHandler<B::SCI_PASTE>},
    {ecScrollUp, SendHandler<B::SCI_LINESCROLLUP>},
    {ecScrollDown, SendHandler<B::SCI_LINESCROLLDOWN>},
    {ecScrollLeft, ScrollHorizontalHandler<-1>},
    {ecScrollRight, ScrollHorizontalHandler<+1>},
    {ecInsertMode, OvertypeHandler<0>},
    {ecOverwriteMode, OvertypeHandler<1>},
    {ecToggleMode, ToggleModeHandler},
    {ecAutoCompletion, AutoCompletionHandler},
    {ecUserFirst, NothingHandler},
    {ecContextHelp, ContextHelpHandler},
    {ecGotoMarker0, GotoMarkerHandler<0>},
    {ecGotoMarker1, GotoMarkerHandler<1>},
    {ecGotoMarker2, GotoMarkerHandler<2>},
    {ecGotoMarker3, GotoMarkerHandler<3>},
    {ecGotoMarker4, GotoMarkerHandler<4>},
    {ecGotoMarker5, GotoMarkerHandler<5>},
    {ecGotoMarker6, GotoMarkerHandler<6>},
    {ecGotoMarker7, GotoMarkerHandler<7>},
    {ecGotoMarker8, GotoMarkerHandler<8>},
    {ecGotoMarker9, GotoMarkerHandler<9>},
    {ecSetMarker0, SetMarkerHandler<0>},
    {ecSetMarker1, SetMarkerHandler<1>},
    {ecSetMarker2, SetMarkerHandler<2>},
    {ecSetMarker3, SetMarkerHandler<3>},
    {ecSetMarker4, SetMarkerHandler<4>},
    {ecSetMarker5, SetMarkerHandler<5>},
    {ecSetMarker6, SetMarkerHandler<6>},
    {ecSetMarker7, SetMarkerHandler<7>},
    {ecSetMarker8, SetMarkerHandler<8>},
    {ecSetMarker9, SetMarkerHandler<9>},
};

TGroup OtherCommands()
{
  return Group(Entries);
}

}  // namespace
}  // namespace editorcommands

using namespace editorcommands;

TEditorCommandHandler FindEditorCommandHandler(TEditorCommand command)
{
  for (TGroup group : {OtherCommands(), CaretCommands(), TextCommands(), CaseCommands()})
    for (std::size_t i = 0; i < group.Count; ++i)
      if (group.Entries[i].Command == command) return group.Entries[i].Handler;
  return nullptr;
}

bool RunEditorCommand(TEditorCommand command, TEditorCommandArgs& args)
{
  TEditorCommandHandler handler = FindEditorCommandHandler(command);
  if (!handler) return false;
  handler(args);
  return true;
}

void DefineBookmarkMarkers(QsciScintilla& editor)
{
  for (int n = 0; n < 10; ++n)
    editor.SendScintilla(B::SCI_MARKERDEFINE, static_cast<unsigned long>(n),
                         static_cast<long>(B::SC_MARK_CHARACTER + '0' + n));
}
