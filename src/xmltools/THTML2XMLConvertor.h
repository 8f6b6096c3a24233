#pragma once
// Rewrites HTML text as XML text: runs the event parser over the input and
// writes every event back out, changing only what XML needs (name case,
// empty-element syntax for tags without an end tag, quoted attribute values,
// values for bare attributes and, on request, balanced tags).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TXMLParser;

class THTML2XMLConvertor {
public:
  // Name case options (TagCase, AttrCase).
  static constexpr std::uint8_t kLowerCase = 0;
  static constexpr std::uint8_t kUpperCase = 1;  // any other value keeps names as written

  THTML2XMLConvertor();

  std::string Output;                 // the text written during a conversion
  std::uint8_t TagCase = kLowerCase;
  std::uint8_t AttrCase = kLowerCase;
  bool FixAttributes = false;         // a bare attribute gets its own name as value
  bool FixMismatch = false;           // balance tags through Stack
  std::vector<std::string> Singletons;  // tags always written as empty elements
  std::vector<std::string> Stack;       // open elements, the innermost last

  // output := the XML text for input. Output and Stack start empty for every
  // conversion; elements still open at the end are closed in output only.
  // Markup is read as ASCII bytes: a UTF-16 page (told by its byte-order
  // mark) is converted as UTF-8 and written back in UTF-16, its mark first
  // (Output then holds the UTF-8).
  void Convert(const std::string& input, std::string& output);

  // The default list of singleton tags.
  static std::vector<std::string> DefaultSingletons();

  bool IsSingleton(const std::string& name) const;
  // name in the case that nameCase selects (0 lower, 1 upper, else unchanged).
  static std::string CasedName(std::string_view name, std::uint8_t nameCase);

private:
  void ConvertText(const std::string& input, std::string& output);
  std::size_t LastMarkupEnd = 0;  // input offset right after the last reported markup

  void ParserStartTag(TXMLParser& sender, const std::string& name,
                      const std::vector<std::string>& attributes, bool empty);
  void ParserEndTag(TXMLParser& sender, const std::string& name);
  void ParserText(TXMLParser& sender, const std::string& text);
  void ParserComment(TXMLParser& sender, const std::string& comment);
  void ParserDecl(TXMLParser& sender, const std::string& name, const std::string& body);
  void ParserPI(TXMLParser& sender, const std::string& target, const std::string& data);

  void MarkupEnd(const TXMLParser& sender);
  void AppendAttribute(const std::string& entry);
  void AppendTail(std::string_view tail);
};

// Appends value as the content of a double-quoted attribute value: double
// quotes become &quot;, "<" becomes &lt; and an "&" that starts no entity or
// character reference becomes &amp;; references pass through unchanged.
void AppendAttrValueXML(std::string& out, std::string_view value);

// True when text at pos starts an entity or character reference
// ("&name;", "&#digits;", "&#xhex;").
bool StartsReference(std::string_view text, std::size_t pos);
