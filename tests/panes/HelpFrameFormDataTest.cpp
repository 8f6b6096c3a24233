// Decoding of the help pages' form fields and the filling of their templates.

#include <gtest/gtest.h>

#include "panes/HelpFormData.h"

namespace {

TFormFieldList Parse(const std::string& body)
{
  TFormFieldList list;
  ParseFormData(list, body);
  return list;
}

std::string Lines(const TFormFieldList& list)
{
  std::string text;
  for (const auto& field : list) text += field.Name + "=" + field.Value + "\n";
  return text;
}

} // namespace

TEST(HelpFormData, URLDecodeEscapes)
{
  EXPECT_EQ(URLDecode("%%"), "%");
  EXPECT_EQ(URLDecode("%41"), "A");
  EXPECT_EQ(URLDecode("%4a%4A"), "JJ");
  EXPECT_EQ(URLDecode("x%4"), "x");       // cut off after one digit
  EXPECT_EQ(URLDecode("x%"), "x");        // cut off after the percent sign
  EXPECT_EQ(URLDecode("%4%1"), "A");      // a percent after the first digit is skipped
  EXPECT_EQ(URLDecode("%4%%%1"), "A");
  EXPECT_EQ(URLDecode("a+b"), "a b");
  EXPECT_EQ(URLDecode("%2B"), "+");
  EXPECT_EQ(URLDecode("%%41"), "%41");    // "%%" ends the escape
}

TEST(HelpFormData, URLDecodeDropsOnlyTheBadEscape)
{
  EXPECT_EQ(URLDecode("a%zzb"), "ab");
  EXPECT_EQ(URLDecode("a%4gb"), "ab");
  EXPECT_EQ(URLDecode("a%g4b"), "ab");
}

TEST(HelpFormData, URLDecodeKeepsBytes)
{
  // UTF-8 stays as its bytes, and every byte value comes through.
  EXPECT_EQ(URLDecode("N%C3%A9"), "N\xC3\xA9");
  EXPECT_EQ(URLDecode("%00%FF"), std::string("\x00\xFF", 2));
  EXPECT_EQ(URLDecode("\xE9"), "\xE9");
}

TEST(HelpFormData, PostDataIsOneCharacterPerByte)
{
  EXPECT_EQ(PostDataToString(QByteArray("a=%41&\xFF\x00", 8)), std::string("a=%41&\xFF\x00", 8));
  EXPECT_EQ(PostDataToString(QByteArray()), "");
}

TEST(HelpFormData, ParseKeepsOrderAndJoinsRepeatedNames)
{
  EXPECT_EQ(Lines(Parse("b=1&a=x&b=2")), "b=1 2\na=x\n");
  // url and URL are one field; the first spelling names it.
  EXPECT_EQ(Lines(Parse("url=a&URL=b&Url=c")), "url=a b c\n");
}

TEST(HelpFormData, ParseDecodesTheWholeFieldBeforeSplitting)
{
  // An encoded "=" in a name splits there; an encoded "&" does not split.
  EXPECT_EQ(Lines(Parse("a%3Db=c")), "a=b=c\n");
  EXPECT_EQ(Lines(Parse("t=x%26y=z")), "t=x&y=z\n");
  EXPECT_EQ(Lines(Parse("t=a+b%2Bc")), "t=a b+c\n");
  EXPECT_EQ(Lines(Parse("e=")), "e=\n");
}

TEST(HelpFormData, ParsePassesOverFieldsWithoutName)
{
  EXPECT_EQ(Lines(Parse("")), "");
  EXPECT_EQ(Lines(Parse("a=1&")), "a=1\n");
  EXPECT_EQ(Lines(Parse("&&a=1&&")), "a=1\n");
  EXPECT_EQ(Lines(Parse("lonely&a=1")), "a=1\n");
  EXPECT_EQ(Lines(Parse("=value&a=1")), "a=1\n");
  EXPECT_EQ(Lines(Parse("%3Dvalue")), "");
}

TEST(HelpFormData, FieldValueIgnoresCase)
{
  TFormFieldList list = Parse("_TEXT=t&x=1");
  EXPECT_EQ(FieldValue(list, "_text"), "t");
  EXPECT_EQ(FieldValue(list, "missing"), "");
}

TEST(HelpFormData, FillTemplateAnchor)
{
  TFormFieldList list = Parse("_text=%3Ca+href%3D%22URL%22%3ETEXT%3C%2Fa%3E&URL=x.html&TEXT=Next");
  EXPECT_EQ(FillTemplate(FieldValue(list, "_text"), list), "<a href=\"x.html\">Next</a>");
}

TEST(HelpFormData, FillTemplateIgnoresCase)
{
  TFormFieldList list = Parse("name=Joe");
  EXPECT_EQ(FillTemplate("Name: NAME", list), "Joe: Joe");
}

TEST(HelpFormData, FillTemplateNeverReplacesUnderscoreFields)
{
  TFormFieldList list = Parse("_class=x&_text=_class");
  EXPECT_EQ(FillTemplate("<p class=\"_class\">_text</p>", list), "<p class=\"_class\">_text</p>");
}

TEST(HelpFormData, FillTemplateWorksFieldAfterField)
{
  // A value holding a later field's name is replaced again; an earlier one's is not.
  TFormFieldList list = Parse("a=b&b=c");
  EXPECT_EQ(FillTemplate("a b", list), "c c");
  list = Parse("b=c&a=b");
  EXPECT_EQ(FillTemplate("a b", list), "b c");
}

TEST(HelpFormData, FillTemplateReplacesLeftToRightWithoutOverlap)
{
  TFormFieldList list = Parse("aa=X");
  EXPECT_EQ(FillTemplate("aaa AAaa", list), "Xa XX");
  // A value that contains its own name does not loop.
  list = Parse("x=xx");
  EXPECT_EQ(FillTemplate("x-x", list), "xx-xx");
}

TEST(HelpFormData, FillTemplateKeepsBytes)
{
  TFormFieldList list = Parse("who=N%C3%A9");
  EXPECT_EQ(FillTemplate("<p>who</p>", list), "<p>N\xC3\xA9</p>");
}

TEST(HelpFormData, FillTemplateRefusesTextsLargerThanTheLimitBeforeBuildingThem)
{
  // Each field's value names the next field twice: 40 fields would double
  // the text 40 times.
  std::string body = "_text=q0";
  for (int i = 0; i < 40; ++i)
    body += "&q" + std::to_string(i) + "=q" + std::to_string(i + 1) + "+q" + std::to_string(i + 1);
  TFormFieldList list = Parse(body);
  EXPECT_THROW(FillTemplate(FieldValue(list, "_text"), list), EFilledTextTooLarge);
  // Up to the limit the text is filled; one byte more is refused.
  list = Parse("x=abc");
  EXPECT_EQ(FillTemplate("x-x", list, 7), "abc-abc");
  EXPECT_THROW(FillTemplate("x-x", list, 6), EFilledTextTooLarge);
  EXPECT_THROW(FillTemplate("1234567", TFormFieldList(), 6), EFilledTextTooLarge);
  EXPECT_EQ(FillTemplate("123456", TFormFieldList(), 6), "123456");
}
