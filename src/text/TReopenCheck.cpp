#include "text/TReopenCheck.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

#include "text/ETextEncodingError.h"
#include "text/TTextCodec.h"
#include "text/Utf8.h"

namespace {

// How much of what came back is kept to name the character it gave.
constexpr std::size_t FoundBytes = 16;

// Compares the text that reading delivers with the text it must give,
// keeping the first bytes from where the two part.
class TCompareSink : public TTextSink {
public:
  TCompareSink(const char* text, std::size_t size) : FText(text), FSize(size) {}

  void Append(const char* piece, std::size_t size) override
  {
    if (FParted) {
      Keep(piece, size);
      return;
    }
    std::size_t common = std::min(size, FSize - FAt);
    if (std::memcmp(piece, FText + FAt, common) == 0 && common == size) {
      FAt += size;
      return;
    }
    std::size_t same = 0;
    while (same < common && piece[same] == FText[FAt + same]) ++same;
    FAt += same;
    FParted = true;
    Keep(piece + same, size - same);
  }

  void Clear() override
  {
    FAt = 0;
    FParted = false;
    FFound.clear();
  }

  bool Equal() const { return !FParted && FAt == FSize; }
  // Where the two part: the first byte that differs, or where one ended.
  std::size_t PartedAt() const { return FAt; }
  const std::string& Found() const { return FFound; }

private:
  void Keep(const char* piece, std::size_t size)
  {
    FFound.append(piece, std::min(size, FoundBytes - std::min(FoundBytes, FFound.size())));
  }

  const char* FText;
  std::size_t FSize;
  std::size_t FAt = 0;
  bool FParted = false;
  std::string FFound;
};

// The start of the character of text that holds the byte at offset (or
// that byte itself, when it belongs to no valid character).
std::size_t CharacterStart(const char* text, std::size_t size, std::size_t offset)
{
  for (std::size_t back = 0; back < 4 && back <= offset; ++back) {
    std::size_t start = offset - back;
    std::size_t length = Utf8SequenceLength(text + start, size - start);
    if (length > back) return start;
  }
  return offset;
}

// The character that begins text; empty when text begins with a byte that
// is no character (or is empty).
std::optional<char32_t> FirstCharacter(const std::string& text)
{
  std::size_t length = Utf8SequenceLength(text.data(), text.size());
  if (length == 0) return std::nullopt;
  return DecodeUtf8(text.data(), length);
}

std::string DescribeByte(unsigned char byte)
{
  char number[8];
  std::snprintf(number, sizeof number, "0x%02X", byte);
  return std::string("the byte ") + number;
}

// The first character of text, or its first byte that is no character.
std::string DescribeFirst(const std::string& text)
{
  if (std::optional<char32_t> c = FirstCharacter(text)) return DescribeCharacter(*c);
  return DescribeByte(static_cast<unsigned char>(text[0]));
}

std::string Capitalized(std::string text)
{
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
  return text;
}

// The first two characters (or bytes that are none) of text.
std::string DescribeStart(const std::string& text)
{
  std::string first = DescribeFirst(text);
  std::size_t length = std::max<std::size_t>(1, Utf8SequenceLength(text.data(), text.size()));
  if (length >= text.size()) return first;
  return first + " followed by " + DescribeFirst(text.substr(length));
}

// Where the encoding is looked for when a document is opened.
std::string WhereNamed(TMarkup markup)
{
  switch (markup) {
    case TMarkup::HTML: return "an XML declaration at its very start, or a <meta> in its first 1024 bytes";
    case TMarkup::CSS: return "an XML declaration or an @charset rule at its very start";
    case TMarkup::Other: break;
  }
  return "an XML declaration at its very start";
}

std::string NamedBy(TEncodingSource source)
{
  switch (source) {
    case TEncodingSource::Meta: return "which a <meta> in its first 1024 bytes names";
    case TEncodingSource::CSSCharset: return "which its @charset rule names";
    case TEncodingSource::ByteOrderMark: return "as its first bytes read as a byte-order mark";
    default: break;
  }
  return "which its XML declaration names";
}

// Decodes the bytes in the encoding, as they are, without any check.
std::string DecodedAsTheyAre(const std::string& encoding, const char* bytes, std::size_t size)
{
  std::string text;
  if (encoding == EncodingUTF8) return std::string(bytes, size);
  TTextCodec codec(encoding);
  codec.Decode(bytes, size, true, text);
  return text;
}

}  // namespace

