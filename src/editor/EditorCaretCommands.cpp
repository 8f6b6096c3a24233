#include "editor/EditorCommandSupport.h"

// The caret motions, the selections they extend in the three selection modes,
// and the switches between those modes.

#include <QCursor>

namespace editorcommands {
namespace {

// Columns of text that fit beside the margins.
long PageColumns(QsciScintilla& e)
{
  long margins = 0;
  for (int margin = 0; margin < 5; ++margin) margins += Send(e, B::SCI_GETMARGINWIDTHN, margin);
  return std::max(1L, (e.viewport()->width() - margins) / CharWidth(e));
}

// ---- caret motions --------------------------------------------------------

// A caret motion: the editor's move, extend and rectangular-extend messages
// (0 where it has none) or a target position computed here.
struct TMotion {
  unsigned Move;
  unsigned Extend;
  unsigned RectExtend;
  long (*Target)(QsciScintilla& e);
};

long PageTopTarget(QsciScintilla& e)
{
  long line = Send(e, B::SCI_DOCLINEFROMVISIBLE, Send(e, B::SCI_GETFIRSTVISIBLELINE));
  return FindColumn(e, line, ColumnOf(e, Caret(e)));
}

long PageBottomTarget(QsciScintilla& e)
{
  long visible = Send(e, B::SCI_GETFIRSTVISIBLELINE) + std::max(1L, Send(e, B::SCI_LINESONSCREEN)) - 1;
  long line = std::min(Send(e, B::SCI_DOCLINEFROMVISIBLE, visible), LineCount(e) - 1);
  return FindColumn(e, line, ColumnOf(e, Caret(e)));
}

long PageHorizontalTarget(QsciScintilla& e, long direction)
{
  long columns = PageColumns(e);
  long xOffset = Send(e, B::SCI_GETXOFFSET) + direction * columns * CharWidth(e);
  Send(e, B::SCI_SETXOFFSET, static_cast<unsigned long>(std::max(0L, xOffset)));
  long caret = Caret(e);
  long column = std::max(0L, ColumnOf(e, caret) + direction * columns);
  return FindColumn(e, LineOf(e, caret), column);
}

long PageLeftTarget(QsciScintilla& e) { return PageHorizontalTarget(e, -1); }
long PageRightTarget(QsciScintilla& e) { return PageHorizontalTarget(e, +1); }

// The text position under the mouse pointer.
long MouseTarget(QsciScintilla& e)
{
  QPoint point = e.viewport()->mapFromGlobal(QCursor::pos());
  return e.SendScintilla(B::SCI_POSITIONFROMPOINT, static_cast<unsigned long>(std::max(0, point.x())),
                         static_cast<long>(std::max(0, point.y())));
}

enum TMotionIndex {
  mLeft, mRight, mUp, mDown, mWordLeft, mWordRight, mLineStart, mLineEnd, mPageUp, mPageDown,
  mPageLeft, mPageRight, mPageTop, mPageBottom, mEditorTop, mEditorBottom, mGotoXY
};

constexpr TMotion Motions[] = {
    {B::SCI_CHARLEFT, B::SCI_CHARLEFTEXTEND, B::SCI_CHARLEFTRECTEXTEND, nullptr},
    {B::SCI_CHARRIGHT, B::SCI_CHARRIGHTEXTEND, B::SCI_CHARRIGHTRECTEXTEND, nullptr},
    {B::SCI_LINEUP, B::SCI_LINEUPEXTEND, B::SCI_LINEUPRECTEXTEND, nullptr},
    {B::SCI_LINEDOWN, B::SCI_LINEDOWNEXTEND, B::SCI_LINEDOWNRECTEXTEND, nullptr},
    {B::SCI_WORDLEFT, B::SCI_WORDLEFTEXTEND, 0, nullptr},
    {B::SCI_WORDRIGHT, B::SCI_WORDRIGHTEXTEND, 0, nullptr},
    {B::SCI_HOME, B::SCI_HOMEEXTEND, B::SCI_HOMERECTEXTEND, nullptr},
    {B::SCI_LINEEND, B::SCI_LINEENDEXTEND, B::SCI_LINEENDRECTEXTEND, nullptr},
    {B::SCI_PAGEUP, B::SCI_PAGEUPEXTEND, B::SCI_PAGEUPRECTEXTEND, nullptr},
    {B::SCI_PAGEDOWN, B::SCI_PAGEDOWNEXTEND, B::SCI_PAGEDOWNRECTEXTEND, nullptr},
    {0, 0, 0, PageLeftTarget},
    {0, 0, 0, PageRightTarget},
    {0, 0, 0, PageTopTarget},
    {0, 0, 0, PageBottomTarget},
    {B::SCI_DOCUMENTSTART, B::SCI_DOCUMENTSTARTEXTEND, 0, nullptr},
    {B::SCI_DOCUMENTEND, B::SCI_DOCUMENTENDEXTEND, 0, nullptr},
    {0, 0, 0, MouseTarget},
};

// Moves the caret (dropping any selection) and returns where it stands.
long MoveCaret(QsciScintilla& e, const TMotion& motion)
{
  if (motion.Move) {
    Send(e, motion.Move);
  } else {
    Send(e, B::SCI_GOTOPOS, motion.Target(e));
  }
  return Caret(e);
}

// Line selection from anchor to caret: whole lines, the line end of the last
// one included.
void SelectLines(TEditorCommandArgs& a, long anchor, long caret)
{
  QsciScintilla& e = a.Editor;
  long first = LineOf(e, std::min(anchor, caret));
  long last = LineOf(e, std::max(anchor, caret));
  long start = LineStart(e, first);
  long end = last + 1 < LineCount(e) ? LineStart(e, last + 1) : Length(e);
  if (caret >= anchor)
    Send(e, B::SCI_SETSEL, start, end);
  else
    Send(e, B::SCI_SETSEL, end, start);
  a.State.LineAnchor = anchor;
  a.State.LineCaret = caret;
  a.State.LineSelStart = start;
  a.State.LineSelEnd = end;
}

void ExtendLines(TEditorCommandArgs& a, const TMotion& motion)
{
  QsciScintilla& e = a.Editor;
  TEditorCommandState& s = a.State;
  bool ours = s.LineAnchor >= 0 && s.LineSelStart == SelStart(e) && s.LineSelEnd == SelEnd(e);
  long anchor = ours ? s.LineAnchor : Anchor(e);
  long caret = ours ? s.LineCaret : Caret(e);
  Send(e, B::SCI_SETEMPTYSELECTION, caret);
  SelectLines(a, anchor, MoveCaret(e, motion));
}

void ExtendColumns(TEditorCommandArgs& a, const TMotion& motion)
{
  QsciScintilla& e = a.Editor;
  if (motion.RectExtend) {
    Send(e, motion.RectExtend);
    return;
  }
  bool rectangular = IsRectangular(e);
  long anchor = rectangular ? Send(e, B::SCI_GETRECTANGULARSELECTIONANCHOR) : Anchor(e);
  long anchorSpace = rectangular ? Send(e, B::SCI_GETRECTANGULARSELECTIONANCHORVIRTUALSPACE) : 0;
  long caret = rectangular ? Send(e, B::SCI_GETRECTANGULARSELECTIONCARET) : Caret(e);
  Send(e, B::SCI_SETEMPTYSELECTION, caret);
  long target = MoveCaret(e, motion);
  Send(e, B::SCI_SETRECTANGULARSELECTIONANCHOR, anchor);
  Send(e, B::SCI_SETRECTANGULARSELECTIONANCHORVIRTUALSPACE, anchorSpace);
  Send(e, B::SCI_SETRECTANGULARSELECTIONCARET, target);
}

void ExtendStream(TEditorCommandArgs& a, const TMotion& motion)
{
  QsciScintilla& e = a.Editor;
  if (motion.Extend) {
    Send(e, motion.Extend);
    return;
  }
  long anchor = Anchor(e);
  long target = MoveCaret(e, motion);
  Send(e, B::SCI_SETSEL, anchor, target);
}

template <int I>
void MoveHandler(TEditorCommandArgs& a)
{
  MoveCaret(a.Editor, Motions[I]);
}

template <int I>
void SelectHandler(TEditorCommandArgs& a)
{
  switch (a.State.SelectionMode) {
    case TSelectionMode::Normal: ExtendStream(a, Motions[I]); break;
    case TSelectionMode::Column: ExtendColumns(a, Motions[I]); break;
    case TSelectionMode::Line: ExtendLines(a, Motions[I]); break;
  }
  Send(a.Editor, B::SCI_SCROLLCARET);
}

// Switching the mode shows the current selection in the new one.
template <TSelectionMode Mode>
void SelectionModeHandler(TEditorCommandArgs& a)
{
  QsciScintilla& e = a.Editor;
  bool rectangular = IsRectangular(e);
  long anchor = rectangular ? Send(e, B::SCI_GETRECTANGULARSELECTIONANCHOR) : Anchor(e);
  long caret = rectangular ? Send(e, B::SCI_GETRECTANGULARSELECTIONCARET) : Caret(e);
  a.State.SelectionMode = Mode;
  a.State.LineAnchor = -1;
  if (anchor != caret) {
    if (Mode == TSelectionMode::Column) {
      Send(e, B::SCI_SETRECTANGULARSELECTIONANCHOR, anchor);
      Send(e, B::SCI_SETRECTANGULARSELECTIONCARET, caret);
    } else if (Mode == TSelectionMode::Line) {
      SelectLines(a, anchor, caret);
    } else if (rectangular) {
      Send(e, B::SCI_SETSEL, anchor, caret);
    }
  }
  ModeChanged(a);
}

const TEntry Entries[] = {
    {ecLeft, MoveHandler<mLeft>},
    {ecRight, MoveHandler<mRight>},
    {ecUp, MoveHandler<mUp>},
    {ecDown, MoveHandler<mDown>},
    {ecWordLeft, MoveHandler<mWordLeft>},
    {ecWordRight, MoveHandler<mWordRight>},
    {ecLineStart, MoveHandler<mLineStart>},
    {ecLineEnd, MoveHandler<mLineEnd>},
    {ecPageUp, MoveHandler<mPageUp>},
    {ecPageDown, MoveHandler<mPageDown>},
    {ecPageLeft, MoveHandler<mPageLeft>},
    {ecPageRight, MoveHandler<mPageRight>},
    {ecPageTop, MoveHandler<mPageTop>},
    {ecPageBottom, MoveHandler<mPageBottom>},
    {ecEditorTop, MoveHandler<mEditorTop>},
    {ecEditorBottom, MoveHandler<mEditorBottom>},
    {ecGotoXY, MoveHandler<mGotoXY>},
    {ecSelLeft, SelectHandler<mLeft>},
    {ecSelRight, SelectHandler<mRight>},
    {ecSelUp, SelectHandler<mUp>},
    {ecSelDown, SelectHandler<mDown>},
    {ecSelWordLeft, SelectHandler<mWordLeft>},
    {ecSelWordRight, SelectHandler<mWordRight>},
    {ecSelLineStart, SelectHandler<mLineStart>},
    {ecSelLineEnd, SelectHandler<mLineEnd>},
    {ecSelPageUp, SelectHandler<mPageUp>},
    {ecSelPageDown, SelectHandler<mPageDown>},
    {ecSelPageLeft, SelectHandler<mPageLeft>},
    {ecSelPageRight, SelectHandler<mPageRight>},
    {ecSelPageTop, SelectHandler<mPageTop>},
    {ecSelPageBottom, SelectHandler<mPageBottom>},
    {ecSelEditorTop, SelectHandler<mEditorTop>},
    {ecSelEditorBottom, SelectHandler<mEditorBottom>},
    {ecSelGotoXY, SelectHandler<mGotoXY>},
    {ecNormalSelect, SelectionModeHandler<TSelectionMode::Normal>},
    {ecColumnSelect, SelectionModeHandler<TSelectionMode::Column>},
    {ecLineSelect, SelectionModeHandler<TSelectionMode::Line>},
};

}  // namespace

TGroup CaretCommands()
{
  return Group(Entries);
}

}  // namespace editorcommands
