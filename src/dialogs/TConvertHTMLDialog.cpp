#include "dialogs/TConvertHTMLDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>

#include "dialogs/DialogHelpers.h"
#include "dialogs/ToolsDialogSupport.h"
#include "ui_TConvertHTMLDialog.h"

using DialogHelpers::LocalBytes;

TConvertHTMLDialog* ConvertHTMLDialog = nullptr;

TConvertHTMLDialog::TConvertHTMLDialog(QWidget* parent)
    : QDialog(parent),
      FUi(std::make_unique<Ui::TConvertHTMLDialog>())
{
  FUi->setupUi(this);
  TagCaseRadio = FUi->TagCaseRadio;
  AttrCaseRadio = FUi->AttrCaseRadio;
  FixAttributesCheck = FUi->FixAttributesCheck;
  FixMismatchCheck = FUi->FixMismatchCheck;
  GroupBox1 = FUi->GroupBox1;
  SingletonCheckListBox = FUi->SingletonCheckListBox;
  OKBtn = FUi->OKBtn;
  CancelBtn = FUi->CancelBtn;
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  FormCreate();
}

TConvertHTMLDialog::~TConvertHTMLDialog() = default;

void TConvertHTMLDialog::FormCreate()
{
  setFixedSize(sizeHint());
  for (int i = 0; i < SingletonCheckListBox->count(); ++i) {
    QListWidgetItem* item = SingletonCheckListBox->item(i);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
  }
}

void TConvertHTMLDialog::showEvent(QShowEvent* event)
{
  DialogHelpers::StartShowing(*this, *event);
  QDialog::showEvent(event);
}

int TConvertHTMLDialog::GetTagCase() const
{
  return RadioItemIndex(TagCaseRadio);
}

int TConvertHTMLDialog::GetAttrCase() const
{
  return RadioItemIndex(AttrCaseRadio);
}

bool TConvertHTMLDialog::GetFixAttributes() const
{
  return FixAttributesCheck->isChecked();
}

bool TConvertHTMLDialog::GetFixMismatch() const
{
  return FixMismatchCheck->isChecked();
}

const std::vector<std::string>& TConvertHTMLDialog::GetSingletons()
{
  SingletonResult.clear();
  for (int i = 0; i < SingletonCheckListBox->count(); ++i) {
    QListWidgetItem* item = SingletonCheckListBox->item(i);
    if (item->checkState() == Qt::Checked) SingletonResult.push_back(LocalBytes(item->text()));
  }
  return SingletonResult;
}
