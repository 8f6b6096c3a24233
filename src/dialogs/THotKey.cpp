#include "dialogs/THotKey.h"

#include <QContextMenuEvent>
#include <QKeyEvent>

#include "platform/VirtualKeys.h"

THotKey::THotKey(QWidget* parent)
    : QLineEdit(parent)
{
  setReadOnly(true);
  // A read-only line edit still takes the focus and the keys.
  setFocusPolicy(Qt::StrongFocus);
  ShowKey();
}

void THotKey::SetHotKey(TShortCut key)
{
  FHotKey = key;
  ShowKey();
}

void THotKey::ShowKey()
{
  std::string text = ShortCutToText(FHotKey);
  setText(text.empty() ? QString("None") : QString::fromStdString(text));
}

bool THotKey::event(QEvent* event)
{
  // Every key is ours: no shortcut of the window and no focus move with Tab.
  if (event->type() == QEvent::ShortcutOverride) {
    event->accept();
    return true;
  }
  if (event->type() == QEvent::KeyPress) {
    keyPressEvent(static_cast<QKeyEvent*>(event));
    return true;
  }
  return QLineEdit::event(event);
}

void THotKey::keyPressEvent(QKeyEvent* event)
{
  event->accept();
  if (IsModifierKey(event->key())) return;
  TShortCut key = ShortCutFromKeyEvent(*event);
  if (key == scNone) return;
  bool changed = key != FHotKey;
  SetHotKey(key);
  if (changed && OnChange) OnChange();
}

void THotKey::keyReleaseEvent(QKeyEvent* event)
{
  event->accept();
}

void THotKey::contextMenuEvent(QContextMenuEvent* event)
{
  event->accept();
}
