#include "xmltools/TXMLChecker.h"

#include <libxml/uri.h>
#include <libxml/xmlreader.h>
#include <libxml/xmlschemas.h>

#include <cctype>
#include <climits>
#include <memory>
#include <sstream>
#include <utility>
#include <vector>

#include "model/XMLEscape.h"
#include "resource/TWorkProgress.h"
#include "xmltools/EXMLError.h"
#include "xmltools/XMLEntityLoader.h"
#include "xmltools/XMLErrorCapture.h"
#include "xmltools/XMLTextEncoding.h"
#include "xmltools/XMLTextFeed.h"

namespace {

const char* const kSchemaInstanceNamespace = "http://www.w3.org/2001/XMLSchema-instance";

struct ReaderDeleter {
  void operator()(xmlTextReaderPtr reader) const { xmlFreeTextReader(reader); }
};
using ReaderPtr = std::unique_ptr<xmlTextReader, ReaderDeleter>;

struct SchemaDeleter {
  void operator()(xmlSchemaPtr schema) const { xmlSchemaFree(schema); }
};
using SchemaPtr = std::unique_ptr<xmlSchema, SchemaDeleter>;

struct SchemaParserDeleter {
  void operator()(xmlSchemaParserCtxtPtr context) const { xmlSchemaFreeParserCtxt(context); }
};

struct ParserDeleter {
  void operator()(xmlParserCtxtPtr context) const { xmlFreeParserCtxt(context); }
};

struct DocDeleter {
  void operator()(xmlDocPtr doc) const { xmlFreeDoc(doc); }
};

// What the prolog and the root element say about the definitions to validate against.
struct DocumentReferences {
  bool HasDoctype = false;
  int RootLine = 0;
  std::vector<std::pair<std::string, std::string>> Schemas;  // namespace ("" none), location
};

ReaderPtr NewReader(const std::string& xml, const std::string& base, int options)
{
  return ReaderPtr(xmlReaderForMemory(xml.data(), static_cast<int>(xml.size()), base.c_str(), nullptr, options));
}

std::string TakeString(xmlChar* text)
{
  if (text == nullptr) return std::string();
  std::string result(reinterpret_cast<const char*>(text));
  xmlFree(text);
  return result;
}

std::string RootAttribute(xmlTextReaderPtr reader, const char* name)
{
  return TakeString(xmlTextReaderGetAttributeNs(reader, reinterpret_cast<const xmlChar*>(name),
                                                reinterpret_cast<const xmlChar*>(kSchemaInstanceNamespace)));
}

void ReadSchemaAttributes(xmlTextReaderPtr reader, DocumentReferences& refs)
{
  refs.RootLine = xmlGetLineNo(xmlTextReaderCurrentNode(reader));
  std::string noNamespace = RootAttribute(reader, "noNamespaceSchemaLocation");
  if (!noNamespace.empty()) refs.Schemas.emplace_back(std::string(), noNamespace);
  std::istringstream pairs(RootAttribute(reader, "schemaLocation"));
  std::string ns, location;
  while (pairs >> ns >> location) refs.Schemas.emplace_back(ns, location);
}

// Reads the prolog and the root start-tag only, without loading anything.
DocumentReferences ScanReferences(const std::string& xml, const std::string& base)
{
  DocumentReferences refs;
  XMLErrorCapture quiet;  // the full read reports the errors
  ReaderPtr reader = NewReader(xml, base, 0);
  while (reader && xmlTextReaderRead(reader.get()) == 1) {
    int type = xmlTextReaderNodeType(reader.get());
    if (type == XML_READER_TYPE_DOCUMENT_TYPE) refs.HasDoctype = true;
    if (type == XML_READER_TYPE_ELEMENT) {
      ReadSchemaAttributes(reader.get(), refs);
      break;
    }
  }
  return refs;
}

std::string ResolveAgainst(const std::string& reference, const std::string& base)
{
  xmlChar* uri = xmlBuildURI(reinterpret_cast<const xmlChar*>(reference.c_str()),
                             reinterpret_cast<const xmlChar*>(base.c_str()));
  return uri != nullptr ? TakeString(uri) : reference;
}

// One schema that includes the no-namespace schema and imports every
// namespace's schema the root element names.
std::string SchemaWrapper(const DocumentReferences& refs, const std::string& base)
{
  std::string text = "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">\n";
  for (const auto& [ns, location] : refs.Schemas) {
    std::string where = XMLEscapeAttr(ResolveAgainst(location, base));
    if (ns.empty())
      text += "<xs:include schemaLocation=\"" + where + "\"/>\n";
    else
      text += "<xs:import namespace=\"" + XMLEscapeAttr(ns) + "\" schemaLocation=\"" + where + "\"/>\n";
  }
  return text + "</xs:schema>\n";
}

// The target namespace of the schema at url ("" when it has none); false
// when the schema cannot be read, the reason being left in the capture.
bool ReadTargetNamespace(const std::string& url, std::string& targetNamespace)
{
  std::unique_ptr<xmlParserCtxt, ParserDeleter> parser(xmlNewParserCtxt());
  if (!parser) return false;
  std::unique_ptr<xmlDoc, DocDeleter> doc(xmlCtxtReadFile(parser.get(), url.c_str(), nullptr, XML_PARSE_NOENT));
  xmlNodePtr root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
  if (root == nullptr) return false;
  targetNamespace = TakeString(xmlGetProp(root, reinterpret_cast<const xmlChar*>("targetNamespace")));
  return true;
}

std::string NamespaceMismatch(const std::string& location, const std::string& named, const std::string& target)
{
  std::string reason = "The XML schema \"" + location + "\" has " +
                       (target.empty() ? "no target namespace" : "the target namespace \"" + target + "\"");
  if (named.empty()) return reason + ", but xsi:noNamespaceSchemaLocation names it for elements in no namespace";
  return reason + ", but xsi:schemaLocation names it for the namespace \"" + named + "\"";
}

// True when the encoding that a declaration names is one of the encoding
// form that the byte order mark stands for.
bool MarkFitsDeclaration(const XMLMarkedEncoding& marked)
{
  std::string declared = marked.Declared;
  for (char& c : declared) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (marked.Mark == "UTF-8") return declared == "UTF-8" || declared == "UTF8";
  if (marked.Mark == "UTF-16")
    return declared.rfind("UTF-16", 0) == 0 || declared == "ISO-10646-UCS-2" || declared == "UCS-2";
  return declared.rfind("UTF-32", 0) == 0 || declared == "ISO-10646-UCS-4" || declared == "UCS-4";
}

class CheckRun {
public:
  CheckRun(const std::string& xml, bool validate, const std::string& base, const std::string& origin)
      : XML(xml), Validate(validate), Base(DocumentBaseURL(base))
  {
    Loader.SetTopLevel(Base, xml.size(), origin);
  }
  void Run();

private:
  void CheckEncodingDeclaration();
  void CheckSchemaNamespaces();
  void LoadSchema();
  int ReadOptions() const;
  void Read();
  void ReadPastValidityErrors();
  bool CountAttributes(xmlTextReaderPtr reader);
  [[noreturn]] void RaiseFirstError(int fallbackLine = 0);

