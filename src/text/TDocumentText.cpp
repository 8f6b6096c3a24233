#include "text/TDocumentText.h"

#include <algorithm>
#include <cstring>

#include "text/TTextCodec.h"
#include "text/Utf8.h"

namespace {

bool IsUTF16(const std::string& encoding)
{
  return encoding == EncodingUTF16LE || encoding == EncodingUTF16BE;
}

// What opening learns from the text while it passes.
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
    constexpr std::size_t Piece = TDocumentText::PieceSize;
    reader.Reserve(size);
    for (std::size_t at = 0; at < size; at += Piece) reader.Deliver(bytes + at, std::min(Piece, size - at));
    return true;
  }
  // Small pieces: the text of one piece, and its bytes again, are all that
  // is held besides the document.
  constexpr std::size_t Piece = TDocumentText::PieceSize / 4;
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

void TDocumentText::Reset()
{
  FFormat = TTextFormat();
  FDeclared.clear();
}

std::string TDocumentText::Load(const std::string& bytes, TTextSink& sink)
{
  TDetectedEncoding found = DetectEncoding(bytes.data(), bytes.size(), FMarkup);
  TTextReader reader(sink, FMarkup);
  std::string warning;
  if (!DecodeChecked(bytes.data() + found.MarkSize, bytes.size() - found.MarkSize, found.Encoding,
                     IsUTF16(found.Encoding), reader)) {
    warning = "The document is not valid " + found.Encoding +
              ": it is shown as Windows-1252 and its bytes are saved back unchanged.";
    reader.Restart();
    found = {EncodingWindows1252, 0, TEncodingSource::Fallback};
    if (!DecodeChecked(bytes.data(), bytes.size(), found.Encoding, false, reader))
      throw ETextEncodingError("The document's bytes cannot be shown.");
  }
  FFormat.Encoding = found.Encoding;
  FFormat.Mark = bytes.substr(0, found.MarkSize);
  FFormat.LineEnd = reader.LineEnd();
  FDeclared = reader.Declared();
  return warning;
}

TTextFormat TDocumentText::SaveFormat(const char* text, std::size_t size) const
{
  std::string declared = DeclaredEncodingName(text, size, FMarkup);
  // A removed declaration (or encoding) changes nothing.
  if (declared == FDeclared || declared.find_first_not_of(" \t\r\n") == std::string::npos) return FFormat;
  std::string encoding = ResolveEncodingLabel(declared, FMarkup);
  if (encoding.empty())
    throw ETextEncodingError("The document names the encoding \"" + declared + "\", which is not known.");
  if (encoding == "UTF-16") encoding = FFormat.Encoding == EncodingUTF16BE ? EncodingUTF16BE : EncodingUTF16LE;
  if (encoding == FFormat.Encoding) return FFormat;
  if (!CanReadAgain(encoding))
    throw ETextEncodingError("The document names the encoding \"" + declared +
                             "\", in which it would not open again: UTF-8, UTF-16 and the encodings that write "
                             "ASCII letters as ASCII can be written.");
  TTextFormat format = FFormat;
  format.Encoding = encoding;
  // UTF-16 is written with its mark, so that it is read as UTF-16 again.
  format.Mark = ByteOrderMark(encoding);
  return format;
}

std::string TDocumentText::Bytes(const char* text, std::size_t size) const
{
  TTextFormat format = SaveFormat(text, size);
  std::string bytes = format.Mark;
  if (format.Encoding == EncodingUTF8) {
    bytes.append(text, size);
    return bytes;
  }
  TTextCodec codec(format.Encoding);
  bytes.reserve(bytes.size() + size + size / 8);
  try {
    codec.Encode(text, size, true, bytes);
  } catch (const EUnencodableCharacter& error) {
    throw ETextEncodingError("The character " + DescribeCharacter(error.Character) + " in line " +
                                 std::to_string(LineNumberAt(text, size, error.Offset)) + " cannot be written in " +
                                 format.Encoding + ", the document's encoding.",
                             static_cast<long>(error.Offset));
  }
  return bytes;
}

void TDocumentText::Write(const char* text, std::size_t size, const TByteSink& sink) const
{
  TTextFormat format = SaveFormat(text, size);
  if (format.Encoding != EncodingUTF8) {
    std::string bytes = Bytes(text, size);
    sink(bytes.data(), bytes.size());
    return;
  }
  if (!format.Mark.empty()) sink(format.Mark.data(), format.Mark.size());
  if (size > 0) sink(text, size);
}

void TDocumentText::Saved(const char* text, std::size_t size)
{
  FFormat = SaveFormat(text, size);
  FDeclared = DeclaredEncodingName(text, size, FMarkup);
}
