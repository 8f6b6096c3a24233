#include "resource/ControlCharacters.h"

namespace {

constexpr unsigned char kDelete = 0x7F;

bool IsControl(unsigned char c)
{
  return c < 0x20 || c == kDelete;
}

// A C1 control character as UTF-8 writes it: C2 80 to C2 9F.
bool IsC1At(const std::string& text, std::size_t i)
{
  return static_cast<unsigned char>(text[i]) == 0xC2 && i + 1 < text.size() &&
         static_cast<unsigned char>(text[i + 1]) >= 0x80 && static_cast<unsigned char>(text[i + 1]) <= 0x9F;
}

void AppendHex(std::string& out, unsigned char c)
{
  static const char kHex[] = "0123456789ABCDEF";
  out += kHex[c >> 4];
  out += kHex[c & 0x0F];
}

// Kept in text mode: a tab, a line feed, a carriage return before one.
bool KeptInText(const std::string& text, std::size_t i)
{
  const char c = text[i];
  return c == '\t' || c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n');
}

std::string Escape(const std::string& text, bool keepLines)
{
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsC1At(text, i)) {
      out += "\\u00";
      AppendHex(out, static_cast<unsigned char>(text[++i]));
    } else if (IsControl(c) && !(keepLines && KeptInText(text, i))) {
      out += "\\x";
      AppendHex(out, c);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace

bool HasControlCharacter(const std::string& text)
{
  for (unsigned char c : text)
    if (IsControl(c)) return true;
  return false;
}

std::string EscapeControlCharacters(const std::string& text)
{
  return Escape(text, false);
}

std::string EscapeControlCharactersInText(const std::string& text)
{
  return Escape(text, true);
}
