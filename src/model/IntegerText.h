#pragma once
// Reading and writing 32-bit integers in the data files: decimal with an
// optional sign, or hexadecimal after "$" (also "0x"); leading blanks are
// skipped, nothing may follow the digits. Hexadecimal covers the whole
// 32-bit pattern ("$FFFFFFFF" is -1); decimal must fit a signed 32-bit value.

#include <cstdint>
#include <string>

bool TryStrToInt(const std::string& text, std::int32_t& value);
// The value, or def when the text is not an integer.
std::int32_t StrToIntDef(const std::string& text, std::int32_t def);
// The value; raises EConvertError "'text' is not a valid integer value".
std::int32_t StrToInt(const std::string& text);
// Eight capital hexadecimal digits of the 32-bit pattern, most significant first.
std::string IntToHex8(std::uint32_t value);
// Value of a hexadecimal digit (either case), -1 for any other character.
int HexDigitValue(char c);
