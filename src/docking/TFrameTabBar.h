#pragma once
// The tab bar of a page control: draws each tab's frame with the style and
// leaves the caption to a drawing handler (bold, italic...), and starts a drag
// when a tab is pulled away, so a page can move to the other page control or
// float as a window of its own.

#include <QPoint>
#include <QTabBar>
#include <functional>

class TFrameTabBar : public QTabBar {
  Q_OBJECT
public:
  // Draws the caption of tab index inside rect; active is the current tab.
  using TDrawTabEvent = std::function<void(int index, QPainter& painter, const QRect& rect, bool active)>;
  // Gives the font a tab's caption is drawn with (for the tab's size).
  using TTabFontEvent = std::function<QFont(int index)>;

  explicit TFrameTabBar(QWidget* parent = nullptr);

  TDrawTabEvent OnDrawTab;
  TTabFontEvent OnTabFont;

  // The MIME type of a dragged page: the text is the page's frame address.
  static constexpr const char* DragMimeType = "application/x-xmlplivek-frame";

signals:
  // A tab was pulled far enough for a drag: the owner starts it.
  void TabDragRequested(int index);

protected:
  void paintEvent(QPaintEvent* event) override;
  QSize tabSizeHint(int index) const override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  int FDragIndex = -1;
  QPoint FDragStart;
};
