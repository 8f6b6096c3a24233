#include "xmltools/TXMLTransformer.h"

#include <libexslt/exslt.h>
#include <libxml/parser.h>
#include <libxml/uri.h>
#include <libxml/encoding.h>
#include <libxml/xpath.h>
#include <libxslt/imports.h>
#include <libxslt/transform.h>
#include <libxslt/xslt.h>
#include <libxslt/xsltutils.h>

#include <climits>
#include <exception>
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "resource/AtomicFile.h"
#include "resource/TURL.h"
#include "resource/TURLSystem.h"
#include "resource/TWorkProgress.h"
#include "resource/zevlog.h"
#include "xmltools/EXMLError.h"
#include "xmltools/XMLEntityLoader.h"
#include "xmltools/XMLErrorCapture.h"
#include "xmltools/XMLParseHooks.h"
#include "xmltools/XMLTextFeed.h"
#include "xmltools/XPathCancelWatch.h"
#include "xmltools/XSLTErrorReport.h"

namespace {

using DocPtr = TXMLTransformer::DocPtr;

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

// Parses text as libxslt parses its documents, from feed (over text); any
// error is left in capture.
DocPtr ParseText(const std::string& text, const std::string& base, XMLErrorCapture& capture, XMLTextFeed& feed)
{
  if (text.size() > static_cast<std::size_t>(INT_MAX)) throw EXMLError("The text is too large to be transformed.");
  std::unique_ptr<xmlParserCtxt, ParserDeleter> parser(xmlNewParserCtxt());
  if (!parser) return nullptr;
  XMLParseHooks::Attach(parser.get());
  capture.MainTextLine = [p = parser.get()] { return p->input != nullptr ? p->input->line : 0; };
  DocPtr doc(xmlCtxtReadIO(parser.get(), XMLTextFeed::Read, nullptr, &feed, base.c_str(), nullptr, XSLT_PARSE_OPTIONS));
  capture.MainTextLine = nullptr;
  return doc;
}

// A large document tree is made of millions of small blocks. glibc keeps
// small freed blocks apart (its fast bins) until a request of a few KB
// merges them all at once, which after such a tree costs seconds, wherever
// that request comes (also after a cancelled or failed transformation, whose
// partial trees libxml2 and libxslt free themselves). While a
// LargeTreeMemory for a large text lives, freed blocks merge as they are
// freed, for a fraction of that cost (other threads lose a little speed
// meanwhile), and a freed tree's memory goes back to the system, so that what
// is built next takes its place. Small texts are left to the defaults.
class LargeTreeMemory {
public:
  explicit LargeTreeMemory(std::size_t textSize) : Large(textSize >= kLargeText)
  {
#ifdef __GLIBC__
    if (Large) ::mallopt(M_MXFAST, 0);
#endif
  }
  ~LargeTreeMemory()
  {
#ifdef __GLIBC__
    if (!Large) return;
    ::mallopt(M_MXFAST, kDefaultFastBinLimit);
    ::malloc_trim(0);
#endif
  }
  LargeTreeMemory(const LargeTreeMemory&) = delete;
  LargeTreeMemory& operator=(const LargeTreeMemory&) = delete;

