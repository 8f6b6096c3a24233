#include "editor/TWorkingCopy.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "resource/AccessList.h"
#include "resource/EResourceError.h"

namespace {

// Names tried for a new working copy before giving up (each one was free a
// moment earlier and taken when it was made).
constexpr int MaxCreateAttempts = 100;

// The longest file name (one path component) in bytes.
constexpr std::size_t MaxNameBytes = NAME_MAX;

[[noreturn]] void ThrowCreate(const std::string& path, int error)
{
  throw EFCreateError("Cannot create file \"" + path + "\". " + std::strerror(error));
}

std::vector<const TWorkingCopy*>& Registry()
{
  static std::vector<const TWorkingCopy*> copies;
  return copies;
}

std::string FolderOf(const std::string& path)
{
  auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool Exists(const std::string& path)
{
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// The process's umask, read without changing it (a change would hold for
// every thread for a moment).
mode_t CurrentUmask()
{
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) != 0) continue;
    return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8)) & 0777;
  }
  mode_t mask = ::umask(077);
  ::umask(mask);
  return mask;
}

// The permissions a working copy gets (see the header).
struct TAccess {
  mode_t Mode = S_IRUSR | S_IWUSR;
  bool HasGroup = false;
  gid_t Group = 0;
};

TAccess AccessFor(const std::string& document)
{
  TAccess access;
  if (document.empty()) return access;  // remote
  const mode_t readWrite = S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH;
  struct stat info {};
  if (::stat(document.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode)) return access;
    const bool listed = HasExtendedAccessList(document);
    access.Mode = CopyableMode(info.st_mode, listed) & readWrite & ~CurrentUmask();
    access.HasGroup = !listed;
    access.Group = info.st_gid;
    return access;
  }
  access.Mode = readWrite & ~CurrentUmask();
  return access;
}

// Gives an open working copy its permissions. A file system that keeps no
// permissions refuses the change; the file then keeps those it was made
// with, owner-only.
void ApplyAccess(int fd, const TAccess& access)
{
  mode_t mode = access.Mode;
  struct stat own {};
  if (access.HasGroup && ::fstat(fd, &own) == 0 && own.st_gid != access.Group &&
      ::fchown(fd, static_cast<uid_t>(-1), access.Group) != 0)
    mode &= ~static_cast<mode_t>(S_IRWXG);
  (void)::fchmod(fd, mode);
}

// Cuts text to at most size bytes, never inside a UTF-8 sequence.
std::string CutBytes(const std::string& text, std::size_t size)
{
  if (text.size() <= size) return text;
  while (size > 1 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80) --size;
  return text.substr(0, size);
}

// "~" + name with number n (none for 0) before the last ".", cut to fit.
std::string NumberedName(const std::string& name, long n)
{
  std::string base = "~" + name;
  std::string ext;
  auto dot = base.rfind('.');
  // An "extension" that leaves no room for the name is part of the name.
  if (dot != std::string::npos && dot > 0 && base.size() - dot <= MaxNameBytes / 2) {
    ext = base.substr(dot);
    base.erase(dot);
  }
  std::string number = n > 0 ? std::to_string(n) : std::string();
  std::size_t room = MaxNameBytes - ext.size() - number.size();
  return CutBytes(base, room) + number + ext;
}

// path and document are one file, or the same name when neither exists.
bool SameDocument(const std::string& path, const std::string& document)
{
  if (path == document) return true;
  struct stat a {};
  struct stat b {};
  bool hasPath = ::stat(path.c_str(), &a) == 0;
  bool hasDocument = ::stat(document.c_str(), &b) == 0;
  if (hasPath || hasDocument) return hasPath && hasDocument && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
  std::error_code e1;
  std::error_code e2;
  auto p = std::filesystem::weakly_canonical(path, e1);
  auto d = std::filesystem::weakly_canonical(document, e2);
  return !e1 && !e2 && p == d;
}

}  // namespace

TWorkingCopy::TWorkingCopy(TDocumentPath documentPath) : DocumentPath_(std::move(documentPath))
{
  Registry().push_back(this);
}

TWorkingCopy::~TWorkingCopy()
{
  auto& copies = Registry();
  copies.erase(std::remove(copies.begin(), copies.end(), this), copies.end());
}

bool TWorkingCopy::IsOpenDocument(const std::string& path)
{
  for (const TWorkingCopy* copy : Registry()) {
    std::string document = copy->DocumentPath_ ? copy->DocumentPath_() : std::string();
    if (!document.empty() && SameDocument(path, document)) return true;
  }
  return false;
}

