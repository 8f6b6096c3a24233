#pragma once
// Timing and peak memory of one run, in a child process of its own so that
// every run starts with a fresh heap: an external program (fork/exec) or a
// function of ours (fork). Wall time in seconds, peak resident set from
// wait4's rusage.

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

struct ToolRun {
  double Seconds = 0;     // wall time
  double CpuSeconds = 0;  // user + system time
  long PeakKB = 0;
  bool Ok = false;
};

inline ToolRun WaitForRun(pid_t pid, std::chrono::steady_clock::time_point start)
{
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  ToolRun run;
  run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.CpuSeconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                   (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  run.PeakKB = usage.ru_maxrss;
  run.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

// Runs argv[0] with its arguments, output to /dev/null unless keepOutput.
inline ToolRun RunProgram(const std::vector<std::string>& argv, bool keepOutput = false)
{
  std::fflush(nullptr);  // else the child writes out the parent's buffered output too
  auto start = std::chrono::steady_clock::now();
  pid_t pid = ::fork();
  if (pid == 0) {
    if (!keepOutput) std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  return WaitForRun(pid, start);
}

// Runs work in a child; the run fails when work returns false or throws.
inline ToolRun RunOurs(const std::function<bool()>& work)
{
  std::fflush(nullptr);  // else the child writes out the parent's buffered output too
  auto start = std::chrono::steady_clock::now();
  pid_t pid = ::fork();
  if (pid == 0) {
    bool ok = false;
    try {
      ok = work();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "error: %s\n", e.what());
    }
    ::_exit(ok ? 0 : 1);
  }
  return WaitForRun(pid, start);
}

// The fastest of count runs of each of two contenders, run in turns so that
// both see the same load on the machine.
inline std::pair<ToolRun, ToolRun> BestOfInTurns(int count, const std::function<ToolRun()>& first,
                                                 const std::function<ToolRun()>& second)
{
  std::pair<ToolRun, ToolRun> best{first(), second()};
  for (int i = 1; i < count; ++i) {
    for (auto [run, slot] : {std::pair{&first, &best.first}, std::pair{&second, &best.second}}) {
      ToolRun next = (*run)();
      bool ok = slot->Ok && next.Ok;
      if (next.Seconds < slot->Seconds) *slot = next;
      slot->Ok = ok;
    }
  }
  return best;
}

// "what  ours 1.00 s (cpu 0.90 s)  tool 1.00 s (cpu 0.90 s)  ratio 1.00x (cpu 1.00x, goal <= g)"
inline void PrintComparison(const char* what, const ToolRun& ours, const char* tool, const ToolRun& theirs,
                            const char* goal)
{
  std::printf("%-12s ours %6.2f s (cpu %6.2f s)   %-24s %6.2f s (cpu %6.2f s)   ratio %.2fx (cpu %.2fx; goal <= %s)%s\n",
              what, ours.Seconds, ours.CpuSeconds, tool, theirs.Seconds, theirs.CpuSeconds,
              ours.Seconds / theirs.Seconds, ours.CpuSeconds / theirs.CpuSeconds, goal,
              ours.Ok && theirs.Ok ? "" : "   RUN FAILED");
}

inline double Megabytes(long kilobytes)
{
  return kilobytes / 1024.0;
}
