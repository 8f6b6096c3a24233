// Golden files: every fixture in data/ (XML and HTML-ish inputs, some with NUL
// bytes) beside the event streams expected from it:
//   <stem>.events            options empty
//   <stem>.o<N>.events       options N
//   <stem>.prefixes.events   options empty, for every prefix of the input,
//                            each introduced by a line "== <length>"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "EventRecorder.h"
#include "TestSupport.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& path) {
  return ReadTestFile(path.string());
}

std::string PrefixEvents(const std::string& input) {
  std::string out;
  for (std::size_t n = 0; n <= input.size(); ++n)
    out += "== " + std::to_string(n) + "\n" + ParseToEvents(std::string_view(input).substr(0, n));
  return out;
}

// The expected event files of one input, keyed by file name.
std::map<std::string, fs::path> ExpectedFiles(const fs::path& input) {
  std::map<std::string, fs::path> found;
  const std::string stem = input.stem().string();
  for (const auto& entry : fs::directory_iterator(input.parent_path())) {
    const std::string name = entry.path().filename().string();
    if (name.compare(0, stem.size() + 1, stem + ".") == 0 &&
        entry.path().extension() == ".events")
      found[name] = entry.path();
  }
  return found;
}

TEST(XMLParserGolden, EveryFixtureGivesItsExpectedEvents) {
  int compared = 0;
  for (const auto& entry : fs::directory_iterator(TEST_DATA_DIR)) {
    const fs::path input = entry.path();
    if (input.extension() == ".events") continue;
    const std::string text = Slurp(input);
    const auto expected = ExpectedFiles(input);
    EXPECT_FALSE(expected.empty()) << "no expected events for " << input;
    for (const auto& [name, path] : expected) {
      const std::string variant = name.substr(input.stem().string().size() + 1);
      std::string actual;
      if (variant == "prefixes.events")
        actual = PrefixEvents(text);
      else if (variant == "events")
        actual = ParseToEvents(text);
      else if (variant.size() == 9 && variant[0] == 'o')
        actual = ParseToEvents(text, static_cast<unsigned>(variant[1] - '0'));
      else
        ADD_FAILURE() << "unknown expected-events file " << name;
      EXPECT_EQ(actual, Slurp(path)) << name;
      ++compared;
    }
  }
  EXPECT_GE(compared, 10);
}

}  // namespace
