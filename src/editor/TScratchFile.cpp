#include "editor/TScratchFile.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "resource/EResourceError.h"

namespace {

constexpr std::size_t BufferSize = std::size_t{1} << 20;

[[noreturn]] void ThrowCreate(const std::string& path, int error)
{
  throw EFCreateError("Cannot create file \"" + path + "\". " + std::strerror(error));
}

}  // namespace

TScratchFile::TScratchFile(std::string path, int fd) : FPath(std::move(path)), FFd(fd)
{
  FBuffer.reserve(BufferSize);
}

TScratchFile::~TScratchFile()
{
  if (FFd >= 0) ::close(FFd);
}

void TScratchFile::Write(const char* data, std::size_t size)
{
  if (FBuffer.size() + size > BufferSize) Flush();
  if (size >= BufferSize)
    WriteAll(data, size);
  else
    FBuffer.append(data, size);
}

void TScratchFile::Close()
{
  Flush();
  int fd = FFd;
  FFd = -1;
  if (::close(fd) != 0) ThrowCreate(FPath, errno);
}

void TScratchFile::Flush()
{
  WriteAll(FBuffer.data(), FBuffer.size());
  FBuffer.clear();
}

void TScratchFile::WriteAll(const char* data, std::size_t size)
{
  while (size > 0) {
    ssize_t n = ::write(FFd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowCreate(FPath, errno);
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}
