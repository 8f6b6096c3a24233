#include "dialogs/TFindDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ui_TFindDialog.h"

// Sets the flag of the button whose event runs, for the time the event runs.
TActionFlag::TActionFlag(TFindOptions& flags, TFindOptions flag)
    : FFlags(flags)
{
  FFlags = flag;
}

TActionFlag::~TActionFlag()
{
  FFlags = 0;
}

TFindDialog::TFindDialog(QWidget* parent)
    : QDialog(parent),
      FUi(std::make_unique<Ui::TFindDialog>())
{
  FUi->setupUi(this);
  FindEdit = FUi->FindEdit;
  WholeWordCheck = FUi->WholeWordCheck;
  MatchCaseCheck = FUi->MatchCaseCheck;
  UpRadio = FUi->UpRadio;
  DownRadio = FUi->DownRadio;
  FindNextBtn = FUi->FindNextBtn;
  CancelBtn = FUi->CancelBtn;
  setModal(false);
  connect(FindNextBtn, &QPushButton::clicked, this, [this] { FindNextBtnClick(); });
  connect(FindEdit, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
  UpdateButtons();
}

TFindDialog::~TFindDialog() = default;

QString TFindDialog::FindText() const
{
  return FindEdit->text();
}

void TFindDialog::SetFindText(const QString& text)
{
  FindEdit->setText(text);
}

TFindOptions TFindDialog::Options() const
{
  TFindOptions options = FActionFlags;
  if (DownRadio->isChecked()) options |= frDown;
  if (MatchCaseCheck->isChecked()) options |= frMatchCase;
  if (WholeWordCheck->isChecked()) options |= frWholeWord;
  return options;
}

void TFindDialog::SetOptions(TFindOptions options)
{
  (options & frDown ? DownRadio : UpRadio)->setChecked(true);
  MatchCaseCheck->setChecked(options & frMatchCase);
  WholeWordCheck->setChecked(options & frWholeWord);
}

void ExecuteSearchDialog(QDialog& dialog, QLineEdit& findEdit)
{
  dialog.show();
  dialog.raise();
  dialog.activateWindow();
  findEdit.setFocus();
  findEdit.selectAll();
}

void TFindDialog::Execute()
{
  ExecuteSearchDialog(*this, *FindEdit);
}

void TFindDialog::FindNextBtnClick()
{
  if (FindText().isEmpty() || !OnFind) return;
  TActionFlag flag(FActionFlags, frFindNext);
  OnFind(*this);
}

void TFindDialog::UpdateButtons()
{
  FindNextBtn->setEnabled(!FindText().isEmpty());
}
