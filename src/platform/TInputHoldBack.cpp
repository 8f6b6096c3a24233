#include "platform/TInputHoldBack.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWindow>
#include <functional>
#include <memory>

namespace {

// Refused: touches, pens and drags, whose gestures make no sense later.
enum class TKind { Other, Key, Pointer, Refused };

TKind KindOf(QEvent::Type type)
{
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
      return TKind::Key;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
      return TKind::Pointer;
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      return TKind::Refused;
    default:
      return TKind::Other;
  }
}

// What makes event again for its later delivery. The points of a pointer
// event are shared with the pointing device's state, which later events
// change: a click is made again from its values when it is delivered.
std::function<std::unique_ptr<QEvent>()> Remake(const QEvent& event)
{
  switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
      const auto& m = static_cast<const QMouseEvent&>(event);
      return [type = m.type(), position = m.position(), scene = m.scenePosition(), global = m.globalPosition(),
              button = m.button(), buttons = m.buttons(), modifiers = m.modifiers(), source = m.source(),
              device = m.pointingDevice(), time = m.timestamp()] {
        auto made = std::make_unique<QMouseEvent>(type, position, scene, global, button, buttons, modifiers, source,
                                                  device);
        made->setTimestamp(time);
        return std::unique_ptr<QEvent>(std::move(made));
      };
    }
    case QEvent::Wheel: {
      const auto& w = static_cast<const QWheelEvent&>(event);
      return [position = w.position(), global = w.globalPosition(), pixels = w.pixelDelta(), angle = w.angleDelta(),
              buttons = w.buttons(), modifiers = w.modifiers(), phase = w.phase(), inverted = w.inverted(),
              source = w.source(), device = w.pointingDevice(), time = w.timestamp()] {
        auto made = std::make_unique<QWheelEvent>(position, global, pixels, angle, buttons, modifiers, phase, inverted,
                                                  source, device);
        made->setTimestamp(time);
        return std::unique_ptr<QEvent>(std::move(made));
      };
    }
    default: {
      std::shared_ptr<QEvent> copy(event.clone());
      return [copy] { return std::unique_ptr<QEvent>(copy->clone()); };
    }
  }
}

}  // namespace

TInputHoldBack::TInputHoldBack()
{
  qApp->installEventFilter(this);
}

TInputHoldBack::~TInputHoldBack()
{
  qApp->removeEventFilter(this);
  if (FHeld.empty()) return;
  // Delivered one after the other once the event loop runs again, after the
  // command that held the input back.
  auto held = std::make_shared<std::vector<THeld>>(std::move(FHeld));
  QMetaObject::invokeMethod(
      qApp,
      [held] {
        for (THeld& input : *held) {
          if (!input.Target) continue;
          std::unique_ptr<QEvent> event = input.Make();
          QCoreApplication::sendEvent(input.Target, event.get());
        }
      },
      Qt::QueuedConnection);
}

bool TInputHoldBack::PassesThrough(QObject* target) const
{
  if (!FOpen) return false;
  if (auto* widget = qobject_cast<QWidget*>(target)) return widget->window() == FOpen;
  if (auto* window = qobject_cast<QWindow*>(target)) return window == FOpen->windowHandle();
  return false;
}

bool TInputHoldBack::eventFilter(QObject* watched, QEvent* event)
{
  const TKind kind = KindOf(event->type());
  if (kind == TKind::Other || PassesThrough(watched)) return false;
  if (kind == TKind::Refused) {
    event->ignore();
    return true;
  }
  // A key the window system gives a window is aimed at the control that has
  // the focus in it.
  QObject* target = watched;
  if (auto* window = qobject_cast<QWindow*>(watched); window && kind == TKind::Key)
    if (QObject* focus = window->focusObject()) target = focus;
  Hold(target, *event);
  return true;
}

void TInputHoldBack::Hold(QObject* target, const QEvent& event)
{
  FHeld.push_back({target, Remake(event)});
}
