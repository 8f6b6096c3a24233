#include "dialogs/TReplaceDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "ui_TReplaceDialog.h"

TReplaceDialog::TReplaceDialog(QWidget* parent)
    : QDialog(parent),
      FUi(std::make_unique<Ui::TReplaceDialog>())
{
  FUi->setupUi(this);
  FindEdit = FUi->FindEdit;
  ReplaceEdit = FUi->ReplaceEdit;
  WholeWordCheck = FUi->WholeWordCheck;
  MatchCaseCheck = FUi->MatchCaseCheck;
  FindNextBtn = FUi->FindNextBtn;
  ReplaceBtn = FUi->ReplaceBtn;
  ReplaceAllBtn = FUi->ReplaceAllBtn;
  CancelBtn = FUi->CancelBtn;
  setModal(false);
  connect(FindNextBtn, &QPushButton::clicked, this, [this] { Raise(frFindNext, OnFind); });
  connect(ReplaceBtn, &QPushButton::clicked, this, [this] { Raise(frReplace, OnReplace); });
  connect(ReplaceAllBtn, &QPushButton::clicked, this, [this] { Raise(frReplaceAll, OnReplace); });
  connect(FindEdit, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
  UpdateButtons();
}

TReplaceDialog::~TReplaceDialog() = default;

QString TReplaceDialog::FindText() const
{
  return FindEdit->text();
}

void TReplaceDialog::SetFindText(const QString& text)
{
  FindEdit->setText(text);
}

QString TReplaceDialog::ReplaceText() const
{
  return ReplaceEdit->text();
}

void TReplaceDialog::SetReplaceText(const QString& text)
{
  ReplaceEdit->setText(text);
}

TFindOptions TReplaceDialog::Options() const
{
  TFindOptions options = FActionFlags;
  if (FDown) options |= frDown;
  if (MatchCaseCheck->isChecked()) options |= frMatchCase;
  if (WholeWordCheck->isChecked()) options |= frWholeWord;
  return options;
}

void TReplaceDialog::SetOptions(TFindOptions options)
{
  FDown = options & frDown;
  MatchCaseCheck->setChecked(options & frMatchCase);
  WholeWordCheck->setChecked(options & frWholeWord);
}

void TReplaceDialog::Execute()
{
  ExecuteSearchDialog(*this, *FindEdit);
}

void TReplaceDialog::Raise(TFindOptions action, const std::function<void(TReplaceDialog&)>& event)
{
  if (FindText().isEmpty() || !event) return;
  TActionFlag flag(FActionFlags, action);
  event(*this);
}

void TReplaceDialog::UpdateButtons()
{
  const bool any = !FindText().isEmpty();
  for (QPushButton* button : {FindNextBtn, ReplaceBtn, ReplaceAllBtn}) button->setEnabled(any);
}
