#include "model/TFileType.h"

#include <climits>
#include <filesystem>
#include <utility>

#include "model/AttributeList.h"
#include "model/XMLEscape.h"
#include "resource/AtomicFile.h"
#include "resource/ProgramFile.h"
#include "xmlparse/TXMLParser.h"

namespace {

const char* const CRLF = "\r\n";

std::string Attr(const char* name, const std::string& value)
{
  return std::string(name) + "=\"" + XMLEscapeAttr(value) + "\"";
}

bool IsDigit(char c)
{
  return c >= '0' && c <= '9';
}

// A decimal number: optional sign, digits with an optional fraction, an
// optional exponent. nonZero tells whether any digit of the mantissa is not 0.
bool IsDecimalNumber(const std::string& text, bool& nonZero)
{
  std::size_t i = 0, n = text.size();
  nonZero = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  bool digits = false;
  for (; i < n && IsDigit(text[i]); ++i) digits = true, nonZero |= text[i] != '0';
  if (i < n && text[i] == '.')
    for (++i; i < n && IsDigit(text[i]); ++i) digits = true, nonZero |= text[i] != '0';
  if (!digits) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    if (i >= n || !IsDigit(text[i])) return false;
    while (i < n && IsDigit(text[i])) ++i;
  }
  return i == n;
}

// "true"/"false" in any case, or a number (non-zero is on); anything else off.
bool ReadBoolean(const std::string& text)
{
  if (SameTextAscii(text, "true")) return true;
  if (SameTextAscii(text, "false")) return false;
  bool nonZero = false;
  return IsDecimalNumber(text, nonZero) && nonZero;
}

// A decimal 32-bit integer with an optional sign; anything else gives 0.
std::int32_t ReadInteger(const std::string& text)
{
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return 0;
  long long value = 0;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return 0;
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) return 0;
  }
  if (negative) value = -value;
  if (value > INT_MAX || value < INT_MIN) return 0;
  return static_cast<std::int32_t>(value);
}

}  // namespace

TFileType::TFileType(std::string configFile)
    : ConfigFile(std::move(configFile)), Schema(std::make_unique<TAutoCompleteSchema>())
{
}

void TFileType::LoadFromFile()
{
  LoadDefinition();
  LoadSchema();
}

bool TFileType::LoadDefinition()
{
  return Parse(ReadWholeFile(ConfigFile));
}

std::string TFileType::GetSchemaFile() const
{
  std::size_t slash = ConfigFile.rfind('/');
  std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  std::size_t dot = ConfigFile.rfind('.');
  if (dot == std::string::npos || dot < nameStart) return ConfigFile + ".pvcs";
  return ConfigFile.substr(0, dot) + ".pvcs";
}

void TFileType::LoadSchema()
{
  auto schema = std::make_unique<TAutoCompleteSchema>();
  if (AutoComplete) {
    std::error_code ec;
    // Anything at that path counts: a folder there is reported as unreadable.
    const std::string path = GetSchemaFile();
    if (std::filesystem::exists(path, ec)) schema->LoadFromFile(path);
  }
  Schema = std::move(schema);
}

void TFileType::SaveToFile() const
{
  WriteFileAtomically(ConfigFile, GetXML());
}

std::string TFileType::GetXML() const
{
  std::string text = "<filetype";
  text += CRLF;
  text += "  " + Attr("id", Id) + " " + Attr("title", Title) + CRLF;
  text += "  " + Attr("mimetype", MimeType) + " " + Attr("filter", Filter) + CRLF;
  text += "  " + Attr("preview1", Preview1) + CRLF;
  text += "  " + Attr("preview2", Preview2) + CRLF;
  text += "  " + Attr("preview3", Preview3) + CRLF;
  text += "  " + Attr("helpfile", HelpFile) + CRLF;
  text += "  " + Attr("newfilename", NewFileName) + CRLF;
  text += "  " + Attr("highlighter", Highlighter) + CRLF;
  text += "  " + Attr("autocomplete", AutoComplete ? "True" : "False") + CRLF;
  text += "  " + Attr("index", std::to_string(Index)) + CRLF;
  text += "/>";
  text += CRLF;
  return text;
}

bool TFileType::Parse(const std::string& text)
{
  FoundTag_ = false;
  TXMLParser parser;
  parser.OnStartTag = [this](TXMLParser& sender, const std::string& name,
                             const std::vector<std::string>& attributes, bool empty) {
    ParserStartTag(sender, name, attributes, empty);
  };
  parser.Parse(text);
  return FoundTag_;
}

void TFileType::ParserStartTag(TXMLParser&, const std::string& name,
                               const std::vector<std::string>& attributes, bool)
{
  if (name != "filetype") return;
  FoundTag_ = true;
  auto value = [&attributes](const char* attrName) { return XMLDecode(GetAttribute(attributes, attrName)); };
  Id = value("id");
  Title = value("title");
  MimeType = value("mimetype");
  Filter = value("filter");
  Preview1 = value("preview1");
  Preview2 = value("preview2");
  Preview3 = value("preview3");
  HelpFile = value("helpfile");
  SetHighlighter(value("highlighter"));
  AutoComplete = ReadBoolean(value("autocomplete"));
  NewFileName = value("newfilename");
  Index = ReadInteger(value("index"));
}

std::string TFileType::GetDefaultExt() const
{
  const std::string pattern = Filter.substr(0, Filter.find(';'));
  std::size_t dot = pattern.rfind('.');
  if (dot == std::string::npos) return std::string();
  std::size_t separator = pattern.find_last_of("\\:/");
  if (separator != std::string::npos && separator > dot) return std::string();
  return pattern.substr(dot);
}

std::string TFileType::GetHelpFile() const
{
  if (HelpFile.empty() || HelpFile.find(':') != std::string::npos || HelpFile[0] == '/' || HelpFile[0] == '\\')
    return HelpFile;
  return ProgramFolder() + HelpFile;
}

void TFileType::SetHighlighter(const std::string& name)
{
  Highlighter = name;
}
