#pragma once
// A colour picker: a drop-down list of the named colours of the configuration
// (every name of the colour-name table except clNone and clDefault), each with
// a swatch, followed by "Custom...", which asks for any colour.
//
// A colour that is not one of the named ones (set by SetSelected, or chosen
// through "Custom...") is shown as one more item, "$" and its eight
// hexadecimal digits, just before "Custom...", so it is kept unchanged until
// the user picks another.

#include <QComboBox>
#include <functional>

#include "model/ColorNames.h"

class TColorBox : public QComboBox {
  Q_OBJECT
public:
  // Asks the user for a colour, starting from color; false when cancelled.
  using TColorChooser = std::function<bool(QWidget* parent, TColor& color)>;

  explicit TColorBox(QWidget* parent = nullptr);

  TColor Selected() const;
  void SetSelected(TColor color);

  // The number of named colours offered (50).
  static int NamedColorCount();

  // The chooser behind "Custom..."; tests install their own, nullptr restores
  // the platform's colour dialog.
  static void SetColorChooser(TColorChooser chooser);

private:
  void ItemActivated(int index);
  int CustomItem() const;  // the "Custom..." item
  int FindColor(TColor color) const;
  void SetOtherColor(TColor color);

  int FLastIndex = 0;
};
