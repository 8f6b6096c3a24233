#include "MemoryCap.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The test program's address space now, from /proc.
std::size_t AddressSpaceInUse()
{
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmSize:", 0) == 0) return std::stoull(line.substr(7)) * 1024;
  return 0;
}

void WriteAll(int fd, const std::string& text)
{
  for (std::size_t done = 0; done < text.size();) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

[[noreturn]] void RunChild(int fd, std::size_t bytes, int cpuSeconds, const std::function<std::string()>& work)
{
  rlimit cap{};
  cap.rlim_cur = cap.rlim_max = AddressSpaceInUse() + bytes;
  ::setrlimit(RLIMIT_AS, &cap);
  rlimit cpu{};
  cpu.rlim_cur = cpu.rlim_max = static_cast<rlim_t>(cpuSeconds);
  ::setrlimit(RLIMIT_CPU, &cpu);
  std::string result;
  try {
    result = work();
  } catch (const std::exception& e) {
    result = std::string("raised: ") + e.what();
  } catch (...) {
    result = "raised an unknown exception";
  }
  WriteAll(fd, result);
  ::_exit(0);
}

}  // namespace

std::string RunWithMemoryCap(std::size_t bytes, int cpuSeconds, const std::function<std::string()>& work)
{
  int channel[2];
  if (::pipe(channel) != 0) return "no pipe";
  std::fflush(nullptr);
  pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    RunChild(channel[1], bytes, cpuSeconds, work);
  }
  ::close(channel[1]);
  std::string result;
  char buffer[4096];
  for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;) result.append(buffer, static_cast<std::size_t>(n));
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
  if (WIFEXITED(status) && WEXITSTATUS(status) != 0) return "exited with " + std::to_string(WEXITSTATUS(status));
  return result;
}
