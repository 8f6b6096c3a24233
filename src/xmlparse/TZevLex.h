#pragma once
// A small lexer driven entirely by a table of named states. The owner builds
// the states and transitions, sets Start and the input, and runs Execute; each
// accepting state reached is handed to the virtual Action.

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TZevLex;

using TCharSet = std::bitset<256>;

class TState {
public:
  // Creates the state and adds it to the owner's States list.
  TState(TZevLex& owner, std::string name, bool accept, bool pushback, std::int32_t kind);

  std::string Name;
  std::array<TState*, 256> NextTable{};
  bool Accept;
  bool Pushback;
  std::int32_t Kind;

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

  // Scans Stream from Position to its end.
  void Execute();

  virtual void Backup();
  virtual unsigned char NextChar();
  virtual void GetToken(std::string& s);
  virtual void Action(TState& state);
  virtual void Reset();
};

// Set helpers for building tables.
TCharSet AllChars();
TCharSet Chars(std::initializer_list<unsigned char> chars);
