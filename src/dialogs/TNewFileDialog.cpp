#include "dialogs/TNewFileDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "dialogs/DialogHelpers.h"
#include "model/TFileTypes.h"
#include "platform/Prompter.h"
#include "ui_TNewFileDialog.h"

TNewFileDialog* NewFileDialog = nullptr;

namespace fs = std::filesystem;

using namespace DialogHelpers;

namespace {

// The names of the plain files of folder (links to files too, hidden files
// too) as the file system has them, in name order ignoring case; none when
// there is no such folder.
std::vector<std::string> TemplateNames(const std::string& folder)
{
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    std::error_code unreadable;  // a broken link: no file
    if (entry->is_regular_file(unreadable)) names.push_back(entry->path().filename().string());
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return LocalText(a).compare(LocalText(b), Qt::CaseInsensitive) < 0;
  });
  return names;
}

}  // namespace

std::string NewFileNameProblem(const std::string& name)
{
  constexpr std::size_t kNameMax = 255;  // bytes of one name in a folder
  if (name.empty()) return "Please enter a file name for the new document.";
  if (name.find('/') != std::string::npos)
    return "The file name \"" + name + "\" holds a \"/\": please enter a name without folders.";
  if (name == "." || name == "..") return "\"" + name + "\" names a folder: please enter a file name.";
  if (name.size() > kNameMax)
    return "The file name is too long: at most " + std::to_string(kNameMax) + " bytes are possible.";
  return std::string();
}

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
  StartShowing(*this, *event, [this] { FormShow(); });
  QDialog::showEvent(event);
}

void TNewFileDialog::FormShow()
{
  {
    // The first type is selected quietly: its change runs once, below.
    QSignalBlocker quiet(FileTypeCombo);
    FileTypeCombo->clear();
    FileTypeCombo->addItems(FileTypeTitles());
    FileTypeCombo->setCurrentIndex(FileTypeCombo->count() > 0 ? 0 : -1);
  }
  FilenameEdit->clear();
  BlanksCombo->clear();
  BlanksCombo->clearEditText();
  SetBlanksEnabled(false);
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
  for (const std::string& name : TemplateNames(BlanksFolder(*type)))
    BlanksCombo->addItem(LocalText(name), QByteArray::fromStdString(name));
  SetEditBytes(*FilenameEdit, type->NewFileName);
  bool any = BlanksCombo->count() > 0;
  SetBlanksEnabled(any);
  BlanksCombo->setCurrentIndex(any ? 0 : -1);
}

void TNewFileDialog::accept()
{
  const std::string problem = NewFileNameProblem(GetFileName());
  if (!problem.empty()) {
    Prompter().ShowMessage(LocalText(problem));
    FilenameEdit->setFocus();
    return;
  }
  QDialog::accept();
}

int TNewFileDialog::GetFileTypeIndex() const
{
  return FileTypeCombo->currentIndex();
}

std::string TNewFileDialog::GetFileName() const
{
  return EditBytes(*FilenameEdit);
}

std::string TNewFileDialog::GetTemplate() const
{
  const QString text = BlanksCombo->currentText();
  TFileType* type = SelectedType();
  if (text.isEmpty() || !type) return std::string();
  // A listed template by its file name's bytes, which the shown text need
  // not give back (a Latin-1 name); a typed one as typed.
  const int item = BlanksCombo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  const std::string name = item >= 0 ? BlanksCombo->itemData(item).toByteArray().toStdString() : LocalBytes(text);
  return BlanksFolder(*type) + name;
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
