#include "xmltools/XMLParseHooks.h"

#include <libxml/entities.h>
#include <libxml/SAX2.h>
#include <libxml/hash.h>
#include <libxml/uri.h>

#include <algorithm>
#include <vector>

#include "xmltools/XMLEntityLoader.h"
#include "xmltools/XMLErrorCapture.h"

namespace {

// The handlers of libxml2 (or of a reader) that ours stand in front of, by
// the SAX handler they were taken from.
struct Originals {
  entityDeclSAXFunc EntityDecl = nullptr;
  startElementNsSAX2Func StartElementNs = nullptr;
};

std::map<const xmlSAXHandler*, Originals>& Registry()
{
  static std::map<const xmlSAXHandler*, Originals> registry;
  return registry;
}

// The parser context of a handler's user data: mostly the context itself,
// but a schema validator put between the parser and its handlers (a reader
// that validates against a schema) passes its own data.
xmlParserCtxtPtr ContextOf(void* ctx)
{
  XMLEntityLoader* run = XMLEntityLoader::Current();
  xmlParserCtxtPtr context = run != nullptr ? run->Hooks.ContextOfUserData(ctx) : nullptr;
  return context != nullptr ? context : static_cast<xmlParserCtxtPtr>(ctx);
}

Originals OriginalsOf(xmlParserCtxtPtr context)
{
  auto found = Registry().find(context->sax);
  return found != Registry().end() ? found->second : Originals{xmlSAX2EntityDecl, xmlSAX2StartElementNs};
}

xmlEntityPtr JustDeclared(xmlParserCtxtPtr context, const xmlChar* name, int type)
{
  if (context->myDoc == nullptr) return nullptr;
  xmlDtdPtr dtd = context->inSubset == 2 ? context->myDoc->extSubset : context->myDoc->intSubset;
  if (dtd == nullptr) return nullptr;
  bool parameter = type == XML_INTERNAL_PARAMETER_ENTITY || type == XML_EXTERNAL_PARAMETER_ENTITY;
  void* table = parameter ? dtd->pentities : dtd->entities;
  if (table == nullptr) return nullptr;
  return static_cast<xmlEntityPtr>(xmlHashLookup(static_cast<xmlHashTablePtr>(table), name));
}

// The name of the innermost external entity on context's input stack; null
// when there is none.
const char* InnermostExternal(xmlParserCtxtPtr context)
{
  for (int i = context->inputNr - 1; i >= 0; --i)
    if (context->inputTab[i] != nullptr && context->inputTab[i]->filename != nullptr)
      return context->inputTab[i]->filename;
  return nullptr;
}

// A declaration read from the text of an internal entity resolves its system
// identifier against the external entity it is read in.
void ResolveAgainstHolder(xmlParserCtxtPtr context, xmlEntityPtr entity)
{
  if (entity->SystemID == nullptr || context->input == nullptr || context->input->filename != nullptr) return;
  const char* holder = InnermostExternal(context);
  if (holder == nullptr) return;
  xmlChar* uri = xmlBuildURI(entity->SystemID, reinterpret_cast<const xmlChar*>(holder));
  if (uri == nullptr) return;
  if (entity->URI != nullptr) xmlFree(const_cast<xmlChar*>(entity->URI));
  entity->URI = uri;
}

std::size_t AttributeValueBytes(int count, const xmlChar** attributes)
{
  std::size_t bytes = 0;
  for (int i = 0; i < count; ++i) bytes += static_cast<std::size_t>(attributes[i * 5 + 4] - attributes[i * 5 + 3]);
  return bytes;
}

// The spellings under which libxml2 may hand the loader an entity's URI:
// as declared, re-serialised, or as a canonical path.
std::vector<std::string> Spellings(const std::string& uri)
{
  std::vector<std::string> spellings{uri};
  auto add = [&spellings](xmlChar* text) {
    if (text == nullptr) return;
    spellings.emplace_back(reinterpret_cast<const char*>(text));
    xmlFree(text);
  };
  add(xmlCanonicPath(reinterpret_cast<const xmlChar*>(uri.c_str())));
  add(xmlBuildURI(reinterpret_cast<const xmlChar*>(uri.c_str()), nullptr));
  return spellings;
}

}  // namespace

// The handlers put in front of libxml2's.
struct XMLParseHookHandlers {
  static void EntityDecl(void* ctx, const xmlChar* name, int type, const xmlChar* publicId, const xmlChar* systemId,
                         xmlChar* content)
  {
    xmlParserCtxtPtr context = ContextOf(ctx);
    Originals originals = OriginalsOf(context);
    if (originals.EntityDecl != nullptr) originals.EntityDecl(ctx, name, type, publicId, systemId, content);
    XMLEntityLoader* run = XMLEntityLoader::Current();
    xmlEntityPtr entity = JustDeclared(context, name, type);
    if (run != nullptr && entity != nullptr) run->Hooks.Declared(context, entity);
  }

