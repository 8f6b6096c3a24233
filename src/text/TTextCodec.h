#pragma once
// Converts between the bytes of one encoding and the editor's UTF-8 text,
// through the C library's iconv (which knows every usual encoding name).
//
// Nothing is lost either way. Decoding copies a byte the encoding does not
// define into the text as it is (invalid UTF-8 there, shown as such);
// encoding writes a byte of the text that is no valid UTF-8 as itself. A
// character that the encoding cannot hold stops encoding with
// EUnencodableCharacter.
//
// Single-byte encodings go through a table of their 256 characters, which
// iconv gives once (TByteTable). Both directions work on pieces: a sequence cut off by the end of a piece
// is left unconsumed (the caller hands it in again with what follows), unless
// the piece is the last one.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "text/ETextEncodingError.h"

class TByteTable;

class TTextCodec {
public:
  // Raises ETextEncodingError when iconv knows no encoding of that name.
  explicit TTextCodec(std::string encoding);
  ~TTextCodec();
  TTextCodec(const TTextCodec&) = delete;
  TTextCodec& operator=(const TTextCodec&) = delete;

  static bool IsKnown(const std::string& encoding);
  const std::string& Encoding() const { return FEncoding; }

  // Appends the text of bytes to out; returns the bytes consumed.
  std::size_t Decode(const char* bytes, std::size_t size, bool last, std::string& out);
  // Bytes that Decode has copied as they are so far.
  std::size_t UndefinedBytes() const { return FUndefined; }
  // The exact length of the text of bytes, where it is known without
  // decoding them (single-byte encodings).
  std::optional<std::size_t> TextSize(const char* bytes, std::size_t size) const;

  // Appends the bytes of text to out; returns the text bytes consumed.
  // EUnencodableCharacter gives the offset of the character within text.
  std::size_t Encode(const char* text, std::size_t size, bool last, std::string& out);

private:
  std::size_t DecodeByTable(const char* bytes, std::size_t size, std::string& out);
  std::size_t EncodeByTable(const char* text, std::size_t size, bool last, std::string& out);
  void EncodeRun(const char* text, std::size_t size, const char* start, std::string& out);
  void FinishEncoding(std::string& out);

  std::string FEncoding;
  void* FDecoder;  // iconv_t: FEncoding to UTF-8
  void* FEncoder;  // iconv_t: UTF-8 to FEncoding
  std::unique_ptr<TByteTable> FTable;  // single-byte encodings only
  std::size_t FUndefined = 0;
};
