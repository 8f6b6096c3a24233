#include "dialogs/TConfigDialog.h"

// The "File types" page of the configuration dialog: the document types,
// edited in the document-type editing dialog, added, deleted and reordered;
// every change is written to the definition files at once.

#include <QListWidget>
#include <filesystem>
#include <system_error>

#include "dialogs/DialogHelpers.h"
#include "dialogs/TConfigureFileDialog.h"
#include "model/ModelModule.h"
#include "model/TFileTypes.h"
#include "platform/Prompter.h"
#include "resource/EResourceError.h"
#include "resource/ProgramFile.h"

namespace fs = std::filesystem;

using DialogHelpers::LocalText;

namespace {

// The settings of a document type that the editing dialog shows.
struct TFileTypeSettings {
  std::string Id, Title, MimeType, Filter, Highlighter, NewFileName, HelpFile, Preview1, Preview2, Preview3,
      ConfigFile;
  bool AutoComplete = false;

  static TFileTypeSettings Of(const TFileType& type)
  {
    return {type.Id,       type.Title,    type.MimeType, type.Filter,   type.Highlighter, type.NewFileName,
            type.HelpFile, type.Preview1, type.Preview2, type.Preview3, type.ConfigFile,  type.AutoComplete};
  }

  static TFileTypeSettings Of(const TConfigureFileDialog& dialog)
  {
    return {dialog.GetID(),       dialog.GetTitle(),    dialog.GetMimeType(), dialog.GetFilter(),
            dialog.GetHighlighter(), dialog.GetNewFileName(), dialog.GetHelpFile(), dialog.GetPreview1(),
            dialog.GetPreview2(), dialog.GetPreview3(), dialog.GetConfigFile(), dialog.GetAutoComplete()};
  }

  // Everything but the definition file's path, which only Edit takes over.
  void ApplyTo(TFileType& type) const
  {
    type.Id = Id;
    type.Title = Title;
    type.MimeType = MimeType;
    type.Filter = Filter;
    type.SetHighlighter(Highlighter);
    type.AutoComplete = AutoComplete;
    type.NewFileName = NewFileName;
    type.HelpFile = HelpFile;
    type.Preview1 = Preview1;
    type.Preview2 = Preview2;
    type.Preview3 = Preview3;
  }

  void ShowIn(TConfigureFileDialog& dialog) const
  {
    dialog.SetID(Id);
    dialog.SetTitle(Title);
    dialog.SetMimeType(MimeType);
    dialog.SetFilter(Filter);
    dialog.SetHighlighter(Highlighter);
    dialog.SetAutoComplete(AutoComplete);
    dialog.SetNewFileName(NewFileName);
    dialog.SetHelpFile(HelpFile);
    dialog.SetPreview1(Preview1);
    dialog.SetPreview2(Preview2);
    dialog.SetPreview3(Preview3);
    dialog.SetConfigFile(ConfigFile);
  }
};

// The settings a new document type starts from.
TFileTypeSettings NewTypeSettings()
{
  TFileTypeSettings settings;
  settings.Id = "???";
  settings.Title = "??? Files";
  settings.MimeType = "text/???";
  settings.Filter = "*.???";
  settings.Highlighter = "XML";
  settings.AutoComplete = false;
  settings.NewFileName = "new.???";
  settings.Preview1 = "*";
  return settings;
}

void CreateFolder(const std::string& folder)
{
  std::error_code error;
  fs::create_directories(folder, error);
  if (error)
    throw EFCreateError("Cannot create file \"" + folder + "\". " + error.message());
}

}  // namespace

void TConfigDialog::LoadFileTypeList()
{
  FileTypesListBox->clear();
  FileTypesListBox->addItems(DialogHelpers::FileTypeTitles());
  // The place after the last type (Add appends there).
  FileTypesListBox->addItem(QString());
  FileTypesListBox->clearSelection();
  FileTypesListBox->setCurrentRow(-1);
}

// ---- document types ---------------------------------------------------------------

int TConfigDialog::SelectedFileTypeRow() const
{
  const QList<QListWidgetItem*> selected = FileTypesListBox->selectedItems();
  return selected.isEmpty() ? -1 : FileTypesListBox->row(selected.first());
}