TReopenCheck::TReopenCheck(const char* text, std::size_t size, TMarkup markup)
    : FText(text), FSize(size), FMarkup(markup)
{
}

bool TReopenCheck::Check(const char* bytes, std::size_t size)
{
  FBytes = bytes;
  FBytesSize = size;
  TCompareSink sink(FText, FSize);
  FReopened = ReadDocument(bytes, size, FMarkup, sink);
  if (sink.Equal()) return true;
  std::size_t parted = sink.PartedAt();
  FOffset = CharacterStart(FText, FSize, parted);
  FFound = std::string(FText + FOffset, parted - FOffset) + sink.Found();
  return false;
}

void TReopenCheck::Refuse(const TTextFormat& written, const std::string& previous) const
{
  TRefusal refusal = Explain(written, previous);
  throw ETextEncodingError(refusal.Message, static_cast<long>(refusal.Offset));
}

TReopenCheck::TRefusal TReopenCheck::Explain(const TTextFormat& written, const std::string& previous) const
{
  const std::string& encoding = written.Encoding;
  if (FReopened.FellBack && FReopened.Detected.Encoding == encoding) return WhyNotInEncoding(written, previous);
  std::string difference = Difference(FOffset, FFound, encoding, previous);
  if (FReopened.Format.Encoding == encoding) return {Capitalized(difference), FOffset};
  return {"Written in " + encoding + ", the document would open again " + HowReopened(encoding) + ", and " +
              difference,
          FOffset};
}

// The bytes name the encoding they were written in, but do not read back in
// it: what reading them as they are gives tells which character is to blame.
TReopenCheck::TRefusal TReopenCheck::WhyNotInEncoding(const TTextFormat& written, const std::string& previous) const
{
  const std::string& encoding = written.Encoding;
  std::size_t mark = std::min(written.Mark.size(), FBytesSize);
  std::string text = DecodedAsTheyAre(encoding, FBytes + mark, FBytesSize - mark);
  std::size_t common = std::min(text.size(), FSize);
  std::size_t parted = static_cast<std::size_t>(
      std::mismatch(FText, FText + common, text.data()).first - FText);
  if (parted < common || text.size() != FSize) {
    std::size_t offset = CharacterStart(FText, FSize, parted);
    std::string found = text.substr(offset, FoundBytes);
    return {Capitalized(Difference(offset, found, encoding, previous)), offset};
  }
  // The text comes back, but with bytes that are no character of the
  // encoding, which UTF-16 does not allow.
  std::size_t kept = ValidUtf8Prefix(FText, FSize);
  if (kept < FSize) {
    return {Capitalized(Named(kept)) + ", kept as it is because it is no character of " + previous +
                ", cannot be written in " + encoding + ".",
            kept};
  }
  return {"Written in " + encoding + ", the document would not open again in it.", FOffset};
}

std::string TReopenCheck::HowReopened(const std::string& written) const
{
  const TDetectedEncoding& detected = FReopened.Detected;
  if (FReopened.FellBack)
    return "as " + std::string(EncodingWindows1252) + ", since its bytes would be no valid " + detected.Encoding +
           ", the encoding they name";
  switch (detected.Source) {
    case TEncodingSource::Declaration:
    case TEncodingSource::Meta:
    case TEncodingSource::CSSCharset:
    case TEncodingSource::ByteOrderMark: return "in " + detected.Encoding + ", " + NamedBy(detected.Source);
    case TEncodingSource::ValidUTF8:
    case TEncodingSource::Fallback: break;
  }
  return "as " + detected.Encoding + ", since nothing names " + written +
         " where opening looks for the encoding (" + WhereNamed(FMarkup) + ")";
}

