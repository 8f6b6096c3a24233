#include "xmltools/THTML2XMLConvertor.h"

#include <cstring>

#include "model/AttributeList.h"
#include "text/EncodingDetection.h"
#include "text/TTextCodec.h"
#include "xmlparse/TXMLParser.h"

namespace {

bool IsAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsNameByte(char c) {
  return IsAsciiAlpha(c) || IsAsciiDigit(c) || c == '_' || c == '-' || c == '.' || c == ':' ||
         static_cast<unsigned char>(c) >= 0x80;
}
bool IsNameStartByte(char c) {
  return IsAsciiAlpha(c) || c == '_' || c == ':' || static_cast<unsigned char>(c) >= 0x80;
}

// Appends text with every "&" that starts no reference written as "&amp;"
// and, when escapeLess is set, every "<" as "&lt;".
void AppendTextXML(std::string& out, std::string_view text, bool escapeLess) {
  std::size_t done = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const char* replacement = nullptr;
    if (c == '&' && !StartsReference(text, i))
      replacement = "&amp;";
    else if (c == '<' && escapeLess)
      replacement = "&lt;";
    if (!replacement) continue;
    out.append(text.data() + done, i - done);
    out += replacement;
    done = i + 1;
  }
  out.append(text.data() + done, text.size() - done);
}

}  // namespace

bool StartsReference(std::string_view text, std::size_t pos) {
  std::size_t i = pos + 1;
  if (i < text.size() && text[i] == '#') {
    ++i;
    bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    if (hex) ++i;
    const std::size_t first = i;
    while (i < text.size() && (hex ? IsHexDigit(text[i]) : IsAsciiDigit(text[i]))) ++i;
    return i > first && i < text.size() && text[i] == ';';
  }
  if (i >= text.size() || !IsNameStartByte(text[i])) return false;
  while (i < text.size() && IsNameByte(text[i])) ++i;
  return i < text.size() && text[i] == ';';
}

void AppendAttrValueXML(std::string& out, std::string_view value) {
  std::size_t done = 0;
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    const char* replacement = nullptr;
    if (c == '"')
      replacement = "&quot;";
    else if (c == '<')
      replacement = "&lt;";
    else if (c == '&' && !StartsReference(value, i))
      replacement = "&amp;";
    if (!replacement) continue;
    out.append(value.data() + done, i - done);
    out += replacement;
    done = i + 1;
  }
  out.append(value.data() + done, value.size() - done);
}

std::vector<std::string> THTML2XMLConvertor::DefaultSingletons() {
  return {"p", "img", "br", "hr", "li", "input", "meta", "isindex", "base", "link", "area", "dt", "dd"};
}

THTML2XMLConvertor::THTML2XMLConvertor() : Singletons(DefaultSingletons()) {}

bool THTML2XMLConvertor::IsSingleton(const std::string& name) const {
  for (const std::string& singleton : Singletons)
    if (SameTextAscii(singleton, name)) return true;
  return false;
}

void THTML2XMLConvertor::Convert(const std::string& input, std::string& output) {
  const std::string mark = input.substr(0, 2);
  const char* encoding = mark == ByteOrderMark(EncodingUTF16LE)   ? EncodingUTF16LE
                         : mark == ByteOrderMark(EncodingUTF16BE) ? EncodingUTF16BE
                                                                  : nullptr;
  if (!encoding) {
    ConvertText(input, output);
    return;
  }
  // Both directions keep what no character is (bytes of a broken page) as
  // it is.
  TTextCodec codec(encoding);
  std::string text;
  codec.Decode(input.data() + mark.size(), input.size() - mark.size(), true, text);
  std::string converted;
  ConvertText(text, converted);
  output = mark;
  codec.Encode(converted.data(), converted.size(), true, output);
}

