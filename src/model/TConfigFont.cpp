#include "model/TConfigFont.h"

#include "model/AttributeList.h"

std::string FontStyleToText(const TFontStyles& style)
{
  std::string text;
  if (style.Bold) text += "bold ";
  if (style.Italic) text += "italic ";
  if (style.Underline) text += "underline ";
  if (style.StrikeOut) text += "strikeout ";
  return text;
}

TFontStyles TextToFontStyle(const std::string& text)
{
  std::string lower = LowerCaseAscii(text);
  TFontStyles style;
  style.Bold = lower.find("bold") != std::string::npos;
  style.Italic = lower.find("italic") != std::string::npos;
  style.Underline = lower.find("underline") != std::string::npos;
  style.StrikeOut = lower.find("strikeout") != std::string::npos;
  return style;
}