  void Free(DocPtr& doc) const
  {
    doc.reset();
#ifdef __GLIBC__
    if (Large) ::malloc_trim(0);
#endif
  }

private:
  static constexpr std::size_t kLargeText = 1u << 20;
  static constexpr int kDefaultFastBinLimit = 64 * sizeof(std::size_t) / 4;  // glibc's default
  const bool Large;
};

[[noreturn]] void RaiseParseError(const XMLErrorCapture& capture, const XMLEntityLoader& loader,
                                  const std::string& text, const std::string& base)
{
  TWorkProgress::CheckCurrent();  // a load the cancel broke off is no error of the text
  XMLErrorRecord error = capture.Failed() ? capture.FirstError() : XMLErrorRecord{"The text cannot be read", "", 0};
  throw EXMLParseError(loader.ErrorMessage(error, text, base), error.Line);
}

// The error libxslt reported with its place in a stylesheet; failing that,
// libxml2's first error (an XPath expression), or libxslt's last words.
XMLErrorRecord StylesheetError(const XMLErrorCapture& capture, const std::string& fallback)
{
  XMLErrorRecord error = XSLTErrorReport(capture.GenericText);
  // libxslt says only that an included or imported stylesheet could not be
  // loaded; the entity loader said why ("It is a named pipe, not a file.").
  if (error.Reason.find("unable to load") != std::string::npos && capture.Failed() &&
      capture.FirstError().Line == 0)
    error.Reason = capture.FirstError().Reason;
  if (!error.Reason.empty()) return error;
  if (capture.Failed()) return capture.FirstError();
  std::string last = LastReportLine(capture.GenericText);
  return XMLErrorRecord{last.empty() ? fallback : fallback + ": " + last, "", 0};
}

[[noreturn]] void RaiseStylesheetError(const XMLErrorRecord& error, const XMLEntityLoader& loader,
                                       const std::string& styleText, const std::string& styleBase)
{
  TWorkProgress::CheckCurrent();  // a load the cancel broke off is no error of the stylesheet
  if (error.Line <= 0) throw EXSLTError(error.Reason);
  throw EXSLTError(loader.ErrorMessage(error, styleText, styleBase), error.Line);
}

// True when libxslt reported an error (not a mere notice) or libxml2 or
// the entity loader recorded one.
bool HasErrors(const XMLErrorCapture& capture)
{
  return capture.Failed() || !XSLTErrorReport(capture.GenericText).Reason.empty();
}

// The stylesheet file (as the URL its document was read from) and line of
// the instruction that a transformation runs now.
void InstructionPlace(xsltTransformContextPtr context, std::string& file, int& line)
{
  xmlNodePtr instruction = context->inst;
  if (instruction == nullptr) return;
  line = static_cast<int>(xmlGetLineNo(instruction));
  if (instruction->doc != nullptr && instruction->doc->URL != nullptr)
    file = reinterpret_cast<const char*>(instruction->doc->URL);
}

// The name a log line gives a stylesheet read from url: its file name;
// empty for a text whose base is a folder.
std::string StylesheetName(const std::string& url)
{
  std::string name = url.substr(url.rfind('/') + 1);
  char* plain = xmlURIUnescapeString(name.c_str(), 0, nullptr);
  if (plain == nullptr) return name;
  name = plain;
  xmlFree(plain);
  return name;
}

// The xsl:message texts of one transformation. Each goes to the application
// log at level 2, one of the levels the log pane always shows: a
// stylesheet's messages report on the input it transforms, as the batch
// engine's level-2 lines report the files that fail a check, and would not
// be seen at a level the user has to switch on first. The last message is
// kept with its place, for a transformation that it terminates.
class StylesheetMessages {
public:
  explicit StylesheetMessages(xsltTransformContextPtr context) : Context(context) {}

  void Receive(const std::string& text)
  {
    ++Count;
    Last = XMLErrorRecord{text, std::string(), 0};
    InstructionPlace(Context, Last.File, Last.Line);
    std::string name = StylesheetName(Last.File);
    std::string place = "line " + std::to_string(Last.Line) + (name.empty() ? "" : " of " + name);
    // The log file may fail; the failure passes on once libxslt has returned.
    try {
      if (!LogFailure) AppLog().Log(2, "xsl:message (" + place + "): " + text);
    } catch (...) {
      LogFailure = std::current_exception();
    }
  }

  void RethrowLogFailure() const
  {
    if (LogFailure) std::rethrow_exception(LogFailure);
  }

