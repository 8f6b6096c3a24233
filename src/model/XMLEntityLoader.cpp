#include "model/XMLEntityLoader.h"

#include <libxml/parserInternals.h>
#include <libxml/uri.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <strings.h>
#include <unistd.h>

#include "model/EXMLError.h"
#include "model/XMLErrorCapture.h"
#include "model/XMLTextEncoding.h"
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

// The name under which path can be opened (escaped names are tried plain too);
// empty with error set when neither opens.
std::string OpenableName(const std::string& path, int& error)
{
  for (const std::string& candidate : {path, Unescape(path)}) {
    int fd = ::open(candidate.c_str(), O_RDONLY);
    if (fd >= 0) {
      ::close(fd);
      return candidate;
    }
    error = errno;
  }
  return std::string();
}

xmlParserInputPtr LoadLocal(const std::string& url, xmlParserCtxtPtr context)
{
  if (IsHttpURL(ReferringResource(context))) {
    Fail(context, "Cannot load \"" + url + "\": a resource from the web may not refer to a local file");
    return nullptr;
  }
  int error = 0;
  std::string name = OpenableName(ResolveLocal(LocalPathOf(url), context), error);
  if (name.empty()) {
    Fail(context, "Cannot open \"" + url + "\": " + std::strerror(error));
    return nullptr;
  }
  xmlParserInputPtr input = xmlNewInputFromFile(context, name.c_str());
  // References inside the file resolve against its name as a URL.
  std::string base = LocalBaseURL(name);
  if (input != nullptr && input->filename != nullptr && base != input->filename) {
    xmlFree(const_cast<char*>(input->filename));
    input->filename = reinterpret_cast<char*>(xmlStrdup(reinterpret_cast<const xmlChar*>(base.c_str())));
  }
  return input;
}

// The local file that url names as it can be opened; empty when url names no
// local file or nothing opens.
std::string OpenableLocalFile(const std::string& url)
{
  std::string path = LocalPathOf(url);
  int error = 0;
  return path.empty() ? std::string() : OpenableName(path, error);
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
  std::string path = OpenableLocalFile(url);
  if (path.empty()) return std::string();
  std::ifstream in(path, std::ios::binary);
  return XMLSourceLine(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), line);
}

std::string XMLEntityLoader::ErrorMessage(const XMLErrorRecord& error, const std::string& text,
                                          const std::string& base) const
{
  if (error.File.empty() || error.File == base)
    return FormatXMLErrorMessage(error.Reason, error.Line, XMLSourceLine(text, error.Line));
  std::string name = IsHttpURL(error.File) ? std::string() : OpenableLocalFile(error.File);
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
    if (!LocalPathOf(target).empty()) return LoadLocal(target, context);
    Fail(context, "Cannot load \"" + target + "\": only local files and http resources can be loaded");
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
  return StartsWithNoCase(url, "http:");
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
