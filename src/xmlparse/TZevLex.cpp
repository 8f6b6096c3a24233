#include "xmlparse/TZevLex.h"

#include <cstring>
#include <limits>
#include <stdexcept>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// ---------------------------------------------------------------- TState

TState::TState(TZevLex& owner, std::string name, bool accept, bool pushback, std::int32_t kind)
    : Name(std::move(name)), Accept(accept), Pushback(pushback), Kind(kind),
      Index(static_cast<std::int32_t>(owner.States.size())) {
  owner.States.emplace_back(this);
}

void TState::SetTransitions(const TCharSet& chars, TState* target) {
  for (std::size_t c = 0; c < NextTable.size(); ++c)
    if (chars.test(c)) NextTable[c] = target;
}

TCharSet AllChars() {
  TCharSet all;
  all.set();
  return all;
}

TCharSet Chars(std::initializer_list<unsigned char> chars) {
  TCharSet set;
  for (unsigned char c : chars) set.set(c);
  return set;
}

// ---------------------------------------------------------------- stream operations

void TZevLex::Backup() {
  if (Position > 0) --Position;
}

unsigned char TZevLex::NextChar() {
  if (Position < 0 || static_cast<std::size_t>(Position) >= Stream.size()) return 0;
  return static_cast<unsigned char>(Stream[static_cast<std::size_t>(Position++)]);
}

std::string_view TZevLex::TokenViewSlow() const {
  const std::size_t size = Stream.size();
  std::size_t end = Position < 0 ? 0 : static_cast<std::size_t>(Position);
  if (end > size) end = size;
  std::size_t begin = TokenStart < 0 ? 0 : static_cast<std::size_t>(TokenStart);
  if (begin > end) begin = end;
  std::string_view token = Stream.substr(begin, end - begin);
  if (const void* nul = std::memchr(token.data(), 0, token.size()))
    token = token.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - token.data()));
  return token;
}

void TZevLex::GetToken(std::string& s) {
  s.assign(TokenView());
}

void TZevLex::Action(TState&) {}

bool TZevLex::Acts(const TState&) const {
  return true;
}

void TZevLex::Reset() {
  Current = Start;
  TokenStart = Position;
}

// ---------------------------------------------------------------- scan

void TZevLex::CheckTable() const {
  if (!Start) throw std::logic_error("Lexer has no start state");
  for (const auto& state : States)
    for (const TState* target : state->NextTable)
      if (!target) throw std::logic_error("Lexer state \"" + state->Name + "\" lacks a transition");
}

void TZevLex::Execute() {
  if (Stream.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    throw std::length_error("Lexer input of 2 GiB or more");
  if (Position < 0 || static_cast<std::size_t>(Position) > Stream.size())
    throw std::out_of_range("Lexer stream position out of range");
  CheckTable();
  // The NUL cache holds only while Execute runs: the bytes may change afterwards.
  struct NulCacheGuard {
    TZevLex& lexer;
    ~NulCacheGuard() { lexer.NulData = nullptr; }
  } guard{*this};
  FindFirstNul();
  Reset();
  if (!CompileFastTable()) {
    ScanGeneric();
  } else {
    // The pair table costs more to compile than a short text takes to scan.
    if (Stream.size() - static_cast<std::size_t>(Position) >= kPairScanFrom && CompilePairTable()) ScanPairs();
    ScanFast();
  }
  FeedEndOfInput();
}

void TZevLex::FindFirstNul() {
  const void* nul = std::memchr(Stream.data(), 0, Stream.size());
  FirstNul = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - Stream.data()) : Stream.size();
  NulData = Stream.data();
  NulSize = Stream.size();
}

