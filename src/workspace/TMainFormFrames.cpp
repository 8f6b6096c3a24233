// The main window's frames: start-up, the active frame, creating and closing
// editor frames, the side-bar layout, the help and log panes, tab drawing and
// the mirroring of menu states onto buttons and pop-up items.

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <Qsci/qsciscintilla.h>

#include "docking/TPageControl.h"
#include "docking/TWorkArea.h"
#include "editor/TEditFrame.h"
#include "model/DataFileProblems.h"
#include "model/TFileTypes.h"
#include "platform/Prompter.h"
#include "platform/TProgressRunner.h"
#include "resource/TWorkProgress.h"
#include "resource/zevlog.h"
#include "workspace/BusyCursor.h"
#include "workspace/CommandStates.h"
#include "workspace/TMainForm.h"
#include "workspace/TSplashScreen.h"

namespace {

// Hides the splash screen however the steps under it end.
class TSplashGuard {
public:
  TSplashGuard()
  {
    if (!SplashScreen) return;
    SplashScreen->show();
    SplashScreen->raise();
  }
  ~TSplashGuard()
  {
    if (SplashScreen) SplashScreen->hide();
  }
};

}  // namespace

// --- start-up and shutdown ---------------------------------------------------

void TMainForm::FormCreate()
{
  FLayout = 4;
  qApp->installEventFilter(this);
}

void TMainForm::showEvent(QShowEvent* event)
{
  QMainWindow::showEvent(event);
  if (FFormShown) return;
  FFormShown = true;
  FormShow();
}

void TMainForm::FormShow()
{
  {
    TBusyCursor busy;
    TSplashGuard splash;
    QApplication::processEvents();
    // Each step's failure is shown and the start-up goes on.
    Guarded(&TMainForm::ApplyShortcuts);
    ProcessCommandLine();  // reports each file that fails and goes on
    Guarded(&TMainForm::CreateHelpPane);
    Guarded(&TMainForm::CreateLogPane);
    Guarded(&TMainForm::ConnectLogEvents);
    Guarded([this] { ShowHelp(QString()); });
    Guarded(&TMainForm::HideLog);
    Guarded(&TMainForm::PresetBatchDialog);
    Guarded([this] { SetLayout(GetActiveEditFrame() ? 2 : 1); });
    QApplication::processEvents();
  }
  Guarded(&TMainForm::ShowDataProblems);
  FHeartbeatTimer->setInterval(200);
  FHeartbeatTimer->start();
}

void TMainForm::ShowDataProblems()
{
  const std::vector<std::string> problems = TakeDataProblems();
  if (!problems.empty()) Prompter().ShowMessage(QString::fromLocal8Bit(DataProblemsText(problems).c_str()));
}

void TMainForm::closeEvent(QCloseEvent* event)
{
  // The documents belong to a command's work until it ends (or is cancelled).
  if (TProgressRunner::Busy()) {
    event->ignore();
    return;
  }
  bool canClose = true;
  FormCloseQuery(canClose);
  if (canClose)
    event->accept();
  else
    event->ignore();
}

// The help and log panes are created and connected in TMainFormPanes.cpp; the
// batch dialog is preset in TMainFormTools.cpp.

// --- the active frame and the frames ----------------------------------------

namespace {

TFrame* EnclosingFrame(QWidget* widget)
{
  for (QWidget* w = widget; w; w = w->parentWidget()) {
    if (auto* frame = qobject_cast<TFrame*>(w)) return frame;
    if (w->isWindow() && !qobject_cast<TFrame*>(w)) break;
  }
  return nullptr;
}

// A widget of the window itself or of a frame floating from it.
bool BelongsTo(const QWidget* widget, const QWidget* window)
{
  return widget->window() == window || qobject_cast<const TFrame*>(widget->window());
}

bool IsMenu(const QWidget* widget)
{
  return widget && (qobject_cast<const QMenuBar*>(widget) || qobject_cast<const QMenu*>(widget->window()));
}

TPageControl* AsPageControl(QWidget* widget)
{
  if (auto* pages = qobject_cast<TPageControl*>(widget)) return pages;
  if (auto* bar = qobject_cast<QTabBar*>(widget)) return qobject_cast<TPageControl*>(bar->parentWidget());
  return nullptr;
}

}  // namespace

