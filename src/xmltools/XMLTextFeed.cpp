#include "xmltools/XMLTextFeed.h"

#include <algorithm>
#include <cstring>

#include "resource/TWorkProgress.h"
#include "xmltools/XMLTextEncoding.h"

XMLTextFeed::XMLTextFeed(const std::string& text)
    : Text(text), Progress(TWorkProgress::Current()), ByteLineEnds(!IsWideXMLText(text))
{
}

int XMLTextFeed::Read(void* context, char* buffer, int length)
{
  return static_cast<XMLTextFeed*>(context)->ReadInto(buffer, length);
}

int XMLTextFeed::ReadInto(char* buffer, int length)
{
  if (Progress != nullptr && Progress->Cancelled()) {
    Stopped = true;
    return -1;
  }
  std::size_t count = std::min(static_cast<std::size_t>(std::max(length, 0)), Text.size() - Position);
  std::memcpy(buffer, Text.data() + Position, count);
  if (ByteLineEnds) EndLinesAtLoneCRs(buffer, count, Position);
  Position += count;
  if (Progress != nullptr) Progress->Report(Position, Text.size(), TProgressUnit::bytes);
  return static_cast<int>(count);
}

// piece: the copy of size bytes of the text from start on.
void XMLTextFeed::EndLinesAtLoneCRs(char* piece, std::size_t size, std::size_t start) const
{
  char* end = piece + size;
  for (char* cr = piece; (cr = static_cast<char*>(std::memchr(cr, '\r', end - cr))) != nullptr; ++cr) {
    const std::size_t next = start + (cr - piece) + 1;
    if (next >= Text.size() || Text[next] != '\n') *cr = '\n';
  }
}

void XMLTextFeed::ThrowIfCancelled() const
{
  // A load the cancel broke off (a DTD on a server) failed the parse too.
  if (Stopped || (Progress != nullptr && Progress->Cancelled())) throw ECancelled();
}
