#pragma once
// The client area of the main window below the tool bar: MainPanel fills the
// left, then Splitter1 (4 pixels, black), then RightPanel along the right edge
// with a width of its own. Resizing the window changes only MainPanel's width.
// Dragging the splitter changes RightPanel's width and reports the move.

#include <QWidget>
#include <functional>

class TSplitter : public QWidget {
  Q_OBJECT
public:
  static constexpr int Thickness = 4;
  explicit TSplitter(QWidget* parent = nullptr);

  // Called while dragging with the new left edge of the splitter (in the
  // parent's coordinates), and once after the mouse is released.
  std::function<void(int left)> OnDrag;
  std::function<void()> OnMoved;

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  bool FDragging = false;
  int FGrabOffset = 0;
};

class TWorkArea : public QWidget {
  Q_OBJECT
public:
  TWorkArea(QWidget* mainPanel, QWidget* rightPanel, QWidget* parent = nullptr);

  TSplitter* Splitter() const { return FSplitter; }
  int RightWidth() const { return FRightWidth; }
  // Sets RightPanel's width (not below 0) and lays the panels out again.
  void SetRightWidth(int width);
  std::function<void()> OnSplitterMoved;

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  void Arrange();

  QWidget* FMainPanel;
  QWidget* FRightPanel;
  TSplitter* FSplitter;
  int FRightWidth = 294;
};
