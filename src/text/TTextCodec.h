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
// Some converters hold a character back until they see the next one (to
// combine them: Vietnamese and Tamil encodings, BIG5-HKSCS, the JIS X 0213
// ones). In encodings without shift states, what they hold is let out
// before a byte is copied as it is, so that the two keep their order, and
// at the end of the last piece in any encoding. (Shift states are kept
// across copied bytes: letting them out would write the shift back and
// forth around the byte, which the document did not have.)
//
// Single-byte encodings go through a table of their 256 characters, which
// iconv gives once (TByteTable). Both directions work on pieces: a sequence
// cut off by the end of a piece is left unconsumed (the caller hands it in
// again with what follows), unless the piece is the last one.

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "text/ETextEncodingError.h"
#include "text/TIconv.h"

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

  // Whether the encoding has shift states: the bytes of a character depend
  // on the characters before it (ISO-2022, UTF-7, EBCDIC with SO and SI).
  bool HasShiftStates();

private:
  std::size_t DecodeByTable(const char* bytes, std::size_t size, std::string& out);
  std::size_t EncodeByTable(const char* text, std::size_t size, bool last, std::string& out);
  void EncodeRun(const char* text, std::size_t size, const char* start, std::string& out);
  void KeepUndefined(const char*& in, std::size_t& left, std::size_t count, std::string& out);
  void ProbeStart(unsigned char byte);

  std::string FEncoding;
  TIconv FDecoder;  // FEncoding to UTF-8
  TIconv FEncoder;  // UTF-8 to FEncoding
  std::unique_ptr<TByteTable> FTable;  // single-byte encodings only
  std::size_t FUndefined = 0;
  bool FEncoderUsed = false;  // a character went to FEncoder since it last let out what it holds
  std::optional<bool> FShiftStates;
  // Per byte: 0 not known yet, 1 no character starts with it, 2 one does.
  std::array<unsigned char, 256> FStarts{};
  std::unique_ptr<TIconv> FProbe;  // a decoder of its own for ProbeStart
};
