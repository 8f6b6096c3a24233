// The heartbeat: every tick recomputes the caption, the status panels and the
// state of every command from the active frame; every 101st tick refreshes
// the working copies of modified documents. The same states are recomputed at
// once when the focus moves and when a document's status changes, so that a
// key pressed right after finds its command's state up to date.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTimer>
#include <Qsci/qsciscintilla.h>
#include <exception>

#include "dialogs/DialogHelpers.h"
#include "docking/TPageControl.h"
#include "editor/TEditFrame.h"
#include "model/TFileType.h"
#include "platform/TProgressRunner.h"
#include "workspace/CommandStates.h"
#include "workspace/TMainForm.h"

using DialogHelpers::LocalText;

namespace {

constexpr double BackupInterval = 1.0 / 288;  // 5 minutes, in days
constexpr int TicksPerSweep = 100;

bool ClipboardHasText()
{
  const QMimeData* data = QApplication::clipboard()->mimeData();
  return data && data->hasText();
}

}  // namespace

void TMainForm::HeartbeatTimerTimer()
{
  // While a command's work runs, the documents and commands wait for it.
  if (TProgressRunner::Busy()) return;
  FHeartbeatTimer->setInterval(333);
  if (++FHeartbeatCount > TicksPerSweep) {
    // The count goes back to 0 also when the sweep fails, and a failing
    // sweep is reported once until a sweep succeeds again.
    FHeartbeatCount = 0;
    try {
      BackupFrames();
      FBackupFailureShown = false;
    } catch (const std::exception& error) {
      if (!FBackupFailureShown) {
        FBackupFailureShown = true;
        ShowException(error);
      }
    }
  }
  UpdateCommands();
}

void TMainForm::UpdateCommands()
{
  // While a command's work runs, the documents and commands wait for it.
  if (TProgressRunner::Busy()) return;
  try {
    UpdateCaptionAndPanels();
    UpdateCommandStates();
    UpdateToolButtons();
    UpdatePopupMenu();
    UpdateHelpPaneButtons();
  } catch (const std::exception& error) {
    ShowException(error);
  }
}

void TMainForm::BackupFrames()
{
  // A working copy that cannot be written keeps none of the others from
  // being refreshed; the first failure is raised once all were tried.
  std::exception_ptr failure;
  for (TEditFrame* frame : EditFrames()) {
    try {
      frame->CheckBackup(BackupInterval);
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  }
  if (failure) std::rethrow_exception(failure);
}

void TMainForm::UpdateCaptionAndPanels()
{
  TEditFrame* edit = GetActiveEditFrame();
  if (edit) {
    // Another document active: its caret's position, not the last one's.
    if (edit != FPositionFrame) EditStatusChange(*edit);
    QString caption = "XML:Plivek - [" + LocalText(edit->FURL.GetURL()) + "]";
    if (edit->FStatus & esModified) caption += "*";
    setWindowTitle(caption);
    SetPanelText(1, (edit->FStatus & esModified) ? "Modified" : "");
    SetPanelText(2, edit->FFileType ? LocalText(edit->FFileType->Id) : QString());
    SetPanelText(3, edit->FFileType ? LocalText(edit->FFileType->Title) : QString());
    QString checks;
    if (edit->FStatus & esWellFormed) checks += " Well-formed";
    if (edit->FStatus & esValid) checks += " Valid";
    if (edit->FStatus & esInvalid) checks += " Invalid";
    SetPanelText(4, checks);
    return;
  }
  QString caption = "XML:Plivek";
  if (FHelpFrame && GetActiveFrame() == FHelpFrame) caption += " - [" + HelpPageTitle() + "]";
  setWindowTitle(caption);
  for (int i = 0; i < 5; ++i) SetPanelText(i, QString());
  FPositionFrame = nullptr;
}

void TMainForm::UpdateCommandStates()
{
  TCommandInputs in;
  TEditFrame* edit = GetActiveEditFrame();
  if (edit) {
    in.HasEditFrame = true;
    in.Status = edit->FStatus;
    in.HasSelection = edit->SynEdit->hasSelectedText();
    in.CanPaste = !edit->SynEdit->isReadOnly() && ClipboardHasText();
    in.CanUndo = edit->SynEdit->isUndoAvailable();
    in.CanRedo = edit->SynEdit->isRedoAvailable();
    in.FileType = edit->FFileType;
  } else if (FHelpFrame && GetActiveFrame() == FHelpFrame) {
    in.HelpPaneActive = true;
    for (int command : {hbcCut, hbcCopy, hbcPaste, hbcUndo, hbcRedo})
      in.HelpCommands[command] = HelpBrowserCommandEnabled(command);
  }
  in.PageCount = GetFrameCount();
  in.Layout = FLayout;
  in.LogVisible = PaneShown(FLogFrame);
  in.HelpVisible = PaneShown(FHelpFrame);

  TCommandStates states = ComputeCommandStates(in);
  for (const auto& [name, enabled] : states.Enabled)
    if (QAction* action = Action(name)) action->setEnabled(enabled && !IsUnbuiltCommand(name));
  Action("MenuViewLog")->setChecked(states.LogChecked);
  Action("MenuViewHelp")->setChecked(states.HelpChecked);
}
