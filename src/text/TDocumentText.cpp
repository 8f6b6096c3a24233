#include "text/TDocumentText.h"

#include "text/TReopenCheck.h"
#include "text/TTextCodec.h"
#include "text/Utf8.h"

namespace {

const char* const UTF8Mark = "\xEF\xBB\xBF";

bool NamesEncoding(TEncodingSource source)
{
  return source == TEncodingSource::Declaration || source == TEncodingSource::Meta ||
         source == TEncodingSource::CSSCharset;
}

}  // namespace

void TDocumentText::Reset()
{
  FFormat = TTextFormat();
  FDeclared.clear();
}

std::string TDocumentText::Load(const std::string& bytes, TTextSink& sink)
{
  TReadDocument read = ReadDocument(bytes.data(), bytes.size(), FMarkup, sink);
  FFormat = read.Format;
  FDeclared = read.Declared;
  return FallbackWarning(read);
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

std::string TDocumentText::Encoded(const char* text, std::size_t size, const TTextFormat& format) const
{
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
    std::string whose = format.Encoding == FFormat.Encoding ? ", the document's encoding." : ", the encoding the document names.";
    throw ETextEncodingError("The character " + DescribeCharacter(error.Character) + " in line " +
                                 std::to_string(LineNumberAt(text, size, error.Offset)) + " cannot be written in " +
                                 format.Encoding + whose,
                             static_cast<long>(error.Offset));
  }
  return bytes;
}

TSaveBytes TDocumentText::SaveBytes(const char* text, std::size_t size) const
{
  TTextFormat format = SaveFormat(text, size);
  TSaveBytes saved{Encoded(text, size, format), format};
  TReopenCheck check(text, size, FMarkup);
  if (check.Check(saved.Bytes.data(), saved.Bytes.size())) {
    saved.Format = Adopted(check.Reopened());
    return saved;
  }
  if (InNamedEncoding(text, size, check.Reopened(), format, saved)) return saved;
  check.Refuse(format, FFormat.Encoding);
}

// Opening goes by what the bytes name: where they name another encoding
// than the one tried (a <meta> that lies within the first 1024 bytes but
// not within the first 1024 bytes of the text), the text is written in that
// one when it opens again as the text.
bool TDocumentText::InNamedEncoding(const char* text, std::size_t size, const TReadDocument& reopened,
                                    const TTextFormat& tried, TSaveBytes& saved) const
{
  const TDetectedEncoding& named = reopened.Detected;
  if (!NamesEncoding(named.Source) || named.Encoding == tried.Encoding) return false;
  TTextFormat format = tried;
  format.Encoding = named.Encoding;
  format.Mark.clear();
  std::string bytes;
  try {
    bytes = Encoded(text, size, format);
  } catch (const ETextEncodingError&) {
    return false;
  }
  TReopenCheck check(text, size, FMarkup);
  if (!check.Check(bytes.data(), bytes.size())) return false;
  saved.Bytes = std::move(bytes);
  saved.Format = Adopted(check.Reopened());
  return true;
}

TTextFormat TDocumentText::Adopted(const TReadDocument& reopened) const
{
  TTextFormat format = reopened.Format;
  format.LineEnd = FFormat.LineEnd;
  return format;
}

void TDocumentText::Write(const char* text, std::size_t size, const TByteSink& sink) const
{
  TTextFormat format = SaveFormat(text, size);
  if (format.Encoding == EncodingUTF8 && (format.Mark.empty() || format.Mark == UTF8Mark)) {
    // With its mark, UTF-8 reads back as it is; without, when nothing else
    // gives another encoding.
    bool reads = !format.Mark.empty() || TReopenCheck(text, size, FMarkup).Check(text, size);
    if (reads) {
      if (!format.Mark.empty()) sink(format.Mark.data(), format.Mark.size());
      if (size > 0) sink(text, size);
      return;
    }
  }
  TSaveBytes saved = SaveBytes(text, size);
  sink(saved.Bytes.data(), saved.Bytes.size());
}

void TDocumentText::WriteAsUtf8(const char* text, std::size_t size, const TByteSink& sink) const
{
  if (!TReopenCheck(text, size, FMarkup).Check(text, size)) sink(UTF8Mark, 3);
  if (size > 0) sink(text, size);
}

void TDocumentText::Saved(const TSaveBytes& saved, const char* text, std::size_t size)
{
  FFormat = saved.Format;
  FDeclared = DeclaredEncodingName(text, size, FMarkup);
}

void TDocumentText::Saved(const char* text, std::size_t size)
{
  Saved(SaveBytes(text, size), text, size);
}
