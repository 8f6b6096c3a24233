#pragma once
// A small lexer driven entirely by a table of named states. The owner builds
// the states and transitions, sets Start and the input, and runs Execute; each
// accepting state reached is handed to the virtual Action.

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TZevLex;

using TCharSet = std::bitset<256>;

class TState {
public:
  // Creates the state and adds it to the owner's States list, which then owns
  // it: create states with new and never delete them yourself.
  TState(TZevLex& owner, std::string name, bool accept, bool pushback, std::int32_t kind);

  std::string Name;
  std::array<TState*, 256> NextTable{};
  bool Accept;
  bool Pushback;
  std::int32_t Kind;
  std::int32_t Index;  // position in the owner's States list

  // Every byte value in chars now leads to target (later calls win).
  void SetTransitions(const TCharSet& chars, TState* target);
  TState* Next(unsigned char c) const { return NextTable[c]; }
};

class TZevLex {
public:
  TZevLex() = default;
  virtual ~TZevLex() = default;
  TZevLex(const TZevLex&) = delete;
  TZevLex& operator=(const TZevLex&) = delete;

  std::vector<std::unique_ptr<TState>> States;
  TState* Current = nullptr;
  TState* Start = nullptr;
  // The input: a view of the whole text, not owned; Position is the stream position.
  std::string_view Stream;
  std::int32_t Position = 0;
  std::function<void(TZevLex& sender)> OnError;  // never fired by the lexer
  std::int32_t TokenStart = 0;

  // Scans Stream from Position to its end, then feeds one NUL byte through the
  // table as the end-of-input marker. Throws std::logic_error when a state
  // lacks a transition, std::length_error for inputs of 2 GiB or more and
  // std::out_of_range for a Position outside the stream. The table is compiled
  // when the scan starts: Action must not change transitions while it runs.
  // The scan reads a byte ahead of the Action it runs: Action may move
  // Position, switch Current or Stream, but must not change the bytes of
  // Stream after Position.
  void Execute();

  // Stream operations. Execute reads Stream directly with the same effect;
  // these stay for subclasses and callers that drive the lexer by hand.
  virtual void Backup();
  virtual unsigned char NextChar();
  // s := the bytes from TokenStart up to Position, ending at the first NUL byte.
  virtual void GetToken(std::string& s);
  virtual void Action(TState& state);
  virtual void Reset();
  // Whether Action does anything for the accepting state. Asked for every
  // state when a scan starts; the scan may leave out the calls of Action for
  // a state that answers false (its token still ends there).
  virtual bool Acts(const TState& state) const;

protected:
  // The same bytes as GetToken, as a view into Stream (valid until Stream changes).
  std::string_view TokenView() const {
    const std::size_t end = static_cast<std::size_t>(Position);
    const std::size_t begin = static_cast<std::size_t>(TokenStart);
    if (NulData == Stream.data() && NulSize == Stream.size() && begin <= end && end <= FirstNul) return Stream.substr(begin, end - begin);
    return TokenViewSlow();
  }

private:
  // Where the first NUL byte of Stream lies (Stream.size() when there is none),
  // for the stream it was computed for; spares TokenView a search per token.
  // Set only while Execute runs, and only for positions within the stream.
  // Next to the stream and the positions, which TokenView reads with them.
  const char* NulData = nullptr;
  std::size_t NulSize = 0;
  std::size_t FirstNul = 0;
  // The transition table compiled for the scan loop: one row of 256 entries
  // per state, each entry the row offset of the target state. Rows are ordered
  // so that every accepting state comes after every non-accepting one.
  std::vector<std::uint16_t> FastTable;
  std::vector<TState*> FastStates;       // row number -> state
  std::uint32_t FastAcceptFrom = 0;      // first row offset of an accepting state
  // For a non-accepting state that leads back to itself on all but at most
  // four byte values: those values (repeated to fill four), so the scan can
  // skip a run of other bytes at once. Empty for every other state. One cache
  // line per state.
  struct alignas(64) TExitBytes {
    unsigned char Lanes[4][16];  // each exit value repeated over 16 bytes
  };
  std::vector<TExitBytes> FastExits;
  std::vector<std::uint8_t> FastSkips;
  // For a non-accepting state left by five to eight byte values, all below
  // 0x40 (the ends of a name in a tag): the highest of them, so the pair scan
  // can pass the bytes above it 16 at a time. 0 for every other state.
  std::vector<unsigned char> FastLow;
  // The pair table: the scan steps over two bytes at a time, with the bytes
  // reduced to at most 16 classes (bytes alike in every state) and the
  // re-reading after a pushback folded in. An entry, per state row of 256
  // (class of the first byte * 16 + class of the second), holds the row
  // offset reached in its low 14 bits, kPairSkip when the two bytes continue
  // a run to skip (FastSkips or FastLow), and the accepting states passed on
  // the way: their number in bits 16 to 19, where they start in PairEmits from
  // bit 20. Compiled for one scan, with what Acts answered.
  struct TPairEmit {
    std::uint8_t Row;      // row number of the accepting state
    std::uint8_t Advance;  // Position at its Action, counted from the pair's first byte
    bool Acts;
  };
  static constexpr std::size_t kPairScanFrom = 64 * 1024;  // bytes to scan from which the pair table is used
  static constexpr std::uint32_t kPairSkip = 0x4000;
  std::array<std::uint8_t, 512> PairClasses{};  // first byte -> class * 16, then second byte -> class
  std::vector<std::uint32_t> PairTable;
  std::vector<TPairEmit> PairEmits;

  std::string_view TokenViewSlow() const;
  void FindFirstNul();
  void CheckTable() const;
  bool CompileFastTable();
  bool CompilePairTable();
  std::uint32_t RowOfCurrent() const;
  void ScanPairs();
  void ScanFast();
  void ScanGeneric();
  void FeedEndOfInput();
};

// Set helpers for building tables.
TCharSet AllChars();
TCharSet Chars(std::initializer_list<unsigned char> chars);
