#include "resource/ProgramFile.h"

#include <filesystem>
#include <system_error>

namespace {

std::string& OverrideName()
{
  static std::string name;
  return name;
}

std::string RealProgramFileName()
{
  std::error_code ec;
  auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "xmlplivek";
  return path.string();
}

}  // namespace

std::string ProgramFileName()
{
  if (!OverrideName().empty()) return OverrideName();
  static const std::string real = RealProgramFileName();
  return real;
}

std::string ProgramFolder()
{
  std::filesystem::path folder = std::filesystem::path(ProgramFileName()).parent_path();
  std::string text = folder.string();
  if (text.empty() || text.back() != '/') text += '/';
  return text;
}

void SetProgramFileName(const std::string& name)
{
  OverrideName() = name;
}
