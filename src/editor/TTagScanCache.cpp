#include "editor/TTagScanCache.h"

#include <algorithm>

namespace {

// A blank, a control character or ">" ends every tag name before it.
bool EndsEveryName(char c)
{
  return static_cast<unsigned char>(c) < 33 || c == '>';
}

long Length(std::string_view line)
{
  return static_cast<long>(line.size());
}

}  // namespace

TTagScanCache::TTagScanCache(long reach, long margin) : FReach(reach), FMargin(std::min(margin, reach)) {}

void TTagScanCache::Edited(long position)
{
  if (FPlaced && position < FCheckpoint.Position) Clear();
}

void TTagScanCache::Clear()
{
  FPlaced = false;
  FCheckpoint = TCheckpoint();
  FOpenBefore[0] = TOpenBefore();
  FOpenBefore[1] = TOpenBefore();
  FMarkBefore = TMarkBefore();
}

long TTagScanCache::StartOn(std::string_view line, long y, long caretX, long caretY)
{
  return y == caretY - 1 ? std::min(caretX - 1, Length(line)) : Length(line);
}

long TTagScanCache::CaretPosition(const TText& text, long caretX, long caretY) const
{
  if (caretX < 1 || caretY < 1) return -1;
  long start = text.LineStart(caretY - 1);
  if (start < 0) return -1;
  return start + StartOn(text.Lines(caretY - 1), caretY - 1, caretX, caretY);
}

TTagScanCache::TCheckpoint TTagScanCache::Candidate(const TText& text, long caretX, long caretY, long caret) const
{
  long target = caret - FMargin;
  if (target <= 0) return TCheckpoint();
  long caretLine = caretY - 1;
  long line = text.LineOf(target);
  if (line < caretLine) return TCheckpoint{line + 1, 0, text.LineStart(line + 1)};
  // A long caret line: after the first character at or after the target
  // that ends every tag name, else at the line's start.
  std::string_view content = text.Lines(caretLine);
  long start = text.LineStart(caretLine);
  long column = StartOn(content, caretLine, caretX, caretY);
  for (long j = std::max(0L, target - start); j < column; ++j)
    if (EndsEveryName(content[static_cast<std::size_t>(j)])) return TCheckpoint{caretLine, j + 1, start + j + 1};
  return TCheckpoint{caretLine, 0, start};
}

bool TTagScanCache::Place(const TText& text, long caretX, long caretY)
{
  long caret = CaretPosition(text, caretX, caretY);
  if (caret < 0) return false;
  if (FPlaced) {
    long caretLine = caretY - 1;
    long column = caret - text.LineStart(caretLine);
    bool before = FCheckpoint.Line < caretLine || (FCheckpoint.Line == caretLine && FCheckpoint.Column <= column);
    long b = text.LineStart(FCheckpoint.Line) + FCheckpoint.Column;
    if (before && caret - b <= FReach) return true;
  }
  TCheckpoint candidate = Candidate(text, caretX, caretY, caret);
  if (FPlaced && candidate.Line == FCheckpoint.Line && candidate.Column == FCheckpoint.Column) return true;
  Clear();
  FCheckpoint = candidate;
  FPlaced = true;
  return true;
}

std::string TTagScanCache::GetEnclosingElement(const TText& text, long caretX, long caretY)
{
  if (!Place(text, caretX, caretY)) return ::GetEnclosingElement(text.Lines, caretX, caretY);
  // From the caret down to B, as the plain search.
  TTagStack stack;
  bool emptyPending = false;
  std::string tag;
  for (long y = caretY - 1; y >= FCheckpoint.Line; --y) {
    std::string_view line = text.Lines(y);
    long start = StartOn(line, y, caretX, caretY);
    long stop = y == FCheckpoint.Line ? FCheckpoint.Column + 1 : 1;
    if (WalkBackToStartTag(line, start, start, stop, stack, emptyPending, tag) != 0) return tag;
  }
  // Before B: the series of start tags against what is left of the stack.
  TOpenBefore& before = FOpenBefore[emptyPending ? 1 : 0];
  if (!before.Started) {
    before.Started = true;
    before.EmptyPending = emptyPending;
    before.Line = FCheckpoint.Line;
    before.From = before.Start = FCheckpoint.Column;
  }
  for (std::size_t i = 0;; ++i) {
    while (i == before.Open.size() && !before.Done) Advance(text, before);
    if (i == before.Open.size()) return before.Result;
    const std::string& open = before.Open[i];
    if (stack.empty() || open != StackTop(stack)) return open;
    StackPop(stack);
  }
}

void TTagScanCache::Advance(const TText& text, TOpenBefore& before) const
{
  while (before.Line >= 0) {
    std::string_view line = text.Lines(before.Line);
    if (before.From < 0) before.From = before.Start = Length(line);
    std::string tag;
    long p = WalkBackToStartTag(line, before.From, before.Start, 1, before.Stack, before.EmptyPending, tag);
    if (p == 0) {
      --before.Line;
      before.From = -1;  // the line above, from its end
      continue;
    }
    before.From = p - 1;
    if (!before.Stack.empty()) {
      before.Result = std::move(tag);
      before.Done = true;
    } else {
      before.Open.push_back(std::move(tag));
    }
    return;
  }
  before.Done = true;
}

TTagContext TTagScanCache::GetTagContext(const TText& text, long caretX, long caretY)
{
  if (!Place(text, caretX, caretY)) return ::GetTagContext(text.Lines, caretX, caretY);
  long quotes = 0;
  for (long y = caretY - 1; y >= FCheckpoint.Line; --y) {
    std::string_view line = text.Lines(y);
    long start = StartOn(line, y, caretX, caretY);
    long stop = y == FCheckpoint.Line ? FCheckpoint.Column + 1 : 1;
    long p = FindTagMark(line, start, stop, quotes);
    if (p == 0) continue;
    TTagContext context;
    DecideTagContext(line, p, start, quotes, context);
    return context;
  }
  if (!FMarkBefore.Known) FindMark(text);
  if (!FMarkBefore.Found || (quotes + FMarkBefore.Quotes) % 2 != 0) return TTagContext();
  return FMarkBefore.Context;
}

void TTagScanCache::FindMark(const TText& text)
{
  FMarkBefore.Known = true;
  long quotes = 0;
  for (long y = FCheckpoint.Line; y >= 0; --y) {
    std::string_view line = text.Lines(y);
    long p = FindTagMark(line, y == FCheckpoint.Line ? FCheckpoint.Column : Length(line), 1, quotes);
    if (p == 0) continue;
    FMarkBefore.Found = true;
    FMarkBefore.Quotes = quotes;
    // A tag name ends before B: the same as judged from the line's end.
    DecideTagContext(line, p, Length(line), 0, FMarkBefore.Context);
    return;
  }
}
