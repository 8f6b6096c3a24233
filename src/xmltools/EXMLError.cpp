#include "xmltools/EXMLError.h"

namespace {

// Length of the UTF-8 sequence starting at text[i]; 0 when it is not valid.
std::size_t Utf8SequenceLength(const std::string& text, std::size_t i)
{
  auto byte = static_cast<unsigned char>(text[i]);
  std::size_t length = byte < 0x80 ? 1 : byte >= 0xF0 && byte < 0xF5 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC2 ? 2 : 0;
  if (length == 0 || i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k)
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
  return length;
}

bool IsValidUtf8(const std::string& text)
{
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = Utf8SequenceLength(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

}  // namespace

std::string FirstCharacters(const std::string& text, std::size_t count)
{
  if (!IsValidUtf8(text)) return text.substr(0, count);
  std::size_t i = 0;
  for (std::size_t n = 0; n < count && i < text.size(); ++n) i += Utf8SequenceLength(text, i);
  return text.substr(0, i);
}

// Lines end with LF, CR LF or a lone CR, as the editor shows them.
std::string LineOfText(const std::string& text, int line)
{
  if (line < 1) return std::string();
  std::size_t start = 0;
  for (int n = 1; n < line; ++n) {
    start = text.find_first_of("\r\n", start);
    if (start == std::string::npos) return std::string();
    start += text.compare(start, 2, "\r\n") == 0 ? 2 : 1;
  }
  std::size_t end = text.find_first_of("\r\n", start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string FormatXMLErrorMessage(const std::string& reason, int line, const std::string& sourceLine)
{
  return reason + "\r\nLine: " + std::to_string(line) + "\r\n" + FirstCharacters(sourceLine, kSourceExcerptLength);
}
