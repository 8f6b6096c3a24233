// The XML event parser: event forms, attribute entries, the option flags and
// the behaviour at cut-off and malformed input, checked on exact event texts.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "EventRecorder.h"

namespace {

using std::string_literals::operator""s;

constexpr unsigned kEmpty = TXMLParser::poEmptyTag;
constexpr unsigned kSpace = TXMLParser::poTagWhitespace;

TEST(XMLParserTags, EmptyElementTagWithAndWithoutFlag1) {
  EXPECT_EQ(ParseToEvents("<x/>", kEmpty), "start \"x\" empty=1\n");
  EXPECT_EQ(ParseToEvents("<x/>"), "start \"x\" empty=0\nend \"x\"\n");
  EXPECT_EQ(ParseToEvents("<x />", kEmpty), "start \"x\" empty=1\n");
}

TEST(XMLParserTags, AttributeFormsInOrder) {
  EXPECT_EQ(ParseToEvents("<a b='1' c=2 d>"),
            "start \"a\" empty=0\n  attr \"b=1\"\n  attr \"c=2\"\n  attr \"d\"\n");
  EXPECT_EQ(ParseToEvents("<a d>"), "start \"a\" empty=0\n  attr \"d\"\n");
  EXPECT_EQ(ParseToEvents("<a d e/>", kEmpty), "start \"a\" empty=1\n  attr \"d\"\n  attr \"e\"\n");
  EXPECT_EQ(ParseToEvents("<a b=\"x=y\" c=>>"), "start \"a\" empty=0\n  attr \"b=x=y\"\n  attr \"c=>\"\n");
  EXPECT_EQ(ParseToEvents("<a c=>"), "");  // the ">" is the value: the tag never ends
}

TEST(XMLParserTags, WhitespaceAroundEqualsAndNoSpaceBetweenAttributes) {
  EXPECT_EQ(ParseToEvents("<a b = \"1\"c='2'>"), "start \"a\" empty=0\n  attr \"b=1\"\n  attr \"c=2\"\n");
  EXPECT_EQ(ParseToEvents("<a b\r\n=\r\n2/>", kEmpty), "start \"a\" empty=1\n  attr \"b=2\"\n");
}

TEST(XMLParserTags, StartTagEndingTheInput) {
  EXPECT_EQ(ParseToEvents("<br>"), "start \"br\" empty=0\n");
  EXPECT_EQ(ParseToEvents("x<br>"), "text \"x\"\nstart \"br\" empty=0\n");
}

TEST(XMLParserTags, Flag2ReportsWhitespaceRuns) {
  EXPECT_EQ(ParseToEvents("<a\n  b=\"1\">", kSpace), "start \"a\" empty=0\n  attr \"=\\n  \"\n  attr \"b=1\"\n");
  EXPECT_EQ(ParseToEvents("<a b=\"1\">", kSpace), "start \"a\" empty=0\n  attr \"b=1\"\n");
  EXPECT_EQ(ParseToEvents("<a\n  b=\"1\">"), "start \"a\" empty=0\n  attr \"b=1\"\n");
  // Whitespace after "=" is reported ahead of the attribute it belongs to.
  EXPECT_EQ(ParseToEvents("<a b =  \"1\"  >", kSpace),
            "start \"a\" empty=0\n  attr \"=  \"\n  attr \"b=1\"\n  attr \"=  \"\n");
  EXPECT_EQ(ParseToEvents("<a\r\n/>", kSpace | kEmpty), "start \"a\" empty=1\n  attr \"=\\r\\n\"\n");
}

TEST(XMLParserTags, TabIsPartOfTheName) {
  EXPECT_EQ(ParseToEvents("<a\tb=\"1\">"), "start \"a\\tb=\\\"1\\\"\" empty=0\n");
  EXPECT_EQ(ParseToEvents("<a\tb c\td=1>"), "start \"a\\tb\" empty=0\n  attr \"c\\td=1\"\n");
}

TEST(XMLParserTags, QuotedValuesKeepGreaterThanAndLineEnds) {
  EXPECT_EQ(ParseToEvents("<a b=\"x>y\r\nz\" c='>\"'>"),
            "start \"a\" empty=0\n  attr \"b=x>y\\r\\nz\"\n  attr \"c=>\\\"\"\n");
}

TEST(XMLParserTags, UnquotedValueEndsAtSlash) {
  // the "/" opens the end of an empty-element tag, which runs to ">"
  EXPECT_EQ(ParseToEvents("<a href=x/y>"), "start \"a\" empty=0\n  attr \"href=x\"\nend \"a\"\n");
}

TEST(XMLParserTags, EndTags) {
  EXPECT_EQ(ParseToEvents("</>"), "end \"\"\n");
  EXPECT_EQ(ParseToEvents("</ a >"), "end \" a \"\n");
  EXPECT_EQ(ParseToEvents("<a></ab"), "start \"a\" empty=0\nend \"a\"\n");
  EXPECT_EQ(ParseToEvents("t</a>"), "text \"t\"\nend \"a\"\n");
}

TEST(XMLParserTags, EmptyTagNames) {
  EXPECT_EQ(ParseToEvents("a<>"), "text \"a\"\nstart \"\" empty=0\n");
  EXPECT_EQ(ParseToEvents("<>b<c>"), "start \"\" empty=0\ntext \"b\"\nstart \"c\" empty=0\n");
}

TEST(XMLParserCutOff, StartTagGivesEventOnlyAfterQuoteOrSlash) {
  EXPECT_EQ(ParseToEvents("<a b='1'"), "start \"a\" empty=0\n  attr \"b=1\"\n");
  EXPECT_EQ(ParseToEvents("<a b=\"1\""), "start \"a\" empty=0\n  attr \"b=1\"\n");
  EXPECT_EQ(ParseToEvents("<a/"), "start \"a\" empty=0\nend \"a\"\n");
  EXPECT_EQ(ParseToEvents("<a b/", kEmpty), "start \"a\" empty=1\n  attr \"b\"\n");
  for (const char* cut : {"<", "<a", "<a ", "<a b", "<a b ", "<a b=", "<a b=1", "<a b=\"1", "<a b='1' ", "<a b=\"1\"\n"})
    EXPECT_EQ(ParseToEvents(cut, kSpace), "") << cut;
}

TEST(XMLParserCutOff, DeclarationAndCommentAtEndOfInput) {
  EXPECT_EQ(ParseToEvents("<!DOCTYPE html"), "decl \"DOCTYPE\" \" htm\"\n");
  EXPECT_EQ(ParseToEvents("<!DOCTYPE"), "");  // the name is read, the body never
  EXPECT_EQ(ParseToEvents("<!-- open"), "comment \"<!-- open\"\n");
  EXPECT_EQ(ParseToEvents("<?pi data"), "pi \"pi\" \" data\"\n");
}

TEST(XMLParserText, TextAfterTheLastMarkupIsNotReported) {
  EXPECT_EQ(ParseToEvents(""), "");
  EXPECT_EQ(ParseToEvents("just text\r\n"), "");
  EXPECT_EQ(ParseToEvents("a<x>b</x>c"), "text \"a\"\nstart \"x\" empty=0\ntext \"b\"\nend \"x\"\n");
  EXPECT_EQ(ParseToEvents("<x>tail"), "start \"x\" empty=0\n");
}

TEST(XMLParserText, TextIsReportedOncePerRunBeforeTheMarkup) {
  EXPECT_EQ(ParseToEvents("a&amp;b<!--c-->d<?p?>e<!X>f<y/>"),
            "text \"a&amp;b\"\ncomment \"<!--c-->\"\ntext \"d\"\npi \"p\" \"\"\ntext \"e\"\ndecl \"X\" \"\"\n"
            "text \"f\"\nstart \"y\" empty=0\nend \"y\"\n");
}

TEST(XMLParserPI, TargetAndData) {
  EXPECT_EQ(ParseToEvents("<?x?>"), "pi \"x\" \"\"\n");
  EXPECT_EQ(ParseToEvents("<?x data?>"), "pi \"x\" \" data\"\n");
  EXPECT_EQ(ParseToEvents("<?xml version=\"1.0\"?>"), "pi \"xml\" \" version=\\\"1.0\\\"\"\n");
  EXPECT_EQ(ParseToEvents("<?x\r\ny?>"), "pi \"x\\r\\ny\" \"\"\n");
  EXPECT_EQ(ParseToEvents("<?x a?b>c?>"), "pi \"x\" \" a?b>c\"\n");
  EXPECT_EQ(ParseToEvents("<?>a?>"), "pi \"\" \">a\"\n");
}

TEST(XMLParserComment, DashCounting) {
  EXPECT_EQ(ParseToEvents("<!---->"), "comment \"<!---->\"\n");
  EXPECT_EQ(ParseToEvents("<!-- a -->"), "comment \"<!-- a -->\"\n");
  // three and four dashes before ">" do not end the comment, five do
  EXPECT_EQ(ParseToEvents("<!-- a --->b-->"), "comment \"<!-- a --->b-->\"\n");
  EXPECT_EQ(ParseToEvents("<!-- a ---->b-->"), "comment \"<!-- a ---->b-->\"\n");
  EXPECT_EQ(ParseToEvents("<!-- a ----->b-->"), "comment \"<!-- a ----->\"\n");
  EXPECT_EQ(ParseToEvents("<!-- a --->"), "comment \"<!-- a --->\"\n");  // runs to the end of the input
  EXPECT_EQ(ParseToEvents("<!-->x-->"), "comment \"<!-->x-->\"\n");
  EXPECT_EQ(ParseToEvents("<!--->x-->"), "comment \"<!--->x-->\"\n");
  EXPECT_EQ(ParseToEvents("<!>"), "comment \"<!>\"\n");
  EXPECT_EQ(ParseToEvents("<!->"), "comment \"<!->\"\n");
}

TEST(XMLParserDecl, NameAndBody) {
  EXPECT_EQ(ParseToEvents("<!DOCTYPE html>"), "decl \"DOCTYPE\" \" html\"\n");
  EXPECT_EQ(ParseToEvents("<!DOCTYPE>"), "decl \"DOCTYPE\" \"\"\n");
  EXPECT_EQ(ParseToEvents("<!X\r\nY>"), "decl \"X\" \"\\r\\nY\"\n");
  EXPECT_EQ(ParseToEvents("<!DOCTYPE x [<!ENTITY a \"b\">]>"), "decl \"DOCTYPE\" \" x [<!ENTITY a \\\"b\\\">]\"\n");
  // only one level of brackets
  EXPECT_EQ(ParseToEvents("<!X [a[b]c>d]><e>"), "decl \"X\" \" [a[b]c\"\ntext \"d]>\"\nstart \"e\" empty=0\n");
}

TEST(XMLParserNul, NulEndsTheOpenToken) {
  EXPECT_EQ(ParseToEvents("a\0b<x>"s), "text \"a\"\nstart \"x\" empty=0\n");
  EXPECT_EQ(ParseToEvents("<a\0b>"s), "start \"a\" empty=0\n");
  EXPECT_EQ(ParseToEvents("<a b=\"x\0y\">"s), "start \"a\" empty=0\n  attr \"b=\"\n  attr \"y\\\"\"\n");
  EXPECT_EQ(ParseToEvents("<!-- a\0 -->"s), "comment \"<!-- a\"\n");
  EXPECT_EQ(ParseToEvents("\0"s), "");
}

TEST(XMLParserEvents, ResetClearsAttributesOnly) {
  TXMLParser parser;
  parser.Name = "n";
  parser.AttrName = "a";
  parser.Text = "t";
  parser.Body = "b";
  parser.Attributes = {"x=1"};
  parser.Reset();
  EXPECT_TRUE(parser.Attributes.empty());
  EXPECT_EQ(parser.Name + parser.AttrName + parser.Text + parser.Body, "natb");
  EXPECT_EQ(parser.Current, parser.Start);
  EXPECT_EQ(parser.Start->Name, "intext");
}

TEST(XMLParserEvents, TextLeftBeforeExecuteIsReportedWithTheFirstRun) {
  TXMLParser parser;
  EventRecorder recorder(parser);
  parser.Text = "pre";
  parser.Parse("x<y>");
  EXPECT_EQ(recorder.Events, "text \"prex\"\nstart \"y\" empty=0\n");
}

TEST(XMLParserEvents, UnassignedEventsStillClearWhatTheyReport) {
  // The data-file readers assign only these three: the data of a processing
  // instruction must not turn up in the text that follows it.
  TXMLParser parser;
  std::string seen;
  parser.OnText = [&](TXMLParser&, const std::string& text) { seen += "[" + text + "]"; };
  parser.OnStartTag = [&](TXMLParser&, const std::string& name, const std::vector<std::string>&, bool) {
    seen += "<" + name + ">";
  };
  parser.OnEndTag = [&](TXMLParser&, const std::string& name) { seen += "</" + name + ">"; };
  parser.Parse("<?xml version=\"1.0\"?>\r\n<!DOCTYPE r>\r\n<!-- c -->\r\n<r>t</r>");
  EXPECT_EQ(seen, "[\r\n][\r\n][\r\n]<r>[t]</r>");
}

TEST(XMLParserEvents, HandlerSeesParserStateAndMayKeepACopy) {
  TXMLParser parser;
  std::vector<std::string> kept;
  parser.OnStartTag = [&](TXMLParser& sender, const std::string& name, const std::vector<std::string>& attributes,
                          bool) {
    EXPECT_EQ(&sender, &parser);
    EXPECT_EQ(&name, &parser.Name);
    EXPECT_EQ(&attributes, &parser.Attributes);
    kept = attributes;
  };
  parser.OnEndTag = [&](TXMLParser&, const std::string& name) { EXPECT_EQ(name, "a"); };
  parser.Parse("<a x=1/>");
  EXPECT_EQ(kept, std::vector<std::string>{"x=1"});
  EXPECT_TRUE(parser.Attributes.empty());
  EXPECT_TRUE(parser.Name.empty());
}

TEST(XMLParserEvents, ExceptionFromHandlerPassesOut) {
  TXMLParser parser;
  parser.OnEndTag = [](TXMLParser&, const std::string&) { throw std::runtime_error("stop here"); };
  EXPECT_THROW(parser.Parse("<a></a><b>"), std::runtime_error);
}

TEST(XMLParserEvents, TableHasFortyStatesInOrder) {
  TXMLParser parser;
  ASSERT_EQ(parser.States.size(), 40u);
  EXPECT_EQ(parser.States[0]->Name, "intext");
  EXPECT_EQ(parser.States[21]->Name, "invaluequery");
  EXPECT_EQ(parser.States[21]->Kind, 6);
  EXPECT_TRUE(parser.States[21]->Accept);
  EXPECT_FALSE(parser.States[21]->Pushback);
  EXPECT_EQ(parser.States[39]->Name, "pi");
  EXPECT_EQ(parser.Options, 0u);
}

}  // namespace
