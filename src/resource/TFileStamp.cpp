#include "resource/TFileStamp.h"

#include <sys/stat.h>

#include "resource/TURL.h"

TFileStamp::TFileStamp(const std::string& path) : FPath(path), FState(StateOf(path)) {}

TFileStamp TFileStamp::Of(const TURL& url)
{
  return url.Protocol == TURLProtocol::file ? TFileStamp(url.GetNativeName()) : TFileStamp();
}

bool TFileStamp::TState::operator==(const TState& other) const
{
  return Exists == other.Exists && Device == other.Device && Inode == other.Inode && Size == other.Size &&
         Seconds == other.Seconds && Nanoseconds == other.Nanoseconds;
}

TFileStamp::TState TFileStamp::StateOf(const std::string& path)
{
  TState state;
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0) return state;
  state.Exists = true;
  state.Device = info.st_dev;
  state.Inode = info.st_ino;
  state.Size = info.st_size;
  state.Seconds = info.st_mtim.tv_sec;
  state.Nanoseconds = info.st_mtim.tv_nsec;
  return state;
}

bool TFileStamp::Changed() const
{
  if (FPath.empty()) return false;
  TState now = StateOf(FPath);
  return now.Exists && !(now == FState);
}
