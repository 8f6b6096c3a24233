#include "model/ColorNames.h"

#include "model/AttributeList.h"
#include "model/IntegerText.h"

const std::array<TColorName, ColorNameCount>& ColorNameTable()
{
  static const std::array<TColorName, ColorNameCount> table = {{
      {clBlack, "clBlack"},
      {clMaroon, "clMaroon"},
      {clGreen, "clGreen"},
      {clOlive, "clOlive"},
      {clNavy, "clNavy"},
      {clPurple, "clPurple"},
      {clTeal, "clTeal"},
      {clGray, "clGray"},
      {clSilver, "clSilver"},
      {clRed, "clRed"},
      {clLime, "clLime"},
      {clYellow, "clYellow"},
      {clBlue, "clBlue"},
      {clFuchsia, "clFuchsia"},
      {clAqua, "clAqua"},
      {clWhite, "clWhite"},
      {clMoneyGreen, "clMoneyGreen"},
      {clSkyBlue, "clSkyBlue"},
      {clCream, "clCream"},
      {clMedGray, "clMedGray"},
      {clScrollBar, "clScrollBar"},
      {clBackground, "clBackground"},
      {clActiveCaption, "clActiveCaption"},
      {clInactiveCaption, "clInactiveCaption"},
      {clMenu, "clMenu"},
      {clWindow, "clWindow"},
      {clWindowFrame, "clWindowFrame"},
      {clMenuText, "clMenuText"},
      {clWindowText, "clWindowText"},
      {clCaptionText, "clCaptionText"},
      {clActiveBorder, "clActiveBorder"},
      {clInactiveBorder, "clInactiveBorder"},
      {clAppWorkSpace, "clAppWorkSpace"},
      {clHighlight, "clHighlight"},
      {clHighlightText, "clHighlightText"},
      {clBtnFace, "clBtnFace"},
      {clBtnShadow, "clBtnShadow"},
      {clGrayText, "clGrayText"},
      {clBtnText, "clBtnText"},
      {clInactiveCaptionText, "clInactiveCaptionText"},
      {clBtnHighlight, "clBtnHighlight"},
      {cl3DDkShadow, "cl3DDkShadow"},
      {cl3DLight, "cl3DLight"},
      {clInfoText, "clInfoText"},
      {clInfoBk, "clInfoBk"},
      {clHotLight, "clHotLight"},
      {clGradientActiveCaption, "clGradientActiveCaption"},
      {clGradientInactiveCaption, "clGradientInactiveCaption"},
      {clMenuHighlight, "clMenuHighlight"},
      {clMenuBar, "clMenuBar"},
      {clNone, "clNone"},
      {clDefault, "clDefault"},
  }};
  return table;
}

bool ColorToIdent(TColor color, std::string& name)
{
  for (const auto& entry : ColorNameTable()) {
    if (entry.Value == color) {
      name = entry.Name;
      return true;
    }
  }
  return false;
}

bool IdentToColor(const std::string& name, TColor& color)
{
  for (const auto& entry : ColorNameTable()) {
    if (SameTextAscii(name, entry.Name)) {
      color = entry.Value;
      return true;
    }
  }
  return false;
}

std::string ColorToString(TColor color)
{
  std::string name;
  if (ColorToIdent(color, name)) return name;
  return "$" + IntToHex8(color);
}

TColor StringToColor(const std::string& text)
{
  TColor color;
  if (IdentToColor(text, color)) return color;
  return static_cast<TColor>(StrToInt(text));
}