  const std::string& XML;
  const bool Validate;
  const std::string Base;
  XMLEntityLoader Loader;
  XMLErrorCapture Capture;
  DocumentReferences Refs;
  SchemaPtr Schema;
};

void CheckRun::Run()
{
  if (XML.size() > static_cast<std::size_t>(INT_MAX)) throw EXMLError("The text is too large to be checked.");
  CheckEncodingDeclaration();
  if (Validate) {
    Refs = ScanReferences(XML, Base);
    if (!Refs.Schemas.empty()) {
      Loader.SchemaPhase = true;
      LoadSchema();
      Loader.SchemaPhase = false;
    }
  }
  Read();
  if (Capture.Failed()) RaiseFirstError();
  if (Validate && !Refs.HasDoctype && !Schema)
    throw EXMLError("The document names neither a DTD nor an XML schema, so its validity cannot be checked.");
}

// A text must be in the encoding its declaration names; where a byte order
// mark says otherwise, libxml2 follows the mark without a word.
void CheckRun::CheckEncodingDeclaration()
{
  XMLMarkedEncoding marked = ReadMarkedEncoding(XML);
  if (marked.Declared.empty() || MarkFitsDeclaration(marked)) return;
  Capture.Add("The text begins with a " + marked.Mark +
                  " byte order mark, but its XML declaration names the encoding " + marked.Declared,
              std::string(), 1);
  RaiseFirstError();
}

// Each schema must be one for the namespace that the document names it for:
// libxml2 reports a mismatch, if at all, by an internal error or an element
// it finds no declaration for.
void CheckRun::CheckSchemaNamespaces()
{
  for (const auto& [ns, location] : Refs.Schemas) {
    std::string target;
    if (!ReadTargetNamespace(ResolveAgainst(location, Base), target)) {
      if (!Capture.Failed()) Capture.Add("The XML schema \"" + location + "\" could not be read", std::string(), 0);
      RaiseFirstError(Refs.RootLine);
    }
    if (target != ns) {
      Capture.Add(NamespaceMismatch(location, ns, target), std::string(), Refs.RootLine);
      RaiseFirstError();
    }
  }
}

void CheckRun::LoadSchema()
{
  CheckSchemaNamespaces();
  std::string wrapper = SchemaWrapper(Refs, Base);
  std::unique_ptr<xmlSchemaParserCtxt, SchemaParserDeleter> parser(
      xmlSchemaNewMemParserCtxt(wrapper.data(), static_cast<int>(wrapper.size())));
  if (parser) Schema.reset(xmlSchemaParse(parser.get()));
  if (!Schema && !Capture.Failed()) Capture.Add("The XML schema could not be loaded", std::string(), 0);
  if (Capture.Failed()) RaiseFirstError(Refs.RootLine);
}

int CheckRun::ReadOptions() const
{
  int options = XML_PARSE_NOENT | XML_PARSE_DTDLOAD | XML_PARSE_DTDATTR;
  if (Validate && Refs.HasDoctype) options |= XML_PARSE_DTDVALID;
  return options;
}

void CheckRun::Read()
{
  Capture.WellFormednessOnly = !Validate;
  XMLTextFeed feed(XML);
  ReaderPtr reader(XML.empty() ? nullptr
                               : xmlReaderForIO(XMLTextFeed::Read, nullptr, &feed, Base.c_str(), nullptr, ReadOptions()));
  if (!reader) {
    Capture.Add(XML.empty() ? "Document is empty" : "The text cannot be read", std::string(), 1);
    return;
  }
  if (Schema && xmlTextReaderSetSchema(reader.get(), Schema.get()) != 0)
    Capture.Add("The XML schema cannot be used for validation", std::string(), 1);
  Capture.MainTextLine = [r = reader.get()] { return xmlTextReaderGetParserLineNumber(r); };
  Loader.Hooks.CountingReader = reader.get();
  int result = 1;
  while (!Capture.Failed() && (result = xmlTextReaderRead(reader.get())) == 1 && CountAttributes(reader.get())) {
  }
  Capture.MainTextLine = nullptr;
  Loader.Hooks.ForgetContexts();  // the reader's go with it
  Loader.Hooks.CountingReader = nullptr;
  feed.ThrowIfCancelled();
  if (result >= 0 || Capture.Failed()) return;
  if (Capture.StoppedAtValidityError())
    ReadPastValidityErrors();
  else
    Capture.Add("The text cannot be read", std::string(), 0);
}

// The bytes of the attribute values of the element just read, defaults
// included, go to the loader's count; false (the error recorded) once they
// come to far more than the text and its definitions.
bool CheckRun::CountAttributes(xmlTextReaderPtr reader)
{
  xmlNodePtr node = xmlTextReaderCurrentNode(reader);
  if (node == nullptr || node->type != XML_ELEMENT_NODE || node->properties == nullptr) return true;
  std::size_t bytes = 0;
  for (xmlAttrPtr attribute = node->properties; attribute != nullptr; attribute = attribute->next)
    for (xmlNodePtr part = attribute->children; part != nullptr; part = part->next)
      if (part->content != nullptr) bytes += static_cast<std::size_t>(xmlStrlen(part->content));
  if (Loader.Hooks.AddAttributeBytes(bytes)) return true;
  Capture.Add(Loader.Hooks.Refusal(), std::string(), xmlTextReaderGetParserLineNumber(reader));
  return false;
}

// The stream reader ends at an error that libxml2 treats as fatal even where
// it only breaks validity; the text is read again, as a whole, by a parser
// that goes on past it.
void CheckRun::ReadPastValidityErrors()
{
  Capture.Clear();
  std::unique_ptr<xmlParserCtxt, ParserDeleter> parser(xmlNewParserCtxt());
  if (!parser) return;
  XMLParseHooks::Attach(parser.get());
  Capture.MainTextLine = [p = parser.get()] { return p->input != nullptr ? p->input->line : 0; };
  XMLTextFeed feed(XML);
  std::unique_ptr<xmlDoc, DocDeleter> doc(xmlCtxtReadIO(parser.get(), XMLTextFeed::Read, nullptr, &feed, Base.c_str(),
                                                        nullptr, ReadOptions() | XML_PARSE_RECOVER));
  Capture.MainTextLine = nullptr;
  feed.ThrowIfCancelled();
  if (!Capture.Failed() && !Capture.StoppedAtValidityError() && !doc)
    Capture.Add("The text cannot be read", std::string(), 0);
}

void CheckRun::RaiseFirstError(int fallbackLine)
{
  TWorkProgress::CheckCurrent();  // a load the cancel broke off is no error of the document
  XMLErrorRecord error = Capture.FirstError();
  if (error.Line == 0 && error.File.empty()) error.Line = fallbackLine;
  throw EXMLParseError(Loader.ErrorMessage(error, XML, Base), error.Line);
}

}  // namespace

bool TXMLChecker::Check()
{
  CheckRun(XML, Validate, BaseURL, Origin).Run();
  return true;
}
