#pragma once
// Test helper: a fresh application log whose file lies in a temporary folder
// and whose passing messages are recorded.

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "resource/ProgramFile.h"
#include "resource/zevlog.h"

class LogCapture {
public:
  explicit LogCapture(std::initializer_list<int> levels = {1, 2})
      : Folder(MakeTempFolder("xmlplivek-log"))
  {
    FreeAppLog();
    SetProgramFileName(Folder + "xmlplivek");
    AppLog().SetLevels(TzevLog::MakeLevels(levels));
    AppLog().OnLog = [this](TzevLog&, std::uint8_t level, const std::string& msg) {
      Lines.emplace_back(level, msg);
    };
  }

  ~LogCapture()
  {
    FreeAppLog();
    SetProgramFileName("");
    std::error_code ec;
    std::filesystem::remove_all(Folder, ec);
  }

  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  // How many recorded messages have this level and text.
  int Count(int level, const std::string& msg) const
  {
    int n = 0;
    for (const auto& line : Lines)
      if (line.first == level && line.second == msg) ++n;
    return n;
  }

  std::string LogFile() const { return Folder + "xmlplivek.log"; }

  std::string Folder;
  std::vector<std::pair<int, std::string>> Lines;
};
