#include "model/TShortcutItem.h"

#include "model/ApplicationCommands.h"

bool TShortcutItem::IsEditorCommand() const
{
  return IsEditorCommandName(Command);
}

TEditorCommand TShortcutItem::GetEditorCommand() const
{
  TEditorCommand number = ecNone;
  if (!IdentToEditorCommand(Command, number)) number = ecNone;
  return number;
}
