#include "editor/EditorCommandHandlers.h"

#include <Qsci/qsciscintilla.h>
#include <QCursor>
#include <algorithm>
#include <string>
#include <vector>

#include "text/Utf8.h"

namespace {

using B = QsciScintillaBase;

// ---- small readers of the editor ---------------------------------------

long Send(QsciScintilla& e, unsigned int msg, unsigned long w = 0, long l = 0)
{
  return e.SendScintilla(msg, w, l);
}

long Caret(QsciScintilla& e) { return Send(e, B::SCI_GETCURRENTPOS); }
long Anchor(QsciScintilla& e) { return Send(e, B::SCI_GETANCHOR); }
long LineOf(QsciScintilla& e, long pos) { return Send(e, B::SCI_LINEFROMPOSITION, pos); }
long LineStart(QsciScintilla& e, long line) { return Send(e, B::SCI_POSITIONFROMLINE, line); }
long LineCount(QsciScintilla& e) { return Send(e, B::SCI_GETLINECOUNT); }
long Length(QsciScintilla& e) { return Send(e, B::SCI_GETLENGTH); }
long ColumnOf(QsciScintilla& e, long pos) { return Send(e, B::SCI_GETCOLUMN, pos); }
long FindColumn(QsciScintilla& e, long line, long column) { return Send(e, B::SCI_FINDCOLUMN, line, column); }
long SelStart(QsciScintilla& e) { return Send(e, B::SCI_GETSELECTIONSTART); }
long SelEnd(QsciScintilla& e) { return Send(e, B::SCI_GETSELECTIONEND); }
bool IsRectangular(QsciScintilla& e) { return Send(e, B::SCI_SELECTIONISRECTANGLE) != 0; }
unsigned char CharAt(QsciScintilla& e, long pos) { return static_cast<unsigned char>(Send(e, B::SCI_GETCHARAT, pos)); }

std::string TextRange(QsciScintilla& e, long start, long end)
{
  std::string text(static_cast<std::size_t>(end - start) + 1, '\0');
  e.SendScintilla(B::SCI_GETTEXTRANGE, start, end, text.data());
  text.resize(static_cast<std::size_t>(end - start));
  return text;
}

std::string LineEnding(QsciScintilla& e)
{
  switch (Send(e, B::SCI_GETEOLMODE)) {
    case B::SC_EOL_LF: return "\n";
    case B::SC_EOL_CR: return "\r";
    default: return "\r\n";
  }
}

// Width of one character of the text, in pixels.
long CharWidth(QsciScintilla& e)
{
  return std::max(1L, e.SendScintilla(B::SCI_TEXTWIDTH, static_cast<unsigned long>(B::STYLE_DEFAULT), "x"));
}

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

// ---- commands the editor has as they are ---------------------------------

template <unsigned Msg>
void SendHandler(TEditorCommandArgs& a)
{
  Send(a.Editor, Msg);
}

void NothingHandler(TEditorCommandArgs&) {}

// ---- modes -------------------------------------------------------------

void ModeChanged(TEditorCommandArgs& a)
{
  if (a.State.OnModeChange) a.State.OnModeChange();
}

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

// ---- typed text ---------------------------------------------------------

void InsertTextHandler(TEditorCommandArgs& a)
{
  if (a.Text.isEmpty()) return;
  QByteArray bytes = a.Text.toUtf8();
  a.Editor.SendScintilla(B::SCI_REPLACESEL, bytes.constData());
}

void InsertLineHandler(TEditorCommandArgs& a)
{
  QsciScintilla& e = a.Editor;
  Send(e, B::SCI_BEGINUNDOACTION);
  if (SelStart(e) != SelEnd(e)) e.SendScintilla(B::SCI_REPLACESEL, "");
  long pos = Caret(e);
  std::string eol = LineEnding(e);
  e.SendScintilla(B::SCI_INSERTTEXT, static_cast<unsigned long>(pos), eol.c_str());
  Send(e, B::SCI_GOTOPOS, pos);
  Send(e, B::SCI_ENDUNDOACTION);
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

// ---- block indent -------------------------------------------------------

// The lines the block commands act on: those of the selection (a selection
// that ends at the start of a line leaves that line out), else the caret's.
void BlockLines(QsciScintilla& e, long& first, long& last)
{
  long start = SelStart(e);
  long end = SelEnd(e);
  first = LineOf(e, start);
  last = LineOf(e, end);
  if (last > first && end == LineStart(e, last)) --last;
}

bool SelectionSpansLines(QsciScintilla& e)
{
  return LineOf(e, SelStart(e)) != LineOf(e, SelEnd(e));
}

// Keeps anchor and caret across insertions and deletions at line starts
// (the editor itself drops the selection when text is inserted there).
class TSelectionKeeper {
public:
  explicit TSelectionKeeper(QsciScintilla& e) : E_(e), Anchor_(Anchor(e)), Caret_(Caret(e)) {}
  void Inserted(long pos, long length)
  {
    if (Anchor_ > pos) Anchor_ += length;
    if (Caret_ > pos) Caret_ += length;
  }
  void Deleted(long pos, long length)
  {
    Anchor_ = Shift(Anchor_, pos, length);
    Caret_ = Shift(Caret_, pos, length);
  }
  void Restore() { Send(E_, B::SCI_SETSEL, Anchor_, Caret_); }

private:
  static long Shift(long value, long pos, long length)
  {
    if (value >= pos + length) return value - length;
    return value > pos ? pos : value;
  }
  QsciScintilla& E_;
  long Anchor_;
  long Caret_;
};

void BlockIndentHandler(TEditorCommandArgs& a)
{
  QsciScintilla& e = a.Editor;
  long first = 0;
  long last = 0;
  BlockLines(e, first, last);
  const std::string indent(BlockIndentWidth, ' ');
  TSelectionKeeper selection(e);
  Send(e, B::SCI_BEGINUNDOACTION);
  for (long line = first; line <= last; ++line) {
    long start = LineStart(e, line);
    if (Send(e, B::SCI_GETLINEENDPOSITION, line) == start) continue;  // empty lines stay empty
    e.SendScintilla(B::SCI_INSERTTEXT, static_cast<unsigned long>(start), indent.c_str());
    selection.Inserted(start, BlockIndentWidth);
  }
  Send(e, B::SCI_ENDUNDOACTION);
  selection.Restore();
}

// Removes a leading tab, or up to one indent step of leading blanks.
void BlockUnindentHandler(TEditorCommandArgs& a)
{
  QsciScintilla& e = a.Editor;
  long first = 0;
  long last = 0;
  BlockLines(e, first, last);
  TSelectionKeeper selection(e);
  Send(e, B::SCI_BEGINUNDOACTION);
  for (long line = first; line <= last; ++line) {
    long start = LineStart(e, line);
    long end = Send(e, B::SCI_GETLINEENDPOSITION, line);
    long count = 0;
    if (start < end && CharAt(e, start) == '\t') {
      count = 1;
    } else {
      while (count < BlockIndentWidth && start + count < end && CharAt(e, start + count) == ' ') ++count;
    }
    if (count > 0) {
      Send(e, B::SCI_DELETERANGE, start, count);
      selection.Deleted(start, count);
    }
  }
  Send(e, B::SCI_ENDUNDOACTION);
  selection.Restore();
}

// Tab: a selection over several lines is indented; otherwise the selection
// is replaced by blanks up to the next tab stop.
void TabHandler(TEditorCommandArgs& a)
{
  if (SelectionSpansLines(a.Editor) && !IsRectangular(a.Editor))
    BlockIndentHandler(a);
  else
    Send(a.Editor, B::SCI_TAB);
}

// ---- brackets -----------------------------------------------------------

void MatchBracketHandler(TEditorCommandArgs& a)
{
  QsciScintilla& e = a.Editor;
  long caret = Caret(e);
  long match = Send(e, B::SCI_BRACEMATCH, caret);
  if (match >= 0) {
    Send(e, B::SCI_GOTOPOS, match);
    return;
  }
  if (caret > 0) {
    match = Send(e, B::SCI_BRACEMATCH, caret - 1);
    if (match >= 0) Send(e, B::SCI_GOTOPOS, match + 1);
  }
}

// ---- letter case --------------------------------------------------------

enum class TCaseChange { Upper, Lower, Toggle, Title };

// The editor's text is UTF-8: characters change case one by one. One whose
// other case is written with another number of bytes (or is two letters,
// as the capital of "\u00DF") stays as it is, so every position keeps its
// place; so does a byte that is no character.
char32_t ToCase(char32_t c, bool upper)
{
  return upper ? QChar::toUpper(c) : QChar::toLower(c);
}

bool IsASCIILetterOrDigit(char c)
{
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// An ASCII character in the new case; as ToCase for it.
char ChangeASCIICase(char c, TCaseChange change, bool inWord)
{
  const bool lower = c >= 'a' && c <= 'z';
  const bool upper = c >= 'A' && c <= 'Z';
  bool toUpper = false;
  switch (change) {
    case TCaseChange::Upper: toUpper = true; break;
    case TCaseChange::Lower: toUpper = false; break;
    case TCaseChange::Toggle: toUpper = !upper; break;
    case TCaseChange::Title: toUpper = !inWord; break;
  }
  if (toUpper && lower) return static_cast<char>(c - 'a' + 'A');
  if (!toUpper && upper) return static_cast<char>(c - 'A' + 'a');
  return c;
}

std::string ChangeCase(const std::string& text, TCaseChange change, bool wordBefore)
{
  std::string result;
  result.reserve(text.size());
  bool inWord = wordBefore;
  for (std::size_t i = 0; i < text.size();) {
    // ASCII, most of any text, without decoding and encoding.
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      result += ChangeASCIICase(text[i], change, inWord);
      inWord = IsASCIILetterOrDigit(text[i++]);
      continue;
    }
    std::size_t length = Utf8SequenceLength(text.data() + i, text.size() - i);
    if (length == 0) {
      result += text[i++];
      inWord = false;
      continue;
    }
    char32_t c = DecodeUtf8(text.data() + i, length);
    char32_t changed = c;
    switch (change) {
      case TCaseChange::Upper: changed = ToCase(c, true); break;
      case TCaseChange::Lower: changed = ToCase(c, false); break;
      case TCaseChange::Toggle: changed = ToCase(c, !QChar::isUpper(c)); break;
      case TCaseChange::Title: changed = ToCase(c, !inWord); break;
    }
    std::string encoded = EncodeUtf8(changed);
    if (encoded.size() == length)
      result += encoded;
    else
      result.append(text, i, length);
    inWord = QChar::isLetterOrNumber(c);
    i += length;
  }
  return result;
}

// Whether the character before pos is a letter or digit.
bool WordBefore(QsciScintilla& e, long pos)
{
  if (pos <= 0) return false;
  long before = Send(e, B::SCI_POSITIONBEFORE, pos);
  std::string text = TextRange(e, before, pos);
  std::size_t length = Utf8SequenceLength(text.data(), text.size());
  return length > 0 && QChar::isLetterOrNumber(DecodeUtf8(text.data(), length));
}

// The word at the caret, else the word before it.
bool WordAtCaret(QsciScintilla& e, long& start, long& end)
{
  long pos = Caret(e);
  start = Send(e, B::SCI_WORDSTARTPOSITION, pos, 1);
  end = Send(e, B::SCI_WORDENDPOSITION, pos, 1);
  if (start < end) return true;
  long p = pos;
  while (p > 0 && Send(e, B::SCI_WORDSTARTPOSITION, p, 1) == p) --p;
  if (p == 0) return false;
  start = Send(e, B::SCI_WORDSTARTPOSITION, p, 1);
  end = Send(e, B::SCI_WORDENDPOSITION, p, 1);
  return start < end;
}

template <TCaseChange Change>
void CaseHandler(TEditorCommandArgs& a)
{
  QsciScintilla& e = a.Editor;
  std::vector<std::pair<long, long>> ranges;
  long selections = Send(e, B::SCI_GETSELECTIONS);
  for (long i = 0; i < selections; ++i) {
    long start = Send(e, B::SCI_GETSELECTIONNSTART, i);
    long end = Send(e, B::SCI_GETSELECTIONNEND, i);
    if (start < end) ranges.emplace_back(start, end);
  }
  long start = 0;
  long end = 0;
  if (ranges.empty() && WordAtCaret(e, start, end)) ranges.emplace_back(start, end);
  if (ranges.empty()) return;

  bool rectangular = IsRectangular(e);
  long anchor = rectangular ? Send(e, B::SCI_GETRECTANGULARSELECTIONANCHOR) : Anchor(e);
  long caret = rectangular ? Send(e, B::SCI_GETRECTANGULARSELECTIONCARET) : Caret(e);
  Send(e, B::SCI_BEGINUNDOACTION);
  for (const auto& [from, to] : ranges) {
    std::string text = TextRange(e, from, to);
    bool wordBefore = WordBefore(e, from);
    std::string changed = ChangeCase(text, Change, wordBefore);
    if (changed == text) continue;
    Send(e, B::SCI_SETTARGETRANGE, from, to);
    e.SendScintilla(B::SCI_REPLACETARGET, static_cast<uintptr_t>(changed.size()), changed.data());
  }
  Send(e, B::SCI_ENDUNDOACTION);
  if (rectangular) {
    Send(e, B::SCI_SETRECTANGULARSELECTIONANCHOR, anchor);
    Send(e, B::SCI_SETRECTANGULARSELECTIONCARET, caret);
  } else {
    Send(e, B::SCI_SETSEL, anchor, caret);
  }
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

// ---- the table ------------------------------------------------------------

struct THandlerEntry {
  TEditorCommand Command;
  TEditorCommandHandler Handler;
};

const THandlerEntry HandlerTable[] = {
    {ecNone, NothingHandler},
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
    {ecInsertLine, InsertLineHandler},
    {ecChar, InsertTextHandler},
    {ecImeStr, InsertTextHandler},
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
    {ecBlockIndent, BlockIndentHandler},
    {ecBlockUnindent, BlockUnindentHandler},
    {ecTab, TabHandler},
    {ecShiftTab, BlockUnindentHandler},
    {ecMatchBracket, MatchBracketHandler},
    {ecNormalSelect, SelectionModeHandler<TSelectionMode::Normal>},
    {ecColumnSelect, SelectionModeHandler<TSelectionMode::Column>},
    {ecLineSelect, SelectionModeHandler<TSelectionMode::Line>},
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
    {ecUpperCase, CaseHandler<TCaseChange::Upper>},
    {ecLowerCase, CaseHandler<TCaseChange::Lower>},
    {ecToggleCase, CaseHandler<TCaseChange::Toggle>},
    {ecTitleCase, CaseHandler<TCaseChange::Title>},
    {ecString, InsertTextHandler},
};

}  // namespace

TEditorCommandHandler FindEditorCommandHandler(TEditorCommand command)
{
  for (const auto& entry : HandlerTable)
    if (entry.Command == command) return entry.Handler;
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