void TConfigDialog::FileTypesCommand(void (TConfigDialog::*handler)())
{
  try {
    (this->*handler)();
  } catch (const std::exception& error) {
    // The list shows the document types as they are now, whatever was done.
    LoadFileTypeList();
    Prompter().ShowMessage(LocalText(error.what()));
  }
}

void TConfigDialog::EditBtnClick()
{
  TFileTypes& types = FileTypes();
  int i = SelectedFileTypeRow();
  if (i < 0 || i >= types.Count() || !FileTypeDialog) return;
  TFileType& type = types.GetFileType(i);
  TFileTypeSettings::Of(type).ShowIn(*FileTypeDialog);
  if (FileTypeDialog->exec() != QDialog::Accepted) return;

  // The folder and the definition file keep their names; the schema is not
  // read again. When the file cannot be written the type keeps its old
  // settings, so the list never holds what the disk does not.
  TFileTypeSettings before = TFileTypeSettings::Of(type);
  TFileTypeSettings after = TFileTypeSettings::Of(*FileTypeDialog);
  after.ApplyTo(type);
  type.ConfigFile = after.ConfigFile;
  try {
    type.SaveToFile();
  } catch (...) {
    before.ApplyTo(type);
    type.ConfigFile = before.ConfigFile;
    throw;
  }
  types.SetKey(i, type.Id);
  LoadFileTypeList();
}

void TConfigDialog::DeleteBtnClick()
{
  TFileTypes& types = FileTypes();
  int i = SelectedFileTypeRow();
  if (i < 0 || i >= types.Count()) return;
  TFileType& type = types.GetFileType(i);
  // A definition file left on disk would bring the type back at the next
  // start: the type stays listed. A file that is gone already is no failure.
  std::error_code error;
  fs::remove(type.ConfigFile, error);
  if (error)
    throw EResourceError("Cannot delete file \"" + type.ConfigFile + "\". " + error.message());
  if (OnFileTypeDelete) OnFileTypeDelete(type);
  types.Delete(i);
  types.Renumber();
  LoadFileTypeList();
}

void TConfigDialog::AddBtnClick()
{
  if (!FileTypeDialog) return;
  TFileTypes& types = FileTypes();
  int i = SelectedFileTypeRow();
  NewTypeSettings().ShowIn(*FileTypeDialog);
  if (FileTypeDialog->exec() != QDialog::Accepted) return;

  TFileTypeSettings settings = TFileTypeSettings::Of(*FileTypeDialog);
  const std::string& id = settings.Id;
  std::string folder = ProgramFolder() + "help/" + id + "/";
  std::error_code ignored;
  if (id.empty() || fs::exists(folder, ignored) || fs::exists(ProgramFolder() + "help/" + id, ignored)) {
    Prompter().ShowMessage(LocalText(AddRefusedText + id + "]"));
    return;
  }
  CreateFolder(folder + "blanks/");

  auto type = std::make_unique<TFileType>(folder + id + ".config");
  settings.ApplyTo(*type);
  int position = (i >= 0 && i < types.Count()) ? i : types.Count();
  // The new type's file is written before the type joins the list, already
  // with the index of its place: a failed write leaves the list and the disk
  // as they were. Renumber then writes the types that moved behind it.
  type->Index = position;
  try {
    type->SaveToFile();
  } catch (...) {
    fs::remove_all(folder, ignored);
    throw;
  }
  types.InsertFileType(position, std::move(type));
  types.Renumber();
  LoadFileTypeList();
}

void TConfigDialog::MoveFileType(int from, int to)
{
  TFileTypes& types = FileTypes();
  types.Move(from, to);
  try {
    types.Renumber();
  } catch (...) {
    // A definition file that cannot be written keeps its place: the list
    // goes back to the order the files give, the ones rewritten too.
    types.Move(to, from);
    try {
      types.Renumber();
    } catch (...) {
    }
    throw;
  }
  LoadFileTypeList();
}

void TConfigDialog::UpBtnClick()
{
  int i = SelectedFileTypeRow();
  if (i > 0 && i < FileTypes().Count()) MoveFileType(i, i - 1);
}

void TConfigDialog::DownBtnClick()
{
  int i = SelectedFileTypeRow();
  if (i >= 0 && i < FileTypes().Count() - 1) MoveFileType(i, i + 1);
}
