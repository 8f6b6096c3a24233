#pragma once
// Helpers of the batch tests: a fresh application log recording what passes
// (its file in a temporary folder) and small folder-tree builders.

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "resource/ProgramFile.h"
#include "resource/zevlog.h"

class BatchLog {
public:
  explicit BatchLog(std::initializer_list<int> levels = {1, 2, 3, 5})
      : Folder(MakeTempFolder("xmlplivek-batchlog")) {
    FreeAppLog();
    SetProgramFileName(Folder + "xmlplivek");
    AppLog().SetLevels(TzevLog::MakeLevels(levels));
    AppLog().OnLog = [this](TzevLog&, std::uint8_t level, const std::string& msg) {
      Lines.emplace_back(level, msg);
    };
  }
  ~BatchLog() {
    FreeAppLog();
    SetProgramFileName("");
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
  }
  BatchLog(const BatchLog&) = delete;
  BatchLog& operator=(const BatchLog&) = delete;

  // The recorded messages of one level, in order.
  std::vector<std::string> At(int level) const {
    std::vector<std::string> messages;
    for (const auto& line : Lines)
      if (line.first == level) messages.push_back(line.second);
    return messages;
  }

  std::string Folder;
  std::vector<std::pair<int, std::string>> Lines;
};

// Writes a file, creating its folders.
inline void PutTestFile(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  WriteTestFile(path, bytes);
}

inline bool FileExists(const std::string& path) { return std::filesystem::exists(path); }
