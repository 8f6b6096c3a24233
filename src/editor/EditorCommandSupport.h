#pragma once
// What the editor command groups share: small readers of the source editor
// (SCI_ messages) and the group tables that EditorCommandHandlers.cpp looks
// commands up in.

#include <Qsci/qsciscintilla.h>
#include <algorithm>
#include <cstddef>
#include <string>

#include "editor/EditorCommandHandlers.h"

namespace editorcommands {

using B = QsciScintillaBase;

// One command of a group and its handler.
struct TEntry {
  TEditorCommand Command;
  TEditorCommandHandler Handler;
};

// A group's table of commands.
struct TGroup {
  const TEntry* Entries;
  std::size_t Count;
};

template <std::size_t N>
constexpr TGroup Group(const TEntry (&entries)[N])
{
  return {entries, N};
}

// The groups, each in a file of its own.
TGroup CaretCommands();  // caret motions, selections and selection modes
TGroup TextCommands();   // typed text, block indent, Tab, bracket matching
TGroup CaseCommands();   // letter case

// ---- small readers of the editor ---------------------------------------

inline long Send(QsciScintilla& e, unsigned int msg, unsigned long w = 0, long l = 0)
{
  return e.SendScintilla(msg, w, l);
}

inline long Caret(QsciScintilla& e) { return Send(e, B::SCI_GETCURRENTPOS); }
inline long Anchor(QsciScintilla& e) { return Send(e, B::SCI_GETANCHOR); }
inline long LineOf(QsciScintilla& e, long pos) { return Send(e, B::SCI_LINEFROMPOSITION, pos); }
inline long LineStart(QsciScintilla& e, long line) { return Send(e, B::SCI_POSITIONFROMLINE, line); }
inline long LineCount(QsciScintilla& e) { return Send(e, B::SCI_GETLINECOUNT); }
inline long Length(QsciScintilla& e) { return Send(e, B::SCI_GETLENGTH); }
inline long ColumnOf(QsciScintilla& e, long pos) { return Send(e, B::SCI_GETCOLUMN, pos); }
inline long FindColumn(QsciScintilla& e, long line, long column) { return Send(e, B::SCI_FINDCOLUMN, line, column); }
inline long SelStart(QsciScintilla& e) { return Send(e, B::SCI_GETSELECTIONSTART); }
inline long SelEnd(QsciScintilla& e) { return Send(e, B::SCI_GETSELECTIONEND); }
inline bool IsRectangular(QsciScintilla& e) { return Send(e, B::SCI_SELECTIONISRECTANGLE) != 0; }
inline unsigned char CharAt(QsciScintilla& e, long pos) { return static_cast<unsigned char>(Send(e, B::SCI_GETCHARAT, pos)); }

inline std::string TextRange(QsciScintilla& e, long start, long end)
{
  std::string text(static_cast<std::size_t>(end - start) + 1, '\0');
  e.SendScintilla(B::SCI_GETTEXTRANGE, start, end, text.data());
  text.resize(static_cast<std::size_t>(end - start));
  return text;
}

// Width of one character of the text, in pixels.
inline long CharWidth(QsciScintilla& e)
{
  return std::max(1L, e.SendScintilla(B::SCI_TEXTWIDTH, static_cast<unsigned long>(B::STYLE_DEFAULT), "x"));
}

// Tells the frame that the insert/overwrite or selection mode changed.
inline void ModeChanged(TEditorCommandArgs& a)
{
  if (a.State.OnModeChange) a.State.OnModeChange();
}

}  // namespace editorcommands
