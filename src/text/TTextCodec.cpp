#include "text/TTextCodec.h"

#include <algorithm>
#include <cerrno>

#include "text/TByteTable.h"
#include "text/Utf8.h"

namespace {

// Output room per input byte. Decoding: glibc's TSCII makes up to twelve
// bytes of UTF-8 of one byte. Encoding: UTF-16 makes two bytes of an ASCII
// letter, ISO-2022 and UTF-7 add shift sequences.
constexpr std::size_t DecodeGrowth = 16;
constexpr std::size_t EncodeGrowth = 8;

// Characters of many scripts, to find an encoder's shift states with: in
// an encoding without them, two of a character are the bytes of one twice.
const char* const ShiftProbes[] = {
    "a",        "\xC3\xA9", "\xC3\xBC", "\xD0\xB6", "\xCE\xB1", "\xD7\x90", "\xE0\xB8\x81", "\xE6\x97\xA5",
    "\xE4\xB8\xAD", "\xED\x95\x9C", "\xE3\x82\xA2", "\xEF\xBD\xB1", "\xE2\x82\xAC", "\xC6\xA1", "\xE0\xAE\xB8",
};

// The bytes of text from the initial state, the state let out at the end;
// false when the encoding cannot hold it.
bool EncodeAlone(TIconv& encoder, const std::string& text, std::string& bytes)
{
  encoder.Reset();
  bytes.clear();
  const char* in = text.data();
  std::size_t left = text.size();
  if (encoder.Convert(in, left, bytes) != 0) return false;
  encoder.Release(bytes);
  return true;
}

}  // namespace

EUnencodableCharacter::EUnencodableCharacter(char32_t character, std::size_t offset, const std::string& encoding)
    : ETextEncodingError("The character " + DescribeCharacter(character) + " cannot be written in " + encoding + "."),
      Character(character),
      Offset(offset)
{
}

TTextCodec::TTextCodec(std::string encoding)
    : FEncoding(std::move(encoding)),
      FDecoder("UTF-8", FEncoding, DecodeGrowth),
      FEncoder(FEncoding, "UTF-8", EncodeGrowth)
{
  if (!FDecoder.IsOpen() || !FEncoder.IsOpen())
    throw ETextEncodingError("The encoding \"" + FEncoding + "\" is not known.");
  FTable = TByteTable::Make(FEncoding);
}

TTextCodec::~TTextCodec() = default;

bool TTextCodec::IsKnown(const std::string& encoding)
{
  // A name with "/" would pass options to iconv ("//IGNORE" drops bytes).
  if (encoding.empty() || encoding.find('/') != std::string::npos) return false;
  return TIconv::Opens("UTF-8", encoding) && TIconv::Opens(encoding, "UTF-8");
}

std::optional<std::size_t> TTextCodec::TextSize(const char* bytes, std::size_t size) const
{
  if (!FTable) return std::nullopt;
  return FTable->TextSize(bytes, size);
}

bool TTextCodec::HasShiftStates()
{
  if (FShiftStates) return *FShiftStates;
  FShiftStates = false;
  if (FTable) return false;
  TIconv encoder(FEncoding, "UTF-8", EncodeGrowth);
  std::string once;
  std::string twice;
  for (const char* probe : ShiftProbes) {
    if (!EncodeAlone(encoder, probe, once)) continue;
    if (!EncodeAlone(encoder, std::string(probe) + probe, twice) || twice != once + once) {
      FShiftStates = true;
      break;
    }
  }
  return *FShiftStates;
}

std::size_t TTextCodec::Decode(const char* bytes, std::size_t size, bool last, std::string& out)
{
  if (FTable) return DecodeByTable(bytes, size, out);
  const char* in = bytes;
  std::size_t left = size;
  while (left > 0) {
    int error = FDecoder.Convert(in, left, out);
    if (error == 0) break;
    if (error == EINVAL && !last) break;  // a sequence the next piece completes
    // An undefined byte (or, at the very end, an incomplete sequence): kept
    // as it is.
    KeepUndefined(in, left, error == EINVAL ? left : 1, out);
  }
  // A character held back goes out; the state returns to the initial one.
  if (last) FDecoder.Release(out);
  return static_cast<std::size_t>(in - bytes);
}

