#include "model/TConfigInfo.h"

#include <stdexcept>

#include "model/AttributeList.h"
#include "model/EConvertError.h"
#include "model/IntegerText.h"
#include "model/XMLEscape.h"
#include "xmlparse/TXMLParser.h"

namespace {

const char* const CRLF = "\r\n";

std::string Attr(const char* name, const std::string& value)
{
  return std::string(" ") + name + "=\"" + XMLEscapeAttr(value) + "\"";
}

std::string BoolText(bool value)
{
  return value ? "true" : "false";
}

}  // namespace

// Reads the start tags of one configuration text into a configuration.
class TConfigInfo::TReader {
public:
  TReader(TConfigInfo& config, const TValueErrorEvent* onError) : Config(config), OnError(onError) {}

  void ParserStartTag(const std::string& name, const std::vector<std::string>& attributes)
  {
    Attributes = &attributes;
    if (name == "gutter") ReadGutter();
    else if (name == "editor") ReadEditor();
    else if (name == "shortcuts") Config.ClearShortcuts();
    else if (name == "shortcut") ReadShortcut();
  }

private:
  TConfigInfo& Config;
  const TValueErrorEvent* OnError;
  const std::vector<std::string>* Attributes = nullptr;
  const char* Element = "";

  std::string Value(const char* attribute) const { return XMLDecode(GetAttribute(*Attributes, attribute)); }

  // Raises the failure, or hands it to the error event when there is one.
  void Fail(const char* attribute, const std::exception& e) const
  {
    if (!OnError || !*OnError) throw;
    (*OnError)(Element, attribute, e.what());
  }

  void ReadColor(const char* attribute, TColor& color) const
  {
    try {
      color = StringToColor(Value(attribute));
    } catch (const EConvertError& e) {
      Fail(attribute, e);
    }
  }

  // A missing or non-numeric value gives fallback; one that is there but no
  // integer is also reported to the error event, when there is one.
  std::int32_t ReadInteger(const char* attribute, std::int32_t fallback) const
  {
    const std::string text = Value(attribute);
    std::int32_t value = 0;
    if (TryStrToInt(text, value)) return value;
    if (!text.empty() && OnError && *OnError) (*OnError)(Element, attribute, "'" + text + "' is not a valid integer value.");
    return fallback;
  }

  void ReadFont(TConfigFont& font) const
  {
    ReadColor("font-color", font.Color);
    font.Size = ReadInteger("font-size", 6);
    font.Style = TextToFontStyle(Value("font-style"));
    std::string fontName = Value("font-name");
    if (!fontName.empty()) font.SetName(fontName);
  }

  void ReadGutter()
  {
    Element = "gutter";
    Config.GutterVisible = Value("visible") == "true";
    Config.GutterAutoSize = Value("autosize") == "true";
    Config.GutterLineNumbers = Value("linenumbers") == "true";
    Config.GutterStartAtZero = Value("startatzero") == "true";
    Config.GutterLeadingZeros = Value("leadingzeros") == "true";
    ReadColor("color", Config.GutterColor);
    ReadFont(Config.GutterFont);
  }

  void ReadEditor()
  {
    Element = "editor";
    ReadColor("background-color", Config.BackgroundColor);
    ReadFont(Config.EditorFont);
    Config.TabWidth = ReadInteger("tabwidth", 8);
    Config.RightEdgeColumn = ReadInteger("rightedgecolumn", 80);
    ReadColor("rightedgecolor", Config.RightEdgeColor);
    ReadColor("selectedcolor", Config.SelectedColor);
    ReadColor("selectedbackground", Config.SelectedBackground);
  }

  // A "syn-" command names an editor command by its hexadecimal number.
  std::string ReadCommand() const
  {
    std::string command = Value("command");
    if (command.compare(0, 4, "syn-") != 0) return command;
    std::string digits = command.substr(4);
    try {
      std::int32_t number = StrToInt("$" + digits);
      if (number < 0 || number > 65535) throw ERangeError();
      std::string ident = "$" + digits;
      EditorCommandToIdent(static_cast<TEditorCommand>(number), ident);
      return ident;
    } catch (const std::runtime_error& e) {
      Fail("command", e);
      return command;
    }
  }

  void ReadShortcut()
  {
    Element = "shortcut";
    std::string command = ReadCommand();
    TShortcutItem& item = Config.AddShortcut();
    item.Command = command;
    item.SetKeyText(Value("key"));
    item.SetKey2Text(Value("key2"));
  }
};

TConfigInfo::TConfigInfo(const TConfigInfo& source)
{
  *this = source;
}

