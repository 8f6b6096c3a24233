// Text scanning behind tag closing and autocompletion, over several lines
// (the typing tests cover the single-line cases).

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "workspace/TagScanning.h"

namespace {

// The lines of text ("\n" separated) and the caret at the end of the last.
struct TLines {
  std::vector<std::string> Lines;
  explicit TLines(const std::string& text)
  {
    std::istringstream in(text + "\n");
    for (std::string line; std::getline(in, line);) Lines.push_back(line);
  }
  TLineAt At() const
  {
    return [this](long i) { return i < static_cast<long>(Lines.size()) ? std::string_view(Lines[i]) : ""; };
  }
  long X() const { return static_cast<long>(Lines.back().size()) + 1; }
  long Y() const { return static_cast<long>(Lines.size()); }
};

TTagContext Context(const std::string& text)
{
  TLines lines(text);
  return GetTagContext(lines.At(), lines.X(), lines.Y());
}

std::string Enclosing(const std::string& text)
{
  TLines lines(text);
  return GetEnclosingElement(lines.At(), lines.X(), lines.Y());
}

}  // namespace

TEST(TagScanning, ClassifyTagAndInsertInLine)
{
  const std::vector<std::pair<std::string, TTagKind>> kinds = {
      {"?xml", TTagKind::XmlDecl}, {"?xml-stylesheet", TTagKind::PI}, {"!DOCTYPE", TTagKind::DocType},
      {"!doctype", TTagKind::Other}, {"!--x", TTagKind::Comment},     {"![CDATA[", TTagKind::Other},
      {"", TTagKind::Other},         {"/b", TTagKind::EndTag},         {"xsl:if", TTagKind::StartTag}};
  for (const auto& [tag, kind] : kinds) EXPECT_EQ(ClassifyTag(tag), kind) << tag;
  EXPECT_EQ(PadLine("abcdef", 3), "abcdef");
  EXPECT_EQ(InsertInLine("X", "abc", 2), "aXbc");
  EXPECT_EQ(InsertInLine("X", "ab", 6), "ab   X");  // begins exactly at the caret column
}

TEST(TagScanning, TagContextOverLines)
{
  // The quote count carries over lines: an odd count is an attribute value.
  EXPECT_FALSE(Context("<a title=\"one\ntwo").InTag);
  EXPECT_EQ(Context("<a title=\"one\ntwo\" ").TagName, "a");
  EXPECT_FALSE(Context("<b>\n\ntext").InTag);
  // The caret in column 1 scans nothing on its own line; in the middle of a
  // name, the name runs to the caret.
  TLines lines("<a\n<bcd");
  EXPECT_EQ(GetTagContext(lines.At(), 1, 2).TagName, "a");
  EXPECT_EQ(GetTagContext(lines.At(), 3, 2).TagName, "b");
  EXPECT_EQ(GetTagContext(lines.At(), 9, 2).TagName, "bcd");
}

TEST(TagScanning, EnclosingElementOverLines)
{
  EXPECT_EQ(Enclosing("<xsl:stylesheet>\n  <xsl:template match=\"/\">\n    <xsl:value-of select=\".\"/>\n"),
            "xsl:template");
  EXPECT_EQ(Enclosing("<p>\n<br\n/>\n"), "p");  // "/>" on a later line
  EXPECT_EQ(Enclosing("<div><div><div></div></div>"), "div");
  EXPECT_EQ(Enclosing("<div><div></div></div>"), "");
  EXPECT_EQ(Enclosing("<B><b></B>"), "b");  // names compare exactly
  EXPECT_EQ(Enclosing("<?xml version=\"1.0\"?>\n<!DOCTYPE html>\n<html>\n<!-- note -->"), "html");
  // Markup inside comments counts like any other.
  EXPECT_EQ(Enclosing("<html><!-- <b> -->"), "b");
}