void TTextCodec::KeepUndefined(const char*& in, std::size_t& left, std::size_t count, std::string& out)
{
  if (!HasShiftStates()) {
    // The character held back comes before the byte. Then every character
    // starts in the initial state, so the bytes that start none there
    // follow it as they are, without iconv stopping at each.
    FDecoder.Release(out);
    for (; count < left; ++count) {
      auto byte = static_cast<unsigned char>(in[count]);
      if (FStarts[byte] == 0) ProbeStart(byte);
      if (FStarts[byte] != 1) break;
    }
  }
  out.append(in, count);
  in += count;
  left -= count;
  FUndefined += count;
}

// Whether a character starts with the byte in the initial state: not when
// iconv refuses the byte on its own.
void TTextCodec::ProbeStart(unsigned char byte)
{
  if (!FProbe) FProbe = std::make_unique<TIconv>("UTF-8", FEncoding, DecodeGrowth);
  FProbe->Reset();
  const char alone[1] = {static_cast<char>(byte)};
  const char* in = alone;
  std::size_t left = 1;
  std::string text;
  FStarts[byte] = FProbe->Convert(in, left, text) == EILSEQ ? 1 : 2;
}

std::size_t TTextCodec::Encode(const char* text, std::size_t size, bool last, std::string& out)
{
  if (FTable) return EncodeByTable(text, size, last, out);
  std::size_t pos = 0;
  while (pos < size) {
    std::size_t valid = ValidUtf8Prefix(text + pos, size - pos);
    if (valid > 0) {
      EncodeRun(text + pos, valid, text, out);
      pos += valid;
      continue;
    }
    if (!last && IsIncompleteUtf8(text + pos, size - pos)) return pos;
    // No character: the bytes themselves, after the character the encoder
    // holds.
    if (FEncoderUsed && !HasShiftStates()) {
      FEncoder.Release(out);
      FEncoderUsed = false;
    }
    std::size_t end = pos + 1 + NonUtf8Prefix(text + pos + 1, size - pos - 1);
    out.append(text + pos, end - pos);
    pos = end;
  }
  if (last) {
    // The encoder writes what it holds and its way back to the initial state.
    FEncoder.Release(out);
    FEncoderUsed = false;
  }
  return pos;
}

void TTextCodec::EncodeRun(const char* text, std::size_t size, const char* start, std::string& out)
{
  const char* in = text;
  std::size_t left = size;
  FEncoderUsed = true;
  if (FEncoder.Convert(in, left, out) == 0) return;
  std::size_t length = std::max<std::size_t>(1, Utf8SequenceLength(in, left));
  throw EUnencodableCharacter(DecodeUtf8(in, length), static_cast<std::size_t>(in - start), FEncoding);
}

std::size_t TTextCodec::DecodeByTable(const char* bytes, std::size_t size, std::string& out)
{
  const TByteTable& table = *FTable;
  out.reserve(out.size() + size + size / 8);
  std::size_t i = 0;
  while (i < size) {
    std::size_t run = i;
    while (run < size && table.IsItself(static_cast<unsigned char>(bytes[run]))) ++run;
    out.append(bytes + i, run - i);
    if (run >= size) break;
    const std::string& text = table.Text(static_cast<unsigned char>(bytes[run]));
    if (text.empty()) {
      out += bytes[run];
      ++FUndefined;
    } else {
      out += text;
    }
    i = run + 1;
  }
  return size;
}

std::size_t TTextCodec::EncodeByTable(const char* text, std::size_t size, bool last, std::string& out)
{
  const TByteTable& table = *FTable;
  out.reserve(out.size() + size);
  std::size_t pos = 0;
  while (pos < size) {
    std::size_t run = pos;
    while (run < size && table.IsItself(static_cast<unsigned char>(text[run]))) ++run;
    out.append(text + pos, run - pos);
    pos = run;
    if (pos >= size) break;
    std::size_t length = Utf8SequenceLength(text + pos, size - pos);
    if (length == 0) {
      if (!last && IsIncompleteUtf8(text + pos, size - pos)) return pos;
      out += text[pos++];  // no character: the byte itself
      continue;
    }
    char32_t c = DecodeUtf8(text + pos, length);
    int byte = table.ByteOf(c);
    if (byte < 0) throw EUnencodableCharacter(c, pos, FEncoding);
    out += static_cast<char>(byte);
    pos += length;
  }
  return pos;
}