std::string TWorkingCopy::ChooseName(const std::string& folder, const std::string& documentName)
{
  for (long n = 0;; ++n) {
    std::string candidate = folder + NumberedName(documentName, n);
    if (!Exists(candidate) && !IsOpenDocument(candidate)) return candidate;
  }
}

TWorkingCopy::TWrite TWorkingCopy::BeginWrite(const std::string& path, const std::string& documentName)
{
  if (path.empty()) ThrowCreate(path, ENOENT);
  const TAccess access = AccessFor(DocumentPath_ ? DocumentPath_() : std::string());
  const std::string folder = FolderOf(path);
  if (IsOwnFile(path)) {
    // The new text goes to a file of its own that replaces the old copy
    // once it is complete.
    std::string temporary = folder + ".~XXXXXX";
    int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) ThrowCreate(path, errno);
    ApplyAccess(fd, access);
    return TWrite(*this, path, temporary, fd);
  }
  std::string target = IsOpenDocument(path) ? ChooseName(folder, documentName) : path;
  for (int attempt = 0; attempt < MaxCreateAttempts; ++attempt) {
    // Made here, never opened: whatever is at the name (a file, a link, a
    // folder, a pipe) belongs to someone else.
    int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd >= 0) {
      ApplyAccess(fd, access);
      return TWrite(*this, target, std::string(), fd);
    }
    if (errno != EEXIST) ThrowCreate(target, errno);
    target = ChooseName(folder, documentName);
  }
  ThrowCreate(target, EEXIST);
}

void TWorkingCopy::Delete(const std::string& path)
{
  if (path.empty() || !IsOwnFile(path)) return;
  ::unlink(path.c_str());
  Written_.Valid = false;
}

bool TWorkingCopy::IsOwnFile(const std::string& path) const
{
  if (!Written_.Valid || Written_.Path != path) return false;
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  if (info.st_dev != Written_.Device || info.st_ino != Written_.Inode || info.st_size != Written_.Size ||
      info.st_mtim.tv_sec != Written_.MTimeSeconds || info.st_mtim.tv_nsec != Written_.MTimeNanoseconds)
    return false;
  return !IsOpenDocument(path);
}

void TWorkingCopy::Remember(const std::string& path, dev_t device, ino_t inode)
{
  Written_ = TIdentity();
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_dev != device || info.st_ino != inode)
    return;
  Written_.Path = path;
  Written_.Device = device;
  Written_.Inode = inode;
  Written_.Size = info.st_size;
  Written_.MTimeSeconds = info.st_mtim.tv_sec;
  Written_.MTimeNanoseconds = info.st_mtim.tv_nsec;
  Written_.Valid = true;
}

// ---- one write ----------------------------------------------------------------

TWorkingCopy::TWrite::TWrite(TWorkingCopy& owner, std::string path, std::string temporary, int fd)
    : Owner_(&owner), Path_(std::move(path)), Temporary_(std::move(temporary)), Fd_(fd)
{
  struct stat info {};
  if (::fstat(fd, &info) == 0) {
    Device_ = info.st_dev;
    Inode_ = info.st_ino;
  }
}

TWorkingCopy::TWrite::TWrite(TWrite&& other) noexcept
    : Owner_(other.Owner_),
      Path_(std::move(other.Path_)),
      Temporary_(std::move(other.Temporary_)),
      Fd_(other.Fd_),
      Device_(other.Device_),
      Inode_(other.Inode_),
      Done_(other.Done_)
{
  other.Fd_ = -1;
  other.Done_ = true;
}

TWorkingCopy::TWrite::~TWrite()
{
  if (Fd_ >= 0) ::close(Fd_);
  if (Done_) return;
  if (!Temporary_.empty()) {
    ::unlink(Temporary_.c_str());
    return;
  }
  // A new copy that was not completed goes; the file is still the one made.
  struct stat info {};
  if (::lstat(Path_.c_str(), &info) == 0 && info.st_dev == Device_ && info.st_ino == Inode_) ::unlink(Path_.c_str());
}

int TWorkingCopy::TWrite::ReleaseDescriptor()
{
  int fd = Fd_;
  Fd_ = -1;
  return fd;
}

std::string TWorkingCopy::TWrite::Commit()
{
  if (Fd_ >= 0) {
    int fd = ReleaseDescriptor();
    if (::close(fd) != 0) ThrowCreate(Path_, errno);
  }
  if (!Temporary_.empty() && ::rename(Temporary_.c_str(), Path_.c_str()) != 0) ThrowCreate(Path_, errno);
  Done_ = true;
  Owner_->Remember(Path_, Device_, Inode_);
  return Path_;
}
