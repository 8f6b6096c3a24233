#include "resource/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "resource/EResourceError.h"
#include "resource/TRegularFile.h"
#include "resource/TWorkProgress.h"

namespace {

[[noreturn]] void ThrowCreate(const std::string& path, const std::string& reason)
{
  throw EFCreateError("Cannot create file \"" + path + "\". " + reason);
}

[[noreturn]] void ThrowCreate(const std::string& path, int error)
{
  ThrowCreate(path, std::strerror(error));
}

std::string FolderOf(const std::string& path)
{
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return std::string();
  return path.substr(0, slash + 1);
}

std::string BaseOf(const std::string& path)
{
  auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Closes a file descriptor when it goes out of scope.
class TFileHandle {
public:
  explicit TFileHandle(int fd) : Fd(fd) {}
  ~TFileHandle() { ::close(Fd); }
  TFileHandle(const TFileHandle&) = delete;
  TFileHandle& operator=(const TFileHandle&) = delete;

private:
  int Fd;
};

constexpr int kMaxLinks = 40;  // as many symbolic links as the system follows in one path

// In a sticky folder (such as /tmp) anyone may make a link, but only its
// owner and the folder's may remove it: a link of another user there may
// name any file the user can write, put under the name of a document about
// to be saved. Like the kernel's protected_symlinks (which an open of the
// link's target by its name would bypass), such a link is not followed.
void RequireFollowableLink(const std::string& path, const std::string& link, const struct stat& linkInfo)
{
  const std::string folder = FolderOf(link);
  struct stat folderInfo {};
  if (::stat(folder.empty() ? "." : folder.c_str(), &folderInfo) != 0) ThrowCreate(path, errno);
  if (!(folderInfo.st_mode & S_ISVTX) || linkInfo.st_uid == ::geteuid() || linkInfo.st_uid == folderInfo.st_uid)
    return;
  ThrowCreate(path, "The symbolic link \"" + link +
                        "\" belongs to another user and lies in a shared folder: it is not followed");
}

// The file that writing to path replaces: path itself or, when path is a
// symbolic link, the file its chain of links names (which may not exist yet).
// Renaming over the link itself would turn it into a plain file and leave its
// target unchanged. A link in a sticky folder that neither the user nor the
// folder's owner made is refused.
std::string WriteTarget(const std::string& path)
{
  std::string target = path;
  for (int links = 0; links < kMaxLinks; ++links) {
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return target;
    RequireFollowableLink(path, target, info);
    std::error_code error;
    std::string next = std::filesystem::read_symlink(target, error).string();
    if (error) ThrowCreate(path, error.value());
    target = !next.empty() && next[0] == '/' ? next : FolderOf(target) + next;
  }
  ThrowCreate(path, ELOOP);
}

constexpr std::size_t kChunkSize = std::size_t(4) << 20;  // bytes written between two looks at the cancel

// Reports to the calling thread's work progress, if any, and raises
// ECancelled between chunks once that work is cancelled.
bool WriteAll(int fd, const std::string& bytes)
{
  TWorkProgress* progress = TWorkProgress::Current();
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    if (progress) {
      progress->ThrowIfCancelled();
      progress->Report(bytes.size() - left, bytes.size());
    }
    ssize_t n = ::write(fd, p, std::min(left, kChunkSize));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (progress) progress->Report(bytes.size(), bytes.size());
  return true;
}

// The name of a temporary file beside target: hidden, after the target's
// name, cut so that it stays within the folder's limit of a name's length.
std::string TemporaryName(const std::string& target)
{
  const std::string folder = FolderOf(target);
  long limit = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
  const std::size_t nameMax = limit > 0 ? static_cast<std::size_t>(limit) : 255;
  const std::string suffix = ".XXXXXX";
  std::string base = BaseOf(target);
  if (1 + base.size() + suffix.size() > nameMax) base.resize(nameMax > 1 + suffix.size() ? nameMax - 1 - suffix.size() : 0);
  return folder + "." + base + suffix;
}

mode_t ModeOfNewFile(mode_t requested)
{
  mode_t mask = ::umask(0);
  ::umask(mask);
  return requested & ~mask;
}

// Gives the open temporary file fd the owner and group of the file it will
// replace. The superuser gives both; anyone else only a group of their own.
bool TakeOwnerAndGroup(int fd, const struct stat& old)
{
  if (::geteuid() == 0) {
    (void)::fchown(fd, old.st_uid, old.st_gid);
    return true;
  }
  struct stat made {};
  if (::fstat(fd, &made) != 0) return false;
  return made.st_gid == old.st_gid || ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
}

// A new file renamed over the old one is another file: the old one's other
// names (hard links) would keep the old content, its extended attributes
// would be lost, and a file of another owner would become the user's. Such a
// file is rewritten in place.
// True when the file has extended attributes of its own: access lists that
// let others in, notes that other programs keep. A security label is not
// counted: a new file gets its label from the folder's policy.
bool HasOwnAttributes(const std::string& target)
{
  ssize_t size = ::listxattr(target.c_str(), nullptr, 0);
  if (size <= 0) return false;
  std::string names(static_cast<std::size_t>(size), '\0');
  size = ::listxattr(target.c_str(), names.data(), names.size());
  if (size <= 0) return size < 0;  // changed in between: take it as having some
  for (std::size_t start = 0; start < static_cast<std::size_t>(size);) {
    std::string name(names.c_str() + start);
    if (name != "security.selinux") return true;
    start += name.size() + 1;
  }
  return false;
}

bool ReplaceableByRename(const std::string& target, const struct stat& old)
{
  if (old.st_nlink > 1 || HasOwnAttributes(target)) return false;
  return ::geteuid() == 0 || old.st_uid == ::geteuid();
}

// Writes bytes to a temporary file beside target and renames it over target.
// False, with error set, when no temporary file can be made or renamed there
// (the target is then untouched); a failed write raises EFCreateError. Work
// cancelled before the rename raises ECancelled, the target untouched.
bool WriteThroughTemporary(const std::string& path, const std::string& target, const std::string& bytes,
                           const struct stat* old, mode_t newFileMode, bool forceMode, int& error)
{
  std::string temp = TemporaryName(target);
  int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    error = errno;
    return false;
  }
  // The new file must belong to the old one's group, or it would replace a
  // shared file with one the group cannot use: where that group cannot be
  // given, the file is rewritten in place instead.
  if (old && !TakeOwnerAndGroup(fd, *old)) {
    error = EPERM;
    ::close(fd);
    ::unlink(temp.c_str());
    return false;
  }
  mode_t mode = forceMode ? newFileMode : old ? (old->st_mode & 07777) : ModeOfNewFile(newFileMode);
  bool ok = ::fchmod(fd, mode) == 0;
  try {
    ok = ok && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    error = errno;
    if (ok) TWorkProgress::CheckCurrent();  // the rename replaces the file: no cancel after it
  } catch (const ECancelled&) {
    ::close(fd);
    ::unlink(temp.c_str());
    throw;
  }
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    ThrowCreate(path, error);
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    error = errno;
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

bool WriteAllAt(int fd, const std::string& bytes)
{
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool ReadAllAt(int fd, std::string& bytes)
{
  char buffer[65536];
  for (;;) {
    ssize_t n = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(bytes.size()));
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}

// Rewrites the existing file target itself. Its previous content is kept
// aside first: when the new bytes cannot all be written, it is put back.
// A forced mode is set before the new bytes go in. The work can be cancelled
// until the first byte is written, no longer.
void WriteInPlace(const std::string& path, const std::string& target, const std::string& bytes, const mode_t* mode)
{
  // target is no link (WriteTarget resolved the links): one put there since
  // is not followed.
  int fd = ::open(target.c_str(), O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) ThrowCreate(path, errno);
  TFileHandle file(fd);
  struct stat info {};
  if (::fstat(fd, &info) != 0) ThrowCreate(path, errno);
  if (!S_ISREG(info.st_mode)) ThrowCreate(path, NotRegularFileReason(info.st_mode));
  if (mode && (info.st_mode & 07777) != *mode && ::fchmod(fd, *mode) != 0) ThrowCreate(path, errno);
  std::string previous;
  if (!ReadAllAt(fd, previous)) ThrowCreate(path, errno);
  // Room for a longer text first, where the file system can promise it, so
  // that nothing is overwritten when it lacks.
  TWorkProgress::CheckCurrent();
  if (bytes.size() > previous.size() &&
      ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0 && errno != EOPNOTSUPP &&
      errno != ENOSYS)
    ThrowCreate(path, errno);
  if (WriteAllAt(fd, bytes) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0) return;
  int error = errno;
  (void)WriteAllAt(fd, previous);
  (void)::ftruncate(fd, static_cast<off_t>(previous.size()));
  (void)::fsync(fd);
  ThrowCreate(path, error);
}

// Writes through a temporary file, or in place where none can be made.
void WriteFile(const std::string& path, const std::string& bytes, mode_t newFileMode, bool forceMode)
{
  const std::string target = WriteTarget(path);
  struct stat old {};
  bool exists = ::stat(target.c_str(), &old) == 0;
  // Renaming over a named pipe or a device would put a plain file in its place.
  if (exists && !S_ISREG(old.st_mode)) ThrowCreate(path, NotRegularFileReason(old.st_mode));
  // A file the user may not write keeps its content, even where its folder
  // would let a new file take its name. Only a forced mode (a file of the
  // program's own) overrides its permissions.
  if (exists && !forceMode && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
    ThrowCreate(path, errno);
  int error = 0;
  if ((!exists || ReplaceableByRename(target, old)) &&
      WriteThroughTemporary(path, target, bytes, exists ? &old : nullptr, newFileMode, forceMode, error))
    return;
  // No temporary file could be made or renamed beside the file (a folder the
  // user may not write to, a sticky folder, no room for one more name), or
  // one would not be the same file (other names, another owner or group): a
  // file that exists is rewritten where it is.
  if (!exists) ThrowCreate(path, error);
  WriteInPlace(path, target, bytes, forceMode ? &newFileMode : nullptr);
}

}  // namespace

void WriteFileAtomically(const std::string& path, const std::string& bytes, mode_t newFileMode)
{
  WriteFile(path, bytes, newFileMode, false);
}

void WriteFileAtomicallyWithMode(const std::string& path, const std::string& bytes, mode_t mode)
{
  WriteFile(path, bytes, mode, true);
}

std::string ReadWholeFile(const std::string& path)
{
  TRegularFile file(path);
  std::string bytes;
  if (!file.IsOpen() || !file.ReadAll(bytes))
    throw EFOpenError("Cannot open file \"" + path + "\". " + file.Failure());
  return bytes;
}
