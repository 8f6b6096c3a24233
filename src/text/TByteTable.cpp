#include "text/TByteTable.h"

#include <cerrno>
#include <iconv.h>

#include "text/Utf8.h"

namespace {

const iconv_t NoConverter = reinterpret_cast<iconv_t>(-1);
constexpr std::size_t IconvFailed = static_cast<std::size_t>(-1);

// Decodes bytes from the initial state to its end; false when iconv refuses
// a byte or finds a sequence cut off.
bool DecodeAll(iconv_t cd, const std::string& bytes, std::string& text)
{
  ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
  text.assign(bytes.size() * 4 + 16, '\0');
  auto* in = const_cast<char*>(bytes.data());
  std::size_t left = bytes.size();
  char* out = text.data();
  std::size_t free = text.size();
  if (::iconv(cd, &in, &left, &out, &free) == IconvFailed) return false;
  // A converter that holds a character back (to combine it with the next)
  // lets it go now.
  if (::iconv(cd, nullptr, nullptr, &out, &free) == IconvFailed) return false;
  text.resize(text.size() - free);
  return true;
}

class TConverter {
public:
  explicit TConverter(const std::string& encoding) : FCd(::iconv_open("UTF-8", encoding.c_str())) {}
  ~TConverter()
  {
    if (FCd != NoConverter) ::iconv_close(FCd);
  }
  TConverter(const TConverter&) = delete;
  TConverter& operator=(const TConverter&) = delete;
  iconv_t Get() const { return FCd; }

private:
  iconv_t FCd;
};

}  // namespace

std::unique_ptr<TByteTable> TByteTable::Make(const std::string& encoding)
{
  TConverter converter(encoding);
  if (converter.Get() == NoConverter) return nullptr;
  auto table = std::make_unique<TByteTable>();
  table->FASCIIByte.fill(-1);
  table->FLength.fill(1);
  for (int b = 0; b < 256; ++b) {
    std::string text;
    if (!DecodeAll(converter.Get(), std::string(1, static_cast<char>(b)), text)) {
      if (errno == EILSEQ) continue;  // undefined
      return nullptr;                 // the start of a longer sequence
    }
    std::size_t length = Utf8SequenceLength(text.data(), text.size());
    if (length == 0 || length != text.size()) return nullptr;
    char32_t c = DecodeUtf8(text.data(), length);
    if (!table->FBytes.emplace(c, static_cast<unsigned char>(b)).second) return nullptr;
    if (c < 0x80) table->FASCIIByte[c] = b;
    table->FItself[b] = c == static_cast<char32_t>(b) && b < 0x80;
    table->FLength[b] = static_cast<unsigned char>(text.size());
    table->FText[b] = std::move(text);
  }
  // Neighbours change nothing: every letter before every byte beyond ASCII
  // decodes as the two on their own.
  std::string pairs;
  std::string expected;
  for (int b = 0x80; b < 256; ++b) {
    if (table->FText[b].empty()) continue;
    for (const char* letters = "AEIOUYaeiouyNnCc"; *letters; ++letters) {
      pairs += *letters;
      pairs += static_cast<char>(b);
      expected += table->FText[static_cast<unsigned char>(*letters)] + table->FText[b];
    }
  }
  std::string decoded;
  if (!DecodeAll(converter.Get(), pairs, decoded) || decoded != expected) return nullptr;
  return table;
}

int TByteTable::ByteOf(char32_t character) const
{
  if (character < 0x80) return FASCIIByte[character];
  auto found = FBytes.find(character);
  return found == FBytes.end() ? -1 : found->second;
}

std::size_t TByteTable::TextSize(const char* bytes, std::size_t size) const
{
  std::size_t total = 0;
  for (std::size_t i = 0; i < size; ++i) total += FLength[static_cast<unsigned char>(bytes[i])];
  return total;
}
