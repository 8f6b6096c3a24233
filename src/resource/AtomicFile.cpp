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

[[noreturn]] void ThrowCreate(const std::string& path, int error)
{
  throw EFCreateError("Cannot create file \"" + path + "\". " + std::strerror(error));
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
  if (exists && S_ISDIR(old.st_mode)) ThrowCreate(path, EISDIR);

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
  std::FILE* file = std::fopen(path.c_str(), "rb");
  struct stat info {};
  if (file && ::fstat(::fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
    std::fclose(file);
    throw EFOpenError("Cannot open file \"" + path + "\". " + std::strerror(EISDIR));
  }
  if (!file) throw EFOpenError("Cannot open file \"" + path + "\". " + std::strerror(errno));
  std::string bytes;
  if (info.st_size > 0) bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
  bool failed = std::ferror(file) != 0;
  int error = errno;
  std::fclose(file);
  if (failed) throw EFOpenError("Cannot open file \"" + path + "\". " + std::strerror(error));
  return bytes;
}