  XMLErrorRecord Last;
  int Count = 0;

private:
  xsltTransformContextPtr Context;
  std::exception_ptr LogFailure;
};

// The output encoding that style names (in xsl:output, its own or an
// imported one's) when the system knows no such encoding; empty otherwise.
// libxslt would write the result in UTF-8 under the unknown name.
std::string UnknownOutputEncoding(xsltStylesheetPtr style)
{
  const xmlChar* encoding = nullptr;
  XSLT_GET_IMPORT_PTR(encoding, style, encoding)
  if (encoding == nullptr) return std::string();
  xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(reinterpret_cast<const char*>(encoding));
  if (handler == nullptr) return reinterpret_cast<const char*>(encoding);
  xmlCharEncCloseFunc(handler);
  return std::string();
}

// What libxslt's debugger hook needs to know of a transformation that the
// user may cancel.
struct CancelWatch {
  TWorkProgress* Progress;
  xsltDocumentPtr Numbered = nullptr;  // the latest document loaded by document() that has been numbered
};

// Numbers the elements of the documents that document() loaded since the
// last call: libxslt does so only while no debugger runs, and without it
// sorting their nodes in document order gets slow.
void NumberLoadedDocuments(xsltTransformContextPtr context, CancelWatch& watch)
{
  for (xsltDocumentPtr document = context->docList; document != nullptr && document != watch.Numbered;
       document = document->next)
    if (document->doc != nullptr) xmlXPathOrderDocElems(document->doc);
  watch.Numbered = context->docList;
}

// libxslt's debugger hook, which it calls before every instruction of a
// transformation whose context has a debug status (the global status stays
// "none", so no other transformation calls it): it stops the transformation
// once the user has cancelled it.
void OnInstruction(xmlNodePtr, xmlNodePtr, xsltTemplatePtr, xsltTransformContextPtr context)
{
  auto* watch = static_cast<CancelWatch*>(context->_private);
  if (watch == nullptr) return;
  if (watch->Progress->Cancelled()) context->state = XSLT_STATE_STOPPED;
  if (context->docList != watch->Numbered) NumberLoadedDocuments(context, *watch);
}

void InstallInstructionHookOnce()
{
  static const bool installed = [] {
    struct {
      xsltHandleDebuggerCallback Handler;
      xsltAddCallCallback Add;
      xsltDropCallCallback Drop;
    } callbacks{OnInstruction, nullptr, nullptr};
    return xsltSetDebuggerCallbacks(3, &callbacks) == 0;
  }();
  (void)installed;
}

// Lets the user cancel the transformation of context through the calling
// thread's work progress, when it has one.
void WatchForCancel(xsltTransformContextPtr context, CancelWatch& watch)
{
  if (watch.Progress == nullptr) return;
  InstallInstructionHookOnce();
  watch.Numbered = context->docList;
  context->_private = &watch;
  context->debugStatus = XSLT_DEBUG_CONT;
}

// Appends the bytes libxslt serializes to a string; once the user has
// cancelled the work, the next write fails, which ends the serialization.
class OutputSink {
public:
  explicit OutputSink(std::string& output) : Output(output), Progress(TWorkProgress::Current()) {}

  static int Write(void* context, const char* bytes, int length)
  {
    auto* sink = static_cast<OutputSink*>(context);
    if (sink->Progress != nullptr && sink->Progress->Cancelled()) {
      sink->Stopped = true;
      return -1;
    }
    sink->Output.append(bytes, static_cast<std::size_t>(length));
    return length;
  }