QWidget* TMainForm::ActiveControl() const
{
  // The focused widget when it lies in this window or in a frame floating
  // from it, else the control that last had the focus within the window
  // (also while a dialog, such as the find dialog, has the focus).
  QWidget* active = QApplication::focusWidget();
  if (!active || !BelongsTo(active, this)) active = focusWidget();
  // Menus are no controls: opened from the keyboard, the menu bar takes the
  // focus, and the document must stay the one the commands work on.
  if (IsMenu(active)) {
    QWidget* last = FLastControl.data();
    active = last && last->isVisible() && BelongsTo(last, this) ? last : nullptr;
  }
  return active;
}

void TMainForm::ControlFocused(QWidget* control)
{
  if (control && !IsMenu(control) && BelongsTo(control, this)) FLastControl = control;
}

TFrame* TMainForm::GetActiveFrame() const
{
  QWidget* active = ActiveControl();
  if (!active) return nullptr;
  if (TPageControl* pages = AsPageControl(active)) return pages->PageCount() > 0 ? pages->ActiveFrame() : nullptr;
  return EnclosingFrame(active);
}

TEditFrame* TMainForm::GetActiveEditFrame() const
{
  return qobject_cast<TEditFrame*>(GetActiveFrame());
}

int TMainForm::GetFrameCount() const
{
  return FMainPageControl->PageCount() + FSideBarPageControl->PageCount();
}

TFrame* TMainForm::GetFrame(int index) const
{
  int mainCount = FMainPageControl->PageCount();
  return index < mainCount ? FMainPageControl->Frame(index) : FSideBarPageControl->Frame(index - mainCount);
}

std::vector<TEditFrame*> TMainForm::EditFrames() const
{
  std::vector<TEditFrame*> frames;
  for (int i = 0; i < GetFrameCount(); ++i)
    if (auto* frame = qobject_cast<TEditFrame*>(GetFrame(i))) frames.push_back(frame);
  for (TEditFrame* frame : findChildren<TEditFrame*>(Qt::FindDirectChildrenOnly))
    if (frame->IsFloating()) frames.push_back(frame);
  return frames;
}

TEditFrame* TMainForm::NewEditFrame(const std::string& id, const TURL& url, bool isNew)
{
  // An open that fails or is cancelled gives the focus back to this control.
  QPointer<QWidget> previous = ActiveControl();
  auto* frame = new TEditFrame(this);
  frame->SetPopupMenu(FPopupMenu);
  frame->ApplyConfig();
  frame->OnContextHelp = [this](TEditFrame& sender) { EditContextHelp(sender); };
  frame->OnStatusChange = [this](TEditFrame& sender) { EditStatusChange(sender); };
  frame->OnStatusFlagsChange = [this](TEditFrame& sender) {
    if (&sender == GetActiveEditFrame()) UpdateCommands();
  };
  frame->OnCommandKey = [this](TEditFrame&, const QKeyEvent& key) { return RunCommandKey(key); };
  FMainPageControl->DockFrame(frame);
  frame->SetFileType(FileTypes().FindById(id));
  if (isNew) {
    try {
      frame->NewDocument(url);
    } catch (const std::exception& error) {
      // Only its working copy could not be written (a program folder the
      // user may not write to): the new document is there all the same, and
      // whatever its caller puts in it (a template, a result) is not lost.
      ShowException(error);
    }
  } else {
    try {
      frame->OpenDocument(url);
    } catch (const std::exception& error) {
      if (!frame->FBackupFileName.empty()) {
        // The document was read (its working copy is named only then); the
        // working copy alone could not be written beside it, as in a folder
        // the user may not write to: the document stays open.
        frame->UpdateCaption();
        frame->SynEdit->setFocus();
        throw;
      }
      // No empty tab may stay behind: saving it would overwrite the document.
      CloseFrame(frame);
      FocusControl(previous);
      if (dynamic_cast<const ECancelled*>(&error)) throw ECancelled();
      std::string name = url.GetURL();
      std::string message = error.what();
      if (message.find(name) == std::string::npos && message.find(url.GetNativeName()) == std::string::npos)
        message = "Cannot open \"" + name + "\". " + message;
      throw std::runtime_error(message);
    }
  }
  frame->UpdateCaption();
  // Typing goes to the new document.
  frame->SynEdit->setFocus();
  return frame;
}

