#pragma once
// What the XML tools learn from a parse as it goes, through handlers put in
// front of libxml2's own on the parse's context:
// - every external entity declaration is recorded with the origins of the
//   resources it was read from (the chain of inputs that brought its text),
//   so that a later load of the entity can tell who named it;
// - a relative system identifier in a declaration that comes from the text
//   of an internal parameter entity resolves against the external entity
//   that holds the declaration at the point it is parsed (XML 1.0, 4.2.2);
//   libxml2 takes the parser's folder name there, which loses its last part;
// - the bytes of the elements' attribute values, defaults from the DTD
//   included, are counted against the bytes the run read, and a parse that
//   makes far more of them than it read is stopped.
// The records belong to the run of the current XMLEntityLoader.

#include <libxml/parser.h>

#include <cstddef>
#include <map>
#include <string>

#include "xmltools/XMLReadPolicy.h"

class XMLParseHooks {
public:
  using Origins = XMLReadPolicy::Origins;

  // Puts the handlers in front of those of context's SAX handler (once;
  // again after libxml2 gave the context a fresh handler).
  static void Attach(xmlParserCtxtPtr context);
  static bool Attached(xmlParserCtxtPtr context);
  // For a parse watched only from its first load on: the external entities
  // it declared before, all in its document's own text, resolve against the
  // document and count as the top-level text's.
  void AdoptDeclared(xmlParserCtxtPtr context, const Origins& topLevel);

  // The origins of the declarations of the entities whose URI is url; empty
  // when the run recorded none.
  Origins DeclaredAt(const std::string& url) const;
  // The origins of the texts on context's input stack: external entities by
  // the names they were read under, internal ones by their declarations.
  // Texts declared before the handlers were attached count as the top-level
  // text's (only a parse of the top-level text runs unhooked, up to its first
  // load).
  Origins StackOrigins(xmlParserCtxtPtr context, const XMLReadPolicy& policy) const;

  // Attribute bytes of elements counted so far, and the bytes read.
  void AddInputBytes(std::size_t bytes) { InputBytes += bytes; }
  // Counts bytes of attribute values; false once they exceed what the run
  // read by far (see kAttributeRatio), with Refusal() saying so.
  bool AddAttributeBytes(std::size_t bytes);
  std::string Refusal() const;

  // The parses of this reader count their attribute bytes themselves.
  const void* CountingReader = nullptr;

  // The parser context whose handlers get userData (when that is not the
  // context itself); nullptr when unknown. The reader that validates against
  // a schema puts the validator's data there.
  xmlParserCtxtPtr ContextOfUserData(const void* userData) const;
  // Forgets those contexts (before their parser is freed).
  void ForgetContexts() { UserData.clear(); }

  // Attribute values may add up to this many times the bytes read, and at
  // least to kAttributeFloor bytes.
  static constexpr std::size_t kAttributeRatio = 10;
  static constexpr std::size_t kAttributeFloor = std::size_t(64) << 20;

private:
  friend struct XMLParseHookHandlers;
  void Declared(xmlParserCtxtPtr context, xmlEntityPtr entity);

  std::multimap<std::string, Origins> Declarations;   // by URI
  std::map<const xmlChar*, Origins> InternalTexts;    // by the entity's content
  std::map<const void*, bool> Seen;                   // entities recorded
  std::map<const void*, xmlParserCtxtPtr> UserData;   // contexts by their handlers' user data
  std::size_t InputBytes = 0;
  std::size_t AttributeBytes = 0;
};
