#pragma once
// A page control whose pages are frames (TFrame), one frame per tab. Both
// page controls of the main window are of this class. A click on a tab gives
// the focus to its frame (the control in it that last had it). Their tabs are drawn by
// an owner handler (OnDrawTab) and can be dragged: dropped on another page
// control the page moves there, dropped anywhere else its frame floats as a
// window of its own (owned by the main window, so it is freed with it).

#include <QPoint>
#include <QTabWidget>
#include <functional>

class TFrame;
class TFrameTabBar;
class QMimeData;

class TPageControl : public QTabWidget {
  Q_OBJECT
public:
  using TDrawTabEvent = std::function<void(TPageControl& control, int index, QPainter& painter,
                                           const QRect& rect, bool active)>;

  explicit TPageControl(QWidget* parent = nullptr);
  ~TPageControl() override;

  int PageCount() const { return count(); }
  // The frame on page index, or nullptr.
  TFrame* Frame(int index) const;
  int IndexOfFrame(const TFrame* frame) const;
  int ActivePageIndex() const { return currentIndex(); }
  TFrame* ActiveFrame() const { return Frame(currentIndex()); }
  void SetActivePage(int index) { setCurrentIndex(index); }
  // Caption of the active page; nothing without pages.
  void SetActivePageCaption(const QString& caption);
  TFrameTabBar* FrameTabBar() const { return FTabBar; }

  // Docks the frame as a new last page, makes it active and calls its FrameEndDock.
  void DockFrame(TFrame* frame, const QString& caption = QString());
  // Takes the frame's page away; the frame becomes a hidden window of its own.
  void UndockFrame(TFrame* frame);

  // What a tab drag ends in. MoveFrameTo: the page goes to target as its new
  // last, active page (same caption). FloatFrame: the frame leaves its page
  // and shows as a window of its own at globalPos; closing that window docks
  // it back here. Both do nothing for a frame that is not a page of this control.
  void MoveFrameTo(TFrame* frame, TPageControl* target);
  void FloatFrame(TFrame* frame, const QPoint& globalPos);

  // Draws the tab captions; without it the style draws them.
  void SetDrawTabHandler(TDrawTabEvent handler);
  // Asks every tab to be drawn again (after a frame's status changed).
  void InvalidateTabs();

signals:
  void FrameDocked(TFrame* frame);
  void FrameUndocked(TFrame* frame);

protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void StartTabDrag(int index);
  // The frame a drag carries, when it is a page of some page control.
  static TFrame* DraggedFrame(const QMimeData* data, TPageControl** source);
  void DetachPage(TFrame* frame);

  TFrameTabBar* FTabBar;
};
