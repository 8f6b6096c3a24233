#pragma once
// Colours of the editor configuration and their names.
//
// A colour is 32 bits: red + 256 * green + 65536 * blue for a plain colour;
// 0xFF000000 plus a Windows system-colour index for a system colour;
// 0x1FFFFFFF for clNone and 0x20000000 for clDefault. The user interface maps
// system colours to the palette of its own platform.

#include <array>
#include <cstdint>
#include <string>

using TColor = std::uint32_t;

constexpr TColor RGBColor(unsigned red, unsigned green, unsigned blue)
{
  return static_cast<TColor>(red + 256u * green + 65536u * blue);
}
constexpr TColor SystemColor(unsigned index) { return 0xFF000000u + index; }

constexpr TColor clBlack = RGBColor(0, 0, 0);
constexpr TColor clMaroon = RGBColor(128, 0, 0);
constexpr TColor clGreen = RGBColor(0, 128, 0);
constexpr TColor clOlive = RGBColor(128, 128, 0);
constexpr TColor clNavy = RGBColor(0, 0, 128);
constexpr TColor clPurple = RGBColor(128, 0, 128);
constexpr TColor clTeal = RGBColor(0, 128, 128);
constexpr TColor clGray = RGBColor(128, 128, 128);
constexpr TColor clSilver = RGBColor(192, 192, 192);
constexpr TColor clRed = RGBColor(255, 0, 0);
constexpr TColor clLime = RGBColor(0, 255, 0);
constexpr TColor clYellow = RGBColor(255, 255, 0);
constexpr TColor clBlue = RGBColor(0, 0, 255);
constexpr TColor clFuchsia = RGBColor(255, 0, 255);
constexpr TColor clAqua = RGBColor(0, 255, 255);
constexpr TColor clWhite = RGBColor(255, 255, 255);
constexpr TColor clMoneyGreen = RGBColor(192, 220, 192);
constexpr TColor clSkyBlue = RGBColor(166, 202, 240);
constexpr TColor clCream = RGBColor(255, 251, 240);
constexpr TColor clMedGray = RGBColor(160, 160, 164);
constexpr TColor clScrollBar = SystemColor(0);
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clInactiveCaption = SystemColor(3);
constexpr TColor clMenu = SystemColor(4);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clMenuText = SystemColor(7);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clCaptionText = SystemColor(9);
constexpr TColor clActiveBorder = SystemColor(10);
constexpr TColor clInactiveBorder = SystemColor(11);
constexpr TColor clAppWorkSpace = SystemColor(12);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clInactiveCaptionText = SystemColor(19);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);
constexpr TColor cl3DLight = SystemColor(22);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);
constexpr TColor clHotLight = SystemColor(26);
constexpr TColor clGradientActiveCaption = SystemColor(27);
constexpr TColor clGradientInactiveCaption = SystemColor(28);
constexpr TColor clMenuHighlight = SystemColor(29);
constexpr TColor clMenuBar = SystemColor(30);
constexpr TColor clNone = 0x1FFFFFFFu;
constexpr TColor clDefault = 0x20000000u;

struct TColorName {
  TColor Value;
  const char* Name;
};

constexpr int ColorNameCount = 52;

// The colour-name table: the plain colours, the system colours, then clNone
// and clDefault.
const std::array<TColorName, ColorNameCount>& ColorNameTable();

// The name of a colour of the table; false (name unchanged) for other values.
bool ColorToIdent(TColor color, std::string& name);
// The colour of a name of the table (ASCII case-blind); false otherwise.
bool IdentToColor(const std::string& name, TColor& color);
// The colour's name, or "$" and eight capital hexadecimal digits.
std::string ColorToString(TColor color);
// A name of the table, or an integer (decimal, or hexadecimal after "$");
// raises EConvertError "'text' is not a valid integer value" otherwise.
TColor StringToColor(const std::string& text);
