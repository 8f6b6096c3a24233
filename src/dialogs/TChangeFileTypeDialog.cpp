#include "dialogs/TChangeFileTypeDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "dialogs/DialogHelpers.h"
#include "ui_TChangeFileTypeDialog.h"

TChangeFileTypeDialog* ChangeFileTypeDialog = nullptr;

using namespace DialogHelpers;

TChangeFileTypeDialog::TChangeFileTypeDialog(QWidget* parent)
    : QDialog(parent),
      FUi(std::make_unique<Ui::TChangeFileTypeDialog>())
{
  FUi->setupUi(this);
  Label1 = FUi->Label1;
  FileTypeCombo = FUi->FileTypeCombo;
  OKBtn = FUi->OKBtn;
  CancelBtn = FUi->CancelBtn;
  connect(FileTypeCombo, &QComboBox::currentIndexChanged, this, [this] { UpdateOKBtn(); });
}

TChangeFileTypeDialog::~TChangeFileTypeDialog() = default;

void TChangeFileTypeDialog::showEvent(QShowEvent* event)
{
  StartShowing(*this, *event, [this] { FormShow(); });
  QDialog::showEvent(event);
}

void TChangeFileTypeDialog::FormShow()
{
  FileTypeCombo->clear();
  FileTypeCombo->addItems(FileTypeTitles());
  FileTypeCombo->setCurrentIndex(StartIndex >= 0 && StartIndex < FileTypeCombo->count() ? StartIndex : -1);
  UpdateOKBtn();
}

int TChangeFileTypeDialog::GetFileTypeIndex() const
{
  return FileTypeCombo->currentIndex();
}

void TChangeFileTypeDialog::UpdateOKBtn()
{
  OKBtn->setEnabled(GetFileTypeIndex() >= 0);
}
