#include "platform/ConfigValues.h"

#include <QApplication>

namespace {

struct TSystemColor {
  unsigned Index;
  QPalette::ColorGroup Group;
  QPalette::ColorRole Role;
};

// Windows system-colour indexes and the palette colours that play their part.
constexpr TSystemColor SystemColors[] = {
    {0, QPalette::Active, QPalette::Button},             // scroll bar
    {1, QPalette::Active, QPalette::Dark},               // desktop
    {2, QPalette::Active, QPalette::Highlight},          // active caption
    {3, QPalette::Inactive, QPalette::Highlight},        // inactive caption
    {4, QPalette::Active, QPalette::Window},             // menu
    {5, QPalette::Active, QPalette::Base},               // window
    {6, QPalette::Active, QPalette::Shadow},             // window frame
    {7, QPalette::Active, QPalette::WindowText},         // menu text
    {8, QPalette::Active, QPalette::Text},               // window text
    {9, QPalette::Active, QPalette::HighlightedText},    // caption text
    {10, QPalette::Active, QPalette::Window},            // active border
    {11, QPalette::Inactive, QPalette::Window},          // inactive border
    {12, QPalette::Active, QPalette::Mid},               // application work space
    {13, QPalette::Active, QPalette::Highlight},         // highlight
    {14, QPalette::Active, QPalette::HighlightedText},   // highlight text
    {15, QPalette::Active, QPalette::Button},            // button face
    {16, QPalette::Active, QPalette::Dark},              // button shadow
    {17, QPalette::Disabled, QPalette::Text},            // grey text
    {18, QPalette::Active, QPalette::ButtonText},        // button text
    {19, QPalette::Inactive, QPalette::HighlightedText}, // inactive caption text
    {20, QPalette::Active, QPalette::Light},             // button highlight
    {21, QPalette::Active, QPalette::Shadow},            // 3D dark shadow
    {22, QPalette::Active, QPalette::Midlight},          // 3D light
    {23, QPalette::Active, QPalette::ToolTipText},       // info text
    {24, QPalette::Active, QPalette::ToolTipBase},       // info background
    {26, QPalette::Active, QPalette::Link},              // hot light
    {27, QPalette::Active, QPalette::Highlight},         // gradient active caption
    {28, QPalette::Inactive, QPalette::Highlight},       // gradient inactive caption
    {29, QPalette::Active, QPalette::Highlight},         // menu highlight
    {30, QPalette::Active, QPalette::Window},            // menu bar
};

constexpr TColor SystemColorBase = 0xFF000000u;

}  // namespace

bool SystemColorRole(unsigned index, QPalette::ColorGroup& group, QPalette::ColorRole& role)
{
  for (const auto& entry : SystemColors) {
    if (entry.Index == index) {
      group = entry.Group;
      role = entry.Role;
      return true;
    }
  }
  return false;
}

QColor QColorFromConfig(TColor color)
{
  if ((color & 0xFF000000u) == 0)
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
  if ((color & 0xFF000000u) == SystemColorBase) {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
    if (SystemColorRole(color - SystemColorBase, group, role)) return QApplication::palette().color(group, role);
  }
  return QColor();
}

QFont QFontFromConfig(const TConfigFont& font)
{
  QFont result(QString::fromStdString(font.GetName()));
  result.setStyleHint(QFont::TypeWriter);
  if (font.Size > 0) result.setPointSize(font.Size);
  result.setBold(font.Style.Bold);
  result.setItalic(font.Style.Italic);
  result.setUnderline(font.Style.Underline);
  result.setStrikeOut(font.Style.StrikeOut);
  return result;
}
