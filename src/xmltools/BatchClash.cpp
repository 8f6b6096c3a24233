#include "xmltools/BatchClash.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <utility>
#include <vector>

#include "model/AttributeList.h"

namespace fs = std::filesystem;

namespace {

// --- folders ------------------------------------------------------------------

// The host of a remote URL as a comparable text: in lower case, without
// FTP's own port where it is named ("host:21" is "host"; a bare IPv6
// address has more than one ":" and no port).
std::string HostKey(const TURL& url)
{
  std::string host = LowerCaseAscii(url.Host);
  const std::string defaultPort = ":21";
  const bool onePort = host.find(':') == host.rfind(':') || (!host.empty() && host[0] == '[');
  if (url.Protocol == TURLProtocol::ftp && onePort && host.size() > defaultPort.size() &&
      host.compare(host.size() - defaultPort.size(), defaultPort.size(), defaultPort) == 0)
    host.resize(host.size() - defaultPort.size());
  return host;
}

// A remote path as the server takes it: without empty or "." segments, each
// ".." taking the segment before it away (none above the root), ending in "/".
std::string NormalRemotePath(const std::string& path)
{
  std::vector<std::string> segments;
  std::string segment;
  for (char c : path + "/") {
    if (c != '/') {
      segment += c;
      continue;
    }
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
    segment.clear();
  }
  std::string normal = "/";
  for (const std::string& kept : segments) normal += kept + "/";
  return normal;
}

// The folder of a URL as a comparable text ending in "/": a local folder
// absolute (a relative one is taken from the current folder, as a run takes
// it) with its links resolved; a remote one by its host and normal path.
std::string FolderKey(const TURL& url)
{
  if (url.Protocol == TURLProtocol::file) {
    fs::path folder(url.Host + url.Path);
    std::error_code error;
    if (folder.is_relative()) folder = fs::current_path(error) / folder;
    fs::path resolved = fs::weakly_canonical(folder, error);
    std::string key = (error ? folder.lexically_normal() : resolved).string();
    if (key.empty() || key.back() != '/') key += '/';
    return "file:" + key;
  }
  return url.GetProtocolName() + ":" + HostKey(url) + NormalRemotePath(url.Path);
}

bool StartsWith(const std::string& text, const std::string& prefix)
{
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool FoldersOverlap(const TURL& source, const TURL& dest, bool recurse)
{
  const std::string s = FolderKey(source);
  const std::string d = FolderKey(dest);
  if (s == d) return true;
  // A recursive run mirrors each sub-folder S/x into D/x: when one folder lies
  // in the other's tree, written folders can be read folders too.
  return recurse && (StartsWith(d, s) || StartsWith(s, d));
}

// --- names --------------------------------------------------------------------
//
// A mask is a chain of steps; a state is the number of steps passed. The run
// names a file F = base ["." ext] (base up to the first ".") and writes
// G = the destination mask with its first "*" replaced by base and its next
// "*" by ext. Both names are read in step: a pair of states (F's mask, G's
// mask) is reachable when some characters lead there, which a search over
// the pairs decides for all names at once.

using TStates = std::set<std::size_t>;
using TPair = std::pair<std::size_t, std::size_t>;

// state and the states a run lets through without a character.
void AddClosed(const TFileMask& mask, std::size_t state, TStates& states)
{
  states.insert(state);
  while (state < mask.StepCount() && mask.IsRun(state)) states.insert(++state);
}

TStates Start(const TFileMask& mask)
{
  TStates states;
  AddClosed(mask, 0, states);
  return states;
}

TStates Step(const TFileMask& mask, std::size_t state, unsigned char c)
{
  TStates next;
  if (state >= mask.StepCount()) return next;
  if (mask.IsRun(state))
    AddClosed(mask, state, next);
  else if (mask.Accepts(state, c))
    AddClosed(mask, state + 1, next);
  return next;
}

TStates Read(const TFileMask& mask, const TStates& from, const std::string& text)
{
  TStates states = from;
  for (unsigned char c : text) {
    TStates next;
    for (std::size_t state : states) {
      TStates step = Step(mask, state, c);
      next.insert(step.begin(), step.end());
    }
    states = std::move(next);
  }
  return states;
}

bool Accepts(const TFileMask& mask, const TStates& states)
{
  return states.count(mask.StepCount()) > 0;
}

bool AcceptsAfter(const TFileMask& mask, std::size_t state, const std::string& text)
{
  return Accepts(mask, Read(mask, TStates{state}, text));
}

// No name holds "/" or NUL; a base holds no "." (it ends at the first) and
// no "*" (the destination's second "*" would be found in it).
bool InBase(unsigned char c)
{
  return c != 0 && c != '/' && c != '.' && c != '*';
}

bool InExt(unsigned char c)
{
  return c != 0 && c != '/';
}

// Every pair reachable from starts by reading the same characters (those
// for which allowed is true) into both masks. Each pair also records
// whether at least one character was read.
template <typename Allowed>
std::set<std::pair<TPair, bool>> Reachable(const TFileMask& first, const TFileMask& second,
                                           const std::set<TPair>& starts, Allowed allowed)
{
  std::set<std::pair<TPair, bool>> seen;
  std::vector<std::pair<TPair, bool>> work;
  for (const TPair& pair : starts) work.push_back({pair, false});
  seen.insert(work.begin(), work.end());
  while (!work.empty()) {
    auto [pair, moved] = work.back();
    work.pop_back();
    for (int c = 1; c < 256; ++c) {
      if (!allowed(static_cast<unsigned char>(c))) continue;
      for (std::size_t a : Step(first, pair.first, static_cast<unsigned char>(c)))
        for (std::size_t b : Step(second, pair.second, static_cast<unsigned char>(c)))
          if (seen.insert({{a, b}, true}).second) work.push_back({{a, b}, true});
    }
  }
  return seen;
}

std::set<TPair> Pairs(const TStates& first, const TStates& second)
{
  std::set<TPair> pairs;
  for (std::size_t a : first)
    for (std::size_t b : second) pairs.insert({a, b});
  return pairs;
}

// Some name the source mask selects has a destination name the target mask
// (one of the source masks again) selects.
bool MaskPairClashes(const TFileMask& source, const TFileMask& target, const std::string& destMask)
{
  const std::size_t star = destMask.find('*');
  if (star == std::string::npos) return !destMask.empty() && target.Matches(destMask);  // every file goes there
  const std::string prefix = destMask.substr(0, star);
  const std::string rest = destMask.substr(star + 1);
  const std::size_t second = rest.find('*');
  const bool takesExt = second != std::string::npos;
  const std::string middle = takesExt ? rest.substr(0, second) : rest;  // after the base
  const std::string suffix = takesExt ? rest.substr(second + 1) : "";   // after the extension

  const auto bases = Reachable(source, target, Pairs(Start(source), Read(target, Start(target), prefix)), InBase);
  for (const auto& [pair, nonEmpty] : bases) {
    const auto [f, g] = pair;
    // F has no ".": F is the base, the extension is empty.
    if (nonEmpty && f == source.StepCount() && AcceptsAfter(target, g, middle + suffix)) return true;
    // F goes on with "." and its extension.
    const TStates afterDot = Step(source, f, '.');
    if (afterDot.empty()) continue;
    if (!takesExt) {
      if (!AcceptsAfter(target, g, middle)) continue;
      // G is complete; F only needs some extension its mask accepts.
      TFileMask any("*");
      for (const auto& [ext, unused] : Reachable(source, any, Pairs(afterDot, Start(any)), InExt))
        if (ext.first == source.StepCount()) return true;
      continue;
    }
    const auto exts = Reachable(source, target, Pairs(afterDot, Read(target, TStates{g}, middle)), InExt);
    for (const auto& [ext, unused] : exts)
      if (ext.first == source.StepCount() && AcceptsAfter(target, ext.second, suffix)) return true;
  }
  return false;
}

std::vector<TFileMask> ReadableMasks(const std::string& list)
{
  std::vector<TFileMask> masks;
  for (const std::string& text : SplitMaskList(list)) {
    try {
      masks.emplace_back(text);
    } catch (const EMaskException&) {
      // selects nothing: the listing of the run fails on it
    }
  }
  return masks;
}

}  // namespace

bool BatchMasksClash(const std::string& sourceMasks, const std::string& destMask)
{
  const std::vector<TFileMask> masks = ReadableMasks(sourceMasks);
  for (const TFileMask& read : masks)
    for (const TFileMask& written : masks)
      if (MaskPairClashes(read, written, destMask)) return true;
  return false;
}

bool BatchSpecsClash(const TURL& source, const TURL& dest, bool recurse)
{
  return FoldersOverlap(source, dest, recurse) && BatchMasksClash(source.FileName, dest.FileName);
}
