#include "dialogs/TComboItems.h"

#include <QComboBox>

namespace {

// Puts the text of an editable combo box back after its list changed (Qt
// shows the first item added to an empty list, or nothing after a clear).
class TKeepComboText {
public:
  explicit TKeepComboText(QComboBox& combo) : FCombo(combo), FText(combo.currentText())
  {
    FCombo.blockSignals(true);
  }
  ~TKeepComboText()
  {
    FCombo.setCurrentIndex(-1);
    FCombo.setEditText(FText);
    FCombo.blockSignals(false);
  }
  TKeepComboText(const TKeepComboText&) = delete;
  TKeepComboText& operator=(const TKeepComboText&) = delete;

private:
  QComboBox& FCombo;
  QString FText;
};

}  // namespace

void TComboItems::Clear()
{
  TKeepComboText keep(FCombo);
  FCombo.clear();
}

void TComboItems::Add(const QString& item)
{
  TKeepComboText keep(FCombo);
  FCombo.addItem(item);
}

int TComboItems::Count() const
{
  return FCombo.count();
}

QString TComboItems::Get(int index) const
{
  return FCombo.itemText(index);
}
