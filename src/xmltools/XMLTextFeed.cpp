#include "xmltools/XMLTextFeed.h"

#include <algorithm>
#include <cstring>

#include "resource/TWorkProgress.h"

XMLTextFeed::XMLTextFeed(const std::string& text) : Text(text), Progress(TWorkProgress::Current()) {}

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
  Position += count;
  if (Progress != nullptr) Progress->Report(Position, Text.size(), TProgressUnit::bytes);
  return static_cast<int>(count);
}

void XMLTextFeed::ThrowIfCancelled() const
{
  // A load the cancel broke off (a DTD on a server) failed the parse too.
  if (Stopped || (Progress != nullptr && Progress->Cancelled())) throw ECancelled();
}
