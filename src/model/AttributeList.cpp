#include "model/AttributeList.h"

#include <cstddef>

namespace {

inline unsigned char LowerAscii(unsigned char c)
{
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

// Position of the value of the entry named name, or npos.
std::size_t FindEntry(const std::vector<std::string>& attributes, const std::string& name, const std::string** entry)
{
  for (const auto& line : attributes) {
    std::size_t eq = line.find('=');
    std::size_t nameLength = eq == std::string::npos ? line.size() : eq;
    if (eq == 0) continue;  // a whitespace entry, not an attribute
    if (nameLength == name.size() && SameTextAscii(line.substr(0, nameLength), name)) {
      *entry = &line;
      return eq == std::string::npos ? line.size() : eq + 1;
    }
  }
  return std::string::npos;
}

}  // namespace

std::string GetAttribute(const std::vector<std::string>& attributes, const std::string& name)
{
  const std::string* entry = nullptr;
  std::size_t start = FindEntry(attributes, name, &entry);
  if (start == std::string::npos) return std::string();
  return entry->substr(start);
}

bool HasAttribute(const std::vector<std::string>& attributes, const std::string& name)
{
  const std::string* entry = nullptr;
  return FindEntry(attributes, name, &entry) != std::string::npos;
}

bool SameTextAscii(const std::string& a, const std::string& b)
{
  return a.size() == b.size() && CompareTextAscii(a, b) == 0;
}

int CompareTextAscii(const std::string& a, const std::string& b)
{
  std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char x = LowerAscii(static_cast<unsigned char>(a[i]));
    unsigned char y = LowerAscii(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::string UpperCaseAscii(std::string text)
{
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return text;
}

std::string LowerCaseAscii(std::string text)
{
  for (char& c : text) c = static_cast<char>(LowerAscii(static_cast<unsigned char>(c)));
  return text;
}
