#include "xmltools/TBatchWalk.h"

#include <filesystem>
#include <sys/stat.h>
#include <system_error>

#include "resource/ControlCharacters.h"
#include "resource/TFILEProtocol.h"
#include "resource/zevlog.h"

namespace {

constexpr std::uint8_t kNotEnteredLevel = 2;  // always on: a folder's files were not done
constexpr std::uint8_t kDetailLevel = 5;

void LogNotEntered(const std::string& text)
{
  AppLog().Log(kNotEnteredLevel, text);
}

}  // namespace

void TBatchWalk::Start(const TURL& source, bool writes)
{
  FWrites = writes;
  FVisited.clear();
  FDestListed.clear();
  FDestLinks.clear();
  const std::string identity = Identity(source);
  if (!identity.empty()) FVisited.emplace(identity, FolderLogName(source));
}

std::vector<std::string> TBatchWalk::FoldersToEnter(TURL& source, const TURL& dest, int depth)
{
  std::vector<std::string> names;
  const int count = source.GetCount();
  for (int i = 0; i < count; ++i) {
    const TFolderItem& item = source.GetItem(i);
    if (item.Kind == TFolderItem::kFolder && Enters(source, dest, item, depth)) names.push_back(item.Name);
  }
  return names;
}

bool TBatchWalk::Enters(TURL& source, const TURL& dest, const TFolderItem& item, int depth)
{
  // A link to a folder may lead above the folder it sits in (a loop) or out
  // of the tree altogether.
  if (IsLink(source, item)) {
    TURL link(source);
    link.SetFileName(item.Name);
    AppLog().Log(kDetailLevel, "Link to a folder not followed: " + LogName(link));
    return false;
  }
  const TURL sub = SubFolder(source, item.Name);
  const TURL destSub = SubFolder(dest, item.Name);
  if (Unnameable(source, item.Name) || (FWrites && Unnameable(dest, item.Name))) {
    LogNotEntered("Name holds control characters, skipped: " +
                  FolderLogName(Unnameable(source, item.Name) ? sub : destSub));
    return false;
  }
  const auto seen = item.Identity.empty() ? FVisited.end() : FVisited.find(item.Identity);
  if (seen != FVisited.end()) {
    LogNotEntered("Folder already visited, not entered again: " + FolderLogName(sub) + " (the same folder as " +
                  seen->second + ")");
    return false;
  }
  if (source.Protocol == TURLProtocol::ftp && depth + 1 > kMaxRemoteDepth) {
    LogNotEntered("Folder not entered, more than " + std::to_string(kMaxRemoteDepth) +
                  " levels below the run's folder: " + FolderLogName(sub));
    return false;
  }
  if (FWrites && DestinationIsLink(dest, item.Name)) {
    LogNotEntered("Destination folder is a link, not written into: " + FolderLogName(destSub) + " (" +
                  FolderLogName(sub) + " not done)");
    return false;
  }
  if (!item.Identity.empty()) FVisited.emplace(item.Identity, FolderLogName(sub));
  return true;
}

// FTP listings mark the links they show; a local entry is asked of the file
// system itself (the listing reports where a link leads, not that it is one).
bool TBatchWalk::IsLink(const TURL& folder, const TFolderItem& item) const
{
  if (item.Link) return true;
  if (folder.Protocol != TURLProtocol::file) return false;
  TURL entry(folder);
  entry.SetFileName(item.Name);
  std::error_code error;
  return std::filesystem::is_symlink(std::filesystem::symlink_status(entry.GetNativeName(), error));
}

// A local folder is asked itself; a remote one is looked up in a listing of
// its own folder, once for the folder's sub-folders.
bool TBatchWalk::DestinationIsLink(const TURL& dest, const std::string& name)
{
  if (dest.Protocol == TURLProtocol::file) {
    struct stat info {};
    return ::lstat((dest.Path + name).c_str(), &info) == 0 && S_ISLNK(info.st_mode);
  }
  if (dest.Protocol != TURLProtocol::ftp) return false;
  const std::string folder = FolderLogName(dest);
  if (FDestListed != folder) {
    FDestListed = folder;
    FDestLinks.clear();
    TURL listing(dest);
    const int count = listing.GetCount();
    for (int i = 0; i < count; ++i)
      if (listing.GetItem(i).Link) FDestLinks.insert(listing.GetItem(i).Name);
  }
  return FDestLinks.count(name) > 0;
}

// The run's own folder: a local one asked itself, a remote one found in the
// listing of the folder it lies in (unknown for the server's root).
std::string TBatchWalk::Identity(const TURL& folder)
{
  if (folder.Protocol == TURLProtocol::file) return TFILEProtocol::FolderIdentity(folder.Path.empty() ? "." : folder.Path);
  if (folder.Protocol != TURLProtocol::ftp) return std::string();
  std::string path = folder.Path;
  while (!path.empty() && path.back() == '/') path.pop_back();
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash + 1 >= path.size()) return std::string();
  const std::string name = path.substr(slash + 1);
  TURL parent(folder);
  parent.SetPath(path.substr(0, slash + 1));
  const int count = parent.GetCount();
  for (int i = 0; i < count; ++i) {
    const TFolderItem& item = parent.GetItem(i);
    if (item.Kind == TFolderItem::kFolder && item.Name == name) return item.Identity;
  }
  return std::string();
}

TURL TBatchWalk::SubFolder(const TURL& folder, const std::string& name)
{
  TURL sub(folder);
  sub.SetPath(folder.Path + name + "/");
  return sub;
}

std::string TBatchWalk::LogName(const TURL& url)
{
  return EscapeControlCharacters(url.GetURL());
}

std::string TBatchWalk::FolderLogName(const TURL& folder)
{
  TURL bare(folder);
  bare.SetFileName(std::string());
  return LogName(bare);
}

bool TBatchWalk::Unnameable(const TURL& url, const std::string& name)
{
  return url.Protocol == TURLProtocol::ftp && HasControlCharacter(name);
}
