#pragma once
// The application log: one program-wide object that filters messages by level,
// hands each passing message to one listener and appends it to the log file.
// Any thread may log: one message at a time passes, so the listener and the
// file see whole messages one after the other, on the thread that logs (a
// listener that shows them hands them on to its own thread, without waiting
// for it).

#include <bitset>
#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
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

  // The enabled levels; change them only through SetLevels. Other threads
  // than the one that sets them ask through Enabled.
  TLevels Levels;
  TLogEvent OnLog;
  TNotifyEvent OnLevelsChange;

  virtual void Log(std::uint8_t level, const std::string& msg);
  bool Enabled(std::uint8_t level) const;
  void SetLevels(const TLevels& value);
  void Check(bool condition, const std::string& msg);
  void LogException(const std::exception& e, const std::string& msg);

  static TLevels MakeLevels(std::initializer_list<int> levels);

protected:
  // Held while a message passes and while the levels change.
  mutable std::recursive_mutex Lock;
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
