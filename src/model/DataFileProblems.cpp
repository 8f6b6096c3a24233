#include "model/DataFileProblems.h"

#include <exception>
#include <utility>

#include "resource/zevlog.h"

namespace {

constexpr std::uint8_t kProblemLevel = 3;
constexpr std::size_t kListedProblems = 20;

struct TKept {
  bool Collecting = false;
  std::vector<std::string> Problems;
};

TKept& Kept()
{
  static TKept kept;
  return kept;
}

}  // namespace

void ReportDataProblem(const std::string& message)
{
  if (Kept().Collecting) Kept().Problems.push_back(message);
  // A log file that cannot be written loses the line; the reading goes on.
  try {
    AppLog().Log(kProblemLevel, message);
  } catch (const std::exception&) {
  }
}

TDataProblemCollection::TDataProblemCollection()
{
  Kept().Problems.clear();
  Kept().Collecting = true;
}

TDataProblemCollection::~TDataProblemCollection()
{
  Kept().Collecting = false;
}

std::vector<std::string> TakeDataProblems()
{
  return std::exchange(Kept().Problems, {});
}

std::string DataProblemsText(const std::vector<std::string>& problems)
{
  std::string text = "Problems were found while reading the program's data files:\n";
  for (std::size_t i = 0; i < problems.size() && i < kListedProblems; ++i) text += "\n- " + problems[i];
  if (problems.size() > kListedProblems)
    text += "\n- and " + std::to_string(problems.size() - kListedProblems) + " more (see the log file)";
  return text;
}
