#pragma once
// Test helper: runs work on a thread of its own under a work progress, as the
// user interface does, cancels it from the test's thread once the work is
// under way, and tells what the work raised.

#include <chrono>
#include <exception>
#include <functional>
#include <string>
#include <thread>

#include "resource/TWorkProgress.h"

// Cancels once underWay(progress) is true, or after a generous wait (the work
// may never say so when its reporting is broken). Returns the exception the
// work ended with (nullptr when it ended normally).
inline std::exception_ptr RunAndCancel(const std::function<void()>& work,
                                       const std::function<bool(const TWorkProgress&)>& underWay)
{
  TWorkProgress progress;
  std::exception_ptr raised;
  std::thread worker([&] {
    TWorkProgressScope scope(progress);
    try {
      work();
    } catch (...) {
      raised = std::current_exception();
    }
  });
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  try {
    while (!underWay(progress) && std::chrono::steady_clock::now() < giveUp)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  } catch (...) {
    progress.Cancel();
    worker.join();
    throw;
  }
  progress.Cancel();
  worker.join();
  return raised;
}

// "cancelled" for an ECancelled, "no error" for none, else the message.
inline std::string Outcome(const std::exception_ptr& raised)
{
  if (!raised) return "no error";
  try {
    std::rethrow_exception(raised);
  } catch (const ECancelled&) {
    return "cancelled";
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "unknown exception";
  }
}