// Rows are numbered with the non-accepting states first, so that one compare
// of the row offset tells whether the state just entered accepts.
bool TZevLex::CompileFastTable() {
  const std::size_t count = States.size();
  if (count > 255) return false;
  std::vector<std::uint16_t> rowOf(count);
  FastStates.clear();
  for (int accepting = 0; accepting < 2; ++accepting)
    for (const auto& state : States)
      if (state->Accept == (accepting == 1)) {
        rowOf[static_cast<std::size_t>(state->Index)] = static_cast<std::uint16_t>(FastStates.size() * 256);
        FastStates.push_back(state.get());
      }
  FastAcceptFrom = static_cast<std::uint32_t>(count) * 256;
  for (std::size_t row = 0; row < count; ++row)
    if (FastStates[row]->Accept) {
      FastAcceptFrom = static_cast<std::uint32_t>(row) * 256;
      break;
    }
  FastTable.assign(count * 256, 0);
  for (std::size_t row = 0; row < count; ++row)
    for (std::size_t c = 0; c < 256; ++c)
      FastTable[row * 256 + c] = rowOf[static_cast<std::size_t>(FastStates[row]->NextTable[c]->Index)];
  FastExits.assign(count, TExitBytes{});
  FastSkips.assign(count, 0);
  FastLow.assign(count, 0);
  for (std::size_t row = 0; row < count; ++row) {
    if (FastStates[row]->Accept) continue;
    std::vector<unsigned char> exits;
    for (std::size_t c = 0; c < 256 && exits.size() <= 8; ++c)
      if (FastTable[row * 256 + c] != row * 256) exits.push_back(static_cast<unsigned char>(c));
    if (exits.empty() || exits.size() > 8) continue;
    if (exits.size() > 4) {
      if (exits.back() < 0x40) FastLow[row] = exits.back();
      continue;
    }
    for (std::size_t i = 0; i < 4; ++i)
      std::memset(FastExits[row].Lanes[i], exits[i < exits.size() ? i : 0], 16);
    FastSkips[row] = 1;
  }
  return true;
}

// The pair table follows, for each state and byte class, one byte read in
// the state, the re-reading after a pushback included: the state reached and
// the accepting states passed. False when the table cannot take that form.
bool TZevLex::CompilePairTable() {
  const std::size_t count = FastStates.size();
  if (count * 256 > kPairSkip) return false;
  // Byte classes: bytes whose column is the same in every row.
  std::vector<unsigned char> representative;
  for (std::size_t c = 0; c < 256; ++c) {
    std::size_t k = 0;
    for (; k < representative.size(); ++k) {
      std::size_t row = 0;
      while (row < count && FastTable[row * 256 + c] == FastTable[row * 256 + representative[k]]) ++row;
      if (row == count) break;
    }
    if (k == representative.size()) {
      if (k == 16) return false;
      representative.push_back(static_cast<unsigned char>(c));
    }
    PairClasses[c] = static_cast<std::uint8_t>(k * 16);
    PairClasses[256 + c] = static_cast<std::uint8_t>(k);
  }
  const std::size_t classes = representative.size();
  // Single steps per row and class, their lists of accepting states interned
  // (list 0: none).
  using TEmitList = std::vector<std::pair<std::uint8_t, std::uint8_t>>;  // row number, pushback
  std::vector<TEmitList> singles(1);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> steps(count * classes);  // row number, list
  TEmitList emits;
  for (std::size_t row = 0; row < count; ++row)
    for (std::size_t k = 0; k < classes; ++k) {
      emits.clear();
      std::uint32_t at = FastTable[row * 256 + representative[k]] >> 8;
      for (int chain = 0;; ++chain) {
        const TState* state = FastStates[at];
        if (!state->Accept) break;
        emits.emplace_back(static_cast<std::uint8_t>(at), state->Pushback ? 1 : 0);
        if (!state->Pushback) break;
        if (chain == 8) return false;
        at = FastTable[at * 256 + representative[k]] >> 8;
      }
      std::size_t list = 0;
      while (list < singles.size() && singles[list] != emits) ++list;
      if (list == singles.size()) singles.push_back(emits);
      steps[row * classes + k] = {at, static_cast<std::uint32_t>(list)};
    }
  // Pairs: the list of a pair is the first byte's list and then the second's,
  // each accepting state marked with whether Action acts on it.
  PairTable.assign(count * 256, 0);
  PairEmits.clear();
  std::vector<std::uint32_t> pairLists(singles.size() * singles.size(), ~0u);  // begin << 4 | count
  for (std::size_t row = 0; row < count; ++row)
    for (std::size_t k1 = 0; k1 < classes; ++k1) {
      const auto [middle, list1] = steps[row * classes + k1];
      for (std::size_t k2 = 0; k2 < classes; ++k2) {
        const auto [last, list2] = steps[middle * classes + k2];
        std::uint32_t& list = pairLists[list1 * singles.size() + list2];
        if (list == ~0u) {
          const std::size_t begin = PairEmits.size();
          for (const std::size_t offset : {1, 2})
            for (const auto& [at, pushback] : singles[offset == 1 ? list1 : list2])
              PairEmits.push_back({at, static_cast<std::uint8_t>(offset - pushback), Acts(*FastStates[at])});
          const std::size_t emits = PairEmits.size() - begin;
          if (emits > 15 || PairEmits.size() > 0xFFF) return false;
          list = static_cast<std::uint32_t>(begin << 4 | emits);
        }
        std::uint32_t entry = last << 8;
        if (list & 15)
          entry |= list << 16;
        else if (last == row && (FastSkips[row] || FastLow[row]))
          entry |= kPairSkip;  // two bytes that stay in a state whose runs are skipped
        PairTable[row * 256 + k1 * 16 + k2] = entry;
      }
    }
  return true;
}

