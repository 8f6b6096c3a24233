#pragma once
// Event parser for XML and HTML text, built on the table-driven lexer. It
// reports start tags with attributes, end tags, text, comments, declarations
// and processing instructions; it reports no errors and decodes no entities.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "xmlparse/TZevLex.h"

class TXMLParser : public TZevLex {
public:
  // Option flags.
  static constexpr unsigned poEmptyTag = 1;      // an empty-element tag is one start-tag event, Empty true
  static constexpr unsigned poTagWhitespace = 2; // whitespace inside tags goes into Attributes as "=" + run

  using TStartTagEvent = std::function<void(TXMLParser& sender, const std::string& name,
                                            const std::vector<std::string>& attributes, bool empty)>;
  using TNameEvent = std::function<void(TXMLParser& sender, const std::string& name)>;
  using TTextEvent = std::function<void(TXMLParser& sender, const std::string& text)>;
  using TPairEvent = std::function<void(TXMLParser& sender, const std::string& name, const std::string& body)>;

  TXMLParser();

  std::string Name;
  std::string AttrName;
  std::vector<std::string> Attributes;
  std::string Text;
  std::string Body;
  unsigned Options = 0;  // set before Parse

  TStartTagEvent OnStartTag;
  TNameEvent OnEndTag;
  TTextEvent OnText;
  TTextEvent OnComment;
  TPairEvent OnDecl;
  TPairEvent OnPI;

  // Convenience: Stream := text, Position := 0, then Execute.
  void Parse(std::string_view text);

  void Action(TState& state) override;
  void Reset() override;
  // False for the tokens Action passes over: "=" in a tag, and whitespace in
  // tags unless Options has poTagWhitespace when the parse starts. True for
  // every state in a subclass, whose Action may want them all.
  bool Acts(const TState& state) const override;

  // Event operations: each fires its event when assigned, then clears what it
  // reported (DoStartTag keeps Name for an end-tag event that follows at once).

  virtual void DoStartTag(bool empty);
  virtual void DoEndTag();
  virtual void FlushText();
  virtual void DoComment();
  virtual void DoDecl();
  virtual void DoPI();

private:
  void BuildStates();
  void AddBareAttrName();
  void AddAttribute(std::string_view value);
  void AddWhitespace(std::string_view run);
  std::string& NewAttribute();
  void ClearAttributes();

  // Strings of attribute entries reported before, kept for their buffers
  // once an entry too long to be held inside a string has come up; until
  // then entries are built in place.
  std::vector<std::string> SpareAttributes;
  bool PoolEntries = false;
  // The longest entry a string holds inside itself, without a buffer of its
  // own (15 bytes in libstdc++; only a matter of speed elsewhere).
  static constexpr std::size_t kShortEntry = 15;
};
