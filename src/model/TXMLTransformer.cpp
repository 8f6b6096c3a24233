#include "model/TXMLTransformer.h"

#include <libexslt/exslt.h>
#include <libxml/parser.h>
#include <libxslt/transform.h>
#include <libxslt/xslt.h>
#include <libxslt/xsltutils.h>

#include <climits>
#include <unistd.h>

#include "model/EXMLError.h"
#include "model/XMLEntityLoader.h"
#include "model/XMLErrorCapture.h"
#include "model/XSLTErrorReport.h"
#include "resource/AtomicFile.h"

namespace {

struct DocDeleter {
  void operator()(xmlDocPtr doc) const { xmlFreeDoc(doc); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocDeleter>;

struct ContextDeleter {
  void operator()(xsltTransformContextPtr context) const { xsltFreeTransformContext(context); }
};

void RegisterExtensionsOnce()
{
  static const bool registered = [] {
    exsltRegisterAll();
    return true;
  }();
  (void)registered;
}

// Makes prefs libxslt's default security preferences, which guard the loading
// of included and imported stylesheets, while it lives.
class DefaultSecurityScope {
public:
  explicit DefaultSecurityScope(xsltSecurityPrefsPtr prefs) : Previous(xsltGetDefaultSecurityPrefs())
  {
    xsltSetDefaultSecurityPrefs(prefs);
  }
  ~DefaultSecurityScope() { xsltSetDefaultSecurityPrefs(Previous); }

private:
  xsltSecurityPrefsPtr Previous;
};

struct ParserDeleter {
  void operator()(xmlParserCtxtPtr context) const { xmlFreeParserCtxt(context); }
};

// Parses text as libxslt parses its documents; any error is left in capture.
DocPtr ParseText(const std::string& text, const std::string& base, XMLErrorCapture& capture)
{
  if (text.size() > static_cast<std::size_t>(INT_MAX)) throw EXMLError("The text is too large to be transformed.");
  std::unique_ptr<xmlParserCtxt, ParserDeleter> parser(xmlNewParserCtxt());
  if (!parser) return nullptr;
  capture.MainTextLine = [p = parser.get()] { return p->input != nullptr ? p->input->line : 0; };
  DocPtr doc(xmlCtxtReadMemory(parser.get(), text.data(), static_cast<int>(text.size()), base.c_str(), nullptr,
                               XSLT_PARSE_OPTIONS));
  capture.MainTextLine = nullptr;
  return doc;
}

[[noreturn]] void RaiseParseError(const XMLErrorCapture& capture, const XMLEntityLoader& loader,
                                  const std::string& text, const std::string& base)
{
  XMLErrorRecord error = capture.Failed() ? capture.FirstError() : XMLErrorRecord{"The text cannot be read", "", 0};
  throw EXMLParseError(loader.ErrorMessage(error, text, base), error.Line);
}

// The error libxslt reported with its place in a stylesheet; failing that,
// libxml2's first error (an XPath expression), or libxslt's last words.
XMLErrorRecord StylesheetError(const XMLErrorCapture& capture, const std::string& fallback)
{
  XMLErrorRecord error = XSLTErrorReport(capture.GenericText);
  if (!error.Reason.empty()) return error;
  if (capture.Failed()) return capture.FirstError();
  std::string last = LastReportLine(capture.GenericText);
  return XMLErrorRecord{last.empty() ? fallback : fallback + ": " + last, "", 0};
}

[[noreturn]] void RaiseStylesheetError(const XMLErrorRecord& error, const XMLEntityLoader& loader,
                                       const std::string& styleText, const std::string& styleBase)
{
  if (error.Line <= 0) throw EXSLTError(error.Reason);
  throw EXSLTError(loader.ErrorMessage(error, styleText, styleBase), error.Line);
}

std::string AbsolutePath(const std::string& fileName)
{
  return !fileName.empty() && fileName[0] == '/' ? fileName : CurrentFolderPath() + fileName;
}

}  // namespace

TXMLTransformer::TXMLTransformer() : Security(xsltNewSecurityPrefs())
{
  RegisterExtensionsOnce();
  xsltSetSecurityPrefs(Security.get(), XSLT_SECPREF_WRITE_FILE, xsltSecurityForbid);
  xsltSetSecurityPrefs(Security.get(), XSLT_SECPREF_CREATE_DIRECTORY, xsltSecurityForbid);
  xsltSetSecurityPrefs(Security.get(), XSLT_SECPREF_WRITE_NETWORK, xsltSecurityForbid);
}

TXMLTransformer::~TXMLTransformer() = default;

void TXMLTransformer::SetStyleSheet(const std::string& text, const std::string& baseURL)
{
  XSLText = text;
  Template.reset();
  StyleBase = baseURL.empty() ? CurrentFolderBase() : LocalBaseURL(baseURL);
  xsltSetSecurityPrefs(Security.get(), XSLT_SECPREF_READ_FILE, IsHttpURL(StyleBase) ? xsltSecurityForbid : nullptr);
  Compile(text);
}

void TXMLTransformer::Compile(const std::string& text)
{
  XMLEntityLoader loader;
  XMLErrorCapture capture;
  DefaultSecurityScope security(Security.get());
  DocPtr doc = ParseText(text, StyleBase, capture);
  if (!doc || capture.Failed()) RaiseParseError(capture, loader, text, StyleBase);
  capture.Clear();
  xsltStylesheetPtr style = xsltParseStylesheetDoc(doc.get());
  if (style == nullptr)
    RaiseStylesheetError(StylesheetError(capture, "The text is not an XSLT stylesheet"), loader, text, StyleBase);
  doc.release();  // the stylesheet owns its document now
  Template.reset(style);
  if (style->errors != 0) {
    Template.reset();
    RaiseStylesheetError(StylesheetError(capture, "The stylesheet has errors"), loader, text, StyleBase);
  }
}

void TXMLTransformer::LoadStyleSheet(const std::string& fileName)
{
  XSLFile = fileName;
  std::string text = ReadWholeFile(fileName);
  std::string location = AbsolutePath(fileName);
  std::size_t slash = fileName.rfind('/');
  if (slash != std::string::npos) (void)::chdir(fileName.substr(0, slash + 1).c_str());
  SetStyleSheet(text, location);
}

void TXMLTransformer::Transform(const std::string& input, std::string& output)
{
  output.clear();
  if (!Template) throw EXSLTError("No stylesheet has been set: set or load a stylesheet before transforming.");
  std::string base = CurrentFolderBase();
  XMLEntityLoader loader;
  XMLErrorCapture capture;
  DocPtr doc = ParseText(input, base, capture);
  if (!doc || capture.Failed()) RaiseParseError(capture, loader, input, base);
  capture.Clear();
  DocPtr result(Apply(doc.get()));
  if (!result)
    RaiseStylesheetError(StylesheetError(capture, "The stylesheet stopped the transformation"), loader, XSLText,
                         StyleBase);
  output = Serialize(result.get());
}

// Runs the stylesheet over doc under the security preferences; nullptr when
// the transformation failed or was stopped.
xmlDocPtr TXMLTransformer::Apply(xmlDocPtr doc)
{
  std::unique_ptr<xsltTransformContext, ContextDeleter> context(xsltNewTransformContext(Template.get(), doc));
  if (!context) return nullptr;
  xsltSetCtxtSecurityPrefs(Security.get(), context.get());
  DocPtr result(xsltApplyStylesheetUser(Template.get(), doc, nullptr, nullptr, nullptr, context.get()));
  return context->state == XSLT_STATE_OK ? result.release() : nullptr;
}

// result as bytes, in the form and encoding its xsl:output names.
std::string TXMLTransformer::Serialize(xmlDocPtr result)
{
  xmlChar* bytes = nullptr;
  int size = 0;
  if (xsltSaveResultToString(&bytes, &size, result, Template.get()) != 0)
    throw EXSLTError("The result of the transformation cannot be serialized");
  std::string output;
  if (bytes != nullptr) output.assign(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
  xmlFree(bytes);
  return output;
}
