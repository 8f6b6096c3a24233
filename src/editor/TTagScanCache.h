#pragma once
// What the searches of TagScanning learnt about the text before a
// checkpoint, so that they need not walk back over it again at every key.
//
// Both searches walk back from the caret. The walk over the text before the
// checkpoint B depends on what the walk from the caret down to B left:
//   - GetEnclosingElement leaves a stack T of end-tag names and the
//     empty-element flag. Walked with a stack of its own, the text before B
//     meets a series of start tags while its own stack is empty; each is
//     compared in turn with the top of T (equal pops T, different is the
//     result), and after them the walk either found a result by itself (a
//     start tag not matching the top of its own stack) or reached the first
//     line. That series and outcome are kept for either value of the flag.
//     They are found lazily, only as far as the queries needed them, so that
//     no query walks farther than the plain search would.
//   - GetTagContext leaves a count of double quotes: the text before B adds
//     the "<" or ">" nearest to B (the tag name after a "<") and the double
//     quotes between it and B.
// The answers are exactly those of GetEnclosingElement and GetTagContext.
//
// B is the start of a line, or a position after a blank, a control
// character or ">" (which ends any tag name before it): the text before B
// then reads the same whatever follows. What was learnt holds while no edit
// begins before B (Edited); a query far from B (or before it) moves it.

#include <functional>
#include <string>
#include <vector>

#include "editor/TagScanning.h"

class TTagScanCache {
public:
  // The text as the searches read it.
  struct TText {
    TLineAt Lines;                                // the line with that index, without its line end
    std::function<long(long index)> LineStart;    // the position of a line's first character
    std::function<long(long position)> LineOf;    // the index of the line holding a position
  };

  // Walks back at most this far from the caret to the checkpoint (bytes)
  // before the checkpoint moves; a new checkpoint goes this far before the
  // caret. Tests use small values.
  explicit TTagScanCache(long reach = 1 << 20, long margin = 64 << 10);

  // GetEnclosingElement and GetTagContext of TagScanning, for the caret at
  // column caretX and line caretY (from 1) of the text.
  std::string GetEnclosingElement(const TText& text, long caretX, long caretY);
  TTagContext GetTagContext(const TText& text, long caretX, long caretY);

  // Before an insertion at position, or a deletion from it (positions from 0).
  void Edited(long position);
  // Forgets everything (after the whole text was replaced).
  void Clear();

private:
  struct TCheckpoint {
    long Line = 0;      // index of the line holding B
    long Column = 0;    // bytes of that line before B
    long Position = 0;  // B when placed
  };
  // The search for the enclosing element over the text before B, with its
  // own stack, as far as it went.
  struct TOpenBefore {
    bool Started = false;
    std::vector<std::string> Open;  // the start tags met with its own stack empty, nearest first
    TTagStack Stack;
    bool EmptyPending = false;
    long Line = 0;   // the line it walks
    long From = 0;   // where it goes on (1-based; 0: the line is done)
    long Start = 0;  // where the walk on that line began
    bool Done = false;
    std::string Result;  // found by itself; empty when it reached the first line
  };
  // The "<" or ">" nearest before B.
  struct TMarkBefore {
    bool Known = false;
    bool Found = false;
    long Quotes = 0;  // between the mark (or the first line) and B
    TTagContext Context;  // the context the mark gives for an even count
  };

  // The caret's position, or -1 when the caret is not in the text.
  long CaretPosition(const TText& text, long caretX, long caretY) const;
  // Makes sure B lies at or before the caret, within reach; false when it
  // cannot (the caret lies before every possible checkpoint).
  bool Place(const TText& text, long caretX, long caretY);
  TCheckpoint Candidate(const TText& text, long caretX, long caretY, long caret) const;
  // Where a walk on line index y starts for the caret (1-based).
  static long StartOn(std::string_view line, long y, long caretX, long caretY);
  // The next entry of the series (or the outcome) for the flag value.
  void Advance(const TText& text, TOpenBefore& before) const;
  void FindMark(const TText& text);

  long FReach;
  long FMargin;
  bool FPlaced = false;
  TCheckpoint FCheckpoint;
  TOpenBefore FOpenBefore[2];  // by the empty-element flag at B
  TMarkBefore FMarkBefore;
};
