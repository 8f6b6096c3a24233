#include "text/EncodingDetection.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "model/AttributeList.h"
#include "model/TFileType.h"
#include "text/TTextCodec.h"
#include "text/Utf8.h"

const char* const EncodingUTF8 = "UTF-8";
const char* const EncodingUTF16LE = "UTF-16LE";
const char* const EncodingUTF16BE = "UTF-16BE";
const char* const EncodingWindows1252 = "WINDOWS-1252";

namespace {

// How far into an HTML document a <meta> naming the encoding is looked for.
constexpr std::size_t MetaScanLimit = 1024;
// How long an XML declaration may be.
constexpr std::size_t DeclarationLimit = 1024;

// The labels that browsers read as Windows-1252: those of ISO-8859-1,
// US-ASCII and Windows-1252 itself.
const char* const Windows1252Labels[] = {
    "ansi_x3.4-1968", "ascii",    "cp1252",     "cp819",           "csisolatin1", "ibm819",
    "iso-8859-1",     "iso-ir-100", "iso8859-1", "iso88591",       "iso_8859-1",  "iso_8859-1:1987",
    "l1",             "latin1",   "us-ascii",   "windows-1252",    "x-cp1252",    "iso-ir-6",
    "iso646-us",      "csascii",  "us",
};

char Lower(char c)
{
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsBlank(char c)
{
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

std::string Trimmed(const std::string& text)
{
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

// The MIME type without parameters, lower case.
std::string BareMimeType(const std::string& mime)
{
  return Trimmed(LowerCaseAscii(mime.substr(0, mime.find(';'))));
}

bool StartsWith(const char* text, std::size_t size, const char* prefix)
{
  std::size_t n = std::strlen(prefix);
  return size >= n && std::memcmp(text, prefix, n) == 0;
}

bool StartsWithNoCase(const char* text, std::size_t size, const char* prefix)
{
  std::size_t n = std::strlen(prefix);
  if (size < n) return false;
  for (std::size_t i = 0; i < n; ++i)
    if (Lower(text[i]) != prefix[i]) return false;
  return true;
}

// Reads the attributes of a tag from pos on, as a browser's pre-scan does,
// up to its ">" (or the end of text); calls take(name, value) for each, the
// name in lower case.
template <typename TTake>
std::size_t ReadAttributes(const char* text, std::size_t size, std::size_t pos, TTake&& take)
{
  while (pos < size) {
    while (pos < size && (IsBlank(text[pos]) || text[pos] == '/')) ++pos;
    if (pos >= size || text[pos] == '>') return pos;
    std::string name;
    while (pos < size && !IsBlank(text[pos]) && text[pos] != '=' && text[pos] != '>' && text[pos] != '/')
      name += Lower(text[pos++]);
    while (pos < size && IsBlank(text[pos])) ++pos;
    std::string value;
    if (pos < size && text[pos] == '=') {
      ++pos;
      while (pos < size && IsBlank(text[pos])) ++pos;
      if (pos < size && (text[pos] == '"' || text[pos] == '\'')) {
        char quote = text[pos++];
        while (pos < size && text[pos] != quote) value += text[pos++];
        if (pos < size) ++pos;
      } else {
        while (pos < size && !IsBlank(text[pos]) && text[pos] != '>') value += text[pos++];
      }
    }
    if (!name.empty()) take(name, value);
  }
  return pos;
}

// The encoding named by "charset=" in a content attribute's value.
std::string CharsetOfContent(const std::string& content)
{
  std::string lower = LowerCaseAscii(content);
  std::size_t pos = 0;
  while ((pos = lower.find("charset", pos)) != std::string::npos) {
    pos += 7;
    while (pos < lower.size() && IsBlank(lower[pos])) ++pos;
    if (pos >= lower.size() || lower[pos] != '=') continue;
    ++pos;
    while (pos < lower.size() && IsBlank(lower[pos])) ++pos;
    if (pos >= lower.size()) return std::string();
    if (content[pos] == '"' || content[pos] == '\'') {
      std::size_t close = content.find(content[pos], pos + 1);
      return close == std::string::npos ? std::string() : content.substr(pos + 1, close - pos - 1);
    }
    std::size_t end = pos;
    while (end < content.size() && !IsBlank(content[end]) && content[end] != ';') ++end;
    return content.substr(pos, end - pos);
  }
  return std::string();
}

// The iconv name of an encoding that a label in the document names, when it
// can be used to read it: known, and writing ASCII as ASCII.
std::string UsableEncoding(const std::string& label, TMarkup markup)
{
  std::string encoding = ResolveEncodingLabel(label, markup);
  return !encoding.empty() && IsASCIICompatible(encoding) ? encoding : std::string();
}

// The name of the encoding that the first <meta> in the first bytes of an
// HTML document naming a usable one names, as written.
std::string MetaLabel(const char* text, std::size_t size)
{
  size = std::min(size, MetaScanLimit);
  std::size_t pos = 0;
  while (pos < size) {
    if (StartsWith(text + pos, size - pos, "<!--")) {
      const char* close = std::search(text + pos + 4, text + size, "-->", "-->" + 3);
      if (close == text + size) return std::string();
      pos = static_cast<std::size_t>(close - text) + 3;
      continue;
    }
    if (!StartsWithNoCase(text + pos, size - pos, "<meta") || pos + 5 >= size ||
        !(IsBlank(text[pos + 5]) || text[pos + 5] == '/')) {
      ++pos;
      continue;
    }
    bool pragma = false;
    bool needPragma = false;
    std::string charset;
    pos = ReadAttributes(text, size, pos + 5, [&](const std::string& name, const std::string& value) {
      if (name == "http-equiv") {
        pragma = pragma || LowerCaseAscii(value) == "content-type";
      } else if (name == "charset") {
        charset = value;
        needPragma = false;
      } else if (name == "content" && charset.empty()) {
        charset = CharsetOfContent(value);
        needPragma = !charset.empty();
      }
    });
    if (!charset.empty() && (pragma || !needPragma) && !UsableEncoding(charset, TMarkup::HTML).empty())
      return charset;
  }
  return std::string();
}

// The name in a style sheet's leading @charset "name"; rule, when it names
// a usable encoding.
std::string CSSCharsetLabel(const char* text, std::size_t size)
{
  static const char Rule[] = "@charset \"";
  constexpr std::size_t RuleSize = sizeof Rule - 1;
  if (!StartsWith(text, size, Rule)) return std::string();
  size = std::min(size, DeclarationLimit);
  const char* close = std::find(text + RuleSize, text + size, '"');
  if (close + 1 >= text + size || close[1] != ';') return std::string();
  std::string label(text + RuleSize, close);
  return UsableEncoding(label, TMarkup::CSS).empty() ? std::string() : label;
}

}  // namespace

TMarkup DocumentMarkup(const TFileType* type)
{
  if (!type) return TMarkup::Other;
  const std::string mime = BareMimeType(type->MimeType);
  const std::string highlighter = LowerCaseAscii(type->Highlighter);
  if (mime == "text/html" || mime == "application/xhtml+xml" || highlighter == "php") return TMarkup::HTML;
  if (mime == "text/css" || highlighter == "css") return TMarkup::CSS;
  return TMarkup::Other;
}

std::string XMLDeclaredEncoding(const char* text, std::size_t size)
{
  size = std::min(size, DeclarationLimit);
  if (!StartsWith(text, size, "<?xml") || size <= 5 || !IsBlank(text[5])) return std::string();
  std::size_t pos = 5;
  for (;;) {
    while (pos < size && IsBlank(text[pos])) ++pos;
    if (pos >= size || text[pos] == '?') return std::string();
    std::size_t nameStart = pos;
    while (pos < size && !IsBlank(text[pos]) && text[pos] != '=' && text[pos] != '?') ++pos;
    std::string name(text + nameStart, pos - nameStart);
    while (pos < size && IsBlank(text[pos])) ++pos;
    if (name.empty() || pos >= size || text[pos] != '=') return std::string();
    ++pos;
    while (pos < size && IsBlank(text[pos])) ++pos;
    if (pos >= size || (text[pos] != '"' && text[pos] != '\'')) return std::string();
    const char* close = std::find(text + pos + 1, text + size, text[pos]);
    if (close == text + size) return std::string();
    if (name == "encoding") return std::string(text + pos + 1, close);
    pos = static_cast<std::size_t>(close - text) + 1;
  }
}

std::string DeclaredEncodingName(const char* text, std::size_t size, TMarkup markup)
{
  std::string declared = XMLDeclaredEncoding(text, size);
  bool named = !Trimmed(declared).empty();
  // As when opening, a declaration whose name cannot read the document
  // leaves the choice to a <meta> or an @charset rule.
  if (named && (markup == TMarkup::Other || !UsableEncoding(declared, markup).empty())) return declared;
  std::string label;
  if (markup == TMarkup::HTML) label = MetaLabel(text, size);
  if (markup == TMarkup::CSS) label = CSSCharsetLabel(text, size);
  return label.empty() ? declared : label;
}

bool CanReadAgain(const std::string& encoding)
{
  return encoding == EncodingUTF16LE || encoding == EncodingUTF16BE || IsASCIICompatible(encoding);
}

std::string ResolveEncodingLabel(const std::string& label, TMarkup markup)
{
  std::string name = LowerCaseAscii(Trimmed(label));
  // iconv takes a name without letters and digits ("+", "()", or one cut
  // short by a NUL byte) for the locale's encoding.
  bool alphanumeric = false;
  for (char c : name) {
    bool letter = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (!letter && (c == '\0' || !std::strchr("-_.:+()", c))) return std::string();
    alphanumeric = alphanumeric || letter;
  }
  if (!alphanumeric) return std::string();
  if (markup == TMarkup::HTML &&
      std::find(std::begin(Windows1252Labels), std::end(Windows1252Labels), name) != std::end(Windows1252Labels))
    return EncodingWindows1252;
  if (name == "utf-8" || name == "utf8") return EncodingUTF8;
  std::transform(name.begin(), name.end(), name.begin(), [](char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  });
  return TTextCodec::IsKnown(name) ? name : std::string();
}

bool IsASCIICompatible(const std::string& encoding)
{
  if (encoding == EncodingUTF8) return true;
  // The characters of markup and of encoding names. Some encodings give a
  // few other ASCII bytes characters of their own (Shift_JIS: yen for "\\").
  std::string probe = "\t\r\n !\"#%&'()*+,-./:;<=>?@[]_{|}";
  for (char c = '0'; c <= '9'; ++c) probe += c;
  for (char c = 'A'; c <= 'Z'; ++c) probe += {c, static_cast<char>(c - 'A' + 'a')};
  try {
    TTextCodec codec(encoding);
    std::string decoded;
    std::string encoded;
    codec.Decode(probe.data(), probe.size(), true, decoded);
    codec.Encode(probe.data(), probe.size(), true, encoded);
    return decoded == probe && encoded == probe && codec.UndefinedBytes() == 0;
  } catch (const ETextEncodingError&) {
    return false;
  }
}

std::string UnlabelledText(const std::string& bytes)
{
  if (IsValidUtf8(bytes)) return bytes;
  TTextCodec codec(EncodingWindows1252);
  std::string text;
  codec.Decode(bytes.data(), bytes.size(), true, text);
  return text;
}

std::string ByteOrderMark(const std::string& encoding)
{
  if (encoding == EncodingUTF16LE) return "\xFF\xFE";
  if (encoding == EncodingUTF16BE) return "\xFE\xFF";
  return std::string();
}

TDetectedEncoding DetectEncoding(const char* bytes, std::size_t size, TMarkup markup)
{
  if (StartsWith(bytes, size, "\xEF\xBB\xBF")) return {EncodingUTF8, 3, TEncodingSource::ByteOrderMark};
  if (StartsWith(bytes, size, "\xFF\xFE")) return {EncodingUTF16LE, 2, TEncodingSource::ByteOrderMark};
  if (StartsWith(bytes, size, "\xFE\xFF")) return {EncodingUTF16BE, 2, TEncodingSource::ByteOrderMark};
  std::string declared = XMLDeclaredEncoding(bytes, size);
  if (!declared.empty()) {
    std::string encoding = UsableEncoding(declared, markup);
    if (!encoding.empty()) return {encoding, 0, TEncodingSource::Declaration};
  }
  if (markup == TMarkup::HTML) {
    std::string label = MetaLabel(bytes, size);
    if (!label.empty()) return {UsableEncoding(label, markup), 0, TEncodingSource::Meta};
  }
  if (markup == TMarkup::CSS) {
    std::string label = CSSCharsetLabel(bytes, size);
    if (!label.empty()) return {UsableEncoding(label, markup), 0, TEncodingSource::CSSCharset};
  }
  if (IsValidUtf8(bytes, size)) return {EncodingUTF8, 0, TEncodingSource::ValidUTF8};
  return {EncodingWindows1252, 0, TEncodingSource::Fallback};
}
