// The main window's FTP file commands: Open FTP and Save As FTP, both through
// the one FTP dialog.

#include <QPointer>

#include "dialogs/TFTPDialog.h"
#include "editor/TEditFrame.h"
#include "model/ModelModule.h"
#include "model/TFileTypes.h"
#include "workspace/BusyCursor.h"
#include "workspace/TMainForm.h"

void TMainForm::FillFTPFilters()
{
  TFTPFilterItems items = FTPDialog->GetFilterItems();
  items.Clear();
  TFileTypes& types = FileTypes();
  for (int i = 0; i < types.Count(); ++i) items.Add(types.GetFileType(i).Filter);
}

void TMainForm::MenuFileOpenFTPClick()
{
  FillFTPFilters();
  FTPDialog->setWindowTitle("Open File from FTP");
  FTPDialog->History = &Project().FtpHistory;
  FTPDialog->Mode = 0;
  if (FTPDialog->exec() != QDialog::Accepted) return;
  TBusyCursor busy;
  const TURL& url = FTPDialog->URL;
  NewEditFrame(TypeIdByExtension(url), url, false);
  Project().UseURL(url, false);
}

void TMainForm::MenuFileSaveAsFTPClick()
{
  // The document is the one active when the command starts: the dialog takes
  // the focus while it is open.
  QPointer<TEditFrame> frame = GetActiveEditFrame();
  FillFTPFilters();
  FTPDialog->setWindowTitle("Save File to FTP");
  FTPDialog->History = &Project().FtpHistory;
  FTPDialog->Mode = fdmSave;
  if (FTPDialog->exec() != QDialog::Accepted) return;
  if (frame) SaveToFTP(*frame);
}

void TMainForm::SaveToFTP(TEditFrame& frame)
{
  TBusyCursor busy;
  frame.SaveAs(FTPDialog->URL);
  // Only a document that was written is recorded in the histories.
  Project().UseURL(FTPDialog->URL, true);
}