void TMainForm::FocusControl(QWidget* control)
{
  if (!control) return;
  TFrame* frame = EnclosingFrame(control);
  if (TPageControl* pages = frame ? frame->HostPageControl() : nullptr) pages->SetActivePage(pages->IndexOfFrame(frame));
  control->window()->activateWindow();
  control->setFocus();
}

void TMainForm::CloseFrame(TFrame* frame)
{
  if (!frame) return;
  if (TPageControl* pages = frame->HostPageControl()) pages->UndockFrame(frame);
  if (frame->isVisible()) frame->hide();
  delete frame;
}

// --- layout ------------------------------------------------------------------

int TMainForm::ClientWidth() const
{
  return FWorkArea->width();
}

int TMainForm::SideBarWidth() const
{
  return FWorkArea->RightWidth();
}

void TMainForm::SetLayout(int mode)
{
  FLayout = mode;
  const int w = ClientWidth();
  switch (mode) {
    case 0: FWorkArea->SetRightWidth(w - 4); break;
    case 1: FWorkArea->SetRightWidth(w - w / 3); break;
    case 2: FWorkArea->SetRightWidth(w / 3); break;
    case 3: FWorkArea->SetRightWidth(2); break;
    default: break;
  }
}

void TMainForm::Splitter1Moved()
{
  FLayout = 4;
}

// --- the help and log panes ----------------------------------------------------

void TMainForm::ShowPane(TFrame* pane, const QString& caption)
{
  if (pane->IsFloating() || !pane->HostPageControl()) {
    FSideBarPageControl->DockFrame(pane, caption);
    FSideBarPageControl->SetActivePageCaption(caption);
  }
  TPageControl* pages = pane->HostPageControl();
  if (pages)
    pages->SetActivePage(pages->IndexOfFrame(pane));
  else
    Prompter().ShowMessage("not a tabsheet");
}

void TMainForm::HidePane(TFrame* pane)
{
  if (TPageControl* pages = pane->HostPageControl()) pages->UndockFrame(pane);
  if (pane->isVisible()) pane->hide();
}

void TMainForm::ShowHelp(const QString& url)
{
  if (!FHelpFrame) return;
  ShowPane(FHelpFrame, "Help");
  NavigateHelp(url);
}

void TMainForm::HideHelp()
{
  if (FHelpFrame) HidePane(FHelpFrame);
}

void TMainForm::ShowLog()
{
  if (FLogFrame) ShowPane(FLogFrame, "Log");
}

void TMainForm::HideLog()
{
  if (FLogFrame) HidePane(FLogFrame);
}

void TMainForm::HelpCopyPaste(TFrame& sender)
{
  TPageControl* holder = sender.HostPageControl();
  TPageControl* other = holder == FSideBarPageControl ? FMainPageControl
                        : holder == FMainPageControl  ? FSideBarPageControl
                                                      : nullptr;
  if (!other) return;
  if (auto* target = qobject_cast<TEditFrame*>(other->ActiveFrame())) target->SynEdit->paste();
}

