#pragma once
// A page control whose pages are frames (TFrame), one frame per tab. Both
// page controls of the main window are of this class; they draw their own
// tabs through OnDrawTab and accept frames dragged from the other.

#include <QTabWidget>
#include <functional>

class TFrame;

class TPageControl : public QTabWidget {
  Q_OBJECT
public:
  explicit TPageControl(QWidget* parent = nullptr);

  int PageCount() const { return count(); }
  // The frame on page index, or nullptr.
  TFrame* Frame(int index) const;
  int IndexOfFrame(const TFrame* frame) const;
  int ActivePageIndex() const { return currentIndex(); }
  TFrame* ActiveFrame() const { return Frame(currentIndex()); }
  void SetActivePage(int index) { setCurrentIndex(index); }
  // Caption of the active page; nothing without pages.
  void SetActivePageCaption(const QString& caption);

  // Docks the frame as a new last page, makes it active and calls its FrameEndDock.
  void DockFrame(TFrame* frame, const QString& caption = QString());
  // Takes the frame's page away; the frame becomes a window of its own (hidden).
  void UndockFrame(TFrame* frame);

  // Asks every tab to be drawn again (after a frame's status changed).
  void InvalidateTabs();

signals:
  void FrameDocked(TFrame* frame);
  void FrameUndocked(TFrame* frame);
};
