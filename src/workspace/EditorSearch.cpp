#include "workspace/EditorSearch.h"

#include <Qsci/qsciscintilla.h>
#include <Qsci/qsciscintillabase.h>
#include <QString>
#include <algorithm>
#include <vector>

#include "model/Utf8.h"

namespace {

using B = QsciScintillaBase;

long Send(QsciScintilla& e, unsigned int message, unsigned long w = 0, long l = 0)
{
  return e.SendScintilla(message, w, l);
}

// One undo step for everything done while it lives.
class TUndoGroup {
public:
  TUndoGroup(QsciScintilla& editor, bool active) : FEditor(editor), FActive(active)
  {
    if (FActive) Send(FEditor, B::SCI_BEGINUNDOACTION);
  }
  ~TUndoGroup()
  {
    if (FActive) Send(FEditor, B::SCI_ENDUNDOACTION);
  }
  TUndoGroup(const TUndoGroup&) = delete;
  TUndoGroup& operator=(const TUndoGroup&) = delete;

private:
  QsciScintilla& FEditor;
  bool FActive;
};

// Letter case ignored beyond ASCII, which the editor component folds only
// within ASCII: the characters of the range and of the search text are
// compared case-folded, one by one. A match lies wholly in the range.
class TFoldedSearch {
public:
  TFoldedSearch(QsciScintilla& e, const std::string& text, bool wholeWord) : FEditor(e), FWholeWord(wholeWord)
  {
    for (char32_t c : QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUcs4())
      FFolded.push_back(QChar::toCaseFolded(c));
  }

  // As FindInRange.
  long Find(long from, long to, long& end)
  {
    FStart = std::min(from, to);
    FEnd = std::max(from, to);
    // Only the range is made contiguous: the editor's gap, where the last
    // replacement was, mostly stays where it is.
    FText = reinterpret_cast<const char*>(
        FEditor.SendScintilla(B::SCI_GETRANGEPOINTER, static_cast<unsigned long>(FStart), FEnd - FStart));
    end = -1;
    if (!FText) return -1;
    if (to >= from) {
      for (long pos = from; pos < to; pos += std::max<long>(1, SequenceAt(pos)))
        if (Matches(pos, end)) return pos;
    } else {
      for (long pos = from; pos > to;) {
        pos = CharacterBefore(pos);
        if (Matches(pos, end)) return pos;
      }
    }
    return -1;
  }

private:
  // Length of the character at pos within the range; 0 for no character.
  long SequenceAt(long pos) const
  {
    return static_cast<long>(Utf8SequenceLength(FText + (pos - FStart), static_cast<std::size_t>(FEnd - pos)));
  }

  long CharacterBefore(long pos) const
  {
    for (long start = pos - 1; start >= FStart && start >= pos - 4; --start)
      if (SequenceAt(start) == pos - start) return start;
    return pos - 1;
  }

  bool Matches(long pos, long& end) const
  {
    long at = pos;
    for (char32_t wanted : FFolded) {
      long length = at < FEnd ? SequenceAt(at) : 0;
      if (length == 0) return false;
      if (QChar::toCaseFolded(DecodeUtf8(FText + (at - FStart), static_cast<std::size_t>(length))) != wanted)
        return false;
      at += length;
    }
    if (FWholeWord && !FEditor.SendScintilla(B::SCI_ISRANGEWORD, static_cast<unsigned long>(pos), at)) return false;
    end = at;
    return true;
  }

