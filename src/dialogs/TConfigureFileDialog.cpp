#include "dialogs/TConfigureFileDialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>

#include "dialogs/DialogHelpers.h"
#include "platform/Prompter.h"
#include "ui_TConfigureFileDialog.h"

TConfigureFileDialog* ConfigureFileDialog = nullptr;

using DialogHelpers::EditBytes;
using DialogHelpers::LocalText;
using DialogHelpers::SetEditBytes;

namespace {

bool AllowedIdChar(char c)
{
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || c == '_';
}

}  // namespace

TConfigureFileDialog::TConfigureFileDialog(QWidget* parent)
    : QDialog(parent),
      FUi(std::make_unique<Ui::TConfigureFileDialog>())
{
  FUi->setupUi(this);
  setObjectName("ConfigureFileDialog");
  PageControl = FUi->PageControl;
  IDEdit = FUi->IDEdit;
  TitleEdit = FUi->TitleEdit;
  MimeTypeEdit = FUi->MimeTypeEdit;
  FilterEdit = FUi->FilterEdit;
  HighlighterCombo = FUi->HighlighterCombo;
  AutoCompleteCheck = FUi->AutoCompleteCheck;
  FilenameLabel = FUi->FilenameLabel;
  NewFilenameEdit = FUi->NewFilenameEdit;
  HelpEdit = FUi->HelpEdit;
  PreviewRadio11 = FUi->PreviewRadio11;
  PreviewRadio12 = FUi->PreviewRadio12;
  PreviewRadio13 = FUi->PreviewRadio13;
  PreviewRadio21 = FUi->PreviewRadio21;
  PreviewRadio22 = FUi->PreviewRadio22;
  PreviewRadio23 = FUi->PreviewRadio23;
  PreviewRadio31 = FUi->PreviewRadio31;
  PreviewRadio32 = FUi->PreviewRadio32;
  PreviewRadio33 = FUi->PreviewRadio33;
  Preview1Edit = FUi->Preview1Edit;
  Preview2Edit = FUi->Preview2Edit;
  Preview3Edit = FUi->Preview3Edit;
  Browse1Btn = FUi->Browse1Btn;
  Browse2Btn = FUi->Browse2Btn;
  Browse3Btn = FUi->Browse3Btn;
  OKBtn = FUi->OKBtn;
  CancelBtn = FUi->CancelBtn;

  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  for (QRadioButton* radio : {PreviewRadio11, PreviewRadio12, PreviewRadio13})
    connect(radio, &QRadioButton::toggled, this, &TConfigureFileDialog::PreviewRadio11Click);
  for (QRadioButton* radio : {PreviewRadio21, PreviewRadio22, PreviewRadio23})
    connect(radio, &QRadioButton::toggled, this, &TConfigureFileDialog::PreviewRadio21Click);
  for (QRadioButton* radio : {PreviewRadio31, PreviewRadio32, PreviewRadio33})
    connect(radio, &QRadioButton::toggled, this, &TConfigureFileDialog::PreviewRadio31Click);
  for (QPushButton* button : {Browse1Btn, Browse2Btn, Browse3Btn})
    connect(button, &QPushButton::clicked, this, [this, button] { Browse1BtnClick(button); });
  FormCreate();
}

TConfigureFileDialog::~TConfigureFileDialog() = default;

void TConfigureFileDialog::FormCreate()
{
  setSizeGripEnabled(true);
  setMinimumSize(315, 270);
}

void TConfigureFileDialog::showEvent(QShowEvent* event)
{
  // Not when the window system shows the window again (its minimised owner
  // restored): the page stays.
  if (!event->spontaneous()) FormShow();
  QDialog::showEvent(event);
}

void TConfigureFileDialog::FormShow()
{
  PageControl->setCurrentIndex(0);
  PreviewRadio11Click();
  PreviewRadio21Click();
  PreviewRadio31Click();
}

// ---- plain values -----------------------------------------------------------------

void TConfigureFileDialog::SetID(const std::string& id) { SetEditBytes(*IDEdit, id); }

std::string TConfigureFileDialog::GetID() const
{
  std::string id;
  for (char c : EditBytes(*IDEdit)) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (AllowedIdChar(c)) id += c;
  }
  return id;
}

void TConfigureFileDialog::SetTitle(const std::string& title) { SetEditBytes(*TitleEdit, title); }
std::string TConfigureFileDialog::GetTitle() const { return EditBytes(*TitleEdit); }
void TConfigureFileDialog::SetMimeType(const std::string& mimeType) { SetEditBytes(*MimeTypeEdit, mimeType); }
std::string TConfigureFileDialog::GetMimeType() const { return EditBytes(*MimeTypeEdit); }
void TConfigureFileDialog::SetFilter(const std::string& filter) { SetEditBytes(*FilterEdit, filter); }
std::string TConfigureFileDialog::GetFilter() const { return EditBytes(*FilterEdit); }

