#include "resource/TURL.h"

#include <strings.h>

#include "resource/TURLSystem.h"
#include "resource/zevlog.h"

namespace {

const char* const kUnknownProtocol = "Unknown value for TURLProtocol type";

// Splits host, path and file name off the text after the scheme.
void SplitHost(TURLProtocol protocol, std::string& rest, std::string& host)
{
  host.clear();
  if (protocol != TURLProtocol::ftp && protocol != TURLProtocol::http) return;
  if (protocol == TURLProtocol::http && rest.compare(0, 2, "//") == 0) rest.erase(0, 2);
  auto slash = rest.find('/');
  if (slash == std::string::npos) {
    host = rest;
    rest = "/";
  } else {
    host = rest.substr(0, slash);
    rest.erase(0, slash);
  }
}

}  // namespace

TURL::TURL(const std::string& text)
{
  SetURL(text);
}

TURL::TURL(const TURL& source)
{
  Assign(source);
}

TURL& TURL::operator=(const TURL& source)
{
  if (this != &source) Assign(source);
  return *this;
}

TURL TURL::CreateNative(const std::string& nativeName)
{
  TURL url;
  url.SetNativeName(nativeName);
  return url;
}

void TURL::SetURL(const std::string& text)
{
  std::string rest = text;
  auto colon = text.find(':');
  // A ":" in the first two places (a drive path such as C:/docs) is no scheme.
  if (colon != std::string::npos && colon >= 2) {
    SetProtocolName(text.substr(0, colon));
    rest = text.substr(colon + 1);
  } else {
    Protocol = TURLProtocol::file;
    Scheme.clear();
  }
  SplitHost(Protocol, rest, Host);
  auto slash = rest.rfind('/');
  if (slash == std::string::npos) {
    Path = rest;
    FileName.clear();
  } else {
    Path = rest.substr(0, slash + 1);
    FileName = rest.substr(slash + 1);
  }
  Listed = false;
}

bool TURL::IsWeb() const
{
  return Protocol == TURLProtocol::http ||
         (Protocol == TURLProtocol::unknown && ::strcasecmp(Scheme.c_str(), "https") == 0);
}

std::string TURL::GetURL() const
{
  std::string separator = Protocol == TURLProtocol::http ? "://" : ":";
  std::string scheme = Protocol == TURLProtocol::unknown && !Scheme.empty() ? Scheme : GetProtocolName();
  return scheme + separator + Host + Path + FileName;
}

// Native names are POSIX paths here, so they keep their "/" separators and
// are always file URLs: the text is parsed with an explicit "file:" scheme,
// which keeps a path such as /tmp/a:b/x.xml from being read as a scheme.
// (With Windows paths, "\" would be turned into "/" first.)
void TURL::SetNativeName(const std::string& name)
{
  SetURL("file:" + name);
}

std::string TURL::GetNativeName() const
{
  if (Protocol == TURLProtocol::file) return Host + Path + FileName;
  return GetURL();
}

std::string TURL::GetProtocolName() const
{
  switch (Protocol) {
    case TURLProtocol::file: return "file";
    case TURLProtocol::ftp: return "ftp";
    case TURLProtocol::http: return "http";
    default:
      // https is served by the HTTP driver; any other scheme is no protocol
      // of ours.
      AppLog().Check(IsWeb(), kUnknownProtocol);
      return "http";
  }
}

void TURL::SetProtocolName(const std::string& name)
{
  if (name == "file") Protocol = TURLProtocol::file;
  else if (name == "ftp") Protocol = TURLProtocol::ftp;
  else if (name == "http") Protocol = TURLProtocol::http;
  else Protocol = TURLProtocol::unknown;
  Scheme = Protocol == TURLProtocol::unknown ? name : std::string();
  Listed = false;
}

void TURL::SetPath(const std::string& value)
{
  Path = value;
  Listed = false;
}

void TURL::SetFileName(const std::string& value)
{
  FileName = value;
  Listed = false;
}

void TURL::SetUser(const std::string& value)
{
  User = value;
  Listed = false;
}

void TURL::SetPassword(const std::string& value)
{
  Password = value;
  Listed = false;
}

void TURL::SetPassive(bool value)
{
  Passive = value;
  Listed = false;
}

std::string TURL::GetFileExt() const
{
  auto dot = FileName.rfind('.');
  return dot == std::string::npos ? std::string() : FileName.substr(dot);
}

void TURL::Assign(const TURL& source)
{
  Protocol = source.Protocol;
  Scheme = source.Scheme;
  Host = source.Host;
  Path = source.Path;
  FileName = source.FileName;
  User = source.User;
  Password = source.Password;
  Passive = source.Passive;
  Listed = false;
  ListError.clear();
}

void TURL::EnsureListed()
{
  if (Listed) return;
  ListError.clear();
  URLSystem().ListFolder(*this);
  Listed = true;
}

int TURL::GetCount()
{
  EnsureListed();
  return static_cast<int>(Items.size());
}

TFolderItem& TURL::GetItem(int index)
{
  EnsureListed();
  if (index < 0 || index >= static_cast<int>(Items.size())) RaiseListIndexError(index);
  return *Items[static_cast<std::size_t>(index)];
}

std::string HidePassword(const std::string& text)
{
  std::size_t scheme = text.find("://");
  std::size_t start = scheme == std::string::npos ? 0 : scheme + 3;
  std::size_t end = text.find_first_of("/?#", start);
  std::size_t at = text.rfind('@', end == std::string::npos ? std::string::npos : end);
  if (at == std::string::npos || at < start) return text;
  std::size_t colon = text.find(':', start);
  if (colon == std::string::npos || colon > at) return text;
  return text.substr(0, colon + 1) + "***" + text.substr(at);
}

void RaiseListIndexError(int index)
{
  throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}

bool TURL::MatchesFilter(const std::string& name) const
{
  return MatchesMaskList(FileName, name);
}

bool TURL::IsConnected()
{
  return URLSystem().Driver(*this).IsConnected(*this);
}

void TURL::Connect()
{
  URLSystem().Driver(*this).Connect(*this);
}

void TURL::Disconnect()
{
  URLSystem().Driver(*this).Disconnect(*this);
}

void TURL::DeleteFile()
{
  URLSystem().Driver(*this).DeleteFile(*this);
}

void TURL::GetFile(std::string& text)
{
  URLSystem().GetFile(*this, text);
}

void TURL::PutFile(const std::string& text)
{
  URLSystem().PutFile(*this, text);
}

// ---------------------------------------------------------------------------
// Masks

bool MatchesMask(const std::string& mask, const std::string& name)
{
  return TFileMask(mask).Matches(name);
}

bool MatchesMaskList(const std::string& maskList, const std::string& name)
{
  for (const auto& mask : SplitMaskList(maskList))
    if (MatchesMask(mask, name)) return true;
  return false;
}
