#include "editor/EditorSearch.h"

#include <Qsci/qsciscintilla.h>
#include <Qsci/qsciscintillabase.h>
#include <algorithm>
#include <climits>
#include <vector>

#include "editor/TTextSearch.h"
#include "platform/TProgressRunner.h"

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

// Keeps the editor's text as it is while it lives (read-only): the text is
// read in place off the GUI thread meanwhile.
class TTextFreeze {
public:
  explicit TTextFreeze(QsciScintilla& editor) : FEditor(editor), FReadOnly(Send(editor, B::SCI_GETREADONLY))
  {
    Send(FEditor, B::SCI_SETREADONLY, 1);
  }
  ~TTextFreeze() { Send(FEditor, B::SCI_SETREADONLY, static_cast<unsigned long>(FReadOnly)); }
  TTextFreeze(const TTextFreeze&) = delete;
  TTextFreeze& operator=(const TTextFreeze&) = delete;

private:
  QsciScintilla& FEditor;
  long FReadOnly;
};

// Whole words by the editor's word characters.
TTextSearch::TWordTest EditorWordTest(QsciScintilla& e)
{
  return [&e](long start, long end) {
    return e.SendScintilla(B::SCI_ISRANGEWORD, static_cast<unsigned long>(start), end) != 0;
  };
}

// The first match between from and to (to < from searches backwards): its
// start, or -1; end receives its end, and the match becomes the target. Only
// the range is made contiguous: the editor's gap, where the last edit was,
// mostly stays where it is.
long FindInRange(QsciScintilla& e, TTextSearch& search, long from, long to, long& end)
{
  const long low = std::min(from, to);
  const long high = std::max(from, to);
  search.SetText(reinterpret_cast<const char*>(
                     e.SendScintilla(B::SCI_GETRANGEPOINTER, static_cast<unsigned long>(low), high - low)),
                 low, high);
  search.SetWordTest(EditorWordTest(e));
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

// Every match between low and high, in the order of the text; with
// overlapping, also the matches that begin inside others (each character
// is tried), else each begins where the one before it ends at the earliest.
std::vector<TMatch> FindCandidates(const TTextSearch& search, long low, long high, bool overlapping)
{
  std::vector<TMatch> matches;
  for (long from = low;;) {
    TWorkProgress::CheckCurrent();
    long end = 0;
    long found = search.Find(from, high, end);
    if (found < 0) break;
    matches.push_back({found, end});
    from = overlapping ? search.NextCharacter(found) : end;
  }
  return matches;
}

// The matches kept of every candidate (in the order of the text), all found
// in the text as it is: going in the search's direction, a match begins
// where the one before it ends at the earliest, and is a whole word by
// isWord when one is given.
std::vector<TMatch> SelectMatches(const std::vector<TMatch>& candidates, bool backwards,
                                  const TTextSearch::TWordTest& isWord)
{
  std::vector<TMatch> kept;
  if (!backwards) {
    long limit = LONG_MIN;
    for (const TMatch& match : candidates) {
      if (match.Start < limit || (isWord && !isWord(match.Start, match.End))) continue;
      kept.push_back(match);
      limit = match.End;
    }
    return kept;
  }
  long limit = LONG_MAX;
  for (auto match = candidates.rbegin(); match != candidates.rend(); ++match) {
    if (match->End > limit || (isWord && !isWord(match->Start, match->End))) continue;
    kept.push_back(*match);
    limit = match->Start;
  }
  std::reverse(kept.begin(), kept.end());
  return kept;
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
  std::size_t count = 0;
  for (const TMatch& match : matches) {
    if (++count % 65536 == 0) TWorkProgress::CheckCurrent();
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

// What Replace All changes: the matches, and the changes that replace them
// with their new text.
struct TReplacement {
  std::vector<TMatch> Matches;
  std::vector<TChange> Changes;
  std::string Text;
};

void PlanReplacement(TReplacement& plan, const std::string& replace, const char* text, long low,
                     const std::vector<long>& markedLines)
{
  if (plan.Matches.empty()) return;
  plan.Changes = PlanChanges(plan.Matches, replace, text + (plan.Matches.front().Start - low), markedLines, plan.Text);
}

// Replaces every match in one pass over the text: the new text of the
// stretch from the first match to the last is put together and goes into
// the editor at once (cut only before lines with bookmarks), one undo step.
// The caret ends behind the last replacement (backwards: before the first).
//
// The matches are found and the new text put together off the GUI thread,
// through the progress window of long commands, while the editor's text is
// read-only: Cancel there leaves the document as it was. Whole words are
// told by the editor, on the GUI thread, once the matches are found.
int ReplaceAll(QsciScintilla& e, TTextSearch& search, const std::string& replace, long from, long to)
{
  const bool backwards = to < from;
  const long low = std::min(from, to);
  const long high = std::max(from, to);
  const bool wholeWord = search.WholeWord();
  const std::vector<long> markedLines = MarkedLineStarts(e, low, high);
  TReplacement plan;
  {
    TTextFreeze freeze(e);
    // All the text contiguous: nothing moves it while the work reads it.
    const auto* text = reinterpret_cast<const char*>(e.SendScintillaPtrResult(B::SCI_GETCHARACTERPOINTER));
    search.SetText(text + low, low, high);
    search.SetWordTest(nullptr);
    TProgressRunner runner("Replace All", e.window());
    runner.Progress().SetStep("Finding the matches");
    plan = runner.Run([&] {
      TWorkProgress* progress = TWorkProgress::Current();
      search.SetScanReport([progress, low, high](long position) {
        if (!progress) return;
        progress->Report(static_cast<std::uint64_t>(position - low), static_cast<std::uint64_t>(high - low));
        progress->ThrowIfCancelled();
      });
      TReplacement found;
      found.Matches = FindCandidates(search, low, high, backwards || wholeWord);
      if (!wholeWord) {
        if (backwards) found.Matches = SelectMatches(found.Matches, true, nullptr);
        PlanReplacement(found, replace, text + low, low, markedLines);
      }
      return found;
    });
    search.SetScanReport(nullptr);
    if (wholeWord) {
      plan.Matches = SelectMatches(plan.Matches, backwards, EditorWordTest(e));
      PlanReplacement(plan, replace, text + low, low, markedLines);
    }
  }
  if (plan.Matches.empty()) return 0;
  {
    TUndoGroup undo(e, true);
    MakeChanges(e, plan.Changes, plan.Text);
  }
  const long first = plan.Matches.front().Start;
  const long caret = backwards ? first : first + static_cast<long>(plan.Text.size());
  Send(e, B::SCI_GOTOPOS, static_cast<unsigned long>(caret));
  return static_cast<int>(plan.Matches.size());
}

}  // namespace

int SearchReplace(QsciScintilla& e, const std::string& search, const std::string& replace, TSearchOptions options)
{
  if (search.empty()) return 0;
  const bool backwards = options & ssoBackwards;
  const bool replaceAll = options & ssoReplaceAll;
  const bool replacing = replaceAll || (options & ssoReplace);

  TTextSearch finder(search, options);
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
