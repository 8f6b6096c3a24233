#include "dialogs/TOpenURLDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "dialogs/DialogHelpers.h"
#include "ui_TOpenURLDialog.h"

TOpenURLDialog* OpenURLDialog = nullptr;

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
  DialogHelpers::StartShowing(*this, *event);
  QDialog::showEvent(event);
  URLCombo->setFocus();
}
