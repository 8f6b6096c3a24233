#pragma once
// The application log: one program-wide object that filters messages by level,
// hands each passing message to one listener and appends it to the log file.

#include <bitset>
#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>

// Raised when the log file cannot be opened or written.
class EInOutError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class TzevLog {
public:
  using TLevels = std::bitset<256>;
  using TLogEvent = std::function<void(TzevLog& sender, std::uint8_t level, const std::string& msg)>;
  using TNotifyEvent = std::function<void(TzevLog& sender)>;

  TzevLog();
  virtual ~TzevLog() = default;

  // The enabled levels; change them only through SetLevels.
  TLevels Levels;
  TLogEvent OnLog;
  TNotifyEvent OnLevelsChange;

  virtual void Log(std::uint8_t level, const std::string& msg);
  void SetLevels(const TLevels& value);
  void Check(bool condition, const std::string& msg);
  void LogException(const std::exception& e, const std::string& msg);

  static TLevels MakeLevels(std::initializer_list<int> levels);
};

class TzevAppLog : public TzevLog {
public:
  using TFileErrorEvent = std::function<void(TzevAppLog& sender, const std::string& reason)>;

  TzevAppLog();

  // Full path of the log file: the program file with the extension ".log".
  std::string FileName;
  // Told when the log file cannot be written, once until a write succeeds
  // again: the message that logged goes on (the listener had it), and so
  // does whatever logged it. Unassigned, Log raises the failure instead.
  TFileErrorEvent OnFileError;

  void Log(std::uint8_t level, const std::string& msg) override;
  // Raises EInOutError when the file cannot be opened or written.
  void WriteToFile(const std::string& msg);

private:
  bool FFileFailing = false;
};

// The one application log, created on first use.
TzevAppLog& AppLog();
// Frees the application log (at program exit, after everything that logs).
void FreeAppLog();
