#pragma once
// A compiled file-name mask: "*" matches any run of characters, "?" any one
// character, "[set]" ("[!set]") one character of (not of) the set, with
// ranges such as "a-z"; every other character matches itself. ASCII letters
// match either case.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

// Raised for a mask whose "[" is never closed.
class EMaskException : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class TFileMask {
public:
  // Raises EMaskException for a mask that cannot be read.
  explicit TFileMask(const std::string& mask);

  bool Matches(const std::string& name) const;

  // The mask as a chain of steps, for callers that walk it themselves: a
  // step is a run ("*", any number of characters, consecutive stars being
  // one run) or takes exactly one character that Accepts tells.
  std::size_t StepCount() const { return Steps.size(); }
  bool IsRun(std::size_t step) const { return Steps[step].Kind == TStep::kAnyRun; }
  bool Accepts(std::size_t step, unsigned char c) const;

private:
  struct TStep {
    enum TKind { kLiteral, kAnyChar, kAnyRun, kSet };
    explicit TStep(TKind kind) : Kind(kind) {}

    TKind Kind;
    unsigned char Char = 0;  // kLiteral, upper-cased
    std::string Set;         // kSet: upper-cased members, ranges expanded
    bool Negate = false;     // kSet
  };

  static TStep ReadSet(const std::string& mask, std::size_t& i);

  std::vector<TStep> Steps;
};

// The masks of a ";"-separated list: blanks and control characters around
// them are dropped; two ";" in a row or a ";" at the end give an empty mask.
std::vector<std::string> SplitMaskList(const std::string& list);
