// The keyboard of the main window: Tab and Shift+Tab stay in the focused
// editor as its indent commands, and the configured application shortcuts go
// onto the menu items.

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <Qsci/qsciscintilla.h>

#include "model/ModelModule.h"
#include "model/TShortcutItem.h"
#include "workspace/TEditFrame.h"
#include "workspace/TMainForm.h"
#include "workspace/VirtualKeys.h"

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
    if (AppMessage(watched, event)) return true;
  return QMainWindow::eventFilter(watched, event);
}

bool TMainForm::AppMessage(QObject* target, QEvent* event)
{
  TEditFrame* frame = GetActiveEditFrame();
  if (!frame) return false;
  QWidget* focus = QApplication::focusWidget();
  // Only the key events that reach the focused editor itself.
  if (!focus || focus != target || (focus != frame->SynEdit && !frame->SynEdit->isAncestorOf(focus))) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->modifiers() & Qt::AltModifier) return false;
  if (event->type() == QEvent::KeyRelease) {
    if (key->key() == Qt::Key_Shift) FShiftDown = false;
    return false;
  }
  switch (key->key()) {
    case Qt::Key_Shift:
      FShiftDown = true;
      return false;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
      bool shifted = FShiftDown || key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
      frame->ExecuteCommand(shifted ? ecShiftTab : ecTab);
      return true;
    }
    default:
      return false;
  }
}

const std::vector<std::pair<const char*, const char*>>& TMainForm::CommandMenuItems()
{
  static const std::vector<std::pair<const char*, const char*>> table = {
      {"pvFileNew", "MenuFileNew"},
      {"pvFileOpenFile", "MenuFileOpenFile"},
      {"pvFileOpenFTP", "MenuFileOpenFTP"},
      {"pvFileOpenWeb", "MenuFileOpenWebPage"},
      {"pvFileSave", "MenuFileSave"},
      {"pvFileSaveAsFile", "MenuFileSaveAsFile"},
      {"pvFileSaveAsFTP", "MenuFileSaveAsFTP"},
      {"pvFileClose", "MenuFileClose"},
      {"pvFileCloseAll", "MenuFileCloseAll"},
      {"pvFilePrint", "MenuFilePrint"},
      {"pvFileExit", "MenuFileExit"},
      {"pvEditCut", "MenuEditCut"},
      {"pvEditCopy", "MenuEditCopy"},
      {"pvEditPaste", "MenuEditPaste"},
      {"pvEditSelectAll", "MenuEditSelectAll"},
      {"pvEditUndo", "MenuEditUndo"},
      {"pvEditRedo", "MenuEditredo"},
      {"pvEditConfiguration", "MenuEditConfigurationOptions"},
      {"pvSearchFind", "MenuSearchFind"},
      {"pvSearchReplace", "MenuSearchReplace"},
      {"pvToolsConvert", "MenuToolsConvert"},
      {"pvToolsWellFormed", "MenuToolsWellFormed"},
      {"pvToolsIsValid", "MenuToolsIsValid"},
      {"pvToolsTransform", "MenuToolsTransform"},
      {"pvToolsPreview1", "MenuToolsPreview1"},
      {"pvToolsPreview2", "MenuToolsPreview2"},
      {"pvToolsPreview3", "MenuToolsPreview3"},
      {"pvViewMoreHelp", "MenuViewMoreHelp"},
      {"pvViewMoreEdit", "MenuViewMoreEdit"},
      {"pvHelpContents", "MenuHelpContents"},
      {"pvHelpContext", "MenuHelpContext"},
      {"pvHelpAbout", "MenuHelpAbout"},
  };
  return table;
}

void TMainForm::ClearShortcuts()
{
  // Open FTP, Open Web page and Save As FTP keep theirs (29 of the 32).
  for (const auto& [name, item] : CommandMenuItems()) {
    std::string menuItem = item;
    if (menuItem == "MenuFileOpenFTP" || menuItem == "MenuFileOpenWebPage" || menuItem == "MenuFileSaveAsFTP")
      continue;
    Action(menuItem)->setShortcut(QKeySequence());
  }
}

void TMainForm::SetShortcut(const std::string& name, TShortCut key)
{
  for (const auto& [command, item] : CommandMenuItems()) {
    if (name == command) {
      Action(item)->setShortcut(KeySequenceFromShortCut(key));
      return;
    }
  }
}

void TMainForm::ApplyShortcuts()
{
  ClearShortcuts();
  TConfigInfo& config = ConfigInfo();
  for (int i = 0; i < config.ShortcutCount(); ++i) {
    const TShortcutItem* item = config.GetShortcut(i);
    if (item && !item->IsEditorCommand()) SetShortcut(item->Command, item->Key);
  }
}
