#pragma once
// Reading a document's bytes into the editor's text, as Open does: in the
// encoding the bytes give (EncodingDetection.h), piece by piece, checking
// that the text encodes back to the very same bytes. When it does not, or a
// UTF-16 document is no valid UTF-16, the bytes are read as Windows-1252
// (whose bytes always come back) instead.
//
// Save reads the bytes it is about to write the same way (TReopenCheck), so
// that what it writes opens again as the text it was made of.

#include <cstddef>
#include <string>

#include "text/EncodingDetection.h"
#include "text/TTextFormat.h"
#include "text/TTextSink.h"

// Bytes and text go through in pieces of this size.
constexpr std::size_t DocumentPieceSize = std::size_t{4} << 20;

struct TReadDocument {
  TTextFormat Format;          // the encoding read, the mark, the first line end
  TDetectedEncoding Detected;  // the encoding the bytes give
  std::string Declared;        // the encoding named in the text (DeclaredEncodingName)
  bool FellBack = false;       // read as Windows-1252, not in Detected
};

// Raises ETextEncodingError when not even Windows-1252 gives the bytes back.
TReadDocument ReadDocument(const char* bytes, std::size_t size, TMarkup markup, TTextSink& sink);

// The warning for the user when a document was read as Windows-1252 instead
// of the encoding its bytes give.
std::string FallbackWarning(const TReadDocument& read);
