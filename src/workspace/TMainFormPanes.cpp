// The main window's help and log panes: created and docked at start-up, the
// log's events on the log pane, the help pane's page title, buttons and
// browser command states for the heartbeat, and the View > Log, View > Help
// and Help > Contents commands.

#include "docking/TPageControl.h"
#include "panes/THelpFrame.h"
#include "panes/TLogFrame.h"
#include "panes/TWebBrowser.h"
#include "platform/Prompter.h"
#include "resource/zevlog.h"
#include "workspace/TMainForm.h"

// --- start-up ----------------------------------------------------------------

void TMainForm::CreateHelpPane()
{
  auto* help = new THelpFrame(this);
  help->OnCopyPaste = [this](THelpFrame& sender) { HelpCopyPaste(sender); };
  // File > Print of the help page returns while the page prints: a print
  // that fails is reported when it ends.
  help->WebBrowser->OnPrintFinished = [](TWebBrowser&, bool success) {
    if (!success) Prompter().ShowMessage("The help page could not be printed.");
  };
  FHelpFrame = help;
  FSideBarPageControl->DockFrame(help, "Help");
  FSideBarPageControl->SetActivePageCaption("Help");
}

void TMainForm::CreateLogPane()
{
  auto* log = new TLogFrame(this);
  FLogFrame = log;
  FSideBarPageControl->DockFrame(log, "Log");
  FSideBarPageControl->SetActivePageCaption("Log");
}

void TMainForm::ConnectLogEvents()
{
  if (auto* log = qobject_cast<TLogFrame*>(FLogFrame)) log->ConnectLog(AppLog());
}

void TMainForm::ConnectLogFileErrors()
{
  // A log file that cannot be written stops nothing that logs: the user is
  // told once, after the command that logged has gone on.
  AppLog().OnFileError = [this](TzevAppLog&, const std::string& reason) {
    QString text = QString::fromLocal8Bit(reason.c_str()) +
                   "\nMessages are shown in the log pane but not kept in the file.";
    // Queued: the log may be written from a worker thread.
    QMetaObject::invokeMethod(this, [text] { Prompter().ShowMessage(text); }, Qt::QueuedConnection);
  };
}

void TMainForm::DisconnectLogEvents()
{
  if (auto* log = qobject_cast<TLogFrame*>(FLogFrame)) log->DisconnectLog();
  AppLog().OnLog = nullptr;
  AppLog().OnLevelsChange = nullptr;
  AppLog().OnFileError = nullptr;
}

// --- the help pane for ShowHelp and the heartbeat ------------------------------

void TMainForm::NavigateHelp(const QString& url)
{
  auto* help = qobject_cast<THelpFrame*>(FHelpFrame);
  if (!help) return;
  if (url.isEmpty())
    help->HomeBtnClick();
  else
    help->WebBrowser->Navigate(url);
}

QString TMainForm::HelpPageTitle() const
{
  auto* help = qobject_cast<THelpFrame*>(FHelpFrame);
  return help ? help->FTitle : QString();
}

bool TMainForm::HelpBrowserCommandEnabled(int command) const
{
  auto* help = qobject_cast<THelpFrame*>(FHelpFrame);
  return help && (help->WebBrowser->QueryStatus(command) & OLECMDF_ENABLED);
}

void TMainForm::UpdateHelpPaneButtons()
{
  if (auto* help = qobject_cast<THelpFrame*>(FHelpFrame)) help->UpdateButtons();
}

bool TMainForm::PaneShown(const TFrame* pane)
{
  // A page of a page control counts as shown also while another page of
  // that control is in front.
  return pane && (pane->HostPageControl() || (pane->IsFloating() && pane->isVisible()));
}

// --- View > Log, View > Help, Help > Contents ----------------------------------

void TMainForm::MenuViewLogClick()
{
  if (PaneShown(FLogFrame))
    HideLog();
  else
    ShowLog();
}

void TMainForm::MenuViewHelpClick()
{
  if (PaneShown(FHelpFrame))
    HideHelp();
  else
    ShowHelp(QString());
}

void TMainForm::MenuHelpContentsClick()
{
  ShowHelp(QString());
}
