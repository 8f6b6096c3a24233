// Cut-off, random and NUL-laden inputs: the parser never fails, is
// deterministic, and its scan gives the same events as the plain byte-by-byte
// loop over the virtual stream operations.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "EventRecorder.h"

namespace {

// Drives the parser by hand, one NextChar/Backup at a time, exactly as the
// lexer's loop is defined; Execute must give the same events.
std::string ParseByHand(std::string_view text, unsigned options) {
  TXMLParser parser;
  parser.Options = options;
  EventRecorder recorder(parser);
  parser.Stream = text;
  parser.Position = 0;
  parser.Reset();
  while (static_cast<std::size_t>(parser.Position) < text.size()) {
    parser.Current = parser.Current->Next(parser.NextChar());
    if (!parser.Current->Accept) continue;
    if (parser.Current->Pushback) parser.Backup();
    parser.Action(*parser.Current);
    parser.TokenStart = parser.Position;
  }
  parser.Current = parser.Current->Next(0);
  if (parser.Current->Accept) parser.Action(*parser.Current);
  return recorder.Events;
}

class Random {
public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint32_t Next(std::uint32_t bound) {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::uint32_t>(state_ >> 33) % bound;
  }

private:
  std::uint64_t state_;
};

// Inputs made of the bytes that matter to the table, with long runs now and
// then so that the scan's run skipping is exercised too.
std::string RandomMarkup(Random& rnd) {
  static const std::string alphabet = std::string("<>/!?-=[]\"' \r\n\tab\xE9", 19) + std::string(1, '\0');
  std::string s;
  const std::uint32_t length = rnd.Next(60);
  for (std::uint32_t i = 0; i < length; ++i) {
    if (rnd.Next(12) == 0)
      s.append(17 + rnd.Next(20), "xyz-"[rnd.Next(4)]);
    else
      s += alphabet[rnd.Next(static_cast<std::uint32_t>(alphabet.size()))];
  }
  return s;
}

TEST(XMLParserRobustness, ScanMatchesTheByteByByteLoop) {
  Random rnd(7);
  for (int i = 0; i < 4000; ++i) {
    const std::string input = RandomMarkup(rnd);
    const unsigned options = static_cast<unsigned>(i % 4);
    ASSERT_EQ(ParseToEvents(input, options), ParseByHand(input, options))
        << "input " << EscapeBytes(input) << " options " << options;
  }
}

// Texts long enough for the scan over byte pairs: random markup, and a
// document with line ends, references, CDATA, comments, declarations and
// processing instructions repeated from every offset.
TEST(XMLParserRobustness, LongTextsScanLikeTheByteByByteLoop) {
  Random rnd(13);
  for (int i = 0; i < 24; ++i) {
    std::string input;
    while (input.size() < 70000) input += RandomMarkup(rnd);
    const unsigned options = static_cast<unsigned>(i % 4);
    ASSERT_EQ(ParseToEvents(input, options), ParseByHand(input, options)) << "input " << i << " options " << options;
  }
  const std::string document =
      "<?xml version=\"1.0\"?>\r\n<!DOCTYPE d [<!ENTITY e \"v\">]>\r\n<d a='1' b=\"x>y\r\nz\" c=3 e>\r\n"
      "<!-- one --- two --><![CDATA[ <x> ]]>\r\n<f/><g h = \"i\" j='&amp;'/>text &amp; &#233; more<?pi data?></d>\r\n";
  for (std::size_t offset = 0; offset < 4; ++offset) {
    std::string input(offset, ' ');
    while (input.size() < 70000) input += document;
    for (unsigned options = 0; options < 4; ++options)
      ASSERT_EQ(ParseToEvents(input, options), ParseByHand(input, options)) << offset << " " << options;
  }
}

TEST(XMLParserRobustness, EveryPrefixParsesDeterministically) {
  const std::string document =
      "<?xml version=\"1.0\"?>\r\n<!DOCTYPE d [<!ENTITY e \"v\">]>\r\n<d a='1' b=\"x>y\r\nz\" c=3 e>\r\n"
      "<!-- one --- two -->\r\n<f/><g h=\"i\"/>text &amp; more<?pi data?></d>\r\n";
  for (unsigned options = 0; options < 4; ++options)
    for (std::size_t n = 0; n <= document.size(); ++n) {
      const std::string_view prefix = std::string_view(document).substr(0, n);
      const std::string events = ParseToEvents(prefix, options);
      EXPECT_EQ(events, ParseToEvents(prefix, options)) << n;
      EXPECT_EQ(events, ParseByHand(prefix, options)) << n;
    }
}

TEST(XMLParserRobustness, ArbitraryBytesNeverFail) {
  Random rnd(11);
  for (int i = 0; i < 300; ++i) {
    std::string input(rnd.Next(400), '\0');
    for (char& c : input) c = static_cast<char>(rnd.Next(256));
    EXPECT_NO_THROW(ParseToEvents(input, static_cast<unsigned>(i % 4)));
  }
}

TEST(XMLParserRobustness, NulBytesEverywhereInADocument) {
  const std::string document = "<a b=\"c\">d<!--e--><?f g?><!h i></a>";
  for (std::size_t at = 0; at <= document.size(); ++at) {
    std::string input = document;
    input.insert(at, 1, '\0');
    EXPECT_EQ(ParseToEvents(input, 3), ParseByHand(input, 3)) << at;
  }
}

TEST(XMLParserRobustness, ParserCanRunAgainOverAnotherText) {
  TXMLParser parser;
  EventRecorder recorder(parser);
  parser.Parse("<a x=1>");
  parser.Parse("<b>");
  EXPECT_EQ(recorder.Events, "start \"a\" empty=0\n  attr \"x=1\"\nstart \"b\" empty=0\n");
}

TEST(XMLParserRobustness, GetTokenStaysAvailableToSubclasses) {
  struct Tokens : TXMLParser {
    void Action(TState& state) override {
      std::string token;
      GetToken(token);
      seen += state.Name + ":" + token + "|";
      TXMLParser::Action(state);
    }
    std::string seen;
  } parser;
  parser.Parse(std::string("<a b=1>c\0d", 10));
  EXPECT_EQ(parser.seen, "text:|tagname:<a|whitespace: |name:b|invaluequery:=|value:1|starttag:>|text:c|text:|");
}

}  // namespace
