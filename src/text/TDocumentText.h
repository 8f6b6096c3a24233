#pragma once
// The text model of one document: how its bytes become the editor's text and
// how that text becomes the bytes that Save writes.
//
// The editor's text is UTF-8: the document decoded from its encoding, its
// line ends untouched, without the byte-order mark (which is remembered and
// written back). Bytes that the encoding does not define stay in the text as
// they are (invalid UTF-8 there) and are written back as they are, so a
// document opened and saved without an edit gives back the very same bytes.
// For a UTF-8 document the text is simply its bytes.
//
// Opening decides the encoding (EncodingDetection.h) and checks, piece by
// piece, that the decoded text encodes back to the very same bytes. When it
// does not, or a UTF-16 document is no valid UTF-16, the document opens as
// Windows-1252 (whose bytes always come back) with a warning.
//
// Saving writes the document's encoding, unless the encoding named where
// opening looks for one (the XML declaration; in HTML a <meta>, in CSS the
// @charset rule: DeclaredEncodingName) was changed since the document was
// opened (or last saved): then the named one is written, when the document
// opens in it again (UTF-32 would not). A character
// that the encoding cannot hold fails the conversion with a message that
// names it and its line; nothing is converted then. New documents are
// UTF-8 with LF line ends.

#include <cstddef>
#include <functional>
#include <string>

#include "text/EncodingDetection.h"
#include "text/LineEnds.h"

struct TTextFormat {
  std::string Encoding = EncodingUTF8;  // an iconv name
  std::string Mark;                     // the byte-order mark written before the text
  TLineEnd LineEnd = TLineEnd::LF;      // the style of new lines
};

// Where decoded text goes while a document is opened.
class TTextSink {
public:
  virtual ~TTextSink() = default;
  // Room for the whole text, told before it arrives (exact where known).
  virtual void Reserve(std::size_t size) { (void)size; }
  virtual void Append(const char* text, std::size_t size) = 0;
  // Drops everything appended (opening starts over in another encoding).
  virtual void Clear() = 0;
};

class TDocumentText {
public:
  // Bytes and text go through in pieces of this size.
  static constexpr std::size_t PieceSize = std::size_t{4} << 20;

  using TByteSink = std::function<void(const char* bytes, std::size_t size)>;

  // The kind of markup whose rules find the encoding (and read labels).
  void SetMarkup(TMarkup markup) { FMarkup = markup; }
  TMarkup Markup() const { return FMarkup; }

  // A new, empty document: UTF-8, no byte-order mark, LF.
  void Reset();
  // Decodes a document's bytes into sink; returns a warning for the user, or
  // an empty text.
  std::string Load(const std::string& bytes, TTextSink& sink);
  const TTextFormat& Format() const { return FFormat; }

  // The format that the text is written in (see above). Raises
  // ETextEncodingError when the declaration names an unknown encoding.
  TTextFormat SaveFormat(const char* text, std::size_t size) const;
  // The bytes Save writes for the text. Raises ETextEncodingError (whose
  // TextOffset is that of a character the encoding cannot hold).
  std::string Bytes(const char* text, std::size_t size) const;
  // The same bytes, handed to sink; a UTF-8 text goes uncopied. Nothing is
  // handed over when the conversion fails.
  void Write(const char* text, std::size_t size, const TByteSink& sink) const;
  // After the text was written: the format it was written in becomes the
  // document's.
  void Saved(const char* text, std::size_t size);

private:
  TMarkup FMarkup = TMarkup::Other;
  TTextFormat FFormat;
  // The encoding named in the text when the document was opened or last
  // saved.
  std::string FDeclared;
};
