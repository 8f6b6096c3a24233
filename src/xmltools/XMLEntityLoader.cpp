#include "xmltools/XMLEntityLoader.h"

#include <libxml/parserInternals.h>
#include <libxml/uri.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "resource/TRegularFile.h"
#include "resource/TURL.h"
#include "resource/TURLSystem.h"
#include "xmltools/EXMLError.h"
#include "xmltools/XMLCatalogLookup.h"
#include "xmltools/XMLErrorCapture.h"
#include "xmltools/XMLTextEncoding.h"

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

// A parser input over the bytes of text, named url (the base of its own
// references).
xmlParserInputPtr MemoryInput(const std::string& text, const std::string& url, xmlParserCtxtPtr context)
{
  xmlParserInputBufferPtr buffer =
      xmlParserInputBufferCreateMem(text.data(), static_cast<int>(text.size()), XML_CHAR_ENCODING_NONE);
  if (buffer == nullptr) return nullptr;
  xmlParserInputPtr input = xmlNewIOInputStream(context, buffer, XML_CHAR_ENCODING_NONE);
  if (input == nullptr) {
    xmlFreeParserInputBuffer(buffer);
    return nullptr;
  }
  input->filename = reinterpret_cast<char*>(xmlStrdup(reinterpret_cast<const xmlChar*>(url.c_str())));
  return input;
}

bool IsFtpURL(const std::string& url)
{
  return StartsWithNoCase(url, "ftp:");
}

