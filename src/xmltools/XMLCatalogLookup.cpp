#include "xmltools/XMLCatalogLookup.h"

#include <libxml/catalog.h>

#include <cctype>
#include <vector>

#include "xmltools/XMLEntityLoader.h"

namespace {

// text with %2E and %2F (any letter case) decoded.
std::string DecodeDotsAndSlashes(const std::string& text)
{
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && text[i + 1] == '2') {
      char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 2])));
      if (c == 'E' || c == 'F') {
        plain += c == 'E' ? '.' : '/';
        i += 2;
        continue;
      }
    }
    plain += text[i];
  }
  return plain;
}

// path with "." and ".." segments resolved (RFC 3986, 5.2.4); a ".." above
// the root stays at the root.
std::string RemoveDotSegments(const std::string& path)
{
  std::vector<std::string> kept;
  const bool absolute = !path.empty() && path[0] == '/';
  bool endsInFolder = false;
  for (std::size_t start = absolute ? 1 : 0;;) {
    std::size_t end = path.find('/', start);
    std::string segment = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    endsInFolder = segment == "." || segment == "..";
    if (segment == "..") {
      if (!kept.empty()) kept.pop_back();
    } else if (segment != ".") {
      kept.push_back(segment);
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
  std::string result = absolute ? "/" : "";
  for (std::size_t i = 0; i < kept.size(); ++i) result += (i > 0 ? "/" : "") + kept[i];
  if (endsInFolder && !kept.empty()) result += '/';
  return result;
}

// Where the path of url starts (after "scheme://authority" or "scheme:").
std::size_t PathStart(const std::string& url)
{
  std::size_t colon = url.find(':');
  std::size_t slash = url.find('/');
  if (colon == std::string::npos || (slash != std::string::npos && slash < colon)) return 0;
  if (url.compare(colon + 1, 2, "//") != 0) return colon + 1;
  std::size_t path = url.find('/', colon + 3);
  return path == std::string::npos ? url.size() : path;
}

std::string CommonSuffix(const std::string& a, const std::string& b)
{
  std::size_t n = 0;
  while (n < a.size() && n < b.size() && a[a.size() - 1 - n] == b[b.size() - 1 - n]) ++n;
  return a.substr(a.size() - n);
}

// The local folder of the catalog entry that turned systemId into resolved:
// what the resolved text has before the part it shares with the identifier.
std::string EntryFolder(const std::string& resolved, const std::string& systemId)
{
  std::string prefix = resolved.substr(0, resolved.size() - CommonSuffix(resolved, systemId).size());
  std::string folder = prefix.substr(0, prefix.rfind('/') + 1);
  return RemoveDotSegments(LocalPathOf(folder.empty() ? resolved : folder));
}

std::string Resolve(const char* publicId, const std::string* systemId)
{
  xmlChar* resolved = xmlCatalogResolve(reinterpret_cast<const xmlChar*>(publicId),
                                        reinterpret_cast<const xmlChar*>(systemId ? systemId->c_str() : nullptr));
  if (resolved == nullptr) return std::string();
  std::string result(reinterpret_cast<const char*>(resolved));
  xmlFree(resolved);
  return result;
}

}  // namespace

std::string NormalisedSystemId(const std::string& url)
{
  std::string plain = DecodeDotsAndSlashes(url);
  std::size_t start = PathStart(plain);
  std::size_t end = plain.find_first_of("?#", start);
  if (end == std::string::npos) end = plain.size();
  std::string path = plain.substr(start, end - start);
  if (path.empty()) return plain;
  return plain.substr(0, start) + RemoveDotSegments(path) + plain.substr(end);
}

XMLCatalogAnswer CatalogLookup(const char* publicId, const char* systemId)
{
  XMLCatalogAnswer answer;
  std::string normalised = systemId != nullptr ? NormalisedSystemId(systemId) : std::string();
  answer.Resolved = Resolve(publicId, systemId != nullptr ? &normalised : nullptr);
  std::string path = LocalPathOf(answer.Resolved);
  if (answer.Resolved.empty() || path.empty()) return answer;
  std::string folder = EntryFolder(answer.Resolved, normalised);
  if (RemoveDotSegments(path).compare(0, folder.size(), folder) != 0)
    answer.Refusal = "the system's catalog maps it to \"" + answer.Resolved + "\", outside the folder \"" + folder +
                     "\" of its entry";
  return answer;
}
