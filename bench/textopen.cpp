// Opening damaged documents in the text model (TDocumentText::Load: detect
// the encoding, decode, check that the bytes come back): a 20 MB Shift_JIS
// document made of bytes Shift_JIS does not define, next to a valid one of
// the same size. Goal: at most 2 times the valid one's time. For comparison,
// the same damage in EUC-JP, GB18030 and ISO-2022-JP (no goal), and a
// Shift_JIS document where every tenth byte is undefined.
//
//   bench_textopen [megabytes]   (default 20)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "text/TDocumentText.h"

namespace {

using Clock = std::chrono::steady_clock;

// Counts the text, keeping none of it.
class TCountingSink : public TTextSink {
public:
  std::size_t Size = 0;
  void Append(const char*, std::size_t size) override { Size += size; }
  void Clear() override { Size = 0; }
};

std::string Declaration(const char* encoding)
{
  return std::string("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?>\n";
}

// Lines of kanji, kana and ASCII markup in Shift_JIS.
std::string ValidShiftJIS(std::size_t size)
{
  const std::string line = "<p id=\"x\">\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x95\xB6\x8F\xCD \x83\x65\x83\x58\x83\x67</p>\n";
  std::string bytes = Declaration("Shift_JIS");
  while (bytes.size() < size) bytes += line;
  return bytes;
}

std::string Undefined(const char* encoding, std::size_t size)
{
  std::string bytes = Declaration(encoding);
  bytes.append(size - bytes.size(), '\xFF');
  return bytes;
}

// Every tenth byte undefined, the others ASCII markup.
std::string Sprinkled(std::size_t size)
{
  std::string bytes = Declaration("Shift_JIS");
  while (bytes.size() < size) bytes += "<a>te\xFFxt</a>";
  bytes.resize(size);
  return bytes;
}

struct TResult {
  double Seconds = 0;
  std::string Encoding;
  std::size_t TextSize = 0;
};

TResult TimeLoad(const std::string& bytes, int runs)
{
  TResult best;
  for (int i = 0; i < runs; ++i) {
    TDocumentText model;
    TCountingSink sink;
    auto start = Clock::now();
    model.Load(bytes, sink);
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (i == 0 || seconds < best.Seconds) best = {seconds, model.Format().Encoding, sink.Size};
  }
  return best;
}

void Report(const char* what, const TResult& r, double megabytes)
{
  std::printf("  %-44s %7.3f s  %6.1f MB/s  (opened as %s)\n", what, r.Seconds, megabytes / r.Seconds,
              r.Encoding.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
  std::size_t megabytes = argc == 2 ? static_cast<std::size_t>(std::atol(argv[1])) : 20;
  std::size_t size = megabytes * 1000 * 1000;
  const int runs = 3;
  const double mb = static_cast<double>(size) / 1e6;
  std::printf("bench_textopen: %zu MB documents opened in the text model, best of %d runs\n", megabytes, runs);
  TResult valid = TimeLoad(ValidShiftJIS(size), runs);
  TResult damaged = TimeLoad(Undefined("Shift_JIS", size), runs);
  Report("Shift_JIS, valid", valid, mb);
  Report("Shift_JIS, every byte undefined (0xFF)", damaged, mb);
  std::printf("  time ratio undefined/valid %21.2f  (goal <= 2)\n", damaged.Seconds / valid.Seconds);
  Report("Shift_JIS, every tenth byte undefined", TimeLoad(Sprinkled(size), runs), mb);
  for (const char* encoding : {"EUC-JP", "GB18030", "ISO-2022-JP"}) {
    std::string what = std::string(encoding) + ", every byte undefined (0xFF)";
    Report(what.c_str(), TimeLoad(Undefined(encoding, size), runs), mb);
  }
  return 0;
}
