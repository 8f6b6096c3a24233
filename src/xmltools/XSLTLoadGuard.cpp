#include "xmltools/XSLTLoadGuard.h"

#include <libxslt/xsltInternals.h>

#include "xmltools/XMLEntityLoader.h"

namespace {

XSLTLoadGuard* CurrentGuard = nullptr;

}  // namespace

XSLTLoadGuard::XSLTLoadGuard(Modules& modules)
    : Known(modules), Previous(xsltDocDefaultLoader), Outer(CurrentGuard)
{
  CurrentGuard = this;
  xsltSetLoaderFunc(&XSLTLoadGuard::Load);
}

XSLTLoadGuard::~XSLTLoadGuard()
{
  xsltSetLoaderFunc(Previous);
  CurrentGuard = Outer;
}

int XSLTLoadGuard::CheckReadFile(xsltSecurityPrefsPtr, xsltTransformContextPtr context, const char*)
{
  if (context == nullptr) return 1;  // an include or import: the entity loader knows who names it
  XMLEntityLoader* run = XMLEntityLoader::Current();
  return run != nullptr && run->Policy.Tainted() ? 0 : 1;
}

XMLReadPolicy::Origins XSLTLoadGuard::OriginsOfModule(const xmlDoc* module) const
{
  if (module == nullptr || module->URL == nullptr) return {XMLReadPolicy::kUnknown};
  auto known = Known.find(reinterpret_cast<const char*>(module->URL));
  return known != Known.end() ? known->second : XMLReadPolicy::Origins{XMLReadPolicy::kUnknown};
}

xmlDocPtr XSLTLoadGuard::Load(const xmlChar* uri, xmlDictPtr dict, int options, void* context, xsltLoadType type)
{
  XSLTLoadGuard* guard = CurrentGuard;
  XMLEntityLoader* run = XMLEntityLoader::Current();
  XMLReadPolicy::Origins chain{XMLReadPolicy::kUnknown};
  if (run != nullptr && type == XSLT_LOAD_STYLESHEET) {
    auto* style = static_cast<xsltStylesheetPtr>(context);
    chain = guard->OriginsOfModule(style != nullptr ? style->doc : nullptr);
    run->ExpectLoad(chain, true);
  } else if (run != nullptr && type == XSLT_LOAD_DOCUMENT) {
    auto* transform = static_cast<xsltTransformContextPtr>(context);
    chain = guard->OriginsOfModule(transform != nullptr && transform->inst != nullptr ? transform->inst->doc : nullptr);
    run->ExpectLoad(chain, false);
  }
  xmlDocPtr doc = guard->Previous(uri, dict, options, context, type);
  std::string origin = run != nullptr ? run->TakeExpectedOrigin() : std::string();
  if (doc != nullptr && doc->URL != nullptr && type == XSLT_LOAD_STYLESHEET) {
    chain.insert(origin.empty() ? XMLReadPolicy::kUnknown : origin);
    guard->Known[reinterpret_cast<const char*>(doc->URL)] = chain;
  }
  return doc;
}
