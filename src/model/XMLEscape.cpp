#include "model/XMLEscape.h"

#include <cstddef>

namespace {

char LowerAscii(char c)
{
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether text holds the lower-case pattern at pos, ignoring ASCII case.
bool MatchesAt(const std::string& text, std::size_t pos, const char* pattern, std::size_t length)
{
  if (text.size() - pos < length) return false;
  for (std::size_t i = 0; i < length; ++i)
    if (LowerAscii(text[pos + i]) != pattern[i]) return false;
  return true;
}

// Replaces every occurrence of the lower-case pattern (ignoring ASCII case),
// scanning left to right without rescanning what was inserted.
std::string ReplaceIgnoringCase(const std::string& text, const char* pattern, std::size_t length,
                                char replacement)
{
  if (text.find('&') == std::string::npos) return text;
  std::string result;
  result.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] == '&' && MatchesAt(text, pos, pattern, length)) {
      result += replacement;
      pos += length;
    } else {
      result += text[pos++];
    }
  }
  return result;
}

}  // namespace

std::string XMLDecode(const std::string& text)
{
  std::string result = ReplaceIgnoringCase(text, "&gt;", 4, '>');
  result = ReplaceIgnoringCase(result, "&lt;", 4, '<');
  result = ReplaceIgnoringCase(result, "&quot;", 6, '"');
  result = ReplaceIgnoringCase(result, "&apos;", 6, '\'');
  return ReplaceIgnoringCase(result, "&amp;", 5, '&');
}

std::string XMLQuoteAttr(const std::string& text)
{
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    if (c == '"')
      result += "&quot;";
    else if (c == '\'')
      result += "&apos;";
    else
      result += c;
  }
  return result;
}

std::string XMLUnquoteAttr(const std::string& text)
{
  return ReplaceIgnoringCase(ReplaceIgnoringCase(text, "&quot;", 6, '"'), "&apos;", 6, '\'');
}

std::string XMLEscapeAttr(const std::string& text)
{
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': result += "&amp;"; break;
      case '<': result += "&lt;"; break;
      case '"': result += "&quot;"; break;
      case '\'': result += "&apos;"; break;
      default: result += c;
    }
  }
  return result;
}
