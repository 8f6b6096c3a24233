#include <gtest/gtest.h>

#include "model/AttributeList.h"

TEST(AttributeList, LooksNamesUpIgnoringCaseFirstOccurrenceWins)
{
  std::vector<std::string> attrs{"=\n  ", "Id=a=b", "bare", "id=second", "empty="};
  EXPECT_EQ(GetAttribute(attrs, "ID"), "a=b");
  EXPECT_EQ(GetAttribute(attrs, "bare"), "");
  EXPECT_TRUE(HasAttribute(attrs, "BARE"));
  EXPECT_EQ(GetAttribute(attrs, "empty"), "");
  EXPECT_TRUE(HasAttribute(attrs, "empty"));
  EXPECT_FALSE(HasAttribute(attrs, "missing"));
  EXPECT_EQ(GetAttribute(attrs, "missing"), "");
  EXPECT_FALSE(HasAttribute(attrs, ""));
}

TEST(AttributeList, CaseHelpersTouchOnlyAscii)
{
  EXPECT_EQ(UpperCaseAscii("ab\xe9Z"), "AB\xe9Z");
  EXPECT_EQ(LowerCaseAscii("AB\xc9z"), "ab\xc9z");
  EXPECT_LT(CompareTextAscii("abc", "ABD"), 0);
  EXPECT_EQ(CompareTextAscii("abc", "ABC"), 0);
  EXPECT_GT(CompareTextAscii("abcd", "ABC"), 0);
}
