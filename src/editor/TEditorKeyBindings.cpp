#include "editor/TEditorKeyBindings.h"

bool TEditorKeyBindings::Add(TShortCut key, TShortCut key2, TEditorCommand command)
{
  if (key == scNone) return true;
  if (Find(key, key2)) return false;
  Bindings_.push_back({key, key2, command});
  return true;
}

const TEditorKeyBindings::TBinding* TEditorKeyBindings::Find(TShortCut key, TShortCut key2) const
{
  for (const auto& binding : Bindings_)
    if (binding.Key == key && binding.Key2 == key2) return &binding;
  return nullptr;
}

bool TEditorKeyBindings::BeginsSequence(TShortCut key) const
{
  for (const auto& binding : Bindings_)
    if (binding.Key == key && binding.Key2 != scNone) return true;
  return false;
}

TKeyStrokeReader::TResult TKeyStrokeReader::Press(const TEditorKeyBindings& bindings, TShortCut key)
{
  if (First_ != scNone) {
    TShortCut first = First_;
    First_ = scNone;
    if (key != scNone) {
      if (const auto* binding = bindings.Find(first, key)) return {TKind::Command, binding->Command};
    }
  }
  if (key == scNone) return {};
  // A single stroke bound to ecNone counts as unbound, so the key keeps its
  // usual meaning.
  const auto* single = bindings.Find(key);
  if (single && single->Command != ecNone) return {TKind::Command, single->Command};
  if (bindings.BeginsSequence(key)) {
    First_ = key;
    return {TKind::Pending, ecNone};
  }
  return {};
}
