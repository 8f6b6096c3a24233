#pragma once
// Helpers of the checker and transformer tests: fixture paths, a scope that
// makes a folder the current folder, as the callers of the XML tools do, and
// large documents with a user who cancels their processing.

#include <atomic>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <thread>
#include <unistd.h>

#include "TestSupport.h"
#include "resource/TWorkProgress.h"

inline std::string CheckerData(const std::string& name = std::string())
{
  return std::string(TEST_DATA_DIR) + "/checker/" + name;
}

inline std::string TransformData(const std::string& name = std::string())
{
  return std::string(TEST_DATA_DIR) + "/transform/" + name;
}

inline std::string CurrentFolderName()
{
  char* folder = ::getcwd(nullptr, 0);
  std::string name = folder ? folder : "";
  std::free(folder);
  return name;
}

// Makes folder the current folder; the previous one returns at the end of the scope.
class CurrentFolderScope {
public:
  explicit CurrentFolderScope(const std::string& folder) : Saved(CurrentFolderName())
  {
    if (::chdir(folder.c_str()) != 0) throw std::runtime_error("cannot enter " + folder);
  }
  ~CurrentFolderScope() { (void)::chdir(Saved.c_str()); }
  CurrentFolderScope(const CurrentFolderScope&) = delete;
  CurrentFolderScope& operator=(const CurrentFolderScope&) = delete;

private:
  std::string Saved;
};

// The message of the exception that f raises, as type E; fails the test when
// f raises nothing or something else.
template <typename E, typename F>
std::string MessageOf(F f)
{
  try {
    f();
  } catch (const std::exception& e) {
    if constexpr (std::is_same_v<E, std::exception>)
      return e.what();
    else if (dynamic_cast<const E*>(&e) != nullptr)
      return e.what();
    return std::string("unexpected exception: ") + e.what();
  }
  return "no exception";
}

// A valid catalogue, with its DTD inside, of at least bytes bytes.
inline std::string LargeCatalog(std::size_t bytes)
{
  std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE catalog [\n<!ELEMENT catalog (item*)>\n"
                     "<!ELEMENT item (#PCDATA)>\n<!ATTLIST item code CDATA #REQUIRED>\n]>\n<catalog>\n";
  text.reserve(bytes + 100);
  for (int i = 0; text.size() < bytes; ++i)
    text += "<item code=\"c" + std::to_string(i) + "\">Item number " + std::to_string(i) + " of the catalogue</item>\n";
  return text + "</catalog>\n";
}

// Cancels progress from another thread as soon as the work has reported
// some progress (or the scope ends).
class CancelOnceStarted {
public:
  explicit CancelOnceStarted(TWorkProgress& progress)
      : Canceller([this, &progress] {
          while (progress.Done() == 0 && !Ending) std::this_thread::yield();
          progress.Cancel();
        })
  {
  }
  ~CancelOnceStarted()
  {
    Ending = true;
    Canceller.join();
  }
  CancelOnceStarted(const CancelOnceStarted&) = delete;
  CancelOnceStarted& operator=(const CancelOnceStarted&) = delete;

private:
  std::atomic<bool> Ending{false};
  std::thread Canceller;
};
