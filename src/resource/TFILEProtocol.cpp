#include "resource/TFILEProtocol.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "resource/AtomicFile.h"
#include "resource/EResourceError.h"
#include "resource/TURL.h"

namespace {

// The local file a URL names; the host is unused (always empty for file URLs).
std::string LocalName(const TURL& url)
{
  return url.Path + url.FileName;
}

unsigned char UpperAscii(unsigned char c)
{
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// Listing order: by name with ASCII letters compared as upper case, as the
// file systems of the original platform return entries; names that differ only
// in case follow byte order so the result never depends on the disk.
bool NameBefore(const std::string& a, const std::string& b)
{
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char x = UpperAscii(static_cast<unsigned char>(a[i]));
    unsigned char y = UpperAscii(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}


// The names in folder; none, with error set to the reason, when it cannot
// be read.
std::vector<std::string> FolderEntries(const std::string& folder, std::string& error)
{
  std::vector<std::string> names;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()), ::closedir);
  if (!dir) {
    error = std::strerror(errno);
    return names;
  }
  while (dirent* entry = ::readdir(dir.get())) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(), NameBefore);
  return names;
}

}  // namespace

// Folders are followed through symbolic links; a dangling link is a plain
// entry.
std::string TFILEProtocol::FolderIdentity(const std::string& path)
{
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::string();
  return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
}

bool TFILEProtocol::IsConnected(TURL&)
{
  return true;
}

void TFILEProtocol::Connect(TURL&) {}

void TFILEProtocol::Disconnect(TURL&) {}

// A file that is gone already is no failure; one that stays is reported,
// so that nobody is told it was deleted.
void TFILEProtocol::DeleteFile(TURL& url)
{
  const std::string path = url.GetNativeName();
  if (::unlink(path.c_str()) != 0 && errno != ENOENT)
    throw EResourceError("Cannot delete file \"" + path + "\". " + std::strerror(errno));
}

// Every sub-folder, whatever its name, and the files that match the URL's
// masks; a missing or unreadable folder lists as empty, with the reason in
// ListError (a folder without files is no failure).
void TFILEProtocol::ListFolder(TURL& url)
{
  url.Items.clear();
  std::string folder = url.Path;
  std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  for (const auto& name : FolderEntries(folder, url.ListError)) {
    std::string identity = FolderIdentity(prefix + name);
    if (!identity.empty())
      url.Items.push_back(std::make_unique<TFolderItem>(TFolderItem::kFolder, name, false, std::move(identity)));
    else if (url.MatchesFilter(name))
      url.Items.push_back(std::make_unique<TFolderItem>(TFolderItem::kFile, name));
  }
}

void TFILEProtocol::GetFile(TURL& url, std::string& text)
{
  text = ReadWholeFile(LocalName(url));
}

void TFILEProtocol::PutFile(TURL& url, const std::string& text)
{
  WriteFileAtomically(LocalName(url), text);
}

void TFILEProtocol::CheckIdle() {}
