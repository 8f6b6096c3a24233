#include "MemoryCappedChild.h"

#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A field of /proc/self/status in bytes ("VmRSS", "VmHWM", "VmSize", "VmPeak").
std::size_t StatusBytes(const std::string& name)
{
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.compare(0, name.size() + 1, name + ":") == 0)
      return std::strtoull(line.c_str() + name.size() + 1, nullptr, 10) * 1024;
  return 0;
}

void WriteAll(int fd, const std::string& text)
{
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

[[noreturn]] void RunChild(int report, std::size_t allowance, const std::function<std::string()>& work)
{
  const std::size_t resident = StatusBytes("VmRSS");
  const std::size_t address = StatusBytes("VmSize");
  rlimit cap{};
  cap.rlim_cur = cap.rlim_max = address + allowance;
  std::string outcome;
  if (::setrlimit(RLIMIT_AS, &cap) != 0) {
    outcome = "cannot cap the address space";
  } else {
    try {
      outcome = work();
    } catch (const std::exception& error) {
      outcome = std::string("exception: ") + error.what();
    } catch (...) {
      outcome = "exception";
    }
  }
  std::ostringstream figures;
  figures << StatusBytes("VmHWM") - resident << ' ' << StatusBytes("VmPeak") - address << '\n';
  WriteAll(report, figures.str() + outcome);
  ::_exit(0);
}

}  // namespace

TCappedRun RunMemoryCapped(std::size_t allowance, const std::function<std::string()>& work)
{
  TCappedRun run;
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) {
    run.Report = "pipe failed";
    return run;
  }
  pid_t child = ::fork();
  if (child == 0) {
    ::close(ends[0]);
    RunChild(ends[1], allowance, work);
  }
  ::close(ends[1]);
  std::string text;
  char buffer[4096];
  ssize_t n = 0;
  while ((n = ::read(ends[0], buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(n));
  ::close(ends[0]);
  int status = 0;
  if (child > 0) ::waitpid(child, &status, 0);
  std::istringstream figures(text);
  if (child < 0 || !(figures >> run.ResidentGrowth >> run.AddressGrowth)) {
    run.Report = child < 0 ? "fork failed" : "the child ended without a report (status " + std::to_string(status) + ")";
    return run;
  }
  run.Finished = true;
  run.Report = text.substr(text.find('\n') + 1);
  return run;
}