void TConfigureFileDialog::SetHighlighter(const std::string& highlighter)
{
  SetEditBytes(*HighlighterCombo->lineEdit(), highlighter);
}

std::string TConfigureFileDialog::GetHighlighter() const { return EditBytes(*HighlighterCombo->lineEdit()); }
void TConfigureFileDialog::SetAutoComplete(bool autoComplete) { AutoCompleteCheck->setChecked(autoComplete); }
bool TConfigureFileDialog::GetAutoComplete() const { return AutoCompleteCheck->isChecked(); }

void TConfigureFileDialog::SetNewFileName(const std::string& newFileName)
{
  SetEditBytes(*NewFilenameEdit, newFileName);
}

std::string TConfigureFileDialog::GetNewFileName() const { return EditBytes(*NewFilenameEdit); }
void TConfigureFileDialog::SetHelpFile(const std::string& helpFile) { SetEditBytes(*HelpEdit, helpFile); }
std::string TConfigureFileDialog::GetHelpFile() const { return EditBytes(*HelpEdit); }

void TConfigureFileDialog::SetConfigFile(const std::string& configFile)
{
  // The path is kept as given: a label's text need not survive the round
  // trip through the display encoding byte for byte.
  FConfigFile = configFile;
  FilenameLabel->setText(configFile.empty() ? QString(NoConfigFileText) : LocalText(configFile));
}

std::string TConfigureFileDialog::GetConfigFile() const { return FConfigFile; }

// ---- previewers -------------------------------------------------------------------

TConfigureFileDialog::TPreviewGroup TConfigureFileDialog::Group(int number) const
{
  switch (number) {
    case 1:
      return {PreviewRadio11, PreviewRadio12, PreviewRadio13, Preview1Edit, Browse1Btn};
    case 2:
      return {PreviewRadio21, PreviewRadio22, PreviewRadio23, Preview2Edit, Browse2Btn};
    default:
      return {PreviewRadio31, PreviewRadio32, PreviewRadio33, Preview3Edit, Browse3Btn};
  }
}

void TConfigureFileDialog::SetPreview(int number, const std::string& preview)
{
  TPreviewGroup group = Group(number);
  if (preview.empty()) {
    group.Disabled->setChecked(true);
    group.Edit->clear();
  } else if (preview == "*") {
    group.Associated->setChecked(true);
    group.Edit->clear();
  } else {
    group.Command->setChecked(true);
    SetEditBytes(*group.Edit, preview);
  }
  EnablePreview(number);
}

std::string TConfigureFileDialog::GetPreview(int number) const
{
  TPreviewGroup group = Group(number);
  if (group.Disabled->isChecked()) return std::string();
  if (group.Associated->isChecked()) return "*";
  return EditBytes(*group.Edit);
}

void TConfigureFileDialog::SetPreview1(const std::string& preview) { SetPreview(1, preview); }
void TConfigureFileDialog::SetPreview2(const std::string& preview) { SetPreview(2, preview); }
void TConfigureFileDialog::SetPreview3(const std::string& preview) { SetPreview(3, preview); }
std::string TConfigureFileDialog::GetPreview1() const { return GetPreview(1); }
std::string TConfigureFileDialog::GetPreview2() const { return GetPreview(2); }
std::string TConfigureFileDialog::GetPreview3() const { return GetPreview(3); }

void TConfigureFileDialog::EnablePreview(int number)
{
  TPreviewGroup group = Group(number);
  group.Edit->setEnabled(group.Command->isChecked());
  group.Browse->setEnabled(group.Edit->isEnabled());
}

void TConfigureFileDialog::PreviewRadio11Click() { EnablePreview(1); }
void TConfigureFileDialog::PreviewRadio21Click() { EnablePreview(2); }
void TConfigureFileDialog::PreviewRadio31Click() { EnablePreview(3); }

void TConfigureFileDialog::Browse1BtnClick(QAbstractButton* sender)
{
  int number = sender ? sender->property("tag").toInt() : 0;
  if (number < 1 || number > 3) return;
  TPreviewGroup group = Group(number);
  QString selectedFilter = "Executable files (*.exe *.cmd *.bat *.com)";
  QString program = Prompter().GetOpenFileName(BrowseCaption, group.Edit->text(), BrowseFilter, &selectedFilter);
  if (program.isEmpty()) return;
  SetEditBytes(*group.Edit, "\"" + DialogHelpers::LocalPathBytes(program) + "\" \"%1\"");
}
