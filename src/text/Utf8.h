#pragma once
// UTF-8 as the editor holds it: valid sequences are characters, any other
// byte stands for itself (a byte the document's encoding does not define).
// Valid means RFC 3629: shortest form, no surrogates, nothing above U+10FFFF.

#include <cstddef>
#include <string>

// Length of the valid sequence that begins text (1 to 4), or 0 when text
// begins with no complete valid sequence (an invalid byte, or a sequence cut
// off by the end of text).
std::size_t Utf8SequenceLength(const char* text, std::size_t size);
// True when text is a proper beginning of a valid sequence that the end of
// text cuts off (more bytes could complete it).
bool IsIncompleteUtf8(const char* text, std::size_t size);
// Length of the run of bytes at the start of text that begin no valid
// sequence, complete or cut off by the end of text.
std::size_t NonUtf8Prefix(const char* text, std::size_t size);
// Length of the longest beginning of text that is valid UTF-8.
std::size_t ValidUtf8Prefix(const char* text, std::size_t size);
bool IsValidUtf8(const char* text, std::size_t size);
inline bool IsValidUtf8(const std::string& text) { return IsValidUtf8(text.data(), text.size()); }

// The code point of a valid sequence of the given length.
char32_t DecodeUtf8(const char* sequence, std::size_t length);
// The UTF-8 sequence of a code point.
std::string EncodeUtf8(char32_t character);
// A character for messages: itself in quotes and its number, as in
// "\"é\" (U+00E9)"; a control character or line separator by its number
// alone ("U+000A").
std::string DescribeCharacter(char32_t character);
