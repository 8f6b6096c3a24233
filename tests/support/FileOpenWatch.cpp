#include "FileOpenWatch.h"

#include <cerrno>
#include <poll.h>
#include <stdexcept>
#include <sys/inotify.h>
#include <unistd.h>

FileOpenWatch::FileOpenWatch(const std::string& path) : Fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
  if (Fd < 0 || ::inotify_add_watch(Fd, path.c_str(), IN_OPEN) < 0)
    throw std::runtime_error("cannot watch " + path);
}

FileOpenWatch::~FileOpenWatch()
{
  ::close(Fd);
}

bool FileOpenWatch::Opened()
{
  while (!WasOpened && ReadEvents(false)) {
  }
  return WasOpened;
}

void FileOpenWatch::WaitForOpen()
{
  while (!WasOpened) ReadEvents(true);
}

bool FileOpenWatch::ReadEvents(bool wait)
{
  if (wait) {
    pollfd ready{Fd, POLLIN, 0};
    ::poll(&ready, 1, -1);
  }
  alignas(inotify_event) char buffer[4096];
  ssize_t n = ::read(Fd, buffer, sizeof buffer);
  if (n <= 0) return false;
  for (char* at = buffer; at < buffer + n;) {
    auto* event = reinterpret_cast<inotify_event*>(at);
    if (event->mask & IN_OPEN) WasOpened = true;
    at += sizeof(inotify_event) + event->len;
  }
  return true;
}
