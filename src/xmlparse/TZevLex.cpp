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
  if (CompileFastTable())
    ScanFast();
  else
    ScanGeneric();
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
  for (std::size_t row = 0; row < count; ++row) {
    if (FastStates[row]->Accept) continue;
    std::vector<unsigned char> exits;
    for (std::size_t c = 0; c < 256 && exits.size() <= 4; ++c)
      if (FastTable[row * 256 + c] != row * 256) exits.push_back(static_cast<unsigned char>(c));
    if (exits.empty() || exits.size() > 4) continue;
    for (std::size_t i = 0; i < 4; ++i)
      std::memset(FastExits[row].Lanes[i], exits[i < exits.size() ? i : 0], 16);
    FastSkips[row] = 1;
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

}  // namespace

// The loop of Execute over the compiled table. Position and Current are kept in
// local variables and written back before every Action, which may read or move
// them; the stream operations are not called per byte but have the same effect.
void TZevLex::ScanFast() {
  const std::uint16_t* table = FastTable.data();
  const std::uint32_t acceptFrom = FastAcceptFrom;
  auto rowOfCurrent = [this]() -> std::uint32_t {
    for (std::size_t row = 0; row < FastStates.size(); ++row)
      if (FastStates[row] == Current) return static_cast<std::uint32_t>(row * 256);
    throw std::logic_error("Lexer state not in its table");
  };
  const unsigned char* data = reinterpret_cast<const unsigned char*>(Stream.data());
  std::uint32_t size = static_cast<std::uint32_t>(Stream.size());
  std::uint32_t pos = static_cast<std::uint32_t>(Position);
  std::uint32_t row = rowOfCurrent();
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
    row = Current == state ? row : rowOfCurrent();
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
