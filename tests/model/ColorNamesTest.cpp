// Colour names and the integer forms of the configuration file.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "model/ColorNames.h"
#include "model/EConvertError.h"
#include "model/IntegerText.h"

namespace {

TEST(IntegerText, Forms)
{
  std::int32_t value = 0;
  EXPECT_TRUE(TryStrToInt("42", value));
  EXPECT_EQ(value, 42);
  EXPECT_TRUE(TryStrToInt("  -7", value));
  EXPECT_EQ(value, -7);
  EXPECT_TRUE(TryStrToInt("+7", value));
  EXPECT_EQ(value, 7);
  EXPECT_TRUE(TryStrToInt("$1f5", value));
  EXPECT_EQ(value, 0x1F5);
  EXPECT_TRUE(TryStrToInt("0x10", value));
  EXPECT_EQ(value, 16);
  EXPECT_TRUE(TryStrToInt("$FFFFFFFF", value));
  EXPECT_EQ(value, -1);
  EXPECT_TRUE(TryStrToInt("-2147483648", value));
  EXPECT_EQ(value, INT32_MIN);
  EXPECT_TRUE(TryStrToInt("2147483647", value));
  EXPECT_EQ(value, INT32_MAX);
  value = 99;
  for (const char* bad : {"", " ", "$", "-", "2147483648", "$100000000", "5 ", "1e3", "$ 1", "$-1", "abc"}) {
    EXPECT_FALSE(TryStrToInt(bad, value)) << bad;
  }
  EXPECT_EQ(value, 99);
  EXPECT_EQ(StrToIntDef("x", 8), 8);
  try {
    StrToInt("x1");
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'x1' is not a valid integer value");
  }
  EXPECT_EQ(IntToHex8(0xabc), "00000ABC");
}

TEST(ColorNames, TableHas52UniqueNamesAndValues)
{
  const auto& table = ColorNameTable();
  std::set<TColor> values;
  std::set<std::string> names;
  for (const auto& entry : table) {
    values.insert(entry.Value);
    names.insert(entry.Name);
  }
  EXPECT_EQ(values.size(), 52u);
  EXPECT_EQ(names.size(), 52u);
  EXPECT_EQ(clMoneyGreen, 0xC0DCC0u);
  EXPECT_EQ(clSkyBlue, 0xF0CAA6u);
  EXPECT_EQ(clCream, 0xF0FBFFu);
  EXPECT_EQ(clMedGray, 0xA4A0A0u);
  EXPECT_EQ(clMaroon, 0x000080u);
  EXPECT_EQ(clHotLight, 0xFF00001Au);
  EXPECT_EQ(clMenuBar, 0xFF00001Eu);
}

TEST(ColorNames, WriteAndRead)
{
  EXPECT_EQ(ColorToString(clRed), "clRed");
  EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
  EXPECT_EQ(ColorToString(clNone), "clNone");
  EXPECT_EQ(ColorToString(clDefault), "clDefault");
  EXPECT_EQ(ColorToString(0xFF000019), "$FF000019");
  EXPECT_EQ(ColorToString(RGBColor(1, 2, 3)), "$00030201");
  EXPECT_EQ(StringToColor("clwindowtext"), clWindowText);
  EXPECT_EQ(StringToColor("$00030201"), RGBColor(1, 2, 3));
  EXPECT_EQ(StringToColor("65280"), clLime);
  EXPECT_THROW(StringToColor("clPink"), EConvertError);
  EXPECT_THROW(StringToColor(""), EConvertError);
  for (const auto& entry : ColorNameTable()) EXPECT_EQ(StringToColor(ColorToString(entry.Value)), entry.Value);
}

}  // namespace
