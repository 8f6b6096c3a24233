#pragma once
// A dockable frame: the content of one tab page of a page control (an editor
// frame, the help pane or the log pane). Dragged out of its page control it
// floats as a window of its own.

#include <QWidget>

class TPageControl;

class TFrame : public QWidget {
  Q_OBJECT
public:
  explicit TFrame(QWidget* parent = nullptr);

  // The page control holding this frame as one of its pages; nullptr when the
  // frame floats or sits elsewhere.
  TPageControl* HostPageControl() const;
  // True when the frame is a window of its own (dragged out or hidden away).
  bool IsFloating() const;

  // Called after the frame was docked: target is the page control that took
  // it, or the floating window that now holds it.
  virtual void FrameEndDock(QWidget* target);

protected:
  // Gives the frame's own tab in target (a page control), or target itself
  // (the floating window holding the frame), that caption.
  void NameDockTarget(QWidget* target, const QString& caption);
};
