#pragma once
// Hands a text held in memory to a libxml2 parser piece by piece, through a
// read callback, so that the parser copies no more than the piece it works
// on. While the calling thread has a current work progress, every piece
// reports the bytes handed over of the text's size, and once the progress is
// cancelled the next read fails, which ends the parse within a piece.
//
// libxml2 counts lines by their LF alone, so a text whose lines end with a
// lone CR would be one line to it: a lone CR is handed over as LF, which the
// parser reads as the same line end (XML reads every line end as LF). Texts
// in UTF-16 or UTF-32 go as they are.

#include <cstddef>
#include <string>

class TWorkProgress;

class XMLTextFeed {
public:
  explicit XMLTextFeed(const std::string& text);
  XMLTextFeed(const XMLTextFeed&) = delete;
  XMLTextFeed& operator=(const XMLTextFeed&) = delete;

  // libxml2's xmlInputReadCallback; context is the feed.
  static int Read(void* context, char* buffer, int length);

  // Raises ECancelled when the work was cancelled during the parse, by the
  // feed or by a load that the cancel broke off (whatever the parser
  // reported about its end is moot then).
  void ThrowIfCancelled() const;

private:
  int ReadInto(char* buffer, int length);
  void EndLinesAtLoneCRs(char* piece, std::size_t size, std::size_t start) const;

  const std::string& Text;
  std::size_t Position = 0;
  TWorkProgress* const Progress;
  const bool ByteLineEnds;
  bool Stopped = false;
};
