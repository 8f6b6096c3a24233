#pragma once
// The enabled and checked state of every main-menu command, computed afresh
// on each heartbeat from what is active: the editor frame (when one is), the
// help pane, the layout mode and the panes' visibility.

#include <map>
#include <string>
#include <vector>

#include "editor/TEditFrame.h"

class TFileType;

// Browser commands of the help pane (command ids of the embedded browser).
enum THelpBrowserCommand { hbcCut = 11, hbcCopy = 12, hbcPaste = 13, hbcUndo = 15, hbcRedo = 16 };

struct TCommandInputs {
  bool HasEditFrame = false;       // an editor frame is the active frame
  TEditStatus Status = 0;          // its status flags
  bool HasSelection = false;       // its editor has selected text
  bool CanPaste = false;           // its editor is writable and the clipboard holds text
  bool CanUndo = false;
  bool CanRedo = false;
  const TFileType* FileType = nullptr;  // its document type (may be none)
  bool HelpPaneActive = false;     // no editor frame and the help pane is the active frame
  std::map<int, bool> HelpCommands;  // browser command id -> enabled (help pane active only)
  int PageCount = 0;               // pages of both page controls together
  int Layout = 4;                  // layout mode 0..4
  bool LogVisible = false;
  bool HelpVisible = false;
};

struct TCommandStates {
  std::map<std::string, bool> Enabled;  // menu item name -> enabled
  bool LogChecked = false;              // MenuViewLog
  bool HelpChecked = false;             // MenuViewHelp
};

// The state table of every menu command whose state follows the active frame.
TCommandStates ComputeCommandStates(const TCommandInputs& inputs);

// ---------------------------------------------------------------------------
// Commands that are not built yet. Their menu items, buttons and pop-up items
// exist but stay disabled whatever the table says. Remove a name here when
// its command is built.
extern const std::vector<std::string> kUnbuiltCommands;
// ---------------------------------------------------------------------------
bool IsUnbuiltCommand(const std::string& menuItemName);
