#include "dialogs/TNewFileDialog.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "dialogs/DialogHelpers.h"
#include "model/TFileTypes.h"
#include "ui_TNewFileDialog.h"

TNewFileDialog* NewFileDialog = nullptr;

using namespace DialogHelpers;

std::string BlanksFolder(const TFileType& type)
{
  const std::string& config = type.ConfigFile;
  std::size_t separator = config.find_last_of('/');
  std::string folder = separator == std::string::npos ? std::string() : config.substr(0, separator + 1);
  return folder + "blanks/";
}

TNewFileDialog::TNewFileDialog(QWidget* parent)
    : QDialog(parent),
      FUi(std::make_unique<Ui::TNewFileDialog>())
{
  FUi->setupUi(this);
  OKBtn = FUi->OKBtn;
  CancelBtn = FUi->CancelBtn;
  FileTypeCombo = FUi->FileTypeCombo;
  Label1 = FUi->Label1;
  BasedOnLabel = FUi->BasedOnLabel;
  BlanksCombo = FUi->BlanksCombo;
  Label2 = FUi->Label2;
  FilenameEdit = FUi->FilenameEdit;
  BlanksCombo->setInsertPolicy(QComboBox::NoInsert);
  connect(FileTypeCombo, &QComboBox::currentIndexChanged, this, [this] { FileTypeComboChange(); });
}

TNewFileDialog::~TNewFileDialog() = default;

void TNewFileDialog::showEvent(QShowEvent* event)
{
  // Not when the window system shows the window again (its minimised owner
  // restored): the user's choices stay.
  if (!event->spontaneous()) {
    FormShow();
    CentreOnScreen(*this);
  }
  QDialog::showEvent(event);
}

void TNewFileDialog::FormShow()
{
  {
    QSignalBlocker quiet(FileTypeCombo);
    FileTypeCombo->clear();
    const TFileTypes& types = FileTypes();
    for (int i = 0; i < types.Count(); ++i) FileTypeCombo->addItem(LocalText(types.GetFileType(i).Title));
    FileTypeCombo->setCurrentIndex(-1);
  }
  FilenameEdit->clear();
  BlanksCombo->clear();
  BlanksCombo->clearEditText();
  SetBlanksEnabled(false);
  if (FileTypeCombo->count() > 0) {
    QSignalBlocker quiet(FileTypeCombo);
    FileTypeCombo->setCurrentIndex(0);
  }
  FileTypeComboChange();
}

void TNewFileDialog::FileTypeComboChange()
{
  BlanksCombo->clear();
  BlanksCombo->clearEditText();
  TFileType* type = SelectedType();
  OKBtn->setEnabled(type != nullptr);
  if (!type) {
    SetBlanksEnabled(false);
    return;
  }
  // The plain files of the folder (links to files too), in name order.
  QDir folder(LocalText(BlanksFolder(*type)));
  if (folder.exists())
    for (const QString& name :
         folder.entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
      BlanksCombo->addItem(name);
  FilenameEdit->setText(LocalText(type->NewFileName));
  bool any = BlanksCombo->count() > 0;
  SetBlanksEnabled(any);
  BlanksCombo->setCurrentIndex(any ? 0 : -1);
}

int TNewFileDialog::GetFileTypeIndex() const
{
  return FileTypeCombo->currentIndex();
}

std::string TNewFileDialog::GetFileName() const
{
  return LocalBytes(FilenameEdit->text());
}

std::string TNewFileDialog::GetTemplate() const
{
  QString name = BlanksCombo->currentText();
  if (name.isEmpty()) return std::string();
  TFileType* type = SelectedType();
  return type ? BlanksFolder(*type) + LocalBytes(name) : std::string();
}

TFileType* TNewFileDialog::SelectedType() const
{
  int index = GetFileTypeIndex();
  const TFileTypes& types = FileTypes();
  return index >= 0 && index < types.Count() ? &types.GetFileType(index) : nullptr;
}

void TNewFileDialog::SetBlanksEnabled(bool enabled)
{
  BasedOnLabel->setEnabled(enabled);
  BlanksCombo->setEnabled(enabled);
}
