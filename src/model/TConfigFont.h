#pragma once
// A font of the editor configuration: name, size in points, colour and style.
// Plain data; the user interface turns it into its own font objects.

#include <cstddef>
#include <string>

#include "model/ColorNames.h"

struct TFontStyles {
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;

  bool operator==(const TFontStyles& other) const
  {
    return Bold == other.Bold && Italic == other.Italic && Underline == other.Underline &&
           StrikeOut == other.StrikeOut;
  }
  bool operator!=(const TFontStyles& other) const { return !(*this == other); }
};

class TConfigFont {
public:
  static constexpr std::size_t MaxNameLength = 31;
  static constexpr const char* DefaultName = "Monospace";
  static constexpr int DefaultSize = 10;

  int Size = DefaultSize;  // points
  TColor Color = clBlack;
  TFontStyles Style;

  const std::string& GetName() const { return FName; }
  // A name longer than MaxNameLength characters is cut to its first ones.
  void SetName(const std::string& name) { FName = name.substr(0, MaxNameLength); }

  bool operator==(const TConfigFont& other) const
  {
    return FName == other.FName && Size == other.Size && Color == other.Color && Style == other.Style;
  }
  bool operator!=(const TConfigFont& other) const { return !(*this == other); }

private:
  std::string FName = DefaultName;
};

// The style as the configuration file writes it: "bold ", "italic ",
// "underline ", "strikeout ", each when present, in that order.
std::string FontStyleToText(const TFontStyles& style);
// Each style whose word occurs anywhere in text (ASCII case-blind).
TFontStyles TextToFontStyle(const std::string& text);
