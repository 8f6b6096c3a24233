#include "workspace/CommandStates.h"

#include <algorithm>

#include "model/TFileType.h"

const std::vector<std::string> kUnbuiltCommands = {
};

bool IsUnbuiltCommand(const std::string& menuItemName)
{
  return std::find(kUnbuiltCommands.begin(), kUnbuiltCommands.end(), menuItemName) != kUnbuiltCommands.end();
}

namespace {

bool HelpCommand(const TCommandInputs& in, int command)
{
  if (!in.HelpPaneActive) return false;
  auto found = in.HelpCommands.find(command);
  return found != in.HelpCommands.end() && found->second;
}

}  // namespace

TCommandStates ComputeCommandStates(const TCommandInputs& in)
{
  TCommandStates states;
  auto& on = states.Enabled;
  const bool e = in.HasEditFrame;
  const TFileType* type = e ? in.FileType : nullptr;

  for (const char* name : {"MenuFileNew", "MenuFileOpenFile", "MenuFileOpenFTP", "MenuFileOpenWebPage",
                           "MenuFileRecent", "MenuFileExit", "MenuEditConfigurationOptions", "MenuToolsBatch"})
    on[name] = true;

  on["MenuFileSave"] = e && (in.Status & esModified);
  for (const char* name : {"MenuFileSaveAsFile", "MenuFileSaveAsFTP", "MenuFileClose", "MenuFileChangeFileType",
                           "MenuSearchFind", "MenuSearchReplace", "MenuToolsWellFormed", "MenuToolsIsValid",
                           "MenuToolsTransform"})
    on[name] = e;
  on["MenuFileCloseAll"] = in.PageCount > 0;
  on["MenuFilePrint"] = e || in.HelpPaneActive;
  on["MenuEditSelectAll"] = e || in.HelpPaneActive;

  on["MenuEditCut"] = e ? in.HasSelection : HelpCommand(in, hbcCut);
  on["MenuEditCopy"] = e ? in.HasSelection : HelpCommand(in, hbcCopy);
  on["MenuEditPaste"] = e ? in.CanPaste : HelpCommand(in, hbcPaste);
  on["MenuEditUndo"] = e ? in.CanUndo : HelpCommand(in, hbcUndo);
  on["MenuEditredo"] = e ? in.CanRedo : HelpCommand(in, hbcRedo);

  on["MenuViewMoreHelp"] = in.Layout != 0;
  on["MenuViewMoreEdit"] = in.Layout != 3;

  on["MenuToolsPreview1"] = type && !type->Preview1.empty();
  on["MenuToolsPreview2"] = type && !type->Preview2.empty();
  on["MenuToolsPreview3"] = type && !type->Preview3.empty();
  on["MenuToolsConvert"] = type && type->MimeType == "text/html";
  on["MenuHelpContext"] = type && !type->HelpFile.empty();

  states.LogChecked = in.LogVisible;
  states.HelpChecked = in.HelpVisible;
  return states;
}
