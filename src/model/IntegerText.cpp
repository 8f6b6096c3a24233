#include "model/IntegerText.h"

#include <cstdio>

#include "model/EConvertError.h"

int HexDigitValue(char c)
{
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

namespace {

// Reads the digits from pos to the end; false on an empty run, a foreign
// character or a value above limit.
bool ReadDigits(const std::string& text, std::size_t pos, unsigned base, std::uint64_t limit, std::uint64_t& value)
{
  if (pos >= text.size()) return false;
  value = 0;
  for (; pos < text.size(); ++pos) {
    int digit = HexDigitValue(text[pos]);
    if (digit < 0 || static_cast<unsigned>(digit) >= base) return false;
    value = value * base + static_cast<unsigned>(digit);
    if (value > limit) return false;
  }
  return true;
}

}  // namespace

bool TryStrToInt(const std::string& text, std::int32_t& value)
{
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  std::uint64_t magnitude = 0;
  bool hex = false;
  if (pos < text.size() && text[pos] == '$') {
    hex = true;
    pos += 1;
  } else if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
    hex = true;
    pos += 2;
  }
  if (hex) {
    if (!ReadDigits(text, pos, 16, 0xFFFFFFFFull, magnitude)) return false;
    std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    value = static_cast<std::int32_t>(bits);
    return true;
  }
  std::uint64_t limit = negative ? 2147483648ull : 2147483647ull;
  if (!ReadDigits(text, pos, 10, limit, magnitude)) return false;
  value = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude)) : static_cast<std::int32_t>(magnitude);
  return true;
}

std::int32_t StrToIntDef(const std::string& text, std::int32_t def)
{
  std::int32_t value;
  return TryStrToInt(text, value) ? value : def;
}

std::int32_t StrToInt(const std::string& text)
{
  std::int32_t value;
  if (!TryStrToInt(text, value)) throw EConvertError("'" + text + "' is not a valid integer value");
  return value;
}

std::string IntToHex8(std::uint32_t value)
{
  char buffer[9];
  std::snprintf(buffer, sizeof buffer, "%08X", static_cast<unsigned>(value));
  return buffer;
}
