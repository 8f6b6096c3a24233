#include "model/XMLEntityLoader.h"

#include <libxml/parserInternals.h>
#include <libxml/uri.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <strings.h>
#include <unistd.h>

#include "model/EXMLError.h"
#include "model/XMLErrorCapture.h"
#include "model/XMLTextEncoding.h"
#include "resource/TRegularFile.h"
#include "resource/TURL.h"
#include "resource/TURLSystem.h"

namespace {

XMLEntityLoader* CurrentLoader = nullptr;

bool StartsWithNoCase(const std::string& text, const char* prefix)
{
  std::size_t n = std::strlen(prefix);
  return text.size() >= n && ::strncasecmp(text.c_str(), prefix, n) == 0;
}

// The scheme of url ("" when it has none). One-letter schemes are drive letters.
std::string SchemeOf(const std::string& url)
{
  std::size_t i = 0;
  while (i < url.size() && (std::isalnum(static_cast<unsigned char>(url[i])) || url[i] == '+' || url[i] == '-' || url[i] == '.'))
    ++i;
  if (i < 2 || i >= url.size() || url[i] != ':' || !std::isalpha(static_cast<unsigned char>(url[0]))) return std::string();
  return url.substr(0, i);
}

std::string Unescape(const std::string& text)
{
  char* plain = xmlURIUnescapeString(text.c_str(), 0, nullptr);
  if (plain == nullptr) return text;
  std::string result(plain);
  xmlFree(plain);
  return result;
}

// The resource being parsed when context asked for another one; empty when unknown.
std::string ReferringResource(xmlParserCtxtPtr context)
{
  if (context == nullptr || context->input == nullptr || context->input->filename == nullptr) return std::string();
  return context->input->filename;
}

// Records that url could not be loaded, at the line of the reference.
void Fail(xmlParserCtxtPtr context, const std::string& reason)
{
  XMLErrorCapture* capture = XMLErrorCapture::Current();
  if (capture == nullptr) return;
  int line = context != nullptr && context->input != nullptr ? context->input->line : 0;
  capture->Add(reason, ReferringResource(context), line);
}

// path made absolute against the folder of the referring resource.
std::string ResolveLocal(const std::string& path, xmlParserCtxtPtr context)
{
  if (path.empty() || path[0] == '/') return path;
  std::string referrer = LocalPathOf(ReferringResource(context));
  std::size_t slash = referrer.rfind('/');
  return slash == std::string::npos ? path : referrer.substr(0, slash + 1) + path;
}

// A local file opened for reading, and the name that opened it.
struct TOpenedLocal {
  std::unique_ptr<TRegularFile> File;
  std::string Name;
  bool IsOpen() const { return File && File->IsOpen(); }
};

// The regular file at path, opened without waiting (escaped names are tried
// plain too). When neither name opens, the attempt kept is one that found
// something, whose reason tells most ("It is a named pipe, not a file.").
TOpenedLocal OpenLocal(const std::string& path)
{
  TOpenedLocal result;
  for (const std::string& candidate : {path, Unescape(path)}) {
    auto file = std::make_unique<TRegularFile>(candidate);
    if (!result.File || file->IsOpen() || (result.File->Missing() && !file->Missing()))
      result = TOpenedLocal{std::move(file), candidate};
    if (result.IsOpen()) break;
  }
  return result;
}

xmlParserInputPtr LoadLocal(const std::string& url, xmlParserCtxtPtr context, const std::string& origin)
{
  std::string referrer = ReferringResource(context);
  if (IsRemoteURL(referrer.empty() ? origin : referrer)) {
    Fail(context, "Cannot load \"" + url + "\": a resource from the web may not refer to a local file");
    return nullptr;
  }
  TOpenedLocal local = OpenLocal(ResolveLocal(LocalPathOf(url), context));
  if (!local.IsOpen()) {
    Fail(context, "Cannot open \"" + url + "\": " + local.File->Failure());
    return nullptr;
  }
  // The parser reads the file that was checked, from its open descriptor.
  xmlParserInputBufferPtr buffer = xmlParserInputBufferCreateFd(local.File->Handle(), XML_CHAR_ENCODING_NONE);
  if (buffer == nullptr) return nullptr;
  local.File->Release();  // the buffer closes it
  xmlParserInputPtr input = xmlNewIOInputStream(context, buffer, XML_CHAR_ENCODING_NONE);
  if (input == nullptr) {
    xmlFreeParserInputBuffer(buffer);
    return nullptr;
  }
  // References inside the file resolve against its name as a URL.
  std::string base = LocalBaseURL(local.Name);
  input->filename = reinterpret_cast<char*>(xmlStrdup(reinterpret_cast<const xmlChar*>(base.c_str())));
  return input;
}

// The local file that url names, opened; nothing when url names no local file.
TOpenedLocal OpenLocalFile(const std::string& url)
{
  std::string path = LocalPathOf(url);
  return path.empty() ? TOpenedLocal() : OpenLocal(path);
}

}  // namespace

XMLEntityLoader::XMLEntityLoader() : Outer(CurrentLoader), Previous(xmlGetExternalEntityLoader())
{
  CurrentLoader = this;
  xmlSetExternalEntityLoader(&XMLEntityLoader::Load);
}

