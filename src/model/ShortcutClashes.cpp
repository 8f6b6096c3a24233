#include "model/ShortcutClashes.h"

#include <set>

#include "model/ApplicationCommands.h"

namespace {

// The second stroke that counts: application commands have none.
TShortCut SecondKey(const TShortcutItem& binding)
{
  return binding.IsEditorCommand() ? binding.Key2 : scNone;
}

bool SameCommand(const TShortcutItem& a, const TShortcutItem& b)
{
  if (a.IsEditorCommand() != b.IsEditorCommand()) return false;
  return a.IsEditorCommand() ? a.GetEditorCommand() == b.GetEditorCommand() : a.Command == b.Command;
}

bool KeysCollide(const TShortcutItem& a, const TShortcutItem& b)
{
  if (a.Key != b.Key) return false;
  TShortCut second = SecondKey(a), otherSecond = SecondKey(b);
  return second == otherSecond || second == scNone || otherSecond == scNone;
}

// HoldsKey for every binding: a later binding of an application command
// replaces the key of the earlier ones.
std::vector<bool> Holders(const std::vector<TShortcutItem>& bindings)
{
  std::vector<bool> holds(bindings.size(), false);
  std::set<std::string> replaced;
  for (size_t i = bindings.size(); i-- > 0;) {
    const TShortcutItem& binding = bindings[i];
    if (binding.IsEditorCommand()) {
      holds[i] = binding.Key != scNone && binding.GetEditorCommand() != ecNone;
    } else if (IsApplicationCommandName(binding.Command)) {
      holds[i] = binding.Key != scNone && replaced.count(binding.Command) == 0;
      replaced.insert(binding.Command);
    }
  }
  return holds;
}

}  // namespace

bool HoldsKey(const std::vector<TShortcutItem>& bindings, int index)
{
  return Holders(bindings)[static_cast<size_t>(index)];
}

std::vector<int> FindKeyClashes(const std::vector<TShortcutItem>& bindings, int index)
{
  std::vector<int> clashes;
  const std::vector<bool> holds = Holders(bindings);
  if (!holds[static_cast<size_t>(index)]) return clashes;
  const TShortcutItem& binding = bindings[static_cast<size_t>(index)];
  for (int other = 0; other < static_cast<int>(bindings.size()); ++other) {
    if (other == index || !holds[static_cast<size_t>(other)]) continue;
    const TShortcutItem& candidate = bindings[static_cast<size_t>(other)];
    if (!SameCommand(binding, candidate) && KeysCollide(binding, candidate)) clashes.push_back(other);
  }
  return clashes;
}

std::string BindingKeysText(const TShortcutItem& binding)
{
  std::string text = binding.GetKeyText();
  TShortCut second = SecondKey(binding);
  if (second != scNone) text += ", " + ShortCutToText(second);
  return text;
}
