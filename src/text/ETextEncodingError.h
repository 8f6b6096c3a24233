#pragma once
// Failures of converting a document's text: an encoding that is not known,
// and a character that the document's encoding cannot hold.

#include <cstddef>
#include <stdexcept>
#include <string>

class ETextEncodingError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
  ETextEncodingError(const std::string& message, long textOffset)
      : std::runtime_error(message), TextOffset(textOffset)
  {
  }
  // Where in the editor's text the conversion failed; -1 for nowhere.
  long TextOffset = -1;
};

// A character of the text that the encoding has no bytes for; Offset is the
// position of its first byte in the text given to the conversion.
class EUnencodableCharacter : public ETextEncodingError {
public:
  EUnencodableCharacter(char32_t character, std::size_t offset, const std::string& encoding);
  char32_t Character;
  std::size_t Offset;
};
