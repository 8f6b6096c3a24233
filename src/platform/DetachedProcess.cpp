#include "platform/DetachedProcess.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Sends the error of a failed start to the waiting parent; async-signal-safe.
[[noreturn]] void ExitWithError(int fd, int error)
{
  (void)!::write(fd, &error, sizeof error);
  ::_exit(127);
}

}  // namespace

bool StartDetachedProcess(const std::vector<std::string>& arguments, int& error)
{
  if (arguments.empty() || arguments[0].empty()) {
    error = ENOENT;
    return false;
  }
  // Everything the children need is made before the fork: between fork and
  // exec only async-signal-safe calls are made.
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  // The grandchild reports a failed exec through this pipe; a successful exec
  // closes it (close-on-exec), and the parent reads the end of the pipe.
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) {
    error = errno;
    return false;
  }
  pid_t child = ::fork();
  if (child < 0) {
    error = errno;
    ::close(report[0]);
    ::close(report[1]);
    return false;
  }
  if (child == 0) {
    ::close(report[0]);
    ::setsid();
    pid_t grandchild = ::fork();
    if (grandchild < 0) ExitWithError(report[1], errno);
    if (grandchild == 0) {
      ::execvp(argv[0], argv.data());
      ExitWithError(report[1], errno);
    }
    ::_exit(0);
  }
  ::close(report[1]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int failure = 0;
  ssize_t n = 0;
  do {
    n = ::read(report[0], &failure, sizeof failure);
  } while (n < 0 && errno == EINTR);
  ::close(report[0]);
  if (n == static_cast<ssize_t>(sizeof failure)) {
    error = failure;
    return false;
  }
  return true;
}
