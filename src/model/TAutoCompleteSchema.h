#pragma once
// The autocompletion schema of a document type, read from a ".pvcs" file:
// entities, elements with their attributes and allowed children. It only
// answers lookups; the program never writes schema files.
//
// File format (tags compared exactly, attribute names ignoring case):
//   <schema>
//     <entity>&amp;</entity>                 one entry per text run, undecoded
//     <element name="p" insert-text="&lt;p&gt;&lt;/p&gt;">
//       <attribute insert-text='class=""'/>   decoded insert text
//       <child name="b"/>                     name of another element
//     </element>
//   </schema>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/TacElement.h"

class TXMLParser;

enum class TSchemaParseState : std::uint8_t { Outside = 0, InEntity = 1, InElement = 2 };

class TAutoCompleteSchema {
public:
  // Receives "error in schema: <child> not found." from GetChildren. The user
  // interface installs a handler that shows a modal message box; the default
  // (also restored by an empty handler) logs the message through AppLog() at
  // level 3.
  using TErrorNotifier = std::function<void(const std::string& message)>;
  static void SetErrorNotifier(TErrorNotifier notifier);
  static void NotifyError(const std::string& message);

  TAutoCompleteSchema() = default;
  TAutoCompleteSchema(const TAutoCompleteSchema&) = delete;
  TAutoCompleteSchema& operator=(const TAutoCompleteSchema&) = delete;

  std::vector<std::unique_ptr<TacElement>> Elements; // file order; duplicates kept
  std::vector<std::string> Entities;                 // as written in the file
  std::vector<std::string> AttrResult;               // refilled by GetAttributes
  std::vector<std::string> ChildResult;              // refilled by GetChildren
  TacElement* CurrentElement = nullptr;              // not owned; target of attribute/child entries
  TSchemaParseState ParseState = TSchemaParseState::Outside;

  // Reads the whole file and appends its entries to what the schema holds.
  // Raises EFOpenError when the file cannot be read.
  void LoadFromFile(const std::string& fileName);
  // Reads a schema text, appending its entries.
  void Parse(const std::string& text);

  const std::vector<std::string>& GetEntities() const { return Entities; }
  // The first element whose name equals name byte-wise, or nullptr.
  TacElement* FindElement(const std::string& name) const;
  // The attribute insert texts of the element (empty for an unknown name).
  const std::vector<std::string>& GetAttributes(const std::string& elementName);
  // The insert texts of the element's children; a child name without an
  // element is reported through the error notifier and left out.
  const std::vector<std::string>& GetChildren(const std::string& elementName);

  // Every child entry that names no element, as (parent name, child name),
  // in file order (a check for loaders and tests; nothing is reported).
  std::vector<std::pair<std::string, std::string>> MissingChildren() const;

  // Event handlers of the reader.
  void ParserStartTag(TXMLParser& sender, const std::string& name,
                      const std::vector<std::string>& attributes, bool empty);
  void ParserEndTag(TXMLParser& sender, const std::string& name);
  void ParserText(TXMLParser& sender, const std::string& text);
};
