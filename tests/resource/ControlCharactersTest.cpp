#include <gtest/gtest.h>

#include "resource/ControlCharacters.h"

TEST(ControlCharacters, EscapedAsHexOrAsUtf8CodePointsAndFoundInNames)
{
  EXPECT_FALSE(HasControlCharacter("plain \xC3\xA9t\xC3\xA9.xml"));
  EXPECT_TRUE(HasControlCharacter(std::string("a\0b", 3)));
  EXPECT_TRUE(HasControlCharacter("del\x7F"));
  EXPECT_EQ(EscapeControlCharacters("\x1b[31mred\x7F\r\n\t"), "\\x1B[31mred\\x7F\\x0D\\x0A\\x09");
  // C1 controls in UTF-8 (a terminal may take U+009B for ESC "["); other
  // characters and a lone C2 byte stay.
  EXPECT_EQ(EscapeControlCharacters("a\xC2\x9B" "2J\xC2\xA0\xC3\xA9\xC2"), "a\\u009B2J\xC2\xA0\xC3\xA9\xC2");
  // In a message of several lines, line ends and tabs stay; a lone CR does not.
  EXPECT_EQ(EscapeControlCharactersInText("one\r\ntwo\nthree\tx\ry\x1b"), "one\r\ntwo\nthree\tx\\x0Dy\\x1B");
}
