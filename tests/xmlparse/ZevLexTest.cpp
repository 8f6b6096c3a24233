// The generic lexer on small hand-made tables: the scan loop, pushback, the
// end-of-input step and token extraction.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "xmlparse/TZevLex.h"

namespace {

using Calls = std::vector<std::pair<int, std::string>>;

// Words separated by blanks: a word is pushed back at the blank that ends it,
// each blank is a token of its own; NUL inside a word is an ordinary byte.
class WordLexer : public TZevLex {
public:
  WordLexer() {
    auto* start = new TState(*this, "start", false, false, 0);
    auto* inword = new TState(*this, "inword", false, false, 0);
    auto* word = new TState(*this, "word", true, true, 1);
    auto* blank = new TState(*this, "blank", true, false, 2);
    auto* eof = new TState(*this, "eof", true, false, 3);
    for (TState* s : {start, word, blank}) {
      s->SetTransitions(AllChars(), inword);
      s->SetTransitions(Chars({' '}), blank);
      s->SetTransitions(Chars({0}), eof);
    }
    inword->SetTransitions(AllChars(), inword);
    inword->SetTransitions(Chars({' '}), word);
    eof->SetTransitions(AllChars(), start);
    Start = start;
  }

  void Action(TState& state) override {
    std::string token;
    GetToken(token);
    calls.emplace_back(state.Kind, token);
  }

  Calls Run(std::string_view text) {
    calls.clear();
    Stream = text;
    Position = 0;
    Execute();
    return calls;
  }

