#include "dialogs/THotKey.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QStyle>

#include "platform/VirtualKeys.h"

THotKey::THotKey(QWidget* parent)
    : QLineEdit(parent)
{
  setReadOnly(true);
  // A read-only line edit still takes the focus and the keys.
  setFocusPolicy(Qt::StrongFocus);
  // Every key is a key to record (Backspace and Delete too), so clearing
  // takes a button of its own.
  FClearAction = new QAction(style()->standardIcon(QStyle::SP_LineEditClearButton), "Clear", this);
  FClearAction->setObjectName("ClearKeyAction");
  FClearAction->setToolTip("No key");
  connect(FClearAction, &QAction::triggered, this, &THotKey::Clear);
  addAction(FClearAction, QLineEdit::TrailingPosition);
  ShowKey();
}

void THotKey::SetHotKey(TShortCut key)
{
  FHotKey = key;
  ShowKey();
}

void THotKey::Clear()
{
  ChangeTo(scNone);
}

void THotKey::ChangeTo(TShortCut key)
{
  bool changed = key != FHotKey;
  SetHotKey(key);
  if (changed && OnChange) OnChange();
}

void THotKey::ShowKey()
{
  FClearAction->setEnabled(FHotKey != scNone);
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
  if (key != scNone) ChangeTo(key);
}

void THotKey::keyReleaseEvent(QKeyEvent* event)
{
  event->accept();
}

void THotKey::contextMenuEvent(QContextMenuEvent* event)
{
  event->accept();
  QMenu menu(this);
  menu.addAction(FClearAction);
  menu.exec(event->globalPos());
}