  static void StartElementNs(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri,
                             int namespaceCount, const xmlChar** namespaces, int attributeCount, int defaulted,
                             const xmlChar** attributes)
  {
    xmlParserCtxtPtr context = ContextOf(ctx);
    XMLEntityLoader* run = XMLEntityLoader::Current();
    bool counted = run != nullptr && (run->Hooks.CountingReader == nullptr ||
                                      context->_private != run->Hooks.CountingReader);
    if (counted && !run->Hooks.AddAttributeBytes(AttributeValueBytes(attributeCount, attributes))) {
      if (XMLErrorCapture* capture = XMLErrorCapture::Current())
        capture->Add(run->Hooks.Refusal(), context->input != nullptr && context->input->filename != nullptr
                                               ? context->input->filename : "",
                     context->input != nullptr ? context->input->line : 0);
      xmlStopParser(context);
      return;
    }
    Originals originals = OriginalsOf(context);
    if (originals.StartElementNs != nullptr)
      originals.StartElementNs(ctx, localname, prefix, uri, namespaceCount, namespaces, attributeCount, defaulted,
                               attributes);
  }
};

void XMLParseHooks::Attach(xmlParserCtxtPtr context)
{
  if (context == nullptr || context->sax == nullptr) return;
  xmlSAXHandler* sax = context->sax;
  if (sax->entityDecl == XMLParseHookHandlers::EntityDecl) return;
  Registry()[sax] = Originals{sax->entityDecl, sax->startElementNs};
  XMLEntityLoader* run = XMLEntityLoader::Current();
  if (run != nullptr && context->userData != nullptr && context->userData != context)
    run->Hooks.UserData[context->userData] = context;
  sax->entityDecl = XMLParseHookHandlers::EntityDecl;
  if (sax->startElementNs != nullptr) sax->startElementNs = XMLParseHookHandlers::StartElementNs;
}

bool XMLParseHooks::Attached(xmlParserCtxtPtr context)
{
  return context != nullptr && context->sax != nullptr && context->sax->entityDecl == XMLParseHookHandlers::EntityDecl;
}

void XMLParseHooks::AdoptDeclared(xmlParserCtxtPtr context, const Origins& topLevel)
{
  if (context->myDoc == nullptr || context->myDoc->intSubset == nullptr || context->inputNr < 1 ||
      context->inputTab[0]->filename == nullptr)
    return;
  struct Adoption {
    XMLParseHooks* Hooks;
    const char* Base;
    const Origins* TopLevel;
  } adoption{this, context->inputTab[0]->filename, &topLevel};
  auto adopt = [](void* payload, void* data, const xmlChar*) {
    auto* entity = static_cast<xmlEntityPtr>(payload);
    auto* into = static_cast<Adoption*>(data);
    if (!into->Hooks->Seen.emplace(entity, true).second || entity->SystemID == nullptr) return;
    xmlChar* uri = xmlBuildURI(entity->SystemID, reinterpret_cast<const xmlChar*>(into->Base));
    if (uri == nullptr) return;
    if (entity->URI != nullptr) xmlFree(const_cast<xmlChar*>(entity->URI));
    entity->URI = uri;
    for (const std::string& spelling : Spellings(reinterpret_cast<const char*>(uri)))
      into->Hooks->Declarations.emplace(spelling, *into->TopLevel);
  };
  xmlDtdPtr dtd = context->myDoc->intSubset;
  for (void* table : {dtd->entities, dtd->pentities})
    if (table != nullptr) xmlHashScan(static_cast<xmlHashTablePtr>(table), adopt, &adoption);
}

void XMLParseHooks::Declared(xmlParserCtxtPtr context, xmlEntityPtr entity)
{
  if (!Seen.emplace(entity, true).second) return;  // a later declaration of the name, which does not count
  XMLEntityLoader* run = XMLEntityLoader::Current();
  Origins origins = StackOrigins(context, run->Policy);
  ResolveAgainstHolder(context, entity);
  if (entity->URI != nullptr)
    for (const std::string& spelling : Spellings(reinterpret_cast<const char*>(entity->URI)))
      Declarations.emplace(spelling, origins);
  if (entity->content != nullptr) InternalTexts[entity->content] = origins;
}

xmlParserCtxtPtr XMLParseHooks::ContextOfUserData(const void* userData) const
{
  auto found = UserData.find(userData);
  return found != UserData.end() ? found->second : nullptr;
}

XMLParseHooks::Origins XMLParseHooks::DeclaredAt(const std::string& url) const
{
  Origins origins;
  auto range = Declarations.equal_range(url);
  for (auto it = range.first; it != range.second; ++it) origins.insert(it->second.begin(), it->second.end());
  return origins;
}

XMLParseHooks::Origins XMLParseHooks::StackOrigins(xmlParserCtxtPtr context, const XMLReadPolicy& policy) const
{
  Origins origins;
  for (int i = 0; context != nullptr && i < context->inputNr; ++i) {
    xmlParserInputPtr input = context->inputTab[i];
    if (input == nullptr) continue;
    Origins more;
    if (input->filename != nullptr) {
      more = policy.OriginsOf(input->filename);
    } else {
      auto text = InternalTexts.find(input->base);
      more = text != InternalTexts.end() ? text->second : policy.TopLevel();
    }
    origins.insert(more.begin(), more.end());
  }
  return origins;
}

bool XMLParseHooks::AddAttributeBytes(std::size_t bytes)
{
  AttributeBytes += bytes;
  return AttributeBytes <= std::max(kAttributeFloor, kAttributeRatio * InputBytes);
}

std::string XMLParseHooks::Refusal() const
{
  return "The attribute values of the elements, with the defaults the DTD gives them, come to more than " +
         std::to_string(kAttributeRatio) + " times the size of the text and its definitions (" +
         std::to_string(kAttributeFloor >> 20) + " MB at least): the text is not read further";
}