void TMainForm::EditStatusChange(TEditFrame& sender)
{
  // The panel shows the active document's caret only.
  if (&sender != GetActiveEditFrame()) return;
  FPositionFrame = &sender;
  // The column counts characters, counted by the editor in one call (asking
  // it for the end of each character took 0.15 s a key on a line of 10 MB).
  using B = QsciScintillaBase;
  QsciScintilla& e = *sender.SynEdit;
  const long caret = e.SendScintilla(B::SCI_GETCURRENTPOS);
  const long line = e.SendScintilla(B::SCI_LINEFROMPOSITION, static_cast<unsigned long>(caret));
  const long start = e.SendScintilla(B::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
  const long column = e.SendScintilla(B::SCI_COUNTCHARACTERS, static_cast<unsigned long>(start), caret);
  SetPanelText(0, QString("%1:%2").arg(column + 1).arg(line + 1));
}

void TMainForm::EditContextHelp(TEditFrame&)
{
  Guarded(&TMainForm::MenuHelpContextClick);
}

// --- tabs --------------------------------------------------------------------

QFont TMainForm::TabFont(TPageControl& control, int tabIndex) const
{
  QFont font = control.tabBar()->font();
  font.setBold(false);
  font.setItalic(false);
  if (auto* frame = qobject_cast<TEditFrame*>(control.Frame(tabIndex))) {
    font.setBold(frame->FStatus & esModified);
    font.setItalic((frame->FStatus & esModified) && (frame->FStatus & esNew));
  }
  return font;
}

void TMainForm::SideBarPageControlDrawTab(TPageControl& control, int tabIndex, QPainter& painter, const QRect& rect,
                                          bool)
{
  painter.setFont(TabFont(control, tabIndex));
  painter.setClipRect(rect);
  painter.drawText(rect.adjusted(4, 4, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                   control.tabText(tabIndex));
}

// --- mirroring ---------------------------------------------------------------

void TMainForm::UpdateToolButtons()
{
  const std::pair<const char*, const char*> pairs[] = {
      {"NewBtn", "MenuFileNew"},           {"OpenBtn", "MenuFileOpenFile"},     {"SaveBtn", "MenuFileSave"},
      {"CloseBtn", "MenuFileClose"},       {"PrintBtn", "MenuFilePrint"},       {"Preview1Btn", "MenuToolsPreview1"},
      {"Preview2Btn", "MenuToolsPreview2"}, {"Preview3Btn", "MenuToolsPreview3"},
      {"WellFormedBtn", "MenuToolsWellFormed"}, {"ValidateBtn", "MenuToolsIsValid"},
      {"TransformBtn", "MenuToolsTransform"}, {"CutBtn", "MenuEditCut"},    {"CopyBtn", "MenuEditCopy"},
      {"PasteBtn", "MenuEditPaste"},       {"MoreHelpBtn", "MenuViewMoreHelp"}, {"MoreEditBtn", "MenuViewMoreEdit"},
  };
  for (const auto& [button, item] : pairs) ToolButton(button)->setEnabled(Action(item)->isEnabled());
}

void TMainForm::UpdatePopupMenu()
{
  const std::pair<const char*, const char*> pairs[] = {
      {"PopupSave", "MenuFileSave"},         {"PopupClose", "MenuFileClose"},
      {"PopupPrint", "MenuFilePrint"},       {"PopupPreview", "MenuToolsPreview1"},
      {"PopupWellFormed", "MenuToolsWellFormed"}, {"PopupValid", "MenuToolsIsValid"},
      {"PopupTransform", "MenuToolsTransform"}, {"PopupCut", "MenuEditCut"},
      {"PopupCopy", "MenuEditCopy"},         {"PopupPaste", "MenuEditPaste"},
  };
  for (const auto& [popup, item] : pairs) Action(popup)->setEnabled(Action(item)->isEnabled());
  // Help stays enabled once context help exists.
  Action("PopupHelp")->setEnabled(!IsUnbuiltCommand("MenuHelpContext"));
}
