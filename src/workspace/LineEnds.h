#pragma once
// Line ends of the editor's text: every line ends in CR LF. Loading turns
// each CR LF, lone LF and lone CR into CR LF; the text the editor gives out
// has CR LF after every line, the last one included. Other bytes (NUL
// included) pass unchanged.

#include <cstddef>
#include <cstring>
#include <string>

// Calls sink(data, size) with the bytes of text where every line end is
// CR LF. Runs without a lone line end are passed as they are, uncopied; a
// sink call never splits a CR LF pair. With endLastLine, a text whose last
// line has no line end gets one.
template <typename TSink>
void ForEachCrLfChunk(const char* text, std::size_t size, bool endLastLine, TSink&& sink)
{
  static const char CrLf[] = "\r\n";
  const char* end = text + size;
  auto find = [end](const char* from, char c) {
    const void* hit = from < end ? std::memchr(from, c, static_cast<std::size_t>(end - from)) : nullptr;
    return hit ? static_cast<const char*>(hit) : end;
  };
  const char* run = text;
  const char* cr = find(text, '\r');
  const char* lf = find(text, '\n');
  while (cr != end || lf != end) {
    const char* hit = cr < lf ? cr : lf;
    const char* next = hit + 1;
    if (hit == cr && next < end && *next == '\n') {
      next = hit + 2;  // a CR LF pair stays in the run
    } else {
      if (hit > run) sink(run, static_cast<std::size_t>(hit - run));
      sink(CrLf, 2);
      run = next;
    }
    if (cr < next) cr = find(next, '\r');
    if (lf < next) lf = find(next, '\n');
  }
  if (end > run) sink(run, static_cast<std::size_t>(end - run));
  if (endLastLine && size > 0 && end[-1] != '\n' && end[-1] != '\r') sink(CrLf, 2);
}

// The text with CR LF line ends (and, with endLastLine, its last line ended).
std::string ToCrLf(const std::string& text, bool endLastLine);
// Size of ToCrLf(text, false) without building it.
std::size_t CrLfSize(const char* text, std::size_t size);
