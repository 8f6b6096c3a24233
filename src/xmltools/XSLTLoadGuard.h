#pragma once
// Stands in front of libxslt's document loader while it lives, so that the
// entity loader knows who names what libxslt loads: an included or imported
// stylesheet is named by the module that holds the include or import (for
// certain), a document() source by the module whose instruction runs and by
// whatever the run has read (its address is computed). Every module loaded
// is recorded with the origins of the modules that brought it in and its own.
// Also libxslt's check of local file reads: document() reads a local file
// only while the run has read nothing from the network.

#include <libxslt/documents.h>
#include <libxslt/security.h>

#include <map>
#include <string>

#include "xmltools/XMLReadPolicy.h"

class XSLTLoadGuard {
public:
  // The origins of stylesheet modules, by the URL of their documents.
  using Modules = std::map<std::string, XMLReadPolicy::Origins>;

  explicit XSLTLoadGuard(Modules& modules);
  ~XSLTLoadGuard();
  XSLTLoadGuard(const XSLTLoadGuard&) = delete;
  XSLTLoadGuard& operator=(const XSLTLoadGuard&) = delete;

  // libxslt's XSLT_SECPREF_READ_FILE check.
  static int CheckReadFile(xsltSecurityPrefsPtr prefs, xsltTransformContextPtr context, const char* path);

private:
  static xmlDocPtr Load(const xmlChar* uri, xmlDictPtr dict, int options, void* context, xsltLoadType type);
  XMLReadPolicy::Origins OriginsOfModule(const xmlDoc* module) const;

  Modules& Known;
  xsltDocLoaderFunc Previous;
  XSLTLoadGuard* Outer;
};
