#include "resource/TRegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TRegularFile::TRegularFile(const std::string& path)
{
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    NotFound = errno == ENOENT;
    Reason = std::strerror(errno);
    return;
  }
  Reason = NotRegularFileReason(info.st_mode);
  if (!Reason.empty()) return;
  // Should the name have become a named pipe since, O_NONBLOCK lets the open
  // return at once, and the check of what was opened refuses it.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    NotFound = errno == ENOENT;
    Reason = std::strerror(errno);
    return;
  }
  Reason = ::fstat(fd, &info) != 0 ? std::strerror(errno) : NotRegularFileReason(info.st_mode);
  if (Reason.empty())
    Fd = fd;
  else
    ::close(fd);
}

TRegularFile::~TRegularFile()
{
  if (Fd >= 0) ::close(Fd);
}

bool TRegularFile::ReadAll(std::string& bytes)
{
  if (Fd < 0) return false;
  struct stat info {};
  if (::fstat(Fd, &info) == 0 && info.st_size > 0) bytes.reserve(bytes.size() + static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(Fd, buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      Reason = std::strerror(errno);
      return false;
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}

int TRegularFile::Release()
{
  int fd = Fd;
  Fd = -1;
  return fd;
}

std::string NotRegularFileReason(mode_t mode)
{
  if (S_ISREG(mode)) return std::string();
  if (S_ISDIR(mode)) return std::strerror(EISDIR);
  if (S_ISFIFO(mode)) return "It is a named pipe, not a file.";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "It is a device, not a file.";
  if (S_ISSOCK(mode)) return "It is a socket, not a file.";
  return "It is not a file.";
}
