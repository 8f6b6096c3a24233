#include "dialogs/TChangeFileTypeDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "dialogs/DialogHelpers.h"
#include "model/TFileTypes.h"
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
  // Not when the window system shows the window again (its minimised owner
  // restored): the user's choice stays.
  if (!event->spontaneous()) {
    FormShow();
    CentreOnScreen(*this);
  }
  QDialog::showEvent(event);
}

void TChangeFileTypeDialog::FormShow()
{
  FileTypeCombo->clear();
  const TFileTypes& types = FileTypes();
  for (int i = 0; i < types.Count(); ++i) FileTypeCombo->addItem(LocalText(types.GetFileType(i).Title));
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
