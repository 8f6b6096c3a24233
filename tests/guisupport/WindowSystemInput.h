#pragma once
// Input as the window system hands it to the program: queued, to be read when
// the program's event loop next looks, the way keys typed and clicks made
// while the program is busy arrive. (QTest's key clicks are delivered at
// once, to a widget, whatever the program is doing.)

#include <QString>
#include <QWidget>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

namespace WindowSystemInput {

using TQueued = QWindowSystemInterface::AsynchronousDelivery;

// Presses and releases key on the window of widget.
inline void QueueKeyClick(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                          const QString& text = QString())
{
  QWindow* window = widget->window()->windowHandle();
  QWindowSystemInterface::handleKeyEvent<TQueued>(window, QEvent::KeyPress, key, modifiers, text);
  QWindowSystemInterface::handleKeyEvent<TQueued>(window, QEvent::KeyRelease, key, modifiers, text);
}

// Types text (letters, digits, blanks) on the window of widget.
inline void QueueKeyClicks(QWidget* widget, const QString& text)
{
  for (QChar c : text) {
    int key = c.toUpper().unicode();  // Qt's key codes of letters, digits and the blank
    QueueKeyClick(widget, key, Qt::NoModifier, QString(c));
  }
}

// Clicks the left button at the middle of widget.
inline void QueueClick(QWidget* widget)
{
  QWindow* window = widget->window()->windowHandle();
  const QPoint local = widget->mapTo(widget->window(), widget->rect().center());
  const QPoint global = window->mapToGlobal(local);
  QWindowSystemInterface::handleMouseEvent<TQueued>(window, local, global, Qt::LeftButton, Qt::LeftButton,
                                                    QEvent::MouseButtonPress);
  QWindowSystemInterface::handleMouseEvent<TQueued>(window, local, global, Qt::NoButton, Qt::LeftButton,
                                                    QEvent::MouseButtonRelease);
}

}  // namespace WindowSystemInput
