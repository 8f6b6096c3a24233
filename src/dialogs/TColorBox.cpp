#include "dialogs/TColorBox.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

#include "model/IntegerText.h"
#include "platform/ConfigValues.h"

namespace {

constexpr int ColorRole = Qt::UserRole;
constexpr int OtherRole = Qt::UserRole + 1;  // marks the item of an unnamed colour
const char* const CustomText = "Custom...";

TColorBox::TColorChooser& Chooser()
{
  static TColorBox::TColorChooser chooser;
  return chooser;
}

bool PlatformColorDialog(QWidget* parent, TColor& color)
{
  QColor start = QColorFromConfig(color);
  QColor chosen = QColorDialog::getColor(start.isValid() ? start : QColor(Qt::black), parent);
  if (!chosen.isValid()) return false;
  color = RGBColor(static_cast<unsigned>(chosen.red()), static_cast<unsigned>(chosen.green()),
                   static_cast<unsigned>(chosen.blue()));
  return true;
}

QIcon Swatch(TColor color)
{
  QPixmap pixmap(16, 12);
  QColor fill = QColorFromConfig(color);
  pixmap.fill(fill.isValid() ? fill : QColor(Qt::transparent));
  QPainter painter(&pixmap);
  painter.setPen(Qt::black);
  painter.drawRect(0, 0, 15, 11);
  return QIcon(pixmap);
}

bool Offered(TColor color) { return color != clNone && color != clDefault; }

}  // namespace

TColorBox::TColorBox(QWidget* parent)
    : QComboBox(parent)
{
  setEditable(false);
  for (const TColorName& entry : ColorNameTable()) {
    if (!Offered(entry.Value)) continue;
    // "clMoneyGreen" shows as "MoneyGreen".
    addItem(Swatch(entry.Value), QString::fromLatin1(entry.Name + 2), QVariant::fromValue<uint>(entry.Value));
  }
  addItem(CustomText);
  setCurrentIndex(0);
  connect(this, QOverload<int>::of(&QComboBox::activated), this, &TColorBox::ItemActivated);
}

int TColorBox::NamedColorCount()
{
  int count = 0;
  for (const TColorName& entry : ColorNameTable())
    if (Offered(entry.Value)) ++count;
  return count;
}

void TColorBox::SetColorChooser(TColorChooser chooser)
{
  Chooser() = std::move(chooser);
}

int TColorBox::CustomItem() const { return count() - 1; }

TColor TColorBox::Selected() const
{
  int index = currentIndex() == CustomItem() ? FLastIndex : currentIndex();
  return static_cast<TColor>(itemData(index, ColorRole).toUInt());
}

int TColorBox::FindColor(TColor color) const
{
  for (int i = 0; i < CustomItem(); ++i)
    if (itemData(i, ColorRole).toUInt() == color) return i;
  return -1;
}

void TColorBox::SetSelected(TColor color)
{
  int index = FindColor(color);
  if (index < 0) {
    SetOtherColor(color);
    return;
  }
  setCurrentIndex(index);
  FLastIndex = index;
}

void TColorBox::SetOtherColor(TColor color)
{
  int other = CustomItem() - 1;
  QString text = "$" + QString::fromStdString(IntToHex8(color));
  if (!itemData(other, OtherRole).toBool()) {
    insertItem(CustomItem(), QString());
    other = CustomItem() - 1;
    setItemData(other, true, OtherRole);
  }
  setItemText(other, text);
  setItemIcon(other, Swatch(color));
  setItemData(other, QVariant::fromValue<uint>(color), ColorRole);
  setCurrentIndex(other);
  FLastIndex = other;
}

void TColorBox::ItemActivated(int index)
{
  if (index != CustomItem()) {
    FLastIndex = index;
    return;
  }
  TColor color = Selected();
  bool chosen = Chooser() ? Chooser()(this, color) : PlatformColorDialog(this, color);
  if (chosen)
    SetSelected(color);
  else
    setCurrentIndex(FLastIndex);
}