  Calls calls;
};

TEST(ZevLex, EmptyStreamTakesOnlyTheEndOfInputStep) {
  WordLexer lexer;
  EXPECT_EQ(lexer.Run(""), (Calls{{3, ""}}));
  EXPECT_EQ(lexer.Current->Name, "eof");
}

TEST(ZevLex, PushbackTokenExcludesTheByteThatEndedIt) {
  WordLexer lexer;
  EXPECT_EQ(lexer.Run("ab cd "), (Calls{{1, "ab"}, {2, " "}, {1, "cd"}, {2, " "}, {3, ""}}));
}

TEST(ZevLex, LastByteIntoPushbackStateIsReadAgain) {
  WordLexer lexer;
  // The final blank leads into "word", is given back, and is then read again
  // from "word" into "blank"; the NUL step from "blank" reaches "eof" with an
  // empty token.
  EXPECT_EQ(lexer.Run("ab "), (Calls{{1, "ab"}, {2, " "}, {3, ""}}));
  EXPECT_EQ(lexer.Position, 3);
}

TEST(ZevLex, EndOfInputStepSeesTheRestWithoutBackup) {
  WordLexer lexer;
  // The word that runs to the end is never pushed back: its NUL step leads to
  // "inword", which does not accept, so nothing more happens.
  EXPECT_EQ(lexer.Run("a bc"), (Calls{{1, "a"}, {2, " "}}));
  EXPECT_EQ(lexer.TokenStart, 2);
  EXPECT_EQ(lexer.Position, 4);
}

TEST(ZevLex, TokenEndsAtItsFirstNulByte) {
  WordLexer lexer;
  EXPECT_EQ(lexer.Run(std::string("a\0b c", 5)), (Calls{{1, "a"}, {2, " "}}));
}

TEST(ZevLex, ActionRunsForAcceptingStatesWithEmptyTokens) {
  WordLexer lexer;
  // "blank" accepts without pushback; two blanks in a row give two tokens,
  // and the word lexer's start on NUL gives an empty token at the end.
  EXPECT_EQ(lexer.Run("  "), (Calls{{2, " "}, {2, " "}, {3, ""}}));
}

TEST(ZevLex, ExecuteCanRunAgainOverAnotherStream) {
  WordLexer lexer;
  lexer.Run("xx yy");
  EXPECT_EQ(lexer.Run("z "), (Calls{{1, "z"}, {2, " "}, {3, ""}}));
}

TEST(ZevLex, ScanStartsAtTheCurrentPosition) {
  WordLexer lexer;
  lexer.Stream = "skip me ";
  lexer.Position = 5;
  lexer.Execute();
  EXPECT_EQ(lexer.calls, (Calls{{1, "me"}, {2, " "}, {3, ""}}));
}

TEST(ZevLex, ScanResumesWhereAnActionMovedThePosition) {
  struct Jumping : WordLexer {
    void Action(TState& state) override {
      WordLexer::Action(state);
      if (calls.size() == 1) Position = 5;  // past " cd", before the blank is read again
    }
  } lexer;
  EXPECT_EQ(lexer.Run("ab cdef gh "), (Calls{{1, "ab"}, {1, "ef"}, {2, " "}, {1, "gh"}, {2, " "}, {3, ""}}));
  // The same on a text long enough for the scan over byte pairs.
  std::string text = "ab cdef gh ";
  Calls expected{{1, "ab"}, {1, "ef"}, {2, " "}, {1, "gh"}, {2, " "}};
  while (text.size() < 70000) {
    text += "xyz ";
    expected.insert(expected.end(), {{1, "xyz"}, {2, " "}});
  }
  expected.emplace_back(3, "");
  EXPECT_EQ(lexer.Run(text), expected);
}

TEST(ZevLex, StreamOperations) {
  WordLexer lexer;
  lexer.Stream = std::string_view("ab\0cd", 5);
  lexer.Position = 0;
  EXPECT_EQ(lexer.NextChar(), 'a');
  EXPECT_EQ(lexer.NextChar(), 'b');
  lexer.Backup();
  EXPECT_EQ(lexer.Position, 1);
  lexer.TokenStart = 0;
  lexer.Position = 5;
  std::string token = "old";
  lexer.GetToken(token);
  EXPECT_EQ(token, "ab");
  EXPECT_EQ(lexer.Position, 5);
  EXPECT_EQ(lexer.NextChar(), 0);  // at the end: nothing read
  EXPECT_EQ(lexer.Position, 5);
  lexer.Position = 0;
  lexer.Backup();
  EXPECT_EQ(lexer.Position, 0);
}

TEST(ZevLex, ResetGoesToStartAtThePosition) {
  WordLexer lexer;
  lexer.Stream = "abc";
  lexer.Position = 2;
  lexer.Current = nullptr;
  lexer.Reset();
  EXPECT_EQ(lexer.Current, lexer.Start);
  EXPECT_EQ(lexer.TokenStart, 2);
}

TEST(ZevLex, StatesRegisterThemselvesInOrder) {
  WordLexer lexer;
  ASSERT_EQ(lexer.States.size(), 5u);
  EXPECT_EQ(lexer.States[0]->Name, "start");
  EXPECT_EQ(lexer.States[4]->Name, "eof");
  EXPECT_EQ(lexer.States[2]->Kind, 1);
  EXPECT_TRUE(lexer.States[2]->Pushback);
  EXPECT_EQ(lexer.States[1]->Next('x'), lexer.States[1].get());
  EXPECT_EQ(lexer.States[1]->Next(' '), lexer.States[2].get());
}

TEST(ZevLex, LaterTransitionsOverrideEarlierOnes) {
  TZevLex lexer;
  auto* a = new TState(lexer, "a", false, false, 0);
  auto* b = new TState(lexer, "b", false, false, 0);
  EXPECT_EQ(a->Next('x'), nullptr);
  a->SetTransitions(AllChars(), a);
  a->SetTransitions(Chars({'x', 'y'}), b);
  a->SetTransitions(Chars({'y'}), a);
  EXPECT_EQ(a->Next('x'), b);
  EXPECT_EQ(a->Next('y'), a);
  EXPECT_EQ(a->Next(0), a);
}

TEST(ZevLex, IncompleteTableIsRefused) {
  TZevLex lexer;
  auto* a = new TState(lexer, "a", false, false, 0);
  a->SetTransitions(Chars({'x'}), a);
  lexer.Start = a;
  lexer.Stream = "x";
  EXPECT_THROW(lexer.Execute(), std::logic_error);
  TZevLex noStart;
  EXPECT_THROW(noStart.Execute(), std::logic_error);
}

TEST(ZevLex, InputsBeyond32BitPositionsAreRefused) {
  WordLexer lexer;
  static const char bytes[4] = "ab ";
  // Only the size is looked at before the refusal; the bytes are never read.
  lexer.Stream = std::string_view(bytes, std::size_t{1} << 31);
  EXPECT_THROW(lexer.Execute(), std::length_error);
  lexer.Stream = "ab ";
  lexer.Position = 4;
  EXPECT_THROW(lexer.Execute(), std::out_of_range);
  lexer.Position = -1;
  EXPECT_THROW(lexer.Execute(), std::out_of_range);
  EXPECT_TRUE(lexer.calls.empty());
}

TEST(ZevLex, ExceptionFromActionPassesOut) {
  struct Throwing : WordLexer {
    void Action(TState&) override { throw std::runtime_error("stop"); }
  } lexer;
  EXPECT_THROW(lexer.Run("a b"), std::runtime_error);
}

// A table of more than 255 states takes the plain scan loop; it must count the
// same: every 300th byte ends a token.
class CountingLexer : public TZevLex {
public:
  explicit CountingLexer(int count) {
    std::vector<TState*> states;
    for (int i = 0; i < count; ++i)
      states.push_back(new TState(*this, "s" + std::to_string(i), i == count - 1, false, i == count - 1 ? 1 : 0));
    for (int i = 0; i < count; ++i) states[i]->SetTransitions(AllChars(), states[(i + 1) % count]);
    Start = states[count - 1];
  }
  void Action(TState&) override {
    std::string token;
    GetToken(token);
    tokens.push_back(token);
  }
  std::vector<std::string> tokens;
};

TEST(ZevLex, LargeTablesScanLikeSmallOnes) {
  for (int count : {10, 300}) {
    CountingLexer lexer(count);
    std::string input(static_cast<std::size_t>(count) * 2 + 3, 'q');
    lexer.Stream = input;
    lexer.Execute();
    ASSERT_EQ(lexer.tokens.size(), 2u) << count;
    EXPECT_EQ(lexer.tokens[0].size(), static_cast<std::size_t>(count));
    EXPECT_EQ(lexer.Position, static_cast<std::int32_t>(input.size()));
    EXPECT_EQ(lexer.Current->Name, "s3");
  }
}

}  // namespace
