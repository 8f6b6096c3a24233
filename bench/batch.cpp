// A batch check of 2,000 small generated files against a shell loop that runs
// `xmllint --noout` once per file; prints both times and their ratio.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "resource/ProgramFile.h"
#include "resource/zevlog.h"
#include "xmltools/TBatch.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 2000;

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string SmallDocument(int n) {
  std::string doc = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<order id=\"" + std::to_string(n) + "\">\r\n";
  for (int i = 0; i < 12; ++i)
    doc += "  <line no=\"" + std::to_string(i) + "\"><item>part " + std::to_string(n * 12 + i) +
           "</item><qty>3</qty><note>ok &amp; checked</note></line>\r\n";
  return doc + "</order>\r\n";
}

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double RunBatch(const fs::path& folder, bool details) {
  AppLog().SetLevels(details ? TzevLog::MakeLevels({1, 2, 5}) : TzevLog::MakeLevels({1, 2}));
  TBatch batch;
  batch.Source.SetURL("file:" + folder.string() + "/*.xml");
  batch.Command = bcCheck;
  const auto start = std::chrono::steady_clock::now();
  batch.Execute();
  return Seconds(start);
}

}  // namespace

int main() {
  const fs::path root = fs::temp_directory_path() / ("bench-batch-" + std::to_string(::getpid()));
  const fs::path folder = root / "files";
  fs::create_directories(folder);
  SetProgramFileName((root / "bench").string());  // the log file goes beside it
  for (int n = 0; n < kFiles; ++n) WriteFile(folder / ("order" + std::to_string(n) + ".xml"), SmallDocument(n));
  std::printf("files: %d of %zu bytes each (about)\n", kFiles, SmallDocument(1000).size());

  double ours = 1e9;
  for (int run = 0; run < 3; ++run) ours = std::min(ours, RunBatch(folder, false));
  const double detailed = RunBatch(folder, true);
  std::size_t failed = 0;
  {
    std::ifstream log(root / "bench.log", std::ios::binary);
    std::string line;
    while (std::getline(log, line))
      if (line.rfind("File check failed:", 0) == 0) ++failed;
  }

  if (std::system("xmllint --version >/dev/null 2>&1") != 0) {
    std::printf("batch check: %.3f s (%.3f s with detail logging); xmllint not installed, no comparison\n", ours,
                detailed);
    fs::remove_all(root);
    return 0;
  }
  const std::string loop = "for f in '" + folder.string() + "'/*.xml; do xmllint --noout \"$f\" || exit 1; done";
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system(loop.c_str());
  const double theirs = Seconds(start);

  std::printf("batch check: %.3f s (%.3f s with detail logging), failed checks: %zu\n", ours, detailed, failed);
  std::printf("shell loop of xmllint --noout: %.3f s%s\n", theirs, status == 0 ? "" : " (a file failed)");
  std::printf("ratio (xmllint loop / batch): %.1fx (goal >= 5)\n", theirs / ours);
  fs::remove_all(root);
  return 0;
}
