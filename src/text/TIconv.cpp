#include "text/TIconv.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace {

const iconv_t NoConverter = reinterpret_cast<iconv_t>(-1);
constexpr std::size_t IconvFailed = static_cast<std::size_t>(-1);
// Input bytes given to iconv at a time.
constexpr std::size_t Window = std::size_t{16} << 10;
// Output room besides growth times the input: the bytes of a shift state.
constexpr std::size_t ExtraRoom = 64;

iconv_t Handle(void* handle)
{
  return static_cast<iconv_t>(handle);
}

}  // namespace

TIconv::TIconv(const std::string& to, const std::string& from, std::size_t growth) : FHandle(nullptr), FGrowth(growth)
{
  iconv_t cd = ::iconv_open(to.c_str(), from.c_str());
  if (cd != NoConverter) FHandle = cd;
}

TIconv::~TIconv()
{
  if (FHandle) ::iconv_close(Handle(FHandle));
}

bool TIconv::Opens(const std::string& to, const std::string& from)
{
  iconv_t cd = ::iconv_open(to.c_str(), from.c_str());
  if (cd == NoConverter) return false;
  ::iconv_close(cd);
  return true;
}

int TIconv::Convert(const char*& in, std::size_t& left, std::string& out)
{
  std::size_t window = Window;
  std::size_t growth = FGrowth;
  while (left > 0) {
    std::size_t take = std::min(left, window);
    std::size_t room = take * growth + ExtraRoom;
    if (FBuffer.size() < room) FBuffer.resize(room);
    auto* from = const_cast<char*>(in);
    std::size_t fromLeft = take;
    char* to = FBuffer.data();
    std::size_t free = room;
    std::size_t result = ::iconv(Handle(FHandle), &from, &fromLeft, &to, &free);
    int error = errno;
    out.append(FBuffer.data(), room - free);
    std::size_t used = take - fromLeft;
    in += used;
    left -= used;
    if (result != IconvFailed) continue;
    bool progress = used > 0 || free < room;
    if (error == E2BIG) {
      if (!progress) growth *= 2;
      continue;
    }
    // A sequence cut off by the end of the window, not of the input.
    if (error == EINVAL && take < left + used) {
      if (!progress) window *= 2;
      continue;
    }
    return error;
  }
  return 0;
}

void TIconv::Release(std::string& out)
{
  char buffer[256];
  for (;;) {
    char* to = buffer;
    std::size_t free = sizeof buffer;
    std::size_t result = ::iconv(Handle(FHandle), nullptr, nullptr, &to, &free);
    int error = errno;
    out.append(buffer, sizeof buffer - free);
    if (result != IconvFailed || error != E2BIG || free == sizeof buffer) return;
  }
}

void TIconv::Reset()
{
  ::iconv(Handle(FHandle), nullptr, nullptr, nullptr, nullptr);
}
