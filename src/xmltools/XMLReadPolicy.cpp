#include "xmltools/XMLReadPolicy.h"

#include <libxml/uri.h>

#include <strings.h>

#include "xmltools/XMLEntityLoader.h"

const char* const XMLReadPolicy::kLocal = "local";
const char* const XMLReadPolicy::kCatalog = "catalog";
const char* const XMLReadPolicy::kWeb = "web";
const char* const XMLReadPolicy::kUnknown = "unknown";

namespace {

// The host of an ftp URL text ("ftp://host/path" or "ftp:host/path").
std::string FtpHost(const std::string& location)
{
  std::string rest = location.substr(4);
  if (rest.compare(0, 2, "//") == 0) rest.erase(0, 2);
  return rest.substr(0, rest.find('/'));
}

bool IsNetworkOrigin(const std::string& origin)
{
  return origin != XMLReadPolicy::kLocal && origin != XMLReadPolicy::kCatalog;
}

}  // namespace

std::string XMLReadPolicy::FtpOrigin(const std::string& host, const std::string& user)
{
  return "ftp:" + user + "@" + host;
}

std::string XMLReadPolicy::OriginOfLocation(const std::string& location, const std::string& ftpUser)
{
  if (IsHttpURL(location)) return kWeb;
  if (::strncasecmp(location.c_str(), "ftp:", 4) == 0) return FtpOrigin(FtpHost(location), ftpUser);
  return IsRemoteURL(location) ? kUnknown : kLocal;
}

void XMLReadPolicy::SetTopLevel(const std::string& base, const std::string& origin)
{
  TopLevelOrigins = {origin};
  NoteRead(base, origin);
  // libxml2 names the input of a text read from memory by its base as a
  // canonical path, which escapes what a URL may not hold.
  xmlChar* canonic = xmlCanonicPath(reinterpret_cast<const xmlChar*>(base.c_str()));
  if (canonic == nullptr) return;
  NoteRead(reinterpret_cast<const char*>(canonic), origin);
  xmlFree(canonic);
}

void XMLReadPolicy::NoteRead(const std::string& inputName, const std::string& origin)
{
  Inputs.emplace(inputName, origin);
  NoteSource(origin);
}

void XMLReadPolicy::NoteSource(const std::string& origin)
{
  SourceOrigins.insert(origin);
  if (IsNetworkOrigin(origin)) IsTainted = true;
}

XMLReadPolicy::Origins XMLReadPolicy::OriginsOf(const std::string& inputName) const
{
  Origins found;
  for (auto it = Inputs.lower_bound({inputName, std::string()}); it != Inputs.end() && it->first == inputName; ++it)
    found.insert(it->second);
  if (found.empty()) found.insert(kUnknown);
  return found;
}

bool XMLReadPolicy::AllLocal(const Origins& chain)
{
  for (const std::string& origin : chain)
    if (IsNetworkOrigin(origin)) return false;
  return true;
}

bool XMLReadPolicy::OnlyFtpUser(const Origins& chain, const std::string& host, const std::string& user)
{
  return !chain.empty() && chain == Origins{FtpOrigin(host, user)};
}
