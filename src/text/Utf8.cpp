#include "text/Utf8.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

inline unsigned char Byte(const char* text, std::size_t i)
{
  return static_cast<unsigned char>(text[i]);
}

inline bool IsContinuation(unsigned char b)
{
  return (b & 0xC0) == 0x80;
}

// The sequence length a lead byte announces and the allowed range of the
// byte after it (which rules out overlong forms, surrogates and values
// beyond U+10FFFF); 0 for a byte that leads no sequence.
struct TLead {
  std::size_t Length;
  unsigned char SecondLow;
  unsigned char SecondHigh;
};

TLead LeadOf(unsigned char b)
{
  if (b < 0x80) return {1, 0, 0};
  if (b < 0xC2) return {0, 0, 0};
  if (b < 0xE0) return {2, 0x80, 0xBF};
  if (b == 0xE0) return {3, 0xA0, 0xBF};
  if (b == 0xED) return {3, 0x80, 0x9F};
  if (b < 0xF0) return {3, 0x80, 0xBF};
  if (b == 0xF0) return {4, 0x90, 0xBF};
  if (b < 0xF4) return {4, 0x80, 0xBF};
  if (b == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

// How many bytes of text, up to the lead's length, fit the sequence rules.
std::size_t MatchingBytes(const char* text, std::size_t size, const TLead& lead)
{
  if (lead.Length == 0 || size == 0) return 0;
  std::size_t n = 1;
  if (lead.Length > 1 && n < size) {
    unsigned char second = Byte(text, 1);
    if (second < lead.SecondLow || second > lead.SecondHigh) return n;
    ++n;
  }
  while (n < lead.Length && n < size && IsContinuation(Byte(text, n))) ++n;
  return n;
}

}  // namespace

std::size_t Utf8SequenceLength(const char* text, std::size_t size)
{
  if (size == 0) return 0;
  TLead lead = LeadOf(Byte(text, 0));
  return MatchingBytes(text, size, lead) == lead.Length ? lead.Length : 0;
}

bool IsIncompleteUtf8(const char* text, std::size_t size)
{
  if (size == 0) return false;
  TLead lead = LeadOf(Byte(text, 0));
  return lead.Length > size && MatchingBytes(text, size, lead) == size;
}

std::size_t ValidUtf8Prefix(const char* text, std::size_t size)
{
  constexpr std::uint64_t HighBits = 0x8080808080808080ULL;
  std::size_t i = 0;
  while (i < size) {
    // Runs of ASCII go eight bytes at a time.
    while (i + 8 <= size) {
      std::uint64_t word;
      std::memcpy(&word, text + i, sizeof word);
      if (word & HighBits) break;
      i += 8;
    }
    if (i >= size) break;
    if (Byte(text, i) < 0x80) {
      ++i;
      continue;
    }
    std::size_t length = Utf8SequenceLength(text + i, size - i);
    if (length == 0) break;
    i += length;
  }
  return i < size ? i : size;
}

std::size_t NonUtf8Prefix(const char* text, std::size_t size)
{
  std::size_t i = 0;
  for (; i < size; ++i) {
    unsigned char b = Byte(text, i);
    if (b < 0x80) break;
    // Only 0xC2 to 0xF4 lead sequences.
    if (b >= 0xC2 && b <= 0xF4 &&
        (Utf8SequenceLength(text + i, size - i) > 0 || IsIncompleteUtf8(text + i, size - i)))
      break;
  }
  return i;
}

bool IsValidUtf8(const char* text, std::size_t size)
{
  return ValidUtf8Prefix(text, size) == size;
}

char32_t DecodeUtf8(const char* sequence, std::size_t length)
{
  auto b = [sequence](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(sequence[i])); };
  switch (length) {
    case 1: return b(0);
    case 2: return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    case 3: return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    case 4: return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) | (b(3) & 0x3F);
    default: return 0xFFFD;
  }
}

std::string EncodeUtf8(char32_t c)
{
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

std::string DescribeCharacter(char32_t character)
{
  char number[16];
  std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(character));
  // Control characters and line separators would break the message.
  bool control = character < 0x20 || (character >= 0x7F && character < 0xA0) || character == 0x2028 ||
                 character == 0x2029;
  if (control) return number;
  return "\"" + EncodeUtf8(character) + "\" (" + number + ")";
}