  void ThrowIfCancelled() const
  {
    if (Stopped) throw ECancelled();
  }

private:
  std::string& Output;
  TWorkProgress* const Progress;
  bool Stopped = false;
};

// The encoder of the encoding that style's xsl:output names; nullptr for
// UTF-8 or none.
xmlCharEncodingHandlerPtr OutputEncoder(xsltStylesheetPtr style)
{
  const xmlChar* encoding = nullptr;
  XSLT_GET_IMPORT_PTR(encoding, style, encoding)
  if (encoding == nullptr) return nullptr;
  xmlCharEncodingHandlerPtr encoder = xmlFindCharEncodingHandler(reinterpret_cast<const char*>(encoding));
  if (encoder != nullptr && xmlStrEqual(reinterpret_cast<const xmlChar*>(encoder->name),
                                        reinterpret_cast<const xmlChar*>("UTF-8"))) {
    xmlCharEncCloseFunc(encoder);
    return nullptr;
  }
  return encoder;
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
  xsltSetSecurityPrefs(Security.get(), XSLT_SECPREF_READ_FILE, &XSLTLoadGuard::CheckReadFile);
}

TXMLTransformer::~TXMLTransformer() = default;

void TXMLTransformer::SetStyleSheet(const std::string& text, const std::string& baseURL, const std::string& origin)
{
  XSLText = text;
  Template.reset();
  StyleBase = baseURL.empty() ? CurrentFolderBase() : LocalBaseURL(baseURL);
  StyleOrigin = origin;
  Compile(text);
}

namespace {

// The first address of a module from the network; empty when there is none.
std::string NetworkModule(const XSLTLoadGuard::Modules& modules, const std::string& base, const std::string& origin)
{
  if (IsRemoteURL(origin.empty() ? base : origin)) return origin.empty() ? base : origin;
  for (const auto& [url, origins] : modules)
    if (XMLReadPolicy::HasNetwork(origins)) return url;
  return std::string();
}

}  // namespace

void TXMLTransformer::Compile(const std::string& text)
{
  StyleModules.clear();
  StyleNetworkPart.clear();
  XMLEntityLoader loader;
  loader.SetTopLevel(StyleBase, text.size(), StyleOrigin);
  XSLTLoadGuard modules(StyleModules);
  XMLErrorCapture capture;
  DefaultSecurityScope security(Security.get());
  XMLTextFeed feed(text);
  DocPtr doc = ParseText(text, StyleBase, capture, feed);
  if (!doc || capture.Failed()) RaiseParseError(capture, loader, text, StyleBase);
  capture.Clear();
  if (doc->URL != nullptr) StyleModules[reinterpret_cast<const char*>(doc->URL)] = loader.Policy.TopLevel();
  xsltStylesheetPtr style = xsltParseStylesheetDoc(doc.get());
  if (style == nullptr)
    RaiseStylesheetError(StylesheetError(capture, "The text is not an XSLT stylesheet"), loader, text, StyleBase);
  doc.release();  // the stylesheet owns its document now
  Template.reset(style);
  // libxslt counts some errors (an unknown instruction) as warnings only.
  if (style->errors != 0 || HasErrors(capture)) {
    Template.reset();
    RaiseStylesheetError(StylesheetError(capture, "The stylesheet has errors"), loader, text, StyleBase);
  }
  std::string encoding = UnknownOutputEncoding(style);
  if (!encoding.empty()) {
    Template.reset();
    throw EXSLTError("xsl:output names the encoding \"" + encoding + "\", which is not known.");
  }
  StyleSources = loader.Policy.Sources();
  StyleLocalFiles = loader.LocalFiles();
  StyleNetworkPart = NetworkModule(StyleModules, StyleBase, StyleOrigin);
}

void TXMLTransformer::LoadStyleSheet(const std::string& fileName)
{
  XSLFile = fileName;
  if (IsHttpURL(fileName)) {
    TURL address(fileName);
    std::string text;
    URLSystem().GetResource(address, text);
    SetStyleSheet(text, fileName);
    return;
  }
  std::string text = ReadWholeFile(fileName);
  std::string location = AbsolutePath(fileName);
  std::size_t slash = fileName.rfind('/');
  if (slash != std::string::npos) (void)::chdir(fileName.substr(0, slash + 1).c_str());
  SetStyleSheet(text, location);
}

void TXMLTransformer::Transform(const std::string& input, std::string& output, const std::string& baseURL,
                                const std::string& origin)
{
  output.clear();
  LastMessageCount = 0;
  if (!Template) throw EXSLTError("No stylesheet has been set: set or load a stylesheet before transforming.");
  LargeTreeMemory memory(input.size());
  std::string base = DocumentBaseURL(baseURL);
  XMLEntityLoader loader;
  loader.SetTopLevel(base, input.size(), origin);
  // The stylesheet is part of the run: what it read, the run has read.
  for (const std::string& source : StyleSources) loader.Policy.NoteSource(source);
  loader.QuoteLocalFiles(StyleLocalFiles);
  XSLTLoadGuard modules(StyleModules);
  XMLErrorCapture capture;
  XMLTextFeed feed(input);
  DocPtr doc = ParseText(input, base, capture, feed);
  feed.ThrowIfCancelled();
  if (!doc || capture.Failed()) RaiseParseError(capture, loader, input, base);
  capture.Clear();
  DocPtr result = Apply(doc.get(), capture, loader);
  memory.Free(doc);  // the result no longer needs it
  try {
    Serialize(result.get(), input.size(), output);
  } catch (...) {
    std::string().swap(output);  // its memory too
    throw;
  }
}

// Runs the stylesheet over doc under the security preferences. Every error
// that libxslt, libxml2 or the entity loader reports fails the
// transformation, and so does a terminating xsl:message.
TXMLTransformer::DocPtr TXMLTransformer::Apply(xmlDocPtr doc, XMLErrorCapture& capture,
                                               const XMLEntityLoader& loader)
{
  std::unique_ptr<xsltTransformContext, ContextDeleter> context(xsltNewTransformContext(Template.get(), doc));
  if (!context) throw EXSLTError("The transformation cannot be started.");
  xsltSetCtxtSecurityPrefs(Security.get(), context.get());
  CancelWatch watch{TWorkProgress::Current()};
  WatchForCancel(context.get(), watch);
  XPathCancelWatch expressions(context->xpathCtxt, watch.Progress);
  StylesheetMessages messages(context.get());
  capture.OnMessage = [&messages](const std::string& text) { messages.Receive(text); };
  capture.CurrentPlace = [c = context.get()](std::string& file, int& line) { InstructionPlace(c, file, line); };
  DocPtr result(xsltApplyStylesheetUser(Template.get(), doc, nullptr, nullptr, nullptr, context.get()));
  capture.OnMessage = nullptr;
  capture.CurrentPlace = nullptr;
  LastMessageCount = messages.Count;
  if (watch.Progress != nullptr) watch.Progress->ThrowIfCancelled();
  messages.RethrowLogFailure();
  if (result && context->state == XSLT_STATE_OK && !HasErrors(capture)) return result;
  XMLErrorRecord error = StylesheetError(capture, "The stylesheet stopped the transformation");
  if (!HasErrors(capture) && context->state == XSLT_STATE_STOPPED && !messages.Last.Reason.empty()) {
    error = messages.Last;
    error.Reason = "The stylesheet stopped the transformation: " + error.Reason;
  }
  RaiseStylesheetError(error, loader, XSLText, StyleBase);
}

// Writes result into output, in the form and encoding its xsl:output names.
// The input's size is the guess of the output's.
void TXMLTransformer::Serialize(xmlDocPtr result, std::size_t inputSize, std::string& output)
{
  if (result->children == nullptr) return;
  output.reserve(inputSize + inputSize / 8);
  OutputSink sink(output);
  xmlCharEncodingHandlerPtr encoder = OutputEncoder(Template.get());
  xmlOutputBufferPtr buffer = xmlOutputBufferCreateIO(OutputSink::Write, nullptr, &sink, encoder);
  if (buffer == nullptr) {
    if (encoder != nullptr) xmlCharEncCloseFunc(encoder);
    throw EXSLTError("The result of the transformation cannot be serialized");
  }
  xsltSaveResultTo(buffer, result, Template.get());
  int written = xmlOutputBufferClose(buffer);
  sink.ThrowIfCancelled();
  if (written < 0) throw EXSLTError("The result of the transformation cannot be serialized");
}