TConfigInfo& TConfigInfo::operator=(const TConfigInfo& source)
{
  if (this == &source) return *this;
  GutterVisible = source.GutterVisible;
  GutterAutoSize = source.GutterAutoSize;
  GutterLineNumbers = source.GutterLineNumbers;
  GutterStartAtZero = source.GutterStartAtZero;
  GutterLeadingZeros = source.GutterLeadingZeros;
  GutterColor = source.GutterColor;
  GutterFont = source.GutterFont;
  BackgroundColor = source.BackgroundColor;
  EditorFont = source.EditorFont;
  TabWidth = source.TabWidth;
  RightEdgeColumn = source.RightEdgeColumn;
  RightEdgeColor = source.RightEdgeColor;
  SelectedColor = source.SelectedColor;
  SelectedBackground = source.SelectedBackground;
  Shortcuts.clear();
  for (const auto& item : source.Shortcuts) Shortcuts.push_back(std::make_unique<TShortcutItem>(*item));
  return *this;
}

std::string TConfigInfo::GetXML() const
{
  std::string text = std::string("<config>") + CRLF;
  text += "<gutter" + Attr("visible", BoolText(GutterVisible)) + Attr("autosize", BoolText(GutterAutoSize)) +
          Attr("linenumbers", BoolText(GutterLineNumbers)) + Attr("startatzero", BoolText(GutterStartAtZero)) +
          Attr("leadingzeros", BoolText(GutterLeadingZeros)) + Attr("color", ColorToString(GutterColor)) +
          Attr("font-color", ColorToString(GutterFont.Color)) +
          Attr("font-size", std::to_string(GutterFont.Size)) +
          Attr("font-style", FontStyleToText(GutterFont.Style)) + Attr("font-name", GutterFont.GetName()) + " />" +
          CRLF;
  text += "<editor" + Attr("background-color", ColorToString(BackgroundColor)) +
          Attr("tabwidth", std::to_string(TabWidth)) + Attr("rightedgecolumn", std::to_string(RightEdgeColumn)) +
          Attr("rightedgecolor", ColorToString(RightEdgeColor)) +
          Attr("font-color", ColorToString(EditorFont.Color)) +
          Attr("font-size", std::to_string(EditorFont.Size)) +
          Attr("font-style", FontStyleToText(EditorFont.Style)) + Attr("font-name", EditorFont.GetName()) +
          Attr("selectedcolor", ColorToString(SelectedColor)) +
          Attr("selectedbackground", ColorToString(SelectedBackground)) + " />" + CRLF;
  text += std::string("<shortcuts>") + CRLF;
  for (const auto& item : Shortcuts) {
    text += "  <shortcut" + Attr("key", item->GetKeyText()) + Attr("key2", item->GetKey2Text()) +
            Attr("command", item->Command) + "/>" + CRLF;
  }
  text += std::string("</shortcuts>") + CRLF;
  text += std::string("</config>") + CRLF;
  return text;
}

void TConfigInfo::Parse(const std::string& text)
{
  Parse(text, TValueErrorEvent());
}

void TConfigInfo::Parse(const std::string& text, const TValueErrorEvent& onError)
{
  TReader reader(*this, &onError);
  TXMLParser parser;
  parser.OnStartTag = [&reader](TXMLParser&, const std::string& name, const std::vector<std::string>& attributes,
                                bool) { reader.ParserStartTag(name, attributes); };
  parser.Parse(text);
}

TShortcutItem* TConfigInfo::GetShortcut(int index) const
{
  if (index < 0 || index >= ShortcutCount()) return nullptr;
  return Shortcuts[static_cast<std::size_t>(index)].get();
}

TShortcutItem& TConfigInfo::AddShortcut()
{
  Shortcuts.push_back(std::make_unique<TShortcutItem>());
  return *Shortcuts.back();
}

bool TConfigInfo::operator==(const TConfigInfo& other) const
{
  if (GutterVisible != other.GutterVisible || GutterAutoSize != other.GutterAutoSize ||
      GutterLineNumbers != other.GutterLineNumbers || GutterStartAtZero != other.GutterStartAtZero ||
      GutterLeadingZeros != other.GutterLeadingZeros || GutterColor != other.GutterColor ||
      GutterFont != other.GutterFont || BackgroundColor != other.BackgroundColor || EditorFont != other.EditorFont ||
      TabWidth != other.TabWidth || RightEdgeColumn != other.RightEdgeColumn ||
      RightEdgeColor != other.RightEdgeColor || SelectedColor != other.SelectedColor ||
      SelectedBackground != other.SelectedBackground || Shortcuts.size() != other.Shortcuts.size())
    return false;
  for (std::size_t i = 0; i < Shortcuts.size(); ++i) {
    const TShortcutItem& a = *Shortcuts[i];
    const TShortcutItem& b = *other.Shortcuts[i];
    if (a.Key != b.Key || a.Key2 != b.Key2 || a.Command != b.Command) return false;
  }
  return true;
}