namespace {

// The position of the first byte at or after pos that is one of the four
// exits, or size.
std::uint32_t SkipToExit(const unsigned char* data, std::uint32_t pos, std::uint32_t size,
                         const unsigned char (&exits)[4][16]) {
#ifdef __SSE2__
  const __m128i e0 = _mm_load_si128(reinterpret_cast<const __m128i*>(exits[0]));
  const __m128i e1 = _mm_load_si128(reinterpret_cast<const __m128i*>(exits[1]));
  const __m128i e2 = _mm_load_si128(reinterpret_cast<const __m128i*>(exits[2]));
  const __m128i e3 = _mm_load_si128(reinterpret_cast<const __m128i*>(exits[3]));
  for (; size - pos >= 16; pos += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
    const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, e0), _mm_cmpeq_epi8(v, e1)),
                                     _mm_or_si128(_mm_cmpeq_epi8(v, e2), _mm_cmpeq_epi8(v, e3)));
    if (const int mask = _mm_movemask_epi8(hit)) return pos + static_cast<std::uint32_t>(__builtin_ctz(mask));
  }
#endif
  for (; pos < size; ++pos) {
    const unsigned char c = data[pos];
    if (c == exits[0][0] || c == exits[1][0] || c == exits[2][0] || c == exits[3][0]) break;
  }
  return pos;
}

// SkipToExit with the first 16 bytes looked at in line, for the short runs
// that are the most common.
inline __attribute__((always_inline)) std::uint32_t SkipShortRun(const unsigned char* data, std::uint32_t pos,
                                                                 std::uint32_t size,
                                                                 const unsigned char (&exits)[4][16]) {
#ifdef __SSE2__
  if (size - pos >= 16) {
    const __m128i* lanes = reinterpret_cast<const __m128i*>(exits);
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
    const __m128i hit = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(v, _mm_load_si128(lanes)), _mm_cmpeq_epi8(v, _mm_load_si128(lanes + 1))),
        _mm_or_si128(_mm_cmpeq_epi8(v, _mm_load_si128(lanes + 2)), _mm_cmpeq_epi8(v, _mm_load_si128(lanes + 3))));
    if (const int mask = _mm_movemask_epi8(hit)) return pos + static_cast<std::uint32_t>(__builtin_ctz(mask));
    pos += 16;
  }
#endif
  return SkipToExit(data, pos, size, exits);
}

// The position of the first byte at or after pos that leaves the state at row
// offset row, or size, where next is that state's row of the compiled table
// and only bytes up to low leave it: bytes above low are passed 16 at a time,
// the others looked up.
inline __attribute__((always_inline)) std::uint32_t SkipLowRun(const unsigned char* data, std::uint32_t pos,
                                                               std::uint32_t size, unsigned char low,
                                                               const std::uint16_t* next, std::uint32_t row) {
#ifdef __SSE2__
  const __m128i top = _mm_set1_epi8(static_cast<char>(low));
  for (; size - pos >= 16; pos += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
    int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(v, top), v));
    for (; mask; mask &= mask - 1) {
      const std::uint32_t at = pos + static_cast<std::uint32_t>(__builtin_ctz(mask));
      if (next[data[at]] != row) return at;
    }
  }
#endif
  while (pos < size && next[data[pos]] == row) ++pos;
  return pos;
}

}  // namespace

std::uint32_t TZevLex::RowOfCurrent() const {
  for (std::size_t row = 0; row < FastStates.size(); ++row)
    if (FastStates[row] == Current) return static_cast<std::uint32_t>(row * 256);
  throw std::logic_error("Lexer state not in its table");
}

