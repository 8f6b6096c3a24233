// The main window's File commands New, Open Web page, Recent, Change File
// type and Print.

#include <QAction>
#include <QMenu>
#include <QPrintDialog>
#include <Qsci/qsciscintilla.h>

#include "dialogs/DialogHelpers.h"
#include "dialogs/TChangeFileTypeDialog.h"
#include "dialogs/TNewFileDialog.h"
#include "dialogs/TOpenURLDialog.h"
#include "editor/TEditFrame.h"
#include "editor/TSynEditPrint.h"
#include "model/ModelModule.h"
#include "model/TFileTypes.h"
#include "panes/THelpFrame.h"
#include "panes/TWebBrowser.h"
#include "resource/AtomicFile.h"
#include "workspace/BusyCursor.h"
#include "workspace/TMainForm.h"

using DialogHelpers::LocalBytes;
using DialogHelpers::LocalText;

std::string TMainForm::TypeIdByExtension(const TURL& url)
{
  TFileType* type = FileTypes().FindByExtension(url.GetFileExt());
  return type ? type->Id : std::string();
}

// --- New ---------------------------------------------------------------------------

void TMainForm::MenuFileNewClick()
{
  if (!NewFileDialog || NewFileDialog->exec() != QDialog::Accepted) return;
  int position = NewFileDialog->GetFileTypeIndex();
  if (position < 0) return;
  // A new document lives in the program folder until it is saved.
  TURL url(Project().ProjectURL);
  url.SetFileName(NewFileDialog->GetFileName());
  const TFileType& type = FileTypes().GetFileType(position);
  // The template is read first: one that cannot be read leaves no empty tab.
  const std::string templateFile = NewFileDialog->GetTemplate();
  const std::string templateText = templateFile.empty() ? std::string() : ReadWholeFile(templateFile);
  TEditFrame* frame = NewEditFrame(type.Id, url, true);
  // The template's bytes as they are; loading is not an edit.
  if (!templateFile.empty()) frame->SetText(templateText);
}

// --- Open Web page ---------------------------------------------------------------------

void TMainForm::MenuFileOpenWebPageClick()
{
  if (!OpenURLDialog) return;
  TComboItems items = OpenURLDialog->GetURLItems();
  items.Clear();
  const TMRUURL& history = Project().HttpHistory;
  for (int i = 0; i < history.Count(); ++i) items.Add(LocalText(history.GetItem(i).GetURL()));
  if (OpenURLDialog->exec() != QDialog::Accepted) return;
  TBusyCursor busy;
  TURL url(LocalBytes(OpenURLDialog->GetURL()));
  NewEditFrame(TypeIdByExtension(url), url, false);
  Project().UseURL(url, false);
}

// --- Recent ------------------------------------------------------------------------------

void TMainForm::MenuFileRecentClick()
{
  QMenu* menu = Action("MenuFileRecent")->menu();
  const QList<QAction*> items = menu->actions();
  for (int i = 1; i < items.size(); ++i) {
    menu->removeAction(items[i]);
    delete items[i];
  }
  const TMRUURL& mru = Project().MRU;
  for (int i = 0; i < 10 && i < mru.Count(); ++i) {
    // A "&" of the address is shown as it is, not as an accelerator mark.
    QString caption = QString::number(i) + " " + LocalText(mru.GetItem(i).GetURL()).replace("&", "&&");
    auto* item = new QAction(caption, this);
    item->setObjectName("MenuFileRecentItem");
    connect(item, &QAction::triggered, this,
            [this, item] { Guarded([this, item] { MenuFileRecentItemClick(item); }); });
    menu->addAction(item);
  }
}

void TMainForm::MenuFileRecentItemClick(QAction* sender)
{
  QString caption = sender->text();
  if (caption.startsWith('&')) caption.remove(0, 1);
  int blank = caption.indexOf(' ');
  if (blank < 0) return;
  bool number = false;
  int index = caption.left(blank).toInt(&number);
  // An entry gone from the list since the menu was built opens nothing.
  if (!number || index < 0 || index >= Project().MRU.Count()) return;
  TBusyCursor busy;
  TURL url(Project().MRU.GetItem(index));
  NewEditFrame(TypeIdByExtension(url), url, false);
  Project().UseURL(url, false);
}

// --- Change File type -------------------------------------------------------------------

void TMainForm::MenuFileChangeFileTypeClick()
{
  TEditFrame* frame = GetActiveEditFrame();
  if (!frame || !ChangeFileTypeDialog) return;
  // The type's position in the list, which is what the dialog shows (its
  // Index equals it unless the definition files number the types otherwise).
  ChangeFileTypeDialog->StartIndex = frame->FFileType ? FileTypes().IndexOf(frame->FFileType) : -1;
  if (ChangeFileTypeDialog->exec() != QDialog::Accepted) return;
  int position = ChangeFileTypeDialog->GetFileTypeIndex();
  if (position < 0 || position >= FileTypes().Count()) return;
  frame->SetFileType(&FileTypes().GetFileType(position));
}

// --- Print ---------------------------------------------------------------------------------

void TMainForm::MenuFilePrintClick()
{
  if (TEditFrame* frame = GetActiveEditFrame()) {
    PrintEditor(*frame);
    return;
  }
  if (auto* help = qobject_cast<THelpFrame*>(GetActiveFrame()))
    help->WebBrowser->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER);
}

void TMainForm::PrintEditor(TEditFrame& frame)
{
  TSynEditPrint print;
  print.SetSynEdit(frame.SynEdit);
  const bool selection = frame.SynEdit->hasSelectedText();
  int pages = 0;
  {
    TBusyCursor busy;
    pages = std::max(print.PageCount(), 1);
  }
  QPrintDialog dialog(&print, this);
  QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintPageRange;
  if (selection) options |= QAbstractPrintDialog::PrintSelection;
  dialog.setOptions(options);
  dialog.setMinMax(1, pages);
  dialog.setFromTo(1, pages);
  print.setCopyCount(1);
  bool accepted = OnPrintDialog ? OnPrintDialog(dialog, print) : dialog.exec() == QDialog::Accepted;
  if (!accepted) return;

  print.Header = {{"XML-Plivek - " + LocalText(frame.FURL.GetURL()), 1, Qt::AlignLeft, false}};
  print.Footer = {{"$PAGENUM$ of $PAGECOUNT$", 1, Qt::AlignRight, true}, {"$DATETIME$", 1, Qt::AlignLeft, true}};
  TBusyCursor busy;
  switch (dialog.printRange()) {
    case QAbstractPrintDialog::Selection:
      print.Print(TSynEditPrint::TRange::Selection);
      break;
    case QAbstractPrintDialog::PageRange:
      print.Print(TSynEditPrint::TRange::Pages, dialog.fromPage(), dialog.toPage());
      break;
    default:
      print.Print(TSynEditPrint::TRange::All);
      break;
  }
}
