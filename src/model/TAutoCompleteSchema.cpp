#include "model/TAutoCompleteSchema.h"

#include <utility>

#include "model/AttributeList.h"
#include "model/DataFileProblems.h"
#include "model/XMLEscape.h"
#include "resource/AtomicFile.h"
#include "xmlparse/TXMLParser.h"

namespace {

TAutoCompleteSchema::TErrorNotifier& Notifier()
{
  static TAutoCompleteSchema::TErrorNotifier notifier;
  return notifier;
}

}  // namespace

void TAutoCompleteSchema::SetErrorNotifier(TErrorNotifier notifier)
{
  Notifier() = std::move(notifier);
}

void TAutoCompleteSchema::NotifyError(const std::string& message)
{
  if (Notifier())
    Notifier()(message);
  else
    ReportDataProblem(message);
}

void TAutoCompleteSchema::LoadFromFile(const std::string& fileName)
{
  Parse(ReadWholeFile(fileName));
}

void TAutoCompleteSchema::Parse(const std::string& text)
{
  TXMLParser parser;
  parser.OnStartTag = [this](TXMLParser& sender, const std::string& name,
                             const std::vector<std::string>& attributes, bool empty) {
    ParserStartTag(sender, name, attributes, empty);
  };
  parser.OnEndTag = [this](TXMLParser& sender, const std::string& name) { ParserEndTag(sender, name); };
  parser.OnText = [this](TXMLParser& sender, const std::string& t) { ParserText(sender, t); };
  parser.Parse(text);
}

void TAutoCompleteSchema::ParserStartTag(TXMLParser&, const std::string& name,
                                         const std::vector<std::string>& attributes, bool)
{
  if (name == "schema") {
    ParseState = TSchemaParseState::Outside;
  } else if (name == "entity") {
    ParseState = TSchemaParseState::InEntity;
  } else if (name == "element") {
    ParseState = TSchemaParseState::InElement;
    Elements.push_back(std::make_unique<TacElement>(GetAttribute(attributes, "name"),
                                                    XMLDecode(GetAttribute(attributes, "insert-text"))));
    CurrentElement = Elements.back().get();
  } else if (name == "attribute") {
    // An entry before the first element has nothing to attach to: ignored.
    if (CurrentElement) CurrentElement->Attributes.push_back(XMLDecode(GetAttribute(attributes, "insert-text")));
  } else if (name == "child") {
    if (CurrentElement) CurrentElement->Children.push_back(GetAttribute(attributes, "name"));
  }
}

void TAutoCompleteSchema::ParserEndTag(TXMLParser&, const std::string& name)
{
  if (name == "entity") ParseState = TSchemaParseState::Outside;
}

void TAutoCompleteSchema::ParserText(TXMLParser&, const std::string& text)
{
  if (ParseState == TSchemaParseState::InEntity) Entities.push_back(text);
}

TacElement* TAutoCompleteSchema::FindElement(const std::string& name) const
{
  for (const auto& element : Elements)
    if (element->Name == name) return element.get();
  return nullptr;
}

const std::vector<std::string>& TAutoCompleteSchema::GetAttributes(const std::string& elementName)
{
  AttrResult.clear();
  if (const TacElement* element = FindElement(elementName))
    AttrResult.insert(AttrResult.end(), element->Attributes.begin(), element->Attributes.end());
  return AttrResult;
}

const std::vector<std::string>& TAutoCompleteSchema::GetChildren(const std::string& elementName)
{
  ChildResult.clear();
  const TacElement* element = FindElement(elementName);
  if (!element) return ChildResult;
  // Copy the names first: the notifier may run a message loop.
  const std::vector<std::string> children = element->Children;
  for (const std::string& childName : children) {
    if (const TacElement* child = FindElement(childName))
      ChildResult.push_back(child->InsertText);
    else
      NotifyError("error in schema: " + childName + " not found.");
  }
  return ChildResult;
}

std::vector<std::pair<std::string, std::string>> TAutoCompleteSchema::MissingChildren() const
{
  std::vector<std::pair<std::string, std::string>> missing;
  for (const auto& element : Elements)
    for (const std::string& childName : element->Children)
      if (!FindElement(childName)) missing.emplace_back(element->Name, childName);
  return missing;
}
