#include "text/DocumentReading.h"

#include <algorithm>
#include <cstring>

#include "text/ETextEncodingError.h"
#include "text/TTextCodec.h"

namespace {

bool IsUTF16(const std::string& encoding)
{
  return encoding == EncodingUTF16LE || encoding == EncodingUTF16BE;
}

// What reading learns from the text while it passes.
class TTextReader {
public:
  TTextReader(TTextSink& sink, TMarkup markup) : FSink(sink), FMarkup(markup) {}

  void Deliver(const char* text, std::size_t size)
  {
    if (size == 0) return;
    if (FFirst) FDeclared = DeclaredEncodingName(text, size, FMarkup);
    FFirst = false;
    FLineEnds.Feed(text, size);
    FSink.Append(text, size);
  }

  void Reserve(std::size_t size) { FSink.Reserve(size); }

  void Restart()
  {
    FSink.Clear();
    FFirst = true;
    FDeclared.clear();
    FLineEnds = TLineEndDetector();
  }

  TLineEnd LineEnd() const { return FLineEnds.Result(); }
  const std::string& Declared() const { return FDeclared; }

private:
  TTextSink& FSink;
  TMarkup FMarkup;
  bool FFirst = true;
  std::string FDeclared;
  TLineEndDetector FLineEnds;
};

// Decodes bytes piece by piece into the reader, checking that the text
// encodes back to the same bytes. False when it does not, or (strict) when
// a byte is undefined in the encoding.
bool DecodeChecked(const char* bytes, std::size_t size, const std::string& encoding, bool strict,
                   TTextReader& reader)
{
  if (encoding == EncodingUTF8) {
    constexpr std::size_t Piece = DocumentPieceSize;
    reader.Reserve(size);
    for (std::size_t at = 0; at < size; at += Piece) reader.Deliver(bytes + at, std::min(Piece, size - at));
    return true;
  }
  // Small pieces: the text of one piece, and its bytes again, are all that
  // is held besides the document.
  constexpr std::size_t Piece = DocumentPieceSize / 4;
  TTextCodec decoder(encoding);
  TTextCodec verifier(encoding);
  reader.Reserve(decoder.TextSize(bytes, size).value_or(size));
  std::string text;
  std::string pending;  // the end of the text before, not yet encoded back
  std::string check;
  std::size_t decoded = 0;
  std::size_t verified = 0;
  for (;;) {
    std::size_t piece = std::min(Piece, size - decoded);
    bool last = decoded + piece == size;
    text.clear();
    std::size_t used = decoder.Decode(bytes + decoded, piece, last, text);
    if (used == 0 && !last) return false;
    decoded += used;
    if (strict && decoder.UndefinedBytes() > 0) return false;
    check.clear();
    try {
      if (pending.empty()) {
        pending.assign(text, verifier.Encode(text.data(), text.size(), last, check));
      } else {
        pending += text;
        pending.erase(0, verifier.Encode(pending.data(), pending.size(), last, check));
      }
    } catch (const EUnencodableCharacter&) {
      return false;
    }
    if (check.size() > size - verified || std::memcmp(check.data(), bytes + verified, check.size()) != 0)
      return false;
    verified += check.size();
    reader.Deliver(text.data(), text.size());
    if (last) return verified == size && pending.empty();
  }
}

}  // namespace

TReadDocument ReadDocument(const char* bytes, std::size_t size, TMarkup markup, TTextSink& sink)
{
  TReadDocument read;
  read.Detected = DetectEncoding(bytes, size, markup);
  TDetectedEncoding used = read.Detected;
  TTextReader reader(sink, markup);
  if (!DecodeChecked(bytes + used.MarkSize, size - used.MarkSize, used.Encoding, IsUTF16(used.Encoding), reader)) {
    read.FellBack = true;
    reader.Restart();
    used = {EncodingWindows1252, 0, TEncodingSource::Fallback};
    if (!DecodeChecked(bytes, size, used.Encoding, false, reader))
      throw ETextEncodingError("The document's bytes cannot be shown.");
  }
  read.Format.Encoding = used.Encoding;
  read.Format.Mark.assign(bytes, used.MarkSize);
  read.Format.LineEnd = reader.LineEnd();
  read.Declared = reader.Declared();
  return read;
}

std::string FallbackWarning(const TReadDocument& read)
{
  if (!read.FellBack) return std::string();
  return "The document is not valid " + read.Detected.Encoding +
         ": it is shown as Windows-1252 and its bytes are saved back unchanged.";
}
