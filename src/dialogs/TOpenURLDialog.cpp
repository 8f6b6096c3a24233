#include "dialogs/TOpenURLDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "dialogs/DialogHelpers.h"
#include "ui_TOpenURLDialog.h"

TOpenURLDialog* OpenURLDialog = nullptr;

// --- TComboItems -----------------------------------------------------------------

namespace {

// Puts the text of an editable combo box back after its list changed (Qt
// would show the first item added to an empty list, or nothing after a clear).
class TKeepComboText {
public:
  explicit TKeepComboText(QComboBox& combo) : FCombo(combo), FText(combo.currentText()) {}
  ~TKeepComboText()
  {
    FCombo.setCurrentIndex(-1);
    FCombo.setEditText(FText);
  }

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

// --- TOpenURLDialog --------------------------------------------------------------

TOpenURLDialog::TOpenURLDialog(QWidget* parent)
    : QDialog(parent),
      FUi(std::make_unique<Ui::TOpenURLDialog>())
{
  FUi->setupUi(this);
  Label1 = FUi->Label1;
  URLCombo = FUi->URLCombo;
  OKBtn = FUi->OKBtn;
  CancelBtn = FUi->CancelBtn;
  // The typed text is the result; Enter must not add it to the list.
  URLCombo->setInsertPolicy(QComboBox::NoInsert);
  URLCombo->setEditText("http://");
  setFixedSize(size());
}

TOpenURLDialog::~TOpenURLDialog() = default;

TComboItems TOpenURLDialog::GetURLItems()
{
  return TComboItems(*URLCombo);
}

QString TOpenURLDialog::GetURL() const
{
  return URLCombo->currentText();
}

void TOpenURLDialog::showEvent(QShowEvent* event)
{
  if (!event->spontaneous()) DialogHelpers::CentreOnScreen(*this);
  QDialog::showEvent(event);
  URLCombo->setFocus();
}
