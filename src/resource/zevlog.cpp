#include "resource/zevlog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "resource/ProgramFile.h"

TzevLog::TzevLog()
    : Levels(MakeLevels({1, 2}))
{
}

TzevLog::TLevels TzevLog::MakeLevels(std::initializer_list<int> levels)
{
  TLevels set;
  for (int level : levels) set.set(static_cast<std::size_t>(level & 0xFF));
  return set;
}

void TzevLog::Log(std::uint8_t level, const std::string& msg)
{
  std::lock_guard<std::recursive_mutex> lock(Lock);
  if (Levels.test(level) && OnLog) OnLog(*this, level, msg);
}

bool TzevLog::Enabled(std::uint8_t level) const
{
  std::lock_guard<std::recursive_mutex> lock(Lock);
  return Levels.test(level);
}

void TzevLog::SetLevels(const TLevels& value)
{
  std::lock_guard<std::recursive_mutex> lock(Lock);
  if (value == Levels) return;
  Levels = value;
  if (OnLevelsChange) OnLevelsChange(*this);
}

void TzevLog::Check(bool condition, const std::string& msg)
{
  if (!condition) Log(1, msg);
}

void TzevLog::LogException(const std::exception& e, const std::string& msg)
{
  Log(2, std::string(e.what()) + " " + msg);
}

TzevAppLog::TzevAppLog()
    : FileName(std::filesystem::path(ProgramFileName()).replace_extension(".log").string())
{
}

void TzevAppLog::Log(std::uint8_t level, const std::string& msg)
{
  std::lock_guard<std::recursive_mutex> lock(Lock);
  if (!Levels.test(level)) return;
  if (OnLog) OnLog(*this, level, msg);
  if (!OnFileError) {
    WriteToFile(msg);
    return;
  }
  try {
    WriteToFile(msg);
    FFileFailing = false;
  } catch (const EInOutError& error) {
    if (FFileFailing) return;
    FFileFailing = true;
    OnFileError(*this, error.what());
  }
}

void TzevAppLog::WriteToFile(const std::string& msg)
{
  std::FILE* file = std::fopen(FileName.c_str(), "ab");
  if (!file) throw EInOutError("Cannot open log file \"" + FileName + "\". " + std::strerror(errno));
  errno = 0;
  bool ok = std::fwrite(msg.data(), 1, msg.size(), file) == msg.size();
  ok = std::fwrite("\r\n", 1, 2, file) == 2 && ok;
  int saved = ok ? 0 : errno;  // the write's reason, not an older one
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  if (!ok) throw EInOutError("Cannot write log file \"" + FileName + "\". " + std::strerror(saved));
}

namespace {
std::unique_ptr<TzevAppLog>& AppLogInstance()
{
  static std::unique_ptr<TzevAppLog> instance;
  return instance;
}
}  // namespace

TzevAppLog& AppLog()
{
  auto& instance = AppLogInstance();
  if (!instance) instance = std::make_unique<TzevAppLog>();
  return *instance;
}

void FreeAppLog()
{
  AppLogInstance().reset();
}
