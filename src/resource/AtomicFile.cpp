#include "resource/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "resource/EResourceError.h"

namespace {

[[noreturn]] void ThrowCreate(const std::string& path, const std::string& reason)
{
  throw EFCreateError("Cannot create file \"" + path + "\". " + reason);
}

[[noreturn]] void ThrowCreate(const std::string& path, int error)
{
  ThrowCreate(path, std::strerror(error));
}

// Why a file of this mode is no document to read or write; empty for a
// regular file.
std::string NotRegularReason(mode_t mode)
{
  if (S_ISREG(mode)) return std::string();
  if (S_ISDIR(mode)) return std::strerror(EISDIR);
  if (S_ISFIFO(mode)) return "It is a named pipe, not a file.";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "It is a device, not a file.";
  if (S_ISSOCK(mode)) return "It is a socket, not a file.";
  return "It is not a file.";
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

// The file that writing to path replaces: path itself or, when path is a
// symbolic link, the file its chain of links names (which may not exist yet).
// Renaming over the link itself would turn it into a plain file and leave its
// target unchanged.
std::string WriteTarget(const std::string& path)
{
  std::string target = path;
  for (int links = 0; links < kMaxLinks; ++links) {
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return target;
    std::error_code error;
    std::string next = std::filesystem::read_symlink(target, error).string();
    if (error) ThrowCreate(path, error.value());
    target = !next.empty() && next[0] == '/' ? next : FolderOf(target) + next;
  }
  ThrowCreate(path, ELOOP);
}

bool WriteAll(int fd, const std::string& bytes)
{
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

void WriteFileAtomically(const std::string& path, const std::string& bytes, mode_t newFileMode)
{
  const std::string target = WriteTarget(path);
  struct stat old {};
  bool exists = ::stat(target.c_str(), &old) == 0;
  // Renaming over a named pipe or a device would put a plain file in its place.
  if (exists && !S_ISREG(old.st_mode)) ThrowCreate(path, NotRegularReason(old.st_mode));

  std::string temp = FolderOf(target) + "." + BaseOf(target) + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) ThrowCreate(path, errno);

  mode_t mode = exists ? (old.st_mode & 07777) : newFileMode;
  if (!exists) {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }
  bool ok = ::fchmod(fd, mode) == 0;
  if (ok && exists && ::geteuid() == 0) (void)::fchown(fd, old.st_uid, old.st_gid);
  ok = ok && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int error = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    ThrowCreate(path, error);
  }
}

std::string ReadWholeFile(const std::string& path)
{
  auto fail = [&path](const std::string& reason) -> void {
    throw EFOpenError("Cannot open file \"" + path + "\". " + reason);
  };
  // The kind is checked before the file is opened: opening a named pipe waits
  // for a writer, and a device may never end. What was opened is checked
  // again (without waiting) in case the name changed in between.
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) fail(std::strerror(errno));
  if (std::string why = NotRegularReason(info.st_mode); !why.empty()) fail(why);
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) fail(std::strerror(errno));
  TFileHandle file(fd);
  if (::fstat(fd, &info) != 0) fail(std::strerror(errno));
  if (std::string why = NotRegularReason(info.st_mode); !why.empty()) fail(why);
  std::string bytes;
  if (info.st_size > 0) bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(std::strerror(errno));
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  return bytes;
}
