#pragma once
// Helpers of the document-type tests: capturing the application log and the
// schema error notifier.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "model/TAutoCompleteSchema.h"
#include "resource/zevlog.h"

// Records every application-log message (levels 1 to 5 enabled) while alive;
// the log file goes to a temporary folder. Restores the log afterwards.
class LogCapture {
public:
  LogCapture()
      : savedLevels_(AppLog().Levels), savedOnLog_(AppLog().OnLog), savedFileName_(AppLog().FileName)
  {
    AppLog().FileName = MakeTempFolder("types-log") + "test.log";
    AppLog().SetLevels(TzevLog::MakeLevels({1, 2, 3, 4, 5}));
    AppLog().OnLog = [this](TzevLog&, std::uint8_t level, const std::string& msg) {
      Messages.emplace_back(level, msg);
    };
  }
  ~LogCapture()
  {
    AppLog().OnLog = savedOnLog_;
    AppLog().SetLevels(savedLevels_);
    AppLog().FileName = savedFileName_;
  }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  // Messages at the level that contain the text.
  int Count(int level, const std::string& text = std::string()) const
  {
    int n = 0;
    for (const auto& [l, msg] : Messages)
      if (l == level && msg.find(text) != std::string::npos) ++n;
    return n;
  }

  std::vector<std::pair<int, std::string>> Messages;

private:
  TzevLog::TLevels savedLevels_;
  TzevLog::TLogEvent savedOnLog_;
  std::string savedFileName_;
};

// Records the schema's error messages instead of showing them.
class SchemaErrors {
public:
  SchemaErrors()
  {
    TAutoCompleteSchema::SetErrorNotifier([this](const std::string& msg) { Messages.push_back(msg); });
  }
  ~SchemaErrors() { TAutoCompleteSchema::SetErrorNotifier(nullptr); }
  SchemaErrors(const SchemaErrors&) = delete;
  SchemaErrors& operator=(const SchemaErrors&) = delete;

  std::vector<std::string> Messages;
};
