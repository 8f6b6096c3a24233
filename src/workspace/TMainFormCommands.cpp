// The main window's file commands, the close query of the shutdown and the
// command line.

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <Qsci/qsciscintilla.h>

#include "dialogs/DialogHelpers.h"
#include "docking/TPageControl.h"
#include "editor/TEditFrame.h"
#include "model/AttributeList.h"
#include "model/ModelModule.h"
#include "model/TFileTypes.h"
#include "platform/Prompter.h"
#include "workspace/BusyCursor.h"
#include "workspace/CommandLineText.h"
#include "workspace/TMainForm.h"

using DialogHelpers::LocalText;

// --- File > Open file, Save, Save As file ------------------------------------

void TMainForm::MenuFileOpenFileClick()
{
  QString folder = LocalText(NativeFolderPart(Project().OpenURL.GetNativeName()));
  QString path = Prompter().GetOpenFileName("Open File", folder, QtFileFilter(FileTypes().GetFilter()), nullptr);
  if (path.isEmpty()) return;
  TBusyCursor busy;
  TURL url = TURL::CreateNative(DialogHelpers::LocalPathBytes(path));
  NewEditFrame(TypeIdByExtension(url), url, false);
  Project().UseURL(url, false);
}

bool TMainForm::SaveFrame(TEditFrame& frame)
{
  // A web document (http, or another scheme the http driver serves) cannot
  // be written back: the driver would drop the text and report success.
  if ((frame.FStatus & esNew) || frame.FURL.Protocol == TURLProtocol::http ||
      frame.FURL.Protocol == TURLProtocol::unknown)
    return SaveFrameAs(frame);
  // Another program's changes to the file are not replaced unasked.
  if (frame.ChangedOnDisk()) {
    QString text = "The file " + LocalText(frame.FURL.GetNativeName()) +
                   " has been changed by another program since it was opened or saved here. Replace those "
                   "changes with this document?";
    if (Prompter().MessageDlg(text, TPrompter::TIcon::Warning, TPrompter::TButtons::YesNo) != TPrompter::TAnswer::Yes)
      return false;
  }
  TBusyCursor busy;
  frame.Save();
  return true;
}

bool TMainForm::SaveFrameAs(TEditFrame& frame)
{
  std::string folder = NativeFolderPart(Project().SaveURL.GetNativeName());
  QString path = Prompter().GetSaveFileName("Save As", LocalText(folder + frame.FURL.FileName),
                                            QtFileFilter(FileTypes().GetFilter()), nullptr);
  if (path.isEmpty()) return false;
  TBusyCursor busy;
  TURL url = TURL::CreateNative(DialogHelpers::LocalPathBytes(path));
  frame.SaveAs(url);
  Project().UseURL(url, true);
  return true;
}

void TMainForm::MenuFileSaveClick()
{
  if (TEditFrame* frame = GetActiveEditFrame()) SaveFrame(*frame);
}

void TMainForm::MenuFileSaveAsFileClick()
{
  if (TEditFrame* frame = GetActiveEditFrame()) SaveFrameAs(*frame);
}

// --- Close, Close All, Exit ----------------------------------------------------

bool TMainForm::CloseEditFrame(TEditFrame* frame)
{
  if (!frame) return true;
  if (frame->FStatus & esModified) {
    QString text = "File: " + LocalText(frame->FURL.GetURL()) + " has changed. Save Changes?";
    switch (Prompter().MessageBox("XML:Plivek Save File", text, TPrompter::TIcon::None,
                                  TPrompter::TButtons::YesNoCancel)) {
      case TPrompter::TAnswer::Yes:
        // A save that did not take place (a Save As the user cancelled, the
        // other program's changes kept) keeps the document open: closing it
        // would throw the changes away with the working copy.
        if (!SaveFrame(*frame)) return false;
        break;
      case TPrompter::TAnswer::No:
        break;
      default:
        return false;
    }
  }
  CloseFrame(frame);
  return true;
}

void TMainForm::MenuFileCloseClick()
{
  TEditFrame* frame = GetActiveEditFrame();
  if (!frame) return;
  TPageControl* pages = frame->HostPageControl();
  CloseEditFrame(frame);
  if (pages) pages->setFocus();
}

void TMainForm::MenuFileCloseAllClick()
{
  for (TPageControl* pages : {FSideBarPageControl, FMainPageControl}) {
    for (int i = pages->PageCount() - 1; i >= 0; --i) {
      if (i >= pages->PageCount()) continue;
      pages->SetActivePage(i);
      pages->setFocus();
      QApplication::processEvents();
      TEditFrame* frame = qobject_cast<TEditFrame*>(pages->Frame(i));
      if (!frame) continue;
      CloseEditFrame(frame);  // Cancel keeps this one and goes on
      pages->setFocus();
    }
  }
}

void TMainForm::MenuFileExitClick()
{
  close();
}

void TMainForm::CloseActiveFrame(bool& canClose)
{
  TEditFrame* frame = GetActiveEditFrame();
  if (!frame) return;
  if (!CloseEditFrame(frame)) canClose = false;
}

void TMainForm::FormCloseQuery(bool& canClose)
{
  try {
    for (TPageControl* pages : {FSideBarPageControl, FMainPageControl}) {
      pages->setFocus();
      for (int i = pages->PageCount() - 1; i >= 0 && canClose; --i) {
        pages->SetActivePage(i);
        QApplication::processEvents();
        // The frame on the page just made active (the focus may not follow
        // while the window is inactive).
        if (auto* frame = qobject_cast<TEditFrame*>(pages->Frame(i)))
          if (!CloseEditFrame(frame)) canClose = false;
      }
      if (!canClose) break;
    }
    // Editor frames floating outside both page controls are asked about last:
    // freeing them with the window would lose their changes unasked.
    if (canClose)
      for (TEditFrame* frame : findChildren<TEditFrame*>(Qt::FindDirectChildrenOnly))
        if (frame->IsFloating() && !CloseEditFrame(frame)) {
          canClose = false;
          break;
        }
  } catch (const std::exception& error) {
    // A failed save keeps its document and the window open.
    canClose = false;
    ShowException(error);
  }
}

// --- the command line --------------------------------------------------------

void TMainForm::ProcessCommandLine()
{
  FCurrentTypeId.clear();
  for (const std::string& text : Arguments) {
    if (text.empty()) continue;
    if (IsSwitchArgument(text)) {
      ParseSwitch(text);
      continue;
    }
    try {
      OpenArgument(text);
    } catch (const std::exception& error) {
      ShowException(error);
    }
  }
}

void TMainForm::ParseSwitch(const std::string& argument)
{
  bool found = false;
  std::string id = SwitchTypeId(argument, found);
  if (found) FCurrentTypeId = id;
}

void TMainForm::OpenArgument(const std::string& argument)
{
  std::string path = CommandLinePath(argument, StartFolder);
  TFileTypes& types = FileTypes();
  int position = 0;
  if (!FCurrentTypeId.empty())
    for (int i = 0; i < types.Count(); ++i)
      if (SameTextAscii(types.GetKey(i), FCurrentTypeId)) {
        position = i;
        break;
      }
  std::string id = types.Empty() ? std::string() : types.GetFileType(position).Id;
  Project().OpenURL.SetURL("file:" + path);
  TBusyCursor busy;
  NewEditFrame(id, Project().OpenURL, false);
}
