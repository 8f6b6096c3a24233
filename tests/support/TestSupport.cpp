#include "TestSupport.h"

#include <arpa/inet.h>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>

std::string MakeTempFolder(const std::string& prefix)
{
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + prefix + "-XXXXXX";
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  return pattern + "/";
}

void WriteTestFile(const std::string& path, const std::string& bytes)
{
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadTestFile(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int FreeLocalPort()
{
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  int port = ntohs(addr.sin_port);
  ::close(fd);
  return port;
}

namespace {

// One entry of the attribute: tag, permissions, id, little-endian.
void AppendAccessEntry(std::string& list, unsigned tag, unsigned permissions, std::uint32_t id)
{
  const unsigned char bytes[8] = {static_cast<unsigned char>(tag),         static_cast<unsigned char>(tag >> 8),
                                  static_cast<unsigned char>(permissions), 0,
                                  static_cast<unsigned char>(id),          static_cast<unsigned char>(id >> 8),
                                  static_cast<unsigned char>(id >> 16),    static_cast<unsigned char>(id >> 24)};
  list.append(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

}  // namespace

bool GrantReadThroughAccessList(const std::string& path, unsigned uid)
{
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return false;
  constexpr unsigned kUserObj = 0x01, kUser = 0x02, kGroupObj = 0x04, kMask = 0x10, kOther = 0x20;
  constexpr std::uint32_t kNoId = 0xFFFFFFFF;
  std::string list("\x02\0\0\0", 4);  // version 2
  AppendAccessEntry(list, kUserObj, (info.st_mode >> 6) & 7, kNoId);
  AppendAccessEntry(list, kUser, 4, uid);
  AppendAccessEntry(list, kGroupObj, 0, kNoId);
  AppendAccessEntry(list, kMask, 4, kNoId);
  AppendAccessEntry(list, kOther, 0, kNoId);
  return ::setxattr(path.c_str(), "system.posix_acl_access", list.data(), list.size(), 0) == 0;
}

TFifoTrap::TFifoTrap(std::string path) : Path(std::move(path))
{
  if (::mkfifo(Path.c_str(), 0644) != 0) throw std::runtime_error("mkfifo failed: " + Path);
  Watcher = std::thread([this] {
    while (!Stopping) {
      // Opening for writing without waiting succeeds only while a reader has it open.
      int fd = ::open(Path.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) {
        WasOpened = true;
        ::close(fd);
      }
      ::usleep(1000);
    }
  });
}

TFifoTrap::~TFifoTrap()
{
  Stopping = true;
  Watcher.join();
}

EnvironmentScope::EnvironmentScope(std::string name, const std::string& value) : Name(std::move(name))
{
  const char* kept = std::getenv(Name.c_str());
  WasSet = kept != nullptr;
  if (WasSet) Kept = kept;
  ::setenv(Name.c_str(), value.c_str(), 1);
}

EnvironmentScope::~EnvironmentScope()
{
  if (WasSet)
    ::setenv(Name.c_str(), Kept.c_str(), 1);
  else
    ::unsetenv(Name.c_str());
}
