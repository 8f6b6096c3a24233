// The keyboard of the main window: Tab and Shift+Tab stay in the focused
// editor as its indent commands, the configured application shortcuts go
// onto the menu items, and a command's key that reached the editor instead
// runs the command.

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <Qsci/qsciscintilla.h>

#include "editor/TEditFrame.h"
#include "model/ModelModule.h"
#include "model/ShortcutClashes.h"
#include "model/TShortcutItem.h"
#include "platform/TProgressRunner.h"
#include "platform/VirtualKeys.h"
#include "resource/zevlog.h"
#include "workspace/TMainForm.h"

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

bool TMainForm::RunCommandKey(const QKeyEvent& event)
{
  if (event.key() == 0 || event.key() == Qt::Key_unknown || IsModifierKey(event.key()) || TProgressRunner::Busy())
    return false;
  const QKeySequence key(event.keyCombination());
  for (const auto& [command, item] : CommandMenuItems()) {
    QAction* action = Action(item);
    if (!action || action->shortcut().isEmpty() || action->shortcut() != key) continue;
    UpdateCommands();
    if (!action->isEnabled()) return false;
    action->trigger();
    return true;
  }
  return false;
}

namespace {
constexpr std::uint8_t KeyClashLogLevel = 3;  // an error of the configuration
}  // namespace

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
    if (name != command) continue;
    QKeySequence sequence = KeySequenceFromShortCut(key);
    // A key kept from before by an item that is not cleared (Open FTP, ...)
    // goes to this one: two items with one key would both do nothing.
    if (!sequence.isEmpty())
      for (const auto& [otherCommand, otherItem] : CommandMenuItems())
        if (otherItem != item && Action(otherItem)->shortcut() == sequence) Action(otherItem)->setShortcut(QKeySequence());
    Action(item)->setShortcut(sequence);
    return;
  }
}

namespace {

// The binding whose menu item has the key of the binding at index when that
// is another one: the first application binding of the key (a menu key runs
// before the editor sees it); nullptr when the binding keeps its key.
const TShortcutItem* KeyHolder(const std::vector<TShortcutItem>& bindings, int index)
{
  const TShortcutItem& binding = bindings[static_cast<size_t>(index)];
  for (int other : FindKeyClashes(bindings, index)) {
    const TShortcutItem& candidate = bindings[static_cast<size_t>(other)];
    if (!candidate.IsEditorCommand() && (binding.IsEditorCommand() || other < index)) return &candidate;
  }
  return nullptr;
}

}  // namespace

// A key claimed by more than one binding goes to one of them, never to two
// menu items (Qt would then run neither): among application commands the
// first binding of the key has it, and a menu key runs before an editor
// binding of the same key. The bindings that lose their key are logged.
void TMainForm::ApplyShortcuts()
{
  ClearShortcuts();
  TConfigInfo& config = ConfigInfo();
  std::vector<TShortcutItem> bindings;
  for (int i = 0; i < config.ShortcutCount(); ++i) bindings.push_back(*config.GetShortcut(i));
  for (int i = 0; i < static_cast<int>(bindings.size()); ++i) {
    const TShortcutItem& item = bindings[static_cast<size_t>(i)];
    if (const TShortcutItem* holder = KeyHolder(bindings, i))
      AppLog().Log(KeyClashLogLevel, "Key " + BindingKeysText(item) + " of " + item.Command +
                                         " not bound: " + holder->Command + " has it");
    else if (!item.IsEditorCommand())
      SetShortcut(item.Command, item.Key);
  }
}
