#pragma once
// Problems met while the data files are read: a definition file skipped, a
// schema not loaded, a configuration value replaced by its default, a file
// that cannot be read. Each is logged at level 3. While the model starts,
// each is kept as well, so that the user can be told once the main window is
// up: level 3 is off at start-up, and nobody would learn of them otherwise.

#include <string>
#include <vector>

// Logs message at level 3 and keeps it while collecting. Never raises.
void ReportDataProblem(const std::string& message);

// Keeps the problems reported while it lives (those kept before are dropped);
// they stay kept afterwards until taken.
class TDataProblemCollection {
public:
  TDataProblemCollection();
  ~TDataProblemCollection();
  TDataProblemCollection(const TDataProblemCollection&) = delete;
  TDataProblemCollection& operator=(const TDataProblemCollection&) = delete;
};

// The problems kept, in the order reported; none are kept afterwards.
std::vector<std::string> TakeDataProblems();

// One message for the user listing problems (at most the first 20; the rest
// are counted and left to the log).
std::string DataProblemsText(const std::vector<std::string>& problems);
