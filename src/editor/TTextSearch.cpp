#include "editor/TTextSearch.h"

#include <QChar>
#include <QList>
#include <QString>
#include <algorithm>
#include <cstring>

#include "text/Utf8.h"

namespace {

// Bytes searched between two reports of a long search.
constexpr long ReportStep = 1 << 20;

char FoldASCII(char c)
{
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsASCII(const std::string& text)
{
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

TTextSearch::TTextSearch(const std::string& search, TSearchOptions options)
    : FSearch(search), FWholeWord(options & ssoWholeWord)
{
  if (options & ssoMatchCase) {
    FCase = TCase::Exact;
  } else if (IsASCII(search)) {
    FCase = TCase::ASCII;
    std::transform(FSearch.begin(), FSearch.end(), FSearch.begin(), FoldASCII);
  } else {
    FCase = TCase::Folded;
    for (char32_t c : QString::fromUtf8(search.data(), static_cast<qsizetype>(search.size())).toUcs4())
      FFolded.push_back(QChar::toCaseFolded(c));
  }
}

void TTextSearch::SetText(const char* bytes, long start, long end)
{
  FText = bytes;
  FStart = start;
  FEnd = end;
}

long TTextSearch::Find(long from, long to, long& end) const
{
  end = -1;
  const long low = std::max(std::min(from, to), FStart);
  const long high = std::min(std::max(from, to), FEnd);
  if (FSearch.empty() || !FText || low >= high) return -1;
  if (to >= from) {
    long report = low + ReportStep;
    for (long pos = NextCandidate(low, high); pos < high;
         pos = NextCandidate(pos + std::max<long>(1, SequenceAt(pos, high)), high)) {
      if (Matches(pos, high, end)) return pos;
      if (FScanReport && pos >= report) {
        FScanReport(pos);
        report = pos + ReportStep;
      }
    }
  } else {
    long report = high - ReportStep;
    for (long pos = high; pos > low;) {
      pos = CharacterBefore(pos, low, high);
      if (Matches(pos, high, end)) return pos;
      if (FScanReport && pos <= report) {
        FScanReport(pos);
        report = pos - ReportStep;
      }
    }
  }
  return -1;
}

long TTextSearch::SequenceAt(long pos, long limit) const
{
  return static_cast<long>(Utf8SequenceLength(At(pos), static_cast<std::size_t>(limit - pos)));
}

long TTextSearch::CharacterBefore(long pos, long floor, long limit) const
{
  for (long start = pos - 1; start >= floor && start >= pos - 4; --start)
    if (SequenceAt(start, limit) == pos - start) return start;
  return pos - 1;
}

// From pos on, the first place a match can begin at, going by its first
// byte (limit when there is none).
long TTextSearch::NextCandidate(long pos, long limit) const
{
  if (FCase == TCase::Folded || pos >= limit) return pos;
  const char first = FSearch[0];
  if (FCase == TCase::Exact) {
    const void* found = std::memchr(At(pos), first, static_cast<std::size_t>(limit - pos));
    return found ? FStart + (static_cast<const char*>(found) - FText) : limit;
  }
  const char* text = At(pos);
  const char* last = At(limit);
  while (text < last && FoldASCII(*text) != first) ++text;
  return FStart + (text - FText);
}

bool TTextSearch::Matches(long pos, long limit, long& end) const
{
  long at = FCase == TCase::Folded ? FoldedMatchEnd(pos, limit) : BytesMatchEnd(pos, limit);
  if (at < 0) return false;
  if (FWholeWord && FWordTest && !FWordTest(pos, at)) return false;
  end = at;
  return true;
}

long TTextSearch::BytesMatchEnd(long pos, long limit) const
{
  const auto length = static_cast<long>(FSearch.size());
  if (limit - pos < length) return -1;
  const char* text = At(pos);
  if (FCase == TCase::Exact) return std::memcmp(text, FSearch.data(), FSearch.size()) == 0 ? pos + length : -1;
  for (std::size_t i = 0; i < FSearch.size(); ++i)
    if (FoldASCII(text[i]) != FSearch[i]) return -1;
  return pos + length;
}

long TTextSearch::FoldedMatchEnd(long pos, long limit) const
{
  long at = pos;
  for (char32_t wanted : FFolded) {
    long length = at < limit ? SequenceAt(at, limit) : 0;
    if (length == 0) return -1;
    if (QChar::toCaseFolded(DecodeUtf8(At(at), static_cast<std::size_t>(length))) != wanted) return -1;
    at += length;
  }
  return at;
}
