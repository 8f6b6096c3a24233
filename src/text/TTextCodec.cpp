#include "text/TTextCodec.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

#include "text/TByteTable.h"
#include "text/Utf8.h"

namespace {

const iconv_t NoConverter = reinterpret_cast<iconv_t>(-1);
constexpr std::size_t IconvFailed = static_cast<std::size_t>(-1);

iconv_t Open(const std::string& to, const std::string& from)
{
  return ::iconv_open(to.c_str(), from.c_str());
}

iconv_t Converter(void* handle)
{
  return static_cast<iconv_t>(handle);
}

// Makes room for at least wanted more bytes at the end of out; returns where
// they begin.
char* Grow(std::string& out, std::size_t& used, std::size_t wanted)
{
  used = out.size();
  out.resize(used + wanted);
  return &out[used];
}

// Converts through cd into out until the input is used up (0) or iconv stops
// at a byte it cannot convert (its errno, EILSEQ or EINVAL, with in and left
// at that byte).
int ConvertInto(iconv_t cd, char*& in, std::size_t& left, std::string& out)
{
  while (left > 0) {
    std::size_t used = 0;
    std::size_t room = std::max<std::size_t>(left + left / 2, 64);
    char* to = Grow(out, used, room);
    std::size_t free = room;
    std::size_t result = ::iconv(cd, &in, &left, &to, &free);
    int error = errno;
    out.resize(used + room - free);
    if (result != IconvFailed) return 0;
    if (error != E2BIG) return error;
  }
  return 0;
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
      FDecoder(Open("UTF-8", FEncoding)),
      FEncoder(Open(FEncoding, "UTF-8"))
{
  if (Converter(FDecoder) == NoConverter || Converter(FEncoder) == NoConverter) {
    if (Converter(FDecoder) != NoConverter) ::iconv_close(Converter(FDecoder));
    if (Converter(FEncoder) != NoConverter) ::iconv_close(Converter(FEncoder));
    throw ETextEncodingError("The encoding \"" + FEncoding + "\" is not known.");
  }
  FTable = TByteTable::Make(FEncoding);
}

TTextCodec::~TTextCodec()
{
  ::iconv_close(Converter(FDecoder));
  ::iconv_close(Converter(FEncoder));
}

bool TTextCodec::IsKnown(const std::string& encoding)
{
  // A name with "/" would pass options to iconv ("//IGNORE" drops bytes).
  if (encoding.empty() || encoding.find('/') != std::string::npos) return false;
  for (const auto& [to, from] : {std::pair{std::string("UTF-8"), encoding}, std::pair{encoding, std::string("UTF-8")}}) {
    iconv_t cd = Open(to, from);
    if (cd == NoConverter) return false;
    ::iconv_close(cd);
  }
  return true;
}

std::optional<std::size_t> TTextCodec::TextSize(const char* bytes, std::size_t size) const
{
  if (!FTable) return std::nullopt;
  return FTable->TextSize(bytes, size);
}

std::size_t TTextCodec::Decode(const char* bytes, std::size_t size, bool last, std::string& out)
{
  if (FTable) return DecodeByTable(bytes, size, out);
  auto* in = const_cast<char*>(bytes);
  std::size_t left = size;
  while (left > 0) {
    int error = ConvertInto(Converter(FDecoder), in, left, out);
    if (error == 0) break;
    if (error == EINVAL && !last) break;  // a sequence the next piece completes
    // An undefined byte (or, at the very end, an incomplete sequence): kept
    // as it is.
    std::size_t undefined = error == EINVAL ? left : 1;
    out.append(in, undefined);
    in += undefined;
    left -= undefined;
    FUndefined += undefined;
  }
  if (last) {
    // A decoder with shift states returns to its initial state.
    ::iconv(Converter(FDecoder), nullptr, nullptr, nullptr, nullptr);
  }
  return static_cast<std::size_t>(in - bytes);
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
    out += text[pos++];  // no character: the byte itself
  }
  if (last) FinishEncoding(out);
  return pos;
}

void TTextCodec::EncodeRun(const char* text, std::size_t size, const char* start, std::string& out)
{
  auto* in = const_cast<char*>(text);
  std::size_t left = size;
  if (ConvertInto(Converter(FEncoder), in, left, out) == 0) return;
  std::size_t length = std::max<std::size_t>(1, Utf8SequenceLength(in, left));
  throw EUnencodableCharacter(DecodeUtf8(in, length), static_cast<std::size_t>(in - start), FEncoding);
}

void TTextCodec::FinishEncoding(std::string& out)
{
  // An encoder with shift states writes its way back to the initial state.
  char buffer[32];
  char* to = buffer;
  std::size_t free = sizeof buffer;
  if (::iconv(Converter(FEncoder), nullptr, nullptr, &to, &free) != IconvFailed)
    out.append(buffer, sizeof buffer - free);
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
