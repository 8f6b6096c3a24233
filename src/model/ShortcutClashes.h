#pragma once
// Keys that more than one binding of a list claims.
//
// A binding holds its key when pressing that key can run its command:
//   - an application command of the menu table (exact name) with a key, and
//     no later binding of the same command (a later one replaces its key);
//   - an editor command that names a command other than ecNone, with a key;
//     it holds the stroke Key, or the sequence Key, Key2.
// Two holding bindings of different commands clash when their first keys are
// equal and neither is a sequence that the other does not start: a menu
// shortcut runs before the editor sees the key, and a single editor stroke
// runs before a sequence that begins with it could go on.

#include <string>
#include <vector>

#include "model/TShortcutItem.h"

// Whether the binding at index holds a key (see above).
bool HoldsKey(const std::vector<TShortcutItem>& bindings, int index);
// The positions, in list order, of the other bindings whose key clashes with
// the one at index; empty when that binding holds no key.
std::vector<int> FindKeyClashes(const std::vector<TShortcutItem>& bindings, int index);
// The keys of a binding as the user reads them: "Ctrl+K" or "Ctrl+K, 1"
// (the second key of editor commands only).
std::string BindingKeysText(const TShortcutItem& binding);
