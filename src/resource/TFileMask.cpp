#include "resource/TFileMask.h"

namespace {

// Separators of a mask list besides ";": every control character and the blank.
bool IsMaskBlank(unsigned char c)
{
  return c >= 1 && c <= ' ';
}

unsigned char UpperAscii(unsigned char c)
{
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

[[noreturn]] void InvalidMask(const std::string& mask, std::size_t position)
{
  throw EMaskException("'" + mask + "' is an invalid mask at (" + std::to_string(position) + ")");
}

}  // namespace

TFileMask::TFileMask(const std::string& mask)
{
  std::size_t i = 0;
  while (i < mask.size()) {
    char c = mask[i++];
    if (c == '*') {
      if (Steps.empty() || Steps.back().Kind != TStep::kAnyRun) Steps.emplace_back(TStep::kAnyRun);
    } else if (c == '?') {
      Steps.emplace_back(TStep::kAnyChar);
    } else if (c == '[') {
      Steps.push_back(ReadSet(mask, i));
    } else {
      TStep step(TStep::kLiteral);
      step.Char = UpperAscii(static_cast<unsigned char>(c));
      Steps.push_back(step);
    }
  }
}

// Reads the set starting after "[" at index i; leaves i after the closing "]".
TFileMask::TStep TFileMask::ReadSet(const std::string& mask, std::size_t& i)
{
  TStep step(TStep::kSet);
  if (i < mask.size() && mask[i] == '!') {
    step.Negate = true;
    ++i;
  }
  int last = -1;
  while (i < mask.size() && mask[i] != ']') {
    unsigned char c = UpperAscii(static_cast<unsigned char>(mask[i]));
    bool range = c == '-' && last >= 0 && i + 1 < mask.size() && mask[i + 1] != ']';
    if (range) {
      unsigned char to = UpperAscii(static_cast<unsigned char>(mask[++i]));
      for (int x = last; x <= to; ++x) step.Set += static_cast<char>(x);
      last = to;
    } else {
      step.Set += static_cast<char>(c);
      last = c;
    }
    ++i;
  }
  // The fault position is where the missing "]" was expected (1-based).
  if (i >= mask.size()) InvalidMask(mask, mask.size() + 1);
  ++i;
  return step;
}

bool TFileMask::Accepts(std::size_t step, unsigned char c) const
{
  const TStep& s = Steps[step];
  unsigned char u = UpperAscii(c);
  switch (s.Kind) {
    case TStep::kLiteral: return s.Char == u;
    case TStep::kAnyChar: return true;
    case TStep::kSet: return (s.Set.find(static_cast<char>(u)) != std::string::npos) != s.Negate;
    default: return false;
  }
}

// On a mismatch the last "*" takes one more character and matching resumes
// after it; earlier stars never need to be revisited.
bool TFileMask::Matches(const std::string& name) const
{
  std::size_t s = 0, n = 0;
  std::size_t starStep = std::string::npos, starName = 0;
  while (n < name.size()) {
    if (s < Steps.size() && IsRun(s)) {
      starStep = s++;
      starName = n;
    } else if (s < Steps.size() && Accepts(s, static_cast<unsigned char>(name[n]))) {
      ++s;
      ++n;
    } else if (starStep != std::string::npos) {
      s = starStep + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (s < Steps.size() && IsRun(s)) ++s;
  return s == Steps.size();
}

std::vector<std::string> SplitMaskList(const std::string& list)
{
  std::vector<std::string> masks;
  std::size_t i = 0, end = list.size();
  auto skipBlanks = [&] {
    while (i < end && IsMaskBlank(static_cast<unsigned char>(list[i]))) ++i;
  };
  skipBlanks();
  while (i < end && list[i] != '\0') {
    std::size_t start = i;
    while (i < end && static_cast<unsigned char>(list[i]) > ' ' && list[i] != ';') ++i;
    masks.push_back(list.substr(start, i - start));
    skipBlanks();
    if (i < end && list[i] == ';') {
      if (i + 1 == end) masks.emplace_back();
      ++i;
      skipBlanks();
    }
  }
  return masks;
}
