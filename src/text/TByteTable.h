#pragma once
// The characters of a single-byte encoding, taken once from iconv: every
// byte on its own is one character or undefined, and the same in any
// context (no shift states, no combining of neighbours). Converting through
// the table gives what iconv gives, at a fraction of the cost per byte.

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>

class TByteTable {
public:
  // The table of the encoding, or nullptr when it is no single-byte
  // encoding (or iconv knows no such encoding).
  static std::unique_ptr<TByteTable> Make(const std::string& encoding);

  // UTF-8 of the byte's character; empty when the byte is undefined.
  const std::string& Text(unsigned char byte) const { return FText[byte]; }
  // Whether the byte is the ASCII character of its own value.
  bool IsItself(unsigned char byte) const { return FItself[byte]; }
  // The byte of a character; -1 when the encoding has none.
  int ByteOf(char32_t character) const;
  // Exact length of the text of bytes; undefined bytes count as themselves.
  std::size_t TextSize(const char* bytes, std::size_t size) const;

private:
  std::array<std::string, 256> FText;
  std::array<bool, 256> FItself{};
  std::array<unsigned char, 256> FLength{};
  std::array<int, 128> FASCIIByte{};
  std::unordered_map<char32_t, unsigned char> FBytes;
};
