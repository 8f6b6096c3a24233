#pragma once
// Helpers of the checker and transformer tests: fixture paths and a scope that
// makes a folder the current folder, as the callers of the XML tools do.

#include <stdexcept>
#include <string>
#include <unistd.h>

#include "TestSupport.h"

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
  } catch (const E& e) {
    return e.what();
  } catch (const std::exception& e) {
    return std::string("unexpected exception: ") + e.what();
  }
  return "no exception";
}