  QsciScintilla& FEditor;
  bool FWholeWord;
  std::vector<char32_t> FFolded;
  const char* FText = nullptr;  // the range [FStart, FEnd)
  long FStart = 0;
  long FEnd = 0;
};

bool IsASCII(const std::string& text)
{
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The first match between from and to (to < from searches backwards): its
// start, or -1; end receives its end, and the match becomes the target.
long FindInRange(QsciScintilla& e, const std::string& text, long from, long to, long& end, TSearchOptions options)
{
  if (!(options & ssoMatchCase) && !IsASCII(text)) {
    long found = TFoldedSearch(e, text, options & ssoWholeWord).Find(from, to, end);
    // The match becomes the target, as the component's own search makes it.
    if (found >= 0) Send(e, B::SCI_SETTARGETRANGE, static_cast<unsigned long>(found), end);
    return found;
  }
  Send(e, B::SCI_SETTARGETRANGE, static_cast<unsigned long>(from), to);
  long found = e.SendScintilla(B::SCI_SEARCHINTARGET, static_cast<unsigned long>(text.size()), text.data());
  end = found < 0 ? -1 : Send(e, B::SCI_GETTARGETEND);
  return found;
}

void SelectMatch(QsciScintilla& e, long start, long end, bool backwards)
{
  if (backwards)
    Send(e, B::SCI_SETSEL, static_cast<unsigned long>(end), start);
  else
    Send(e, B::SCI_SETSEL, static_cast<unsigned long>(start), end);
  Send(e, B::SCI_SCROLLRANGE, static_cast<unsigned long>(backwards ? end : start), backwards ? start : end);
}

}  // namespace

int SearchReplace(QsciScintilla& e, const std::string& search, const std::string& replace, TSearchOptions options)
{
  if (search.empty()) return 0;
  const bool backwards = options & ssoBackwards;
  const bool replaceAll = options & ssoReplaceAll;
  const bool replacing = replaceAll || (options & ssoReplace);

  long flags = 0;
  if (options & ssoMatchCase) flags |= B::SCFIND_MATCHCASE;
  if (options & ssoWholeWord) flags |= B::SCFIND_WHOLEWORD;
  Send(e, B::SCI_SETSEARCHFLAGS, static_cast<unsigned long>(flags));

  const long selStart = Send(e, B::SCI_GETSELECTIONSTART);
  const long selEnd = Send(e, B::SCI_GETSELECTIONEND);
  long from = backwards == replacing ? selEnd : selStart;
  long to = backwards ? 0 : Send(e, B::SCI_GETLENGTH);

  if (!replacing) {
    long end = 0;
    long found = FindInRange(e, search, from, to, end, options);
    if (found < 0) return 0;
    SelectMatch(e, found, end, backwards);
    return 1;
  }

  TUndoGroup undo(e, replaceAll);
  int count = 0;
  long caret = -1;
  for (;;) {
    long end = 0;
    long found = FindInRange(e, search, from, to, end, options);
    if (found < 0) break;
    long written = e.SendScintilla(B::SCI_REPLACETARGET, static_cast<unsigned long>(replace.size()), replace.data());
    ++count;
    if (backwards) {
      from = found;
      caret = found;
    } else {
      from = found + written;
      to += written - (end - found);
      caret = from;
    }
    if (!replaceAll) break;
  }
  if (caret >= 0) Send(e, B::SCI_GOTOPOS, static_cast<unsigned long>(caret));
  return count;
}

std::string WordAtCaret(QsciScintilla& e)
{
  // A caret in the virtual space beyond the end of its line is on no word.
  if (Send(e, B::SCI_GETSELECTIONNCARETVIRTUALSPACE, static_cast<unsigned long>(Send(e, B::SCI_GETMAINSELECTION))) > 0)
    return std::string();
  const long caret = Send(e, B::SCI_GETCURRENTPOS);
  const long start = Send(e, B::SCI_WORDSTARTPOSITION, static_cast<unsigned long>(caret), 1);
  const long end = Send(e, B::SCI_WORDENDPOSITION, static_cast<unsigned long>(caret), 1);
  if (end <= start) return std::string();
  std::string word(static_cast<std::size_t>(end - start), '\0');
  for (long pos = start; pos < end; ++pos)
    word[static_cast<std::size_t>(pos - start)] = static_cast<char>(Send(e, B::SCI_GETCHARAT, static_cast<unsigned long>(pos)));
  return word;
}
