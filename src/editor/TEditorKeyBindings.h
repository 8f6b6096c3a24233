#pragma once
// The key bindings of one editor: key code (and second stroke) to editor
// command, and the small state machine that reads two-stroke sequences.
//
// A key bound on its own runs its command at once. A key that only begins
// two-stroke sequences is remembered; the next stroke either completes a
// sequence (its command runs) or cancels the wait and is then read as a
// stroke of its own.

#include <vector>

#include "model/EditorCommands.h"
#include "model/KeyText.h"

class TEditorKeyBindings {
public:
  struct TBinding {
    TShortCut Key;
    TShortCut Key2;  // 0: a single stroke
    TEditorCommand Command;
  };

  void Clear() { Bindings_.clear(); }
  // Adds a binding. Refused (false, nothing added) when the same sequence is
  // bound already. A binding without a first key binds nothing and is not
  // refused.
  bool Add(TShortCut key, TShortCut key2, TEditorCommand command);

  int Count() const { return static_cast<int>(Bindings_.size()); }
  const std::vector<TBinding>& Items() const { return Bindings_; }
  // The binding of exactly this sequence (key2 0: the single stroke), or nullptr.
  const TBinding* Find(TShortCut key, TShortCut key2 = 0) const;
  // True when some two-stroke sequence begins with key.
  bool BeginsSequence(TShortCut key) const;

private:
  std::vector<TBinding> Bindings_;
};

class TKeyStrokeReader {
public:
  enum class TKind {
    Unbound,  // the stroke runs nothing: the editor handles it as usual
    Pending,  // first stroke of a sequence: swallowed, waiting for the second
    Command,  // Command is to run
  };
  struct TResult {
    TKind Kind = TKind::Unbound;
    TEditorCommand Command = ecNone;
  };

  // Reads one stroke (0 for a key without a key code: it only cancels a wait).
  TResult Press(const TEditorKeyBindings& bindings, TShortCut key);
  bool Pending() const { return First_ != 0; }
  void Reset() { First_ = 0; }

private:
  TShortCut First_ = 0;
};
