#include "xmltools/XMLTextEncoding.h"

#include <strings.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>

#include "text/EncodingDetection.h"
#include "text/TTextCodec.h"
#include "xmltools/EXMLError.h"

namespace {

// The encoding of an XML text as an iconv name ("UTF-8" for every encoding
// that is read as UTF-8) and the length of its byte order mark.
struct XMLTextEncoding {
  std::string Name;
  std::size_t MarkLength = 0;
};

bool StartsWithBytes(const std::string& text, const char* prefix, std::size_t length)
{
  return text.size() >= length && std::memcmp(text.data(), prefix, length) == 0;
}

std::string DeclaredEncoding(const std::string& bytes)
{
  return XMLDeclaredEncoding(bytes.data(), bytes.size());
}

bool IsUtf8Name(const std::string& name)
{
  return name.empty() || ::strcasecmp(name.c_str(), "UTF-8") == 0 || ::strcasecmp(name.c_str(), "UTF8") == 0 ||
         ::strcasecmp(name.c_str(), "US-ASCII") == 0 || ::strcasecmp(name.c_str(), "ASCII") == 0;
}

// The bytes from start on as UTF-8, until the text holds more than lines
// line ends (or the bytes end); bytes the encoding does not define stay as
// they are. Empty optional when the system knows no such encoding.
std::optional<std::string> Decode(const std::string& encoding, const std::string& bytes, std::size_t start,
                                  int lines)
{
  if (!TTextCodec::IsKnown(encoding)) return std::nullopt;
  TTextCodec codec(encoding);
  constexpr std::size_t PieceSize = 16384;
  std::string text;
  long ends = 0;
  std::size_t pos = start;
  while (pos < bytes.size() && ends <= lines) {
    std::size_t piece = std::min(PieceSize, bytes.size() - pos);
    std::size_t before = text.size();
    bool last = pos + piece == bytes.size();
    std::size_t used = codec.Decode(bytes.data() + pos, piece, last, text);
    ends += std::count(text.begin() + static_cast<std::ptrdiff_t>(before), text.end(), '\n');
    if (used == 0) break;
    pos += used;
  }
  return text;
}

XMLTextEncoding DetectXMLEncoding(const std::string& bytes)
{
  if (StartsWithBytes(bytes, "\x00\x00\xFE\xFF", 4)) return {"UTF-32BE", 4};
  if (StartsWithBytes(bytes, "\xFF\xFE\x00\x00", 4)) return {"UTF-32LE", 4};
  if (StartsWithBytes(bytes, "\x00\x00\x00<", 4)) return {"UTF-32BE", 0};
  if (StartsWithBytes(bytes, "<\x00\x00\x00", 4)) return {"UTF-32LE", 0};
  if (StartsWithBytes(bytes, "\xFE\xFF", 2)) return {"UTF-16BE", 2};
  if (StartsWithBytes(bytes, "\xFF\xFE", 2)) return {"UTF-16LE", 2};
  if (StartsWithBytes(bytes, "\x00<\x00?", 4)) return {"UTF-16BE", 0};
  if (StartsWithBytes(bytes, "<\x00?\x00", 4)) return {"UTF-16LE", 0};
  if (StartsWithBytes(bytes, "\xEF\xBB\xBF", 3)) return {"UTF-8", 3};
  std::string declared = DeclaredEncoding(bytes);
  return {IsUtf8Name(declared) ? "UTF-8" : declared, 0};
}

}  // namespace

bool IsWideXMLText(const std::string& bytes)
{
  const std::string name = DetectXMLEncoding(bytes).Name;
  for (const char* wide : {"UTF-16", "UTF-32", "UCS-2", "UCS-4"})
    if (::strncasecmp(name.c_str(), wide, 5) == 0) return true;
  return false;
}

XMLMarkedEncoding ReadMarkedEncoding(const std::string& bytes)
{
  XMLTextEncoding encoding = DetectXMLEncoding(bytes);
  if (encoding.MarkLength == 0) return XMLMarkedEncoding();
  // The declaration lies in the first few hundred characters.
  const std::string head = bytes.substr(0, 4096);
  if (encoding.Name == "UTF-8") return {"UTF-8", DeclaredEncoding(head.substr(encoding.MarkLength))};
  XMLMarkedEncoding marked{encoding.Name.substr(0, 6), std::string()};
  if (std::optional<std::string> text = Decode(encoding.Name, head, encoding.MarkLength, INT_MAX))
    marked.Declared = DeclaredEncoding(*text);
  return marked;
}

std::string XMLSourceLine(const std::string& bytes, int line)
{
  if (line < 1) return std::string();
  XMLTextEncoding encoding = DetectXMLEncoding(bytes);
  if (encoding.Name == "UTF-8") {
    std::string text = LineOfText(bytes, line);
    return line == 1 ? text.substr(std::min(encoding.MarkLength, text.size())) : text;
  }
  std::optional<std::string> text = Decode(encoding.Name, bytes, encoding.MarkLength, line);
  return LineOfText(text ? *text : bytes, line);
}
