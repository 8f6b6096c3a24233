#pragma once
// Line ends of a document's text. A document keeps the line ends it has;
// the style of its first line end is the one new lines get (LF for a text
// without any).

#include <cstddef>

enum class TLineEnd { LF, CRLF, CR };

// "\n", "\r\n" or "\r".
const char* LineEndText(TLineEnd lineEnd);

// Finds the style of the first line end of a text that arrives in pieces; a
// CR at the end of one piece is decided by the next.
class TLineEndDetector {
public:
  void Feed(const char* text, std::size_t size);
  bool Decided() const { return FDecided; }
  // The style found; LF when the text has no line end.
  TLineEnd Result() const;

private:
  bool FDecided = false;
  bool FPendingCR = false;
  TLineEnd FResult = TLineEnd::LF;
};

TLineEnd FirstLineEnd(const char* text, std::size_t size);

// The line (from 1) of the byte at offset in a text of size bytes: CR LF, LF
// and a lone CR each end a line.
long LineNumberAt(const char* text, std::size_t size, std::size_t offset);
