#pragma once
// The check Save makes before it writes anything: the bytes it is about to
// write, read as Open reads them (ReadDocument), must give the editor's text
// again. A successful conversion is no proof of that: iconv drops some
// characters without a word (the tag characters in the CJK encodings),
// writes others as bytes that read as another character ("\" in Shift_JIS
// reads as the yen sign), a byte kept as it is can form a character with
// the typed one next to it, and bytes written in one encoding can open in
// another (the declaration naming it moved or removed, a Windows-1252
// document that became valid UTF-8).
//
// Where the bytes do not give the text, Refuse says why, naming the first
// character (or kept byte) that does not come back and its line.

#include <cstddef>
#include <string>

#include "text/DocumentReading.h"

class TReopenCheck {
public:
  // text stays the caller's, and must outlive the check.
  TReopenCheck(const char* text, std::size_t size, TMarkup markup);

  // Reads bytes as Open would; true when they give the text. The bytes must
  // outlive Explain.
  bool Check(const char* bytes, std::size_t size);
  // How the bytes were read.
  const TReadDocument& Reopened() const { return FReopened; }
  // Why the bytes, written in the format, do not give the text; previous is
  // the encoding of the document before (where its kept bytes come from).
  // Raises it as ETextEncodingError, with the offset of the character named.
  [[noreturn]] void Refuse(const TTextFormat& written, const std::string& previous) const;

private:
  struct TRefusal {
    std::string Message;
    std::size_t Offset;
  };
  TRefusal Explain(const TTextFormat& written, const std::string& previous) const;
  TRefusal WhyNotInEncoding(const TTextFormat& written, const std::string& previous) const;
  std::string HowReopened(const std::string& written) const;
  std::string Difference(std::size_t offset, const std::string& found, const std::string& written,
                         const std::string& previous) const;
  std::string CharacterDifference(std::size_t offset, std::size_t length, const std::string& found,
                                  const std::string& written, const std::string& previous) const;
  std::string KeptByteDifference(std::size_t offset, const std::string& found, const std::string& written,
                                 const std::string& previous) const;
  std::string Named(std::size_t offset) const;
  std::string ComesBackAs(std::size_t end, const std::string& found) const;
  std::string Line(std::size_t offset) const;

  const char* FText;
  std::size_t FSize;
  TMarkup FMarkup;
  const char* FBytes = nullptr;
  std::size_t FBytesSize = 0;
  TReadDocument FReopened;
  // The start of the first character of the text that did not come back
  // (the size of the text when the text came back whole, but more with it).
  std::size_t FOffset = 0;
  std::string FFound;  // what came back from Offset on (a few bytes)
};
