#include "model/FileNameHelpers.h"

#include <cstdint>
#include <sys/stat.h>

namespace {

bool PlainFileExists(const std::string& name)
{
  struct stat info {};
  return ::stat(name.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

}  // namespace

std::string UniqueFileName(const std::string& fileName)
{
  std::string base = fileName;
  std::string ext;
  auto dot = fileName.rfind('.');
  if (dot != std::string::npos) {
    base = fileName.substr(0, dot);
    ext = fileName.substr(dot);
  }
  for (std::int32_t n = 0;; ++n) {
    std::string candidate = base + NumberSuffix(n) + ext;
    if (!PlainFileExists(candidate)) return candidate;
  }
}

std::string NumberSuffix(int n)
{
  return n >= 1 ? std::to_string(n) : std::string();
}

int LastCharPos(char c, const std::string& text)
{
  auto pos = text.rfind(c);
  return pos == std::string::npos ? -1 : static_cast<int>(pos) + 1;
}

std::string ExtractBaseName(const std::string& path)
{
  auto separator = path.find_last_of("/\\:");
  std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
  auto dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}
