#include "model/ApplicationCommands.h"

const std::array<const char*, ApplicationCommandCount>& ApplicationCommandNames()
{
  static const std::array<const char*, ApplicationCommandCount> names = {
      "pvFileNew",         "pvFileOpenFile",   "pvFileOpenFTP",    "pvFileOpenWeb",       "pvFileSave",
      "pvFileSaveAsFile",  "pvFileSaveAsFTP",  "pvFileClose",      "pvFileCloseAll",      "pvFilePrint",
      "pvFileExit",        "pvEditCut",        "pvEditCopy",       "pvEditPaste",         "pvEditSelectAll",
      "pvEditUndo",        "pvEditRedo",       "pvEditConfiguration", "pvSearchFind",     "pvSearchReplace",
      "pvToolsConvert",    "pvToolsWellFormed", "pvToolsIsValid",  "pvToolsTransform",    "pvToolsPreview1",
      "pvToolsPreview2",   "pvToolsPreview3",  "pvViewMoreHelp",   "pvViewMoreEdit",      "pvHelpContents",
      "pvHelpContext",     "pvHelpAbout"};
  return names;
}

bool IsApplicationCommandName(const std::string& name)
{
  for (const char* candidate : ApplicationCommandNames()) {
    if (name == candidate) return true;
  }
  return false;
}

const std::array<const char*, KeyCategoryCount>& KeyCategories()
{
  static const std::array<const char*, KeyCategoryCount> categories = {"Application", "Editor"};
  return categories;
}

bool IsEditorCommandName(const std::string& name)
{
  return name.size() >= 2 && name[0] == 'e' && name[1] == 'c';
}
