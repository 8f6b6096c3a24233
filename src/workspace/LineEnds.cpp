#include "workspace/LineEnds.h"

std::string ToCrLf(const std::string& text, bool endLastLine)
{
  std::string result;
  result.reserve(text.size() + 2);
  ForEachCrLfChunk(text.data(), text.size(), endLastLine,
                   [&result](const char* data, std::size_t size) { result.append(data, size); });
  return result;
}

std::size_t CrLfSize(const char* text, std::size_t size)
{
  std::size_t total = 0;
  ForEachCrLfChunk(text, size, false, [&total](const char*, std::size_t n) { total += n; });
  return total;
}
