#include "editor/TEditFrame.h"

// The editor frame's keyboard: key presses run their bound command, wait for
// the second stroke of a sequence or are typed, a typed ASCII character
// passing OnKeyPress first.

#include <Qsci/qsciscintilla.h>
#include <QCoreApplication>
#include <QKeyEvent>

#include "platform/VirtualKeys.h"
#include "resource/TScopedSetting.h"

bool TEditFrame::ExecuteCommand(TEditorCommand command, const QString& text)
{
  TEditorCommandArgs args{*SynEdit, FCommandState, text};
  return RunEditorCommand(command, args);
}

// Every key press of the editor comes here first: bound keys run their
// command, a first stroke of a sequence waits for the second, anything else
// is typed as usual.
bool TEditFrame::SynEditKeyDown(QKeyEvent& event)
{
  if (FRetyping || IsModifierKey(event.key())) return false;
  TKeyStrokeReader::TResult stroke = FKeyReader.Press(FKeyBindings, ShortCutFromKeyEvent(event));
  switch (stroke.Kind) {
    case TKeyStrokeReader::TKind::Command:
      ExecuteCommand(stroke.Command, event.text());
      return true;
    case TKeyStrokeReader::TKind::Pending:
      return true;
    case TKeyStrokeReader::TKind::Unbound:
      break;
  }
  if (event.key() == Qt::Key_Escape && SynEdit->isListActive()) {
    SynEdit->cancelList();
    return true;
  }
  // Once configured, the editor's own key map is empty: an unbound key with
  // Ctrl or Alt does nothing (its text is no typing).
  if (FConfigured && (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) return true;
  return TypeKey(event);
}

// A typed ASCII character goes through OnKeyPress first; false lets the
// editor type the key itself (any other character too).
bool TEditFrame::TypeKey(QKeyEvent& event)
{
  QString text = event.text();
  if (!OnKeyPress || text.size() != 1 || !text[0].isPrint() || text[0].unicode() > 0x7F) return false;
  if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  char original = static_cast<char>(text[0].unicode());
  char key = original;
  // The handler may run an event loop (the completion pop-up) in which the
  // frame is closed: the key then goes nowhere.
  QPointer<TEditFrame> alive(this);
  OnKeyPress(*this, key);
  if (!alive) return true;
  if (key == original) return false;
  if (key == 0) return true;
  QKeyEvent retyped(QEvent::KeyPress, 0, event.modifiers(),
                    QString(QChar(static_cast<ushort>(static_cast<unsigned char>(key)))));
  TScopedSetting<bool> retyping(FRetyping, true);
  QCoreApplication::sendEvent(SynEdit, &retyped);
  return true;
}