// The ftp URL ("ftp://host/path", percent-encoded) as the URL system's
// address ("ftp:host/path"), read anonymously.
TURL FtpAddress(const std::string& url)
{
  std::string rest = url.substr(4);
  if (rest.compare(0, 2, "//") == 0) rest.erase(0, 2);
  std::size_t slash = rest.find('/');
  std::string host = rest.substr(0, slash);
  std::string path = slash == std::string::npos ? "/" : Unescape(rest.substr(slash));
  TURL address("ftp:" + host + path);
  address.Passive = true;
  return address;
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

XMLEntityLoader* XMLEntityLoader::Current()
{
  return CurrentLoader;
}

void XMLEntityLoader::SetTopLevel(const std::string& base, std::size_t size, const std::string& origin)
{
  const std::string& from = origin.empty() ? base : origin;
  const XMLFTPLogin* login = XMLFTPLogin::ForDocument(from);
  Policy.SetTopLevel(base, XMLReadPolicy::OriginOfLocation(from, login != nullptr ? login->User : std::string()));
  Hooks.AddInputBytes(size);
}

void XMLEntityLoader::ExpectLoad(const Origins& chain, bool certain)
{
  Pending = TRequest{chain, certain, false};
  if (certain) return;
  Pending->Chain.insert(Policy.Sources().begin(), Policy.Sources().end());
}

std::string XMLEntityLoader::TakeExpectedOrigin()
{
  std::string origin = ExpectedOrigin;
  Pending.reset();
  ExpectedUnderWay = false;
  ExpectedOrigin.clear();
  return origin;
}

void XMLEntityLoader::NoteExpected(const std::string& origin)
{
  if (!ExpectedUnderWay) return;
  ExpectedOrigin = origin;
  ExpectedUnderWay = false;
}

std::string XMLEntityLoader::SourceLine(const std::string& url, int line) const
{
  auto fetched = Fetched.lower_bound(url + '\n');
  if (fetched != Fetched.end() && fetched->first.compare(0, url.size() + 1, url + '\n') == 0)
    return XMLSourceLine(fetched->second, line);
  if (LocalLoaded.count(url) == 0 && Policy.Tainted()) return std::string();  // not one this run may read
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
  bool foreign = IsRemoteURL(error.File) || (Policy.Tainted() && LocalLoaded.count(error.File) == 0);
  TOpenedLocal local = foreign ? TOpenedLocal() : OpenLocalFile(error.File);
  std::string name = local.IsOpen() ? local.Name : std::string();
  return FormatXMLErrorMessage(error.Reason + " (in \"" + (name.empty() ? error.File : name) + "\")", error.Line,
                               SourceLine(error.File, error.Line));
}

// The system's catalog first: what it knows loads from its local copy, in
// any run, without the network.
xmlParserInputPtr XMLEntityLoader::Load(const char* url, const char* id, xmlParserCtxtPtr context)
{
  std::string target(url != nullptr ? url : id != nullptr ? id : "");
  XMLEntityLoader* run = CurrentLoader;
  try {
    TRequest request = run->Classify(url != nullptr ? url : "", context);
    if (!XMLParseHooks::Attached(context)) {
      XMLParseHooks::Attach(context);
      if (context != nullptr && context->inputNr > 0 && run->Hooks.CountingReader != nullptr &&
          context->_private == run->Hooks.CountingReader)
        run->Hooks.AdoptDeclared(context, run->Policy.TopLevel());
    }
    XMLCatalogAnswer known = CatalogLookup(id, url);
    if (!known.Refusal.empty()) {
      Fail(context, "Cannot load \"" + target + "\": " + known.Refusal);
      return nullptr;
    }
    if (!known.Resolved.empty()) return run->LoadAddress(known.Resolved, context, request, true);
    if (url == nullptr) {
      Fail(context, "Cannot load an external definition that has no system identifier");
      return nullptr;
    }
    return run->LoadAddress(target, context, request, false);
  } catch (const std::exception& e) {
    Fail(context, "Cannot load \"" + target + "\": " + e.what());
  } catch (...) {
    Fail(context, "Cannot load \"" + target + "\"");
  }
  return nullptr;
}

// A fresh parser (no input yet) reads a general entity, a document for
// libxslt or a schema; a parser under way a DTD or parameter entity, named
// by the texts on its input stack and by the entity's declaration.
XMLEntityLoader::TRequest XMLEntityLoader::Classify(const std::string& url, xmlParserCtxtPtr context)
{
  if (Pending) {
    TRequest request = *Pending;
    Pending.reset();
    ExpectedUnderWay = true;
    return request;
  }
  TRequest request;
  if (context == nullptr || context->inputNr == 0) {
    if (SchemaPhase) {
      request.Chain = Policy.Sources();
      request.Certain = false;
      return request;
    }
    request.Chain = DeclarationsOf(url, context);
    if (request.Chain.empty()) request.Chain = {XMLReadPolicy::kUnknown};
    return request;
  }
  request.Chain = Hooks.StackOrigins(context, Policy);
  Origins declared = DeclarationsOf(url, context);
  request.Chain.insert(declared.begin(), declared.end());
  request.InEntityValue = context->instate == XML_PARSER_ENTITY_VALUE;
  return request;
}

// The origins of the declarations of the entities at url. The parse of a
// text that the run reads as a stream is watched only from its first load
// on: what it declared before is the top-level text's.
XMLEntityLoader::Origins XMLEntityLoader::DeclarationsOf(const std::string& url, xmlParserCtxtPtr context) const
{
  Origins declared = Hooks.DeclaredAt(url);
  if (declared.empty() && context != nullptr && Hooks.CountingReader != nullptr &&
      context->_private == Hooks.CountingReader)
    declared = Policy.TopLevel();
  return declared;
}

xmlParserInputPtr XMLEntityLoader::LoadAddress(const std::string& url, xmlParserCtxtPtr context,
                                               const TRequest& request, bool fromCatalog)
{
  if (IsHttpURL(url)) {
    TURL address(url);
    return LoadRemote(url, address, context, XMLReadPolicy::kWeb);
  }
  if (IsFtpURL(url)) {
    TURL address = FtpAddress(url);
    for (const XMLFTPLogin* login : XMLFTPLogin::ForHost(address.Host)) {
      if (!XMLReadPolicy::OnlyFtpUser(request.Chain, address.Host, login->User)) continue;
      address.User = login->User;
      address.Password = login->Password;
      address.Passive = login->Passive;
      break;
    }
    return LoadRemote(url, address, context, XMLReadPolicy::FtpOrigin(address.Host, address.User));
  }
  if (!LocalPathOf(url).empty()) return LoadLocal(url, context, request, fromCatalog);
  Fail(context, "Cannot load \"" + url + "\": only local files and http, https or ftp resources can be loaded");
  return nullptr;
}

// A local file loads in a run that read nothing from the network; after
// that only when local texts, and they alone, name it for certain (not
// into the value of another entity, which other texts may use). What the
// catalog resolves loads in any run.
xmlParserInputPtr XMLEntityLoader::LoadLocal(const std::string& url, xmlParserCtxtPtr context,
                                             const TRequest& request, bool fromCatalog)
{
  if (!fromCatalog && Policy.Tainted() && XMLReadPolicy::HasNetwork(request.Chain)) {
    Fail(context, "Cannot load \"" + url + "\": a resource from the web may not refer to a local file");
    return nullptr;
  }
  if (!fromCatalog && Policy.Tainted() && (!request.Certain || request.InEntityValue)) {
    Fail(context, "Cannot load \"" + url +
                      "\": after reading from the network, a check or transform reads no local file that its local "
                      "texts do not name themselves");
    return nullptr;
  }
  TOpenedLocal local = OpenLocal(ResolveLocal(LocalPathOf(url), context));
  if (!local.IsOpen()) {
    Fail(context, "Cannot open \"" + url + "\": " + local.File->Failure());
    return nullptr;
  }
  struct stat info {};
  if (::fstat(local.File->Handle(), &info) == 0 && info.st_size > 0)
    Hooks.AddInputBytes(static_cast<std::size_t>(info.st_size));
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
  LocalLoaded.insert(base);
  Policy.NoteRead(base, fromCatalog ? XMLReadPolicy::kCatalog : XMLReadPolicy::kLocal);
  NoteExpected(fromCatalog ? XMLReadPolicy::kCatalog : XMLReadPolicy::kLocal);
  return input;
}

xmlParserInputPtr XMLEntityLoader::LoadRemote(const std::string& url, TURL& address, xmlParserCtxtPtr context,
                                              const std::string& origin)
{
  // The run has read from the network from here on, also should the read fail.
  Policy.NoteRead(url, origin);
  NoteExpected(origin);
  // A resource read twice in one run (a schema, whose target namespace is
  // read before the schema itself) is fetched once, for each user it is
  // read as.
  const std::string key = url + '\n' + address.User;
  auto fetched = Fetched.find(key);
  std::string text = fetched != Fetched.end() ? fetched->second : Fetch(address);
  if (text.size() > static_cast<std::size_t>(INT_MAX)) throw EXMLError("it is too large");
  xmlParserInputPtr input = MemoryInput(text, url, context);
  if (input != nullptr) Fetched[key] = std::move(text);
  return input;
}

std::string XMLEntityLoader::Fetch(TURL& address)
{
  // Once a load has failed, the operation fails: a server that stopped
  // answering must not hold it for a stall limit per further reference.
  XMLErrorCapture* capture = XMLErrorCapture::Current();
  if (capture != nullptr && capture->Failed()) throw EXMLError("not fetched after the error before");
  std::string text;
  URLSystem().GetResource(address, text);
  NetworkBytes += text.size();
  Hooks.AddInputBytes(text.size());
  if (NetworkBytes > kMaxNetworkBytes)
    throw EXMLError("the resources read from the network for one check or transform may come to " +
                    std::to_string(kMaxNetworkBytes >> 20) + " MB at most");
  return text;
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

namespace {

// path with "%", "#" and "?" percent-encoded (the parser escapes the rest of
// what a URL cannot hold, such as blanks, itself).
std::string EscapeURLCharacters(const std::string& path)
{
  std::string url;
  for (char c : path) {
    if (c == '%') url += "%25";
    else if (c == '#') url += "%23";
    else if (c == '?') url += "%3F";
    else url += c;
  }
  return url;
}

}  // namespace

// The path of an FTP document is escaped like a local one: FtpAddress takes
// the escapes out again when a reference resolved against it is fetched.
std::string LocalBaseURL(const std::string& path)
{
  if (IsFtpURL(path) && path.compare(4, 2, "//") != 0) {
    std::size_t slash = path.find('/', 4);
    if (slash == std::string::npos) return "ftp://" + path.substr(4);
    return "ftp://" + path.substr(4, slash - 4) + EscapeURLCharacters(path.substr(slash));
  }
  if (!SchemeOf(path).empty()) return path;
  return EscapeURLCharacters(path);
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

namespace {

XMLFTPLogin* InnermostLogin = nullptr;

}  // namespace

XMLFTPLogin::XMLFTPLogin(const TURL& document)
    : Document(LocalBaseURL(document.GetURL())), Host(document.Host), User(document.User),
      Password(document.Password), Passive(document.Passive), Outer(InnermostLogin)
{
  InnermostLogin = this;
}

XMLFTPLogin::~XMLFTPLogin()
{
  InnermostLogin = Outer;
}

const XMLFTPLogin* XMLFTPLogin::ForDocument(const std::string& location)
{
  const std::string base = LocalBaseURL(location);
  for (const XMLFTPLogin* login = InnermostLogin; login != nullptr; login = login->Outer)
    if (login->Document == base) return login;
  return nullptr;
}

std::vector<const XMLFTPLogin*> XMLFTPLogin::ForHost(const std::string& host)
{
  std::vector<const XMLFTPLogin*> logins;
  for (const XMLFTPLogin* login = InnermostLogin; login != nullptr; login = login->Outer)
    if (login->Host == host) logins.push_back(login);
  return logins;
}
