#include "editor/EditorCommandSupport.h"

// Typed text, new lines, block indent and unindent, Tab, and bracket
// matching.

namespace editorcommands {
namespace {

std::string LineEnding(QsciScintilla& e)
{
  switch (Send(e, B::SCI_GETEOLMODE)) {
    case B::SC_EOL_LF: return "\n";
    case B::SC_EOL_CR: return "\r";
    default: return "\r\n";
  }
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

const TEntry Entries[] = {
    {ecInsertLine, InsertLineHandler},
    {ecChar, InsertTextHandler},
    {ecImeStr, InsertTextHandler},
    {ecBlockIndent, BlockIndentHandler},
    {ecBlockUnindent, BlockUnindentHandler},
    {ecTab, TabHandler},
    {ecShiftTab, BlockUnindentHandler},
    {ecMatchBracket, MatchBracketHandler},
    {ecString, InsertTextHandler},
};

}  // namespace

TGroup TextCommands()
{
  return Group(Entries);
}

}  // namespace editorcommands
