#pragma once
// The matches of a search text in a stretch of the editor's text (UTF-8),
// read in place. Letter case counts with ssoMatchCase; otherwise a search
// text in ASCII ignores it within ASCII only, as the editor component's own
// search does, and any other search text in every script: the characters of
// the text and of the search text are then compared case-folded, one by one.
// A match begins on a character (the search text being UTF-8, a byte that
// matches its first byte always begins one), lies wholly in the range
// searched and, with ssoWholeWord, passes the word test when one is given.
//
// It touches no widget: the word test (the editor's word characters) is the
// caller's, so that the search can run off the GUI thread without one.

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "editor/EditorSearch.h"

class TTextSearch {
public:
  // True when the stretch [start, end) of the text is a whole word.
  using TWordTest = std::function<bool(long start, long end)>;
  // Told how far a long search has got (every megabyte or so).
  using TScanReport = std::function<void(long position)>;

  TTextSearch(const std::string& search, TSearchOptions options);

  bool WholeWord() const { return FWholeWord; }
  // The text searched: the bytes of [start, end) of the document, bytes
  // being the one at start; valid while the search is used.
  void SetText(const char* bytes, long start, long end);
  void SetWordTest(TWordTest test) { FWordTest = std::move(test); }
  void SetScanReport(TScanReport report) { FScanReport = std::move(report); }

  // The first match between from and to (to < from: the last one,
  // backwards): its start, or -1; end receives its end.
  long Find(long from, long to, long& end) const;
  // Where the character after the one at pos begins.
  long NextCharacter(long pos) const { return pos + std::max<long>(1, SequenceAt(pos, FEnd)); }

private:
  enum class TCase { Exact, ASCII, Folded };

  const char* At(long pos) const { return FText + (pos - FStart); }
  // Length of the character at pos before limit; 0 for no character.
  long SequenceAt(long pos, long limit) const;
  long CharacterBefore(long pos, long floor, long limit) const;
  long NextCandidate(long pos, long limit) const;
  bool Matches(long pos, long limit, long& end) const;
  long BytesMatchEnd(long pos, long limit) const;
  long FoldedMatchEnd(long pos, long limit) const;

  std::string FSearch;  // ASCII: folded
  bool FWholeWord;
  TCase FCase = TCase::Exact;
  std::vector<char32_t> FFolded;
  TWordTest FWordTest;
  TScanReport FScanReport;
  const char* FText = nullptr;  // the text [FStart, FEnd)
  long FStart = 0;
  long FEnd = 0;
};
