#include <gtest/gtest.h>

#include "model/XMLEscape.h"

TEST(XMLDecode, ResolvesEachPredefinedReferenceOnceIgnoringCase)
{
  EXPECT_EQ(XMLDecode("&lt;p&gt;&lt;/p&gt;"), "<p></p>");
  EXPECT_EQ(XMLDecode("a &AMP; b"), "a & b");
  EXPECT_EQ(XMLDecode("&amp;amp;"), "&amp;");
  EXPECT_EQ(XMLDecode("&amp;lt;"), "&lt;");
  EXPECT_EQ(XMLDecode("&Lt;&LT;&QuOt;&APOS;&gT;"), "<<\"'>");
  EXPECT_EQ(XMLDecode("&quot;&apos;&amp;"), "\"'&");
}

TEST(XMLDecode, LeavesOtherTextAlone)
{
  EXPECT_EQ(XMLDecode("&#62;"), "&#62;");
  EXPECT_EQ(XMLDecode("&#x3C;&nbsp;&"), "&#x3C;&nbsp;&");
  EXPECT_EQ(XMLDecode("&lt"), "&lt");
  EXPECT_EQ(XMLDecode("plain text"), "plain text");
  EXPECT_EQ(XMLDecode(""), "");
  EXPECT_EQ(XMLDecode("\xe9&lt;\xff"), "\xe9<\xff");
}

TEST(XMLQuoteAttr, ProtectsOnlyQuotes)
{
  EXPECT_EQ(XMLQuoteAttr("\"C:\\Prog\\v.exe\" \"%1\""), "&quot;C:\\Prog\\v.exe&quot; &quot;%1&quot;");
  EXPECT_EQ(XMLQuoteAttr("it's"), "it&apos;s");
  EXPECT_EQ(XMLQuoteAttr("a&b<c>"), "a&b<c>");
  EXPECT_EQ(XMLQuoteAttr(""), "");
}

TEST(XMLUnquoteAttr, RestoresQuotesOnly)
{
  EXPECT_EQ(XMLUnquoteAttr("&QUOT;x&Apos;"), "\"x'");
  EXPECT_EQ(XMLUnquoteAttr("&amp;&lt;&gt;"), "&amp;&lt;&gt;");
  const std::string command = "\"/opt/a b/view\" '%1' & <x>";
  EXPECT_EQ(XMLUnquoteAttr(XMLQuoteAttr(command)), command);
}

TEST(XMLEscapeAttr, DecodesBackToEveryText)
{
  EXPECT_EQ(XMLEscapeAttr("a&b<c>\"d'"), "a&amp;b&lt;c>&quot;d&apos;");
  const char* samples[] = {"", "&", "&amp;", "&lt;", "&QUOT;", "&&amp;;", "<>\"'", "&#60;", "a&gt;b", "\r\n\t\x01\xff"};
  for (const char* sample : samples) EXPECT_EQ(XMLDecode(XMLEscapeAttr(sample)), sample) << sample;
  // Every byte string of length 2 over the interesting characters.
  const std::string alphabet = "&;<>\"'ampltgquoesA";
  for (char a : alphabet)
    for (char b : alphabet) {
      std::string text{a, '&', b, 'l', 't', ';'};
      EXPECT_EQ(XMLDecode(XMLEscapeAttr(text)), text);
    }
}