XMLEntityLoader::~XMLEntityLoader()
{
  xmlSetExternalEntityLoader(Previous);
  CurrentLoader = Outer;
}

std::string XMLEntityLoader::SourceLine(const std::string& url, int line) const
{
  auto fetched = Fetched.find(url);
  if (fetched != Fetched.end()) return XMLSourceLine(fetched->second, line);
  TOpenedLocal local = OpenLocalFile(url);
  std::string text;
  if (!local.IsOpen() || !local.File->ReadAll(text)) return std::string();
  return XMLSourceLine(text, line);
}

std::string XMLEntityLoader::ErrorMessage(const XMLErrorRecord& error, const std::string& text,
                                          const std::string& base) const
{
  if (error.File.empty() || error.File == base)
    return FormatXMLErrorMessage(error.Reason, error.Line, XMLSourceLine(text, error.Line));
  TOpenedLocal local = IsRemoteURL(error.File) ? TOpenedLocal() : OpenLocalFile(error.File);
  std::string name = local.IsOpen() ? local.Name : std::string();
  return FormatXMLErrorMessage(error.Reason + " (in \"" + (name.empty() ? error.File : name) + "\")", error.Line,
                               SourceLine(error.File, error.Line));
}

xmlParserInputPtr XMLEntityLoader::Load(const char* url, const char* /*id*/, xmlParserCtxtPtr context)
{
  if (url == nullptr) {
    Fail(context, "Cannot load an external definition that has no system identifier");
    return nullptr;
  }
  std::string target(url);
  try {
    if (IsHttpURL(target)) return CurrentLoader->LoadHttp(target, context);
    if (!LocalPathOf(target).empty()) return LoadLocal(target, context, CurrentLoader->Origin);
    Fail(context, "Cannot load \"" + target + "\": only local files and http or https resources can be loaded");
  } catch (const std::exception& e) {
    Fail(context, "Cannot load \"" + target + "\": " + e.what());
  } catch (...) {
    Fail(context, "Cannot load \"" + target + "\"");
  }
  return nullptr;
}

xmlParserInputPtr XMLEntityLoader::LoadHttp(const std::string& url, xmlParserCtxtPtr context)
{
  // A resource read twice in one run (a schema, whose target namespace is
  // read before the schema itself) is fetched once.
  auto fetched = Fetched.find(url);
  std::string text;
  if (fetched != Fetched.end()) {
    text = fetched->second;
  } else {
    // Once a load has failed, the operation fails: a server that stopped
    // answering must not hold it for a stall limit per further reference.
    XMLErrorCapture* capture = XMLErrorCapture::Current();
    if (capture != nullptr && capture->Failed()) {
      Fail(context, "Cannot load \"" + url + "\": not fetched after the error before");
      return nullptr;
    }
    TURL address(url);
    URLSystem().GetFile(address, text);
  }
  xmlParserInputBufferPtr buffer =
      xmlParserInputBufferCreateMem(text.data(), static_cast<int>(text.size()), XML_CHAR_ENCODING_NONE);
  if (buffer == nullptr) return nullptr;
  xmlParserInputPtr input = xmlNewIOInputStream(context, buffer, XML_CHAR_ENCODING_NONE);
  if (input == nullptr) {
    xmlFreeParserInputBuffer(buffer);
    return nullptr;
  }
  input->filename = reinterpret_cast<char*>(xmlStrdup(reinterpret_cast<const xmlChar*>(url.c_str())));
  Fetched[url] = std::move(text);
  return input;
}

std::string CurrentFolderPath()
{
  char* folder = ::getcwd(nullptr, 0);
  std::string path = folder ? folder : ".";
  std::free(folder);
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

std::string CurrentFolderBase()
{
  return LocalBaseURL(CurrentFolderPath());
}

std::string DocumentBaseURL(const std::string& location)
{
  if (location.empty()) return CurrentFolderBase();
  if (!SchemeOf(location).empty() || location[0] == '/') return LocalBaseURL(location);
  return LocalBaseURL(CurrentFolderPath() + location);
}

std::string LocalBaseURL(const std::string& path)
{
  if (!SchemeOf(path).empty()) return path;
  std::string url;
  for (char c : path) {
    if (c == '%') url += "%25";
    else if (c == '#') url += "%23";
    else if (c == '?') url += "%3F";
    else url += c;
  }
  return url;
}

bool IsHttpURL(const std::string& url)
{
  return StartsWithNoCase(url, "http:") || StartsWithNoCase(url, "https:");
}

bool IsRemoteURL(const std::string& url)
{
  std::string scheme = SchemeOf(url);
  return !scheme.empty() && ::strcasecmp(scheme.c_str(), "file") != 0;
}

std::string LocalPathOf(const std::string& url)
{
  std::string scheme = SchemeOf(url);
  if (scheme.empty()) return url;
  if (!StartsWithNoCase(scheme, "file") || scheme.size() != 4) return std::string();
  std::string rest = url.substr(5);
  if (rest.compare(0, 2, "//") == 0) {
    std::size_t slash = rest.find('/', 2);
    std::string host = rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
    if (!host.empty() && ::strcasecmp(host.c_str(), "localhost") != 0) return std::string();
    rest = slash == std::string::npos ? std::string() : rest.substr(slash);
  }
  return Unescape(rest);
}
