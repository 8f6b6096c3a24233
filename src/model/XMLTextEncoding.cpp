#include "model/XMLTextEncoding.h"

#include <iconv.h>
#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <regex>

#include "model/EXMLError.h"

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

// The encoding that the XML declaration at the start of an ASCII-compatible
// text names; empty when there is none.
std::string DeclaredEncoding(const std::string& bytes)
{
  if (bytes.compare(0, 5, "<?xml") != 0) return std::string();
  std::size_t end = bytes.find("?>");
  if (end == std::string::npos || end > 1000) return std::string();
  static const std::regex encoding(R"(\sencoding\s*=\s*["']([A-Za-z][A-Za-z0-9._-]*)["'])");
  std::smatch match;
  std::string declaration = bytes.substr(0, end);
  return std::regex_search(declaration, match, encoding) ? match[1].str() : std::string();
}

bool IsUtf8Name(const std::string& name)
{
  return name.empty() || ::strcasecmp(name.c_str(), "UTF-8") == 0 || ::strcasecmp(name.c_str(), "UTF8") == 0 ||
         ::strcasecmp(name.c_str(), "US-ASCII") == 0 || ::strcasecmp(name.c_str(), "ASCII") == 0;
}

class Converter {
public:
  explicit Converter(const std::string& from) : Handle(::iconv_open("UTF-8", from.c_str())) {}
  ~Converter()
  {
    if (Usable()) ::iconv_close(Handle);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool Usable() const { return Handle != reinterpret_cast<iconv_t>(-1); }

  // The bytes from start on as UTF-8, until the text holds more than lines
  // line ends (or the bytes end). unit is the size of one code unit, skipped
  // with a U+FFFD where the bytes are not of the encoding.
  std::string Decode(const std::string& bytes, std::size_t start, int lines, std::size_t unit)
  {
    std::string text;
    char* in = const_cast<char*>(bytes.data()) + start;
    std::size_t inLeft = bytes.size() - start;
    char buffer[16384];
    int ends = 0;
    while (inLeft > 0 && ends <= lines) {
      char* out = buffer;
      std::size_t outLeft = sizeof buffer;
      std::size_t result = ::iconv(Handle, &in, &inLeft, &out, &outLeft);
      int error = result == static_cast<std::size_t>(-1) ? errno : 0;
      for (char* c = buffer; c < out; ++c) ends += *c == '\n';
      text.append(buffer, static_cast<std::size_t>(out - buffer));
      if (error == EILSEQ || error == EINVAL) {
        text += "\xEF\xBF\xBD";
        std::size_t skip = inLeft < unit ? inLeft : unit;
        in += skip;
        inLeft -= skip;
      } else if (error != 0 && error != E2BIG) {
        break;
      }
    }
    return text;
  }

private:
  iconv_t Handle;
};

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

std::size_t CodeUnit(const std::string& name)
{
  return name.compare(0, 6, "UTF-32") == 0 ? 4 : name.compare(0, 6, "UTF-16") == 0 ? 2 : 1;
}

}  // namespace

XMLMarkedEncoding ReadMarkedEncoding(const std::string& bytes)
{
  XMLTextEncoding encoding = DetectXMLEncoding(bytes);
  if (encoding.MarkLength == 0) return XMLMarkedEncoding();
  // The declaration lies in the first few hundred characters.
  const std::string head = bytes.substr(0, 4096);
  if (encoding.Name == "UTF-8") return {"UTF-8", DeclaredEncoding(head.substr(encoding.MarkLength))};
  XMLMarkedEncoding marked{encoding.Name.substr(0, 6), std::string()};
  Converter converter(encoding.Name);
  if (converter.Usable())
    marked.Declared = DeclaredEncoding(converter.Decode(head, encoding.MarkLength, INT_MAX, CodeUnit(encoding.Name)));
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
  Converter converter(encoding.Name);
  if (!converter.Usable()) return LineOfText(bytes, line);
  return LineOfText(converter.Decode(bytes, encoding.MarkLength, line, CodeUnit(encoding.Name)), line);
}
