// Edit > Configuration Options: the configuration dialog, then its settings
// on every docked editor and on the menu shortcuts.

#include <QDialog>

#include "dialogs/TConfigDialog.h"
#include "dialogs/TConfigureFileDialog.h"
#include "editor/TEditFrame.h"
#include "model/TFileTypes.h"
#include "workspace/TMainForm.h"

void TMainForm::MenuEditConfigurationOptionsClick()
{
  if (!ConfigDialog) return;
  ConfigDialog->FileTypeDialog = ConfigureFileDialog;
  ConfigDialog->OnFileTypeDelete = [this](TFileType& fileType) { FileTypeDeleting(fileType); };
  if (ConfigDialog->exec() != QDialog::Accepted) return;
  // The dialog has stored its pages into ConfigInfo(); the file is written
  // at exit. Frames floating outside both page controls keep their settings.
  for (int i = 0; i < GetFrameCount(); ++i)
    if (auto* edit = qobject_cast<TEditFrame*>(GetFrame(i))) edit->ApplyConfig();
  ApplyShortcuts();
}

void TMainForm::FileTypeDeleting(TFileType& fileType)
{
  // A deleted type is freed: no editor, docked or floating, may keep it.
  TFileTypes& types = FileTypes();
  for (TEditFrame* frame : findChildren<TEditFrame*>()) {
    if (frame->FFileType != &fileType) continue;
    const std::string ext = frame->FURL.GetFileExt();
    TFileType* replacement = nullptr;
    for (int i = 0; i < types.Count(); ++i) {
      TFileType& candidate = types.GetFileType(i);
      if (&candidate == &fileType) continue;
      if (candidate.GetDefaultExt() == ext) {
        replacement = &candidate;
        break;
      }
      if (!replacement) replacement = &candidate;
    }
    frame->SetFileType(replacement);
  }
}
