#include "text/LineEnds.h"

#include <algorithm>

const char* LineEndText(TLineEnd lineEnd)
{
  switch (lineEnd) {
    case TLineEnd::CRLF: return "\r\n";
    case TLineEnd::CR: return "\r";
    case TLineEnd::LF: break;
  }
  return "\n";
}

void TLineEndDetector::Feed(const char* text, std::size_t size)
{
  if (FDecided || size == 0) return;
  if (FPendingCR) {
    FResult = text[0] == '\n' ? TLineEnd::CRLF : TLineEnd::CR;
    FDecided = true;
    return;
  }
  const char* end = text + size;
  const char* hit = std::find_if(text, end, [](char c) { return c == '\r' || c == '\n'; });
  if (hit == end) return;
  if (*hit == '\n') {
    FResult = TLineEnd::LF;
    FDecided = true;
  } else if (hit + 1 == end) {
    FPendingCR = true;
  } else {
    FResult = hit[1] == '\n' ? TLineEnd::CRLF : TLineEnd::CR;
    FDecided = true;
  }
}

TLineEnd TLineEndDetector::Result() const
{
  if (FDecided) return FResult;
  return FPendingCR ? TLineEnd::CR : TLineEnd::LF;
}

TLineEnd FirstLineEnd(const char* text, std::size_t size)
{
  TLineEndDetector detector;
  detector.Feed(text, size);
  return detector.Result();
}

long LineNumberAt(const char* text, std::size_t size, std::size_t offset)
{
  long line = 1;
  for (std::size_t i = 0; i < offset && i < size; ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= size || text[i + 1] != '\n'))) ++line;
  }
  return line;
}