// What does not come back at offset, and as what it does. found is what
// reading gave from offset on.
std::string TReopenCheck::Difference(std::size_t offset, const std::string& found, const std::string& written,
                                     const std::string& previous) const
{
  if (offset >= FSize)
    return "the end of the document in line " + Line(offset) + " would be followed by " + DescribeFirst(found) + ".";
  std::size_t length = Utf8SequenceLength(FText + offset, FSize - offset);
  if (FReopened.Format.Encoding != written || FReopened.FellBack)
    return Named(offset) + " " + ComesBackAs(offset + std::max<std::size_t>(length, 1), found) + ".";
  if (length == 0) return KeptByteDifference(offset, found, written, previous);
  return CharacterDifference(offset, length, found, written, previous);
}

std::string TReopenCheck::CharacterDifference(std::size_t offset, std::size_t length, const std::string& found,
                                              const std::string& written, const std::string& previous) const
{
  std::size_t after = offset + length;
  if (after < FSize && Utf8SequenceLength(FText + after, FSize - after) == 0 &&
      found.compare(0, length, FText + offset, length) != 0) {
    // The converter held the character back, and the kept byte after it
    // went out first.
    return Named(offset) + " cannot stand before " + DescribeByte(static_cast<unsigned char>(FText[after])) +
           ", kept as it is because it is no character of " + previous + ", in " + written +
           ": together they would come back as " + DescribeStart(found) + ".";
  }
  std::string whose = written == previous ? ", the document's encoding" : ", the encoding the document names";
  return Named(offset) + " cannot be written in " + written + whose + ": it " + ComesBackAs(after, found) + ".";
}

std::string TReopenCheck::KeptByteDifference(std::size_t offset, const std::string& found, const std::string& written,
                                             const std::string& previous) const
{
  std::string kept = Named(offset) + ", kept as it is because it is no character of " + previous;
  std::string cameBack = ComesBackAs(offset + 1, found);
  if (previous != written) return kept + ", cannot be written in " + written + ": it " + cameBack + ".";
  // The typed character next to it: after it, else before it.
  std::size_t next = offset;
  while (next < FSize && Utf8SequenceLength(FText + next, FSize - next) == 0) ++next;
  if (next == FSize) next = offset > 0 ? CharacterStart(FText, FSize, offset - 1) : FSize;
  std::size_t length = next < FSize ? Utf8SequenceLength(FText + next, FSize - next) : 0;
  if (length == 0) return kept + ", " + cameBack + ".";
  return kept + ", cannot stand next to " + DescribeCharacter(DecodeUtf8(FText + next, length)) + " in " + written +
         ": together they " + cameBack + ".";
}

// The character (or kept byte) at offset and its line.
std::string TReopenCheck::Named(std::size_t offset) const
{
  std::size_t length = Utf8SequenceLength(FText + offset, FSize - offset);
  std::string what = length > 0 ? "the character " + DescribeCharacter(DecodeUtf8(FText + offset, length))
                                : DescribeByte(static_cast<unsigned char>(FText[offset]));
  return what + " in line " + Line(offset);
}

// How what came back (found) differs from the text at a character that
// ends at end: lost when it goes on with what follows the character.
std::string TReopenCheck::ComesBackAs(std::size_t end, const std::string& found) const
{
  if (found.empty()) return "would be lost";
  std::size_t compared = std::min({found.size(), FSize - end, std::size_t{4}});
  if (compared > 0 && found.compare(0, compared, FText + end, compared) == 0) return "would be lost";
  return "would come back as " + DescribeFirst(found);
}

std::string TReopenCheck::Line(std::size_t offset) const
{
  return std::to_string(LineNumberAt(FText, FSize, offset));
}