void THTML2XMLConvertor::ConvertText(const std::string& input, std::string& output) {
  output.clear();
  Stack.clear();
  LastMarkupEnd = 0;

  TXMLParser parser;
  parser.Options = TXMLParser::poEmptyTag | TXMLParser::poTagWhitespace;
  parser.OnStartTag = [this](TXMLParser& sender, const std::string& name,
                             const std::vector<std::string>& attributes, bool empty) {
    ParserStartTag(sender, name, attributes, empty);
  };
  parser.OnEndTag = [this](TXMLParser& sender, const std::string& name) { ParserEndTag(sender, name); };
  parser.OnText = [this](TXMLParser& sender, const std::string& text) { ParserText(sender, text); };
  parser.OnComment = [this](TXMLParser& sender, const std::string& comment) {
    ParserComment(sender, comment);
  };
  parser.OnDecl = [this](TXMLParser& sender, const std::string& name, const std::string& body) {
    ParserDecl(sender, name, body);
  };
  parser.OnPI = [this](TXMLParser& sender, const std::string& target, const std::string& data) {
    ParserPI(sender, target, data);
  };

  Output.clear();
  Output.reserve(input.size() + input.size() / 8 + 64);
  parser.Parse(input);

  // The parser never reports the text after its last markup: keep it here.
  if (LastMarkupEnd < input.size()) AppendTail(std::string_view(input).substr(LastMarkupEnd));

  output.reserve(Output.size() + Stack.size() * 16);
  output = Output;
  for (auto it = Stack.rbegin(); it != Stack.rend(); ++it) {
    output += "</";
    output += *it;
    output += '>';
  }
}

void THTML2XMLConvertor::MarkupEnd(const TXMLParser& sender) {
  if (sender.Position > 0) LastMarkupEnd = static_cast<std::size_t>(sender.Position);
}

std::string THTML2XMLConvertor::CasedName(std::string_view name, std::uint8_t nameCase) {
  if (nameCase == kLowerCase) return LowerCaseAscii(std::string(name));
  if (nameCase == kUpperCase) return UpperCaseAscii(std::string(name));
  return std::string(name);
}

// The unreported tail is text, possibly followed by a tag that the input cut
// off; it is kept as text.
void THTML2XMLConvertor::AppendTail(std::string_view tail) {
  const std::size_t nul = tail.find('\0');
  if (nul != std::string_view::npos) tail = tail.substr(0, nul);
  AppendTextXML(Output, tail, true);
}

void THTML2XMLConvertor::AppendAttribute(const std::string& entry) {
  Output += ' ';
  const std::size_t eq = entry.find('=');
  if (eq == std::string::npos) {
    const std::string cased = CasedName(entry, AttrCase);
    Output += cased;
    if (!FixAttributes) return;
    Output += "=\"";
    AppendAttrValueXML(Output, cased);
    Output += '"';
    return;
  }
  const std::string_view value = std::string_view(entry).substr(eq + 1);
  if (eq == 0) {
    Output.append(value.data(), value.size());
    return;
  }
  Output += CasedName(std::string_view(entry).substr(0, eq), AttrCase);
  Output += "=\"";
  AppendAttrValueXML(Output, value);
  Output += '"';
}

void THTML2XMLConvertor::ParserStartTag(TXMLParser& sender, const std::string& name,
                                        const std::vector<std::string>& attributes, bool empty) {
  std::string written = CasedName(name, TagCase);
  Output += '<';
  Output += written;
  const bool stays = !empty && !IsSingleton(name);
  if (stays && FixMismatch) Stack.push_back(std::move(written));
  for (const std::string& entry : attributes) AppendAttribute(entry);
  Output += stays ? ">" : "/>";
  MarkupEnd(sender);
}

void THTML2XMLConvertor::ParserEndTag(TXMLParser& sender, const std::string& name) {
  const std::string written = CasedName(name, TagCase);
  if (!FixMismatch || written == (Stack.empty() ? std::string() : Stack.back())) {
    if (FixMismatch && !Stack.empty()) Stack.pop_back();
    Output += "</";
    Output += written;
    Output += '>';
  } else {
    Output += "<!--- /";
    Output += written;
    Output += " -->";
  }
  MarkupEnd(sender);
}

void THTML2XMLConvertor::ParserText(TXMLParser&, const std::string& text) {
  AppendTextXML(Output, text, false);
}

void THTML2XMLConvertor::ParserComment(TXMLParser& sender, const std::string& comment) {
  Output += comment;
  MarkupEnd(sender);
}

void THTML2XMLConvertor::ParserDecl(TXMLParser& sender, const std::string& name, const std::string& body) {
  Output += "<!";
  Output += name;
  Output += ' ';
  Output += body;
  Output += " >";
  MarkupEnd(sender);
}

void THTML2XMLConvertor::ParserPI(TXMLParser& sender, const std::string& target, const std::string& data) {
  Output += "<?";
  Output += target;
  Output += ' ';
  Output += data;
  Output += " ?>";
  MarkupEnd(sender);
}
