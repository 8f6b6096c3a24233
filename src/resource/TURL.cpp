#include "resource/TURL.h"

#include "resource/TURLSystem.h"
#include "resource/zevlog.h"

namespace {

const char* const kUnknownProtocol = "Unknown value for TURLProtocol type";

// Separators of a mask list besides ";": every control character and the blank.
bool IsMaskBlank(unsigned char c)
{
  return c >= 1 && c <= ' ';
}

unsigned char UpperAscii(unsigned char c)
{
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

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

std::string TURL::GetURL() const
{
  std::string separator = Protocol == TURLProtocol::http ? "://" : ":";
  return GetProtocolName() + separator + Host + Path + FileName;
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
      AppLog().Check(false, kUnknownProtocol);
      return "http";
  }
}

void TURL::SetProtocolName(const std::string& name)
{
  if (name == "file") Protocol = TURLProtocol::file;
  else if (name == "ftp") Protocol = TURLProtocol::ftp;
  else if (name == "http") Protocol = TURLProtocol::http;
  else Protocol = TURLProtocol::unknown;
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
  Host = source.Host;
  Path = source.Path;
  FileName = source.FileName;
  User = source.User;
  Password = source.Password;
  Passive = source.Passive;
  Listed = false;
}

void TURL::EnsureListed()
{
  if (Listed) return;
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

namespace {

// One step of a compiled mask.
struct TMaskStep {
  enum TKind { kLiteral, kAnyChar, kAnyRun, kSet };
  explicit TMaskStep(TKind kind) : Kind(kind) {}

  TKind Kind;
  unsigned char Char = 0;             // kLiteral, upper-cased
  std::string Set;                    // kSet: upper-cased members, ranges expanded
  bool Negate = false;                // kSet
};

[[noreturn]] void InvalidMask(const std::string& mask, std::size_t position)
{
  throw EMaskException("'" + mask + "' is an invalid mask at (" + std::to_string(position) + ")");
}

// Reads the set starting after "[" at index i; leaves i after the closing "]".
TMaskStep ReadSet(const std::string& mask, std::size_t& i)
{
  TMaskStep step(TMaskStep::kSet);
  if (i < mask.size() && mask[i] == '!') {
    step.Negate = true;
    ++i;
  }
  int last = -1;
  while (i < mask.size() && mask[i] != ']') {
    unsigned char c = UpperAscii(static_cast<unsigned char>(mask[i]));
    bool range = c == '-' && last >= 0 && i + 1 < mask.size() && mask[i + 1] != ']';
    if (range) {
      unsigned char to = UpperAscii(static_cast<unsigned char>(mask[++i]));
      for (int x = last; x <= to; ++x) step.Set += static_cast<char>(x);
      last = to;
    } else {
      step.Set += static_cast<char>(c);
      last = c;
    }
    ++i;
  }
  // The fault position is where the missing "]" was expected (1-based).
  if (i >= mask.size()) InvalidMask(mask, mask.size() + 1);
  ++i;
  return step;
}

std::vector<TMaskStep> CompileMask(const std::string& mask)
{
  std::vector<TMaskStep> steps;
  std::size_t i = 0;
  while (i < mask.size()) {
    char c = mask[i++];
    if (c == '*') {
      if (steps.empty() || steps.back().Kind != TMaskStep::kAnyRun) steps.emplace_back(TMaskStep::kAnyRun);
    } else if (c == '?') {
      steps.emplace_back(TMaskStep::kAnyChar);
    } else if (c == '[') {
      steps.push_back(ReadSet(mask, i));
    } else {
      TMaskStep step(TMaskStep::kLiteral);
      step.Char = UpperAscii(static_cast<unsigned char>(c));
      steps.push_back(step);
    }
  }
  return steps;
}

bool StepMatches(const TMaskStep& step, unsigned char c)
{
  unsigned char u = UpperAscii(c);
  switch (step.Kind) {
    case TMaskStep::kLiteral: return step.Char == u;
    case TMaskStep::kAnyChar: return true;
    case TMaskStep::kSet: return (step.Set.find(static_cast<char>(u)) != std::string::npos) != step.Negate;
    default: return false;
  }
}

// On a mismatch the last "*" takes one more character and matching resumes
// after it; earlier stars never need to be revisited.
bool MatchSteps(const std::vector<TMaskStep>& steps, const std::string& name)
{
  std::size_t s = 0, n = 0;
  std::size_t starStep = std::string::npos, starName = 0;
  while (n < name.size()) {
    if (s < steps.size() && steps[s].Kind == TMaskStep::kAnyRun) {
      starStep = s++;
      starName = n;
    } else if (s < steps.size() && StepMatches(steps[s], static_cast<unsigned char>(name[n]))) {
      ++s;
      ++n;
    } else if (starStep != std::string::npos) {
      s = starStep + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (s < steps.size() && steps[s].Kind == TMaskStep::kAnyRun) ++s;
  return s == steps.size();
}

// The masks of a list: ";" separates, blanks and control characters around
// them are dropped; two ";" in a row or a ";" at the end give an empty mask.
std::vector<std::string> SplitMaskList(const std::string& list)
{
  std::vector<std::string> masks;
  std::size_t i = 0, end = list.size();
  auto skipBlanks = [&] {
    while (i < end && IsMaskBlank(static_cast<unsigned char>(list[i]))) ++i;
  };
  skipBlanks();
  while (i < end && list[i] != '\0') {
    std::size_t start = i;
    while (i < end && static_cast<unsigned char>(list[i]) > ' ' && list[i] != ';') ++i;
    masks.push_back(list.substr(start, i - start));
    skipBlanks();
    if (i < end && list[i] == ';') {
      if (i + 1 == end) masks.emplace_back();
      ++i;
      skipBlanks();
    }
  }
  return masks;
}

}  // namespace

bool MatchesMask(const std::string& mask, const std::string& name)
{
  return MatchSteps(CompileMask(mask), name);
}

bool MatchesMaskList(const std::string& maskList, const std::string& name)
{
  for (const auto& mask : SplitMaskList(maskList))
    if (MatchesMask(mask, name)) return true;
  return false;
}
