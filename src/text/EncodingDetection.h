#pragma once
// Which encoding a document's bytes are in, decided when it is opened, first
// rule that applies:
//   1. a byte-order mark: UTF-8, UTF-16 LE or UTF-16 BE;
//   2. the encoding an XML declaration at the very start names (any type);
//   3. HTML types: a <meta charset> or <meta http-equiv="Content-Type"
//      content="...; charset=..."> in the first 1024 bytes (outside comments),
//      as browsers look for it;
//   4. CSS types: an @charset "..."; rule at the very start;
//   5. UTF-8 when all the bytes are valid UTF-8;
//   6. Windows-1252, which gives every byte a character or keeps it.
// A name counts only when iconv knows it and the encoding writes markup as
// ASCII (the name itself was read as ASCII); otherwise the next rule decides.
// In HTML types the names of ISO-8859-1 and US-ASCII mean Windows-1252, as
// browsers read them; elsewhere every name means what it says.
//
// Which types are HTML and CSS: a type is HTML when its MIME type is
// text/html or application/xhtml+xml, or its highlighter is "PHP" (pages of
// HTML around scripts); it is CSS when its MIME type is text/css or its
// highlighter is "CSS". Letter case is ignored, and so are MIME parameters.

#include <cstddef>
#include <string>

class TFileType;

enum class TMarkup { Other, HTML, CSS };

TMarkup DocumentMarkup(const TFileType* type);

// The iconv names the rules give.
extern const char* const EncodingUTF8;
extern const char* const EncodingUTF16LE;
extern const char* const EncodingUTF16BE;
extern const char* const EncodingWindows1252;

enum class TEncodingSource { ByteOrderMark, Declaration, Meta, CSSCharset, ValidUTF8, Fallback };

struct TDetectedEncoding {
  std::string Encoding;         // an iconv name
  std::size_t MarkSize = 0;     // bytes of the byte-order mark
  TEncodingSource Source = TEncodingSource::Fallback;
};

TDetectedEncoding DetectEncoding(const char* bytes, std::size_t size, TMarkup markup);

// The encoding name of an XML declaration at the very start of text, as
// written; empty without one.
std::string XMLDeclaredEncoding(const char* text, std::size_t size);
// The name of the encoding that rules 2 to 4 for the markup read in text, as
// written: the XML declaration's; else in HTML that of the first <meta>
// naming a usable one, in CSS that of the @charset rule; empty without any.
// In HTML and CSS a declaration naming no usable encoding counts only
// without such a <meta> or rule (as when opening, which passes over it).
std::string DeclaredEncodingName(const char* text, std::size_t size, TMarkup markup);
// Whether a document written in the encoding opens in it again: UTF-16 (with
// its byte-order mark) and the encodings that write ASCII as ASCII.
bool CanReadAgain(const std::string& encoding);
// The iconv name of an encoding label (letter case and surrounding blanks
// ignored); empty when iconv knows no such encoding, or the label is no name
// (no letter or digit, a NUL byte, characters other than "-_.:+()").
std::string ResolveEncodingLabel(const std::string& label, TMarkup markup);
// Whether the encoding writes letters, digits, blanks, line ends and the
// punctuation of markup as their ASCII bytes.
bool IsASCIICompatible(const std::string& encoding);
// The text (UTF-8) of bytes that name no encoding, as the texts of the data
// files: the bytes themselves when valid UTF-8, else their Windows-1252
// characters (rules 5 and 6).
std::string UnlabelledText(const std::string& bytes);
// The byte-order mark of a UTF-16 encoding; empty for any other.
std::string ByteOrderMark(const std::string& encoding);
