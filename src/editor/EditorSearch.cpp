#include "editor/EditorSearch.h"

#include <Qsci/qsciscintilla.h>
#include <Qsci/qsciscintillabase.h>
#include <QString>
#include <algorithm>
#include <cstring>
#include <vector>

#include "text/Utf8.h"

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

char FoldASCII(char c)
{
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsASCII(const std::string& text)
{
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The matches of a search text in the editor's text, read in place. Letter
// case counts with ssoMatchCase; otherwise a search text in ASCII ignores it
// within ASCII only, as the editor component's own search does, and any
// other search text in every script: the characters of the text and of the
// search text are then compared case-folded, one by one. A match begins on
// a character (the search text being UTF-8, a byte that matches its first
// byte always begins one), lies wholly in the range searched and, with
// ssoWholeWord, is a word by the editor's word characters.
class TTextSearch {
public:
  TTextSearch(QsciScintilla& e, const std::string& text, TSearchOptions options)
      : FEditor(e), FSearch(text), FWholeWord(options & ssoWholeWord)
  {
    if (options & ssoMatchCase) {
      FCase = TCase::Exact;
    } else if (IsASCII(text)) {
      FCase = TCase::ASCII;
      std::transform(FSearch.begin(), FSearch.end(), FSearch.begin(), FoldASCII);
    } else {
      FCase = TCase::Folded;
      for (char32_t c : QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUcs4())
        FFolded.push_back(QChar::toCaseFolded(c));
    }
  }

  // The first match between from and to (to < from: the last one,
  // backwards): its start, or -1; end receives its end.
  long Find(long from, long to, long& end)
  {
    FStart = std::min(from, to);
    FEnd = std::max(from, to);
    end = -1;
    if (FSearch.empty()) return -1;
    // Only the range is made contiguous: the editor's gap, where the last
    // edit was, mostly stays where it is.
    FText = reinterpret_cast<const char*>(
        FEditor.SendScintilla(B::SCI_GETRANGEPOINTER, static_cast<unsigned long>(FStart), FEnd - FStart));
    if (!FText) return -1;
    if (to >= from) {
      for (long pos = NextCandidate(from); pos < to; pos = NextCandidate(pos + std::max<long>(1, SequenceAt(pos))))
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
  enum class TCase { Exact, ASCII, Folded };

  const char* At(long pos) const { return FText + (pos - FStart); }

  // Length of the character at pos within the range; 0 for no character.
  long SequenceAt(long pos) const
  {
    return static_cast<long>(Utf8SequenceLength(At(pos), static_cast<std::size_t>(FEnd - pos)));
  }

  long CharacterBefore(long pos) const
  {
    for (long start = pos - 1; start >= FStart && start >= pos - 4; --start)
      if (SequenceAt(start) == pos - start) return start;
    return pos - 1;
  }

  // From pos on, the first place a match can begin at, going by its first
  // byte (the end of the range when there is none).
  long NextCandidate(long pos) const
  {
    if (FCase == TCase::Folded || pos >= FEnd) return pos;
    const char first = FSearch[0];
    if (FCase == TCase::Exact) {
      const void* found = std::memchr(At(pos), first, static_cast<std::size_t>(FEnd - pos));
      return found ? FStart + (static_cast<const char*>(found) - FText) : FEnd;
    }
    const char* text = At(pos);
    const char* last = At(FEnd);
    while (text < last && FoldASCII(*text) != first) ++text;
    return FStart + (text - FText);
  }

  bool Matches(long pos, long& end) const
  {
    long at = FCase == TCase::Folded ? FoldedMatchEnd(pos) : BytesMatchEnd(pos);
    if (at < 0) return false;
    if (FWholeWord && !FEditor.SendScintilla(B::SCI_ISRANGEWORD, static_cast<unsigned long>(pos), at)) return false;
    end = at;
    return true;
  }

  long BytesMatchEnd(long pos) const
  {
    const auto length = static_cast<long>(FSearch.size());
    if (FEnd - pos < length) return -1;
    const char* text = At(pos);
    if (FCase == TCase::Exact) return std::memcmp(text, FSearch.data(), FSearch.size()) == 0 ? pos + length : -1;
    for (std::size_t i = 0; i < FSearch.size(); ++i)
      if (FoldASCII(text[i]) != FSearch[i]) return -1;
    return pos + length;
  }

  long FoldedMatchEnd(long pos) const
  {
    long at = pos;
    for (char32_t wanted : FFolded) {
      long length = at < FEnd ? SequenceAt(at) : 0;
      if (length == 0) return -1;
      if (QChar::toCaseFolded(DecodeUtf8(At(at), static_cast<std::size_t>(length))) != wanted) return -1;
      at += length;
    }
    return at;
  }

  QsciScintilla& FEditor;
  std::string FSearch;  // ASCII: folded
  bool FWholeWord;
  TCase FCase = TCase::Exact;
  std::vector<char32_t> FFolded;
  const char* FText = nullptr;  // the range [FStart, FEnd)
  long FStart = 0;
  long FEnd = 0;
};

// The first match between from and to (to < from searches backwards): its
// start, or -1; end receives its end, and the match becomes the target.
long FindInRange(QsciScintilla& e, TTextSearch& search, long from, long to, long& end)
{
  long found = search.Find(from, to, end);
  if (found >= 0) Send(e, B::SCI_SETTARGETRANGE, static_cast<unsigned long>(found), end);
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

struct TMatch {
  long Start;
  long End;
};

// Every match between from and to (to < from: backwards), in the order of
// the text, all found in the text as it is: a match begins where the one
// before it (in the search's direction) ends at the earliest.
std::vector<TMatch> FindAll(TTextSearch& search, long from, long to)
{
  const bool backwards = to < from;
  std::vector<TMatch> matches;
  for (;;) {
    long end = 0;
    long found = search.Find(from, to, end);
    if (found < 0) break;
    matches.push_back({found, end});
    from = backwards ? found : end;
  }
  if (backwards) std::reverse(matches.begin(), matches.end());
  return matches;
}

// The starts of the lines from start's to end's that carry a marker (a
// bookmark), in order.
std::vector<long> MarkedLineStarts(QsciScintilla& e, long start, long end)
{
  std::vector<long> starts;
  const long last = Send(e, B::SCI_LINEFROMPOSITION, static_cast<unsigned long>(end));
  for (long line = Send(e, B::SCI_LINEFROMPOSITION, static_cast<unsigned long>(start)); line <= last; ++line) {
    line = Send(e, B::SCI_MARKERNEXT, static_cast<unsigned long>(line), -1L);
    if (line < 0 || line > last) break;
    starts.push_back(Send(e, B::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line)));
  }
  return starts;
}

// A stretch of the text that one change of the editor replaces: from the
// start of one match to the end of another, and where its new text lies in
// the new text of all matches.
struct TChange {
  long Start;
  long End;
  std::size_t NewStart;
  std::size_t NewEnd;
};

// The new text from the first match to the last (text holds the old one) in
// replaced, cut into the changes that make it. The editor moves the markers
// of a line whose line end a change removes to the line before, and those
// of a line a change inserts lines at the start of to the last line
// inserted: so that the bookmarks end where a replacement per match leaves
// them, a change ends before each line with a marker, and a match at the
// start of such a line is a change of its own. Without bookmarks there is
// one change.
std::vector<TChange> PlanChanges(const std::vector<TMatch>& matches, const std::string& replace, const char* text,
                                 const std::vector<long>& markedLines, std::string& replaced)
{
  const long first = matches.front().Start;
  std::vector<TChange> changes;
  auto marked = markedLines.begin();
  long previousEnd = -1;
  bool previousAlone = false;
  for (const TMatch& match : matches) {
    while (marked != markedLines.end() && *marked <= previousEnd) ++marked;
    const bool markBefore = marked != markedLines.end() && *marked <= match.Start;
    if (changes.empty() || markBefore || previousAlone) {
      if (!changes.empty()) changes.back().NewEnd = replaced.size();
      changes.push_back({match.Start, match.End, replaced.size(), 0});
    } else {
      replaced.append(text + (previousEnd - first), static_cast<std::size_t>(match.Start - previousEnd));
    }
    replaced += replace;
    changes.back().End = match.End;
    previousEnd = match.End;
    previousAlone = markBefore && *marked == match.Start;
  }
  changes.back().NewEnd = replaced.size();
  return changes;
}

// Makes the changes, from the first to the last, each inserting its new
// text before the old and then removing the old: Undo, taking back the last
// action first, ends with the caret at the first match, and Redo behind the
// last replacement.
void MakeChanges(QsciScintilla& e, const std::vector<TChange>& changes, const std::string& replaced)
{
  long shift = 0;
  for (const TChange& change : changes) {
    const long start = change.Start + shift;
    const auto length = static_cast<long>(change.NewEnd - change.NewStart);
    Send(e, B::SCI_SETTARGETRANGE, static_cast<unsigned long>(start), start);
    e.SendScintilla(B::SCI_REPLACETARGET, static_cast<unsigned long>(length), replaced.data() + change.NewStart);
    Send(e, B::SCI_DELETERANGE, static_cast<unsigned long>(start + length), change.End - change.Start);
    shift += length - (change.End - change.Start);
  }
}

// Replaces every match in one pass over the text: the new text of the
// stretch from the first match to the last is put together and goes into
// the editor at once (cut only before lines with bookmarks), one undo step.
// The caret ends behind the last replacement (backwards: before the first).
int ReplaceAll(QsciScintilla& e, TTextSearch& search, const std::string& replace, long from, long to)
{
  const std::vector<TMatch> matches = FindAll(search, from, to);
  if (matches.empty()) return 0;
  const long first = matches.front().Start;
  const long last = matches.back().End;
  const auto* text = reinterpret_cast<const char*>(
      e.SendScintilla(B::SCI_GETRANGEPOINTER, static_cast<unsigned long>(first), last - first));
  std::string replaced;
  const std::vector<TChange> changes = PlanChanges(matches, replace, text, MarkedLineStarts(e, first, last), replaced);
  {
    TUndoGroup undo(e, true);
    MakeChanges(e, changes, replaced);
  }
  const long caret = to < from ? first : first + static_cast<long>(replaced.size());
  Send(e, B::SCI_GOTOPOS, static_cast<unsigned long>(caret));
  return static_cast<int>(matches.size());
}

}  // namespace

int SearchReplace(QsciScintilla& e, const std::string& search, const std::string& replace, TSearchOptions options)
{
  if (search.empty()) return 0;
  const bool backwards = options & ssoBackwards;
  const bool replaceAll = options & ssoReplaceAll;
  const bool replacing = replaceAll || (options & ssoReplace);

  TTextSearch finder(e, search, options);
  const long selStart = Send(e, B::SCI_GETSELECTIONSTART);
  const long selEnd = Send(e, B::SCI_GETSELECTIONEND);
  long from = backwards == replacing ? selEnd : selStart;
  long to = backwards ? 0 : Send(e, B::SCI_GETLENGTH);

  if (!replacing) {
    long end = 0;
    long found = FindInRange(e, finder, from, to, end);
    if (found < 0) return 0;
    SelectMatch(e, found, end, backwards);
    return 1;
  }

  if (replaceAll) return ReplaceAll(e, finder, replace, from, to);

  long end = 0;
  long found = FindInRange(e, finder, from, to, end);
  if (found < 0) return 0;
  long written = e.SendScintilla(B::SCI_REPLACETARGET, static_cast<unsigned long>(replace.size()), replace.data());
  Send(e, B::SCI_GOTOPOS, static_cast<unsigned long>(backwards ? found : found + written));
  return 1;
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
  const auto* text = reinterpret_cast<const char*>(
      e.SendScintilla(B::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), end - start));
  return text ? std::string(text, static_cast<std::size_t>(end - start)) : std::string();
}