// The scan over the pair table: two bytes a step, one table lookup, so half the
// chain of dependent lookups of the byte-by-byte loop. A step that passes
// accepting states runs their Actions in order, each with Current and Position
// as the byte-by-byte loop would have them; an Action that moves the position
// or switches the state or the stream makes the scan resume from where it left
// things. Stops with fewer than two bytes to go, for ScanFast to finish.
// The function starts on a cache line: the speed of its loop varies by some
// percent with where the loop falls, and so stays put through other edits.
__attribute__((aligned(64))) void TZevLex::ScanPairs() {
  const std::uint32_t* pairs = PairTable.data();
  const std::uint8_t* classes = PairClasses.data();
  const unsigned char* data = reinterpret_cast<const unsigned char*>(Stream.data());
  std::uint32_t size = static_cast<std::uint32_t>(Stream.size());
  std::uint32_t pos = static_cast<std::uint32_t>(Position);
  std::uint32_t row = RowOfCurrent();
  std::uint32_t last = size > 0 ? size - 1 : 0;  // two bytes are left while pos < last
  while (pos < last) {
    const std::uint32_t entry = pairs[row + classes[data[pos]] + classes[256 + data[pos + 1]]];
    if (entry < kPairSkip) {
      row = entry;
      pos += 2;
      continue;
    }
    if (entry < 0x10000) {
      // Two more bytes of a run in a state that loops on most bytes.
      if (FastSkips[row >> 8])
        pos = SkipShortRun(data, pos + 2, size, FastExits[row >> 8].Lanes);
      else
        pos = SkipLowRun(data, pos + 2, size, FastLow[row >> 8], FastTable.data() + row, row);
      continue;
    }
    const std::uint32_t first = pos;
    const TPairEmit* emit = PairEmits.data() + (entry >> 20);
    const TPairEmit* const end = emit + (entry >> 16 & 15);
    row = entry & (kPairSkip - 1);
    pos += 2;
    for (; emit != end; ++emit) {
      const std::int32_t at = static_cast<std::int32_t>(first + emit->Advance);
      if (!emit->Acts) {
        TokenStart = at;
        continue;
      }
      TState* state = FastStates[emit->Row];
      Current = state;
      Position = at;
      Action(*state);
      TokenStart = Position;
      if (Position != at || Current != state || Stream.data() != reinterpret_cast<const char*>(data) ||
          Stream.size() != size) {
        // Resume from where the Action left the scan.
        data = reinterpret_cast<const unsigned char*>(Stream.data());
        size = static_cast<std::uint32_t>(Stream.size());
        last = size > 0 ? size - 1 : 0;
        pos = static_cast<std::uint32_t>(Position);
        row = RowOfCurrent();
        break;
      }
    }
  }
  Position = static_cast<std::int32_t>(pos);
  Current = FastStates[row >> 8];
}

// The loop of Execute over the compiled table. Position and Current are kept in
// local variables and written back before every Action, which may read or move
// them; the stream operations are not called per byte but have the same effect.
void TZevLex::ScanFast() {
  const std::uint16_t* table = FastTable.data();
  const std::uint32_t acceptFrom = FastAcceptFrom;
  const unsigned char* data = reinterpret_cast<const unsigned char*>(Stream.data());
  std::uint32_t size = static_cast<std::uint32_t>(Stream.size());
  std::uint32_t pos = static_cast<std::uint32_t>(Position);
  std::uint32_t row = RowOfCurrent();
  while (pos < size) {
    const std::uint32_t next = table[row + data[pos++]];
    if (next < acceptFrom) {
      // Entering a state that loops on most bytes: jump over the run.
      if (next != row && FastSkips[next >> 8]) pos = SkipToExit(data, pos, size, FastExits[next >> 8].Lanes);
      row = next;
      continue;
    }
    row = next;
    TState* state = FastStates[row >> 8];
    if (state->Pushback) --pos;
    Current = state;
    Position = static_cast<std::int32_t>(pos);
    Action(*state);
    TokenStart = Position;
    // Action may have moved the position, switched the state or the stream.
    data = reinterpret_cast<const unsigned char*>(Stream.data());
    size = static_cast<std::uint32_t>(Stream.size());
    pos = static_cast<std::uint32_t>(Position);
    row = Current == state ? row : RowOfCurrent();
  }
  Position = static_cast<std::int32_t>(pos);
  Current = FastStates[row >> 8];
}

// The plain loop for tables too large for the compiled form.
void TZevLex::ScanGeneric() {
  while (Position >= 0 && static_cast<std::size_t>(Position) < Stream.size()) {
    Current = Current->Next(NextChar());
    if (!Current->Accept) continue;
    if (Current->Pushback) Backup();
    Action(*Current);
    TokenStart = Position;
  }
}

// The end-of-input marker: one NUL through the table, no Backup, TokenStart
// left where it is.
void TZevLex::FeedEndOfInput() {
  Current = Current->Next(0);
  if (Current->Accept) Action(*Current);
}
