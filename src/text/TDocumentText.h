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
// Opening decides the encoding and reads the bytes in it (DocumentReading.h);
// a document whose bytes do not come back opens as Windows-1252 with a
// warning.
//
// Saving writes the document's encoding, unless the encoding named where
// opening looks for one (the XML declaration; in HTML a <meta>, in CSS the
// @charset rule: DeclaredEncodingName) was changed since the document was
// opened (or last saved): then the named one is written, when the document
// opens in it again (UTF-32 would not). A character that the encoding cannot
// hold fails the conversion with a message that names it and its line.
// Then the bytes are read as Open would read them (TReopenCheck): where they
// do not give the text again, they are written in the encoding they name
// instead when that gives the text, else nothing is written and the message
// names the first character that would not come back, and its line. Once
// written, the document has the encoding and mark that opening the bytes
// gives. New documents are UTF-8 with LF line ends.

#include <cstddef>
#include <functional>
#include <string>

#include "text/DocumentReading.h"
#include "text/EncodingDetection.h"
#include "text/LineEnds.h"
#include "text/TTextFormat.h"
#include "text/TTextSink.h"

// The bytes Save writes for a text, and the format of the document once
// they are written.
struct TSaveBytes {
  std::string Bytes;
  TTextFormat Format;
};

class TDocumentText {
public:
  // Bytes and text go through in pieces of this size.
  static constexpr std::size_t PieceSize = DocumentPieceSize;

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

  // The format that the text is converted to first (see above). Raises
  // ETextEncodingError when the declaration names an unknown encoding.
  TTextFormat SaveFormat(const char* text, std::size_t size) const;
  // The bytes Save writes for the text, checked to open again as the text.
  // Raises ETextEncodingError (whose TextOffset is that of the character
  // that cannot be written or would not come back).
  TSaveBytes SaveBytes(const char* text, std::size_t size) const;
  std::string Bytes(const char* text, std::size_t size) const { return SaveBytes(text, size).Bytes; }
  // The same bytes, handed to sink; a UTF-8 text goes uncopied. Nothing is
  // handed over when they cannot be made.
  void Write(const char* text, std::size_t size, const TByteSink& sink) const;
  // The text as UTF-8, for a working copy of a text whose bytes cannot be
  // made: with a UTF-8 byte-order mark in front where without it the copy
  // would open as another text (its declaration naming another encoding).
  void WriteAsUtf8(const char* text, std::size_t size, const TByteSink& sink) const;
  // After the text was written as saved: the format it was written in
  // becomes the document's.
  void Saved(const TSaveBytes& saved, const char* text, std::size_t size);
  // The same, making the bytes again.
  void Saved(const char* text, std::size_t size);

private:
  std::string Encoded(const char* text, std::size_t size, const TTextFormat& format) const;
  bool InNamedEncoding(const char* text, std::size_t size, const TReadDocument& reopened,
                       const TTextFormat& tried, TSaveBytes& saved) const;
  TTextFormat Adopted(const TReadDocument& reopened) const;

  TMarkup FMarkup = TMarkup::Other;
  TTextFormat FFormat;
  // The encoding named in the text when the document was opened or last
  // saved.
  std::string FDeclared;
};
