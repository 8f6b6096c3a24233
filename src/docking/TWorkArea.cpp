#include "docking/TWorkArea.h"

#include <QMouseEvent>
#include <QPainter>

TSplitter::TSplitter(QWidget* parent)
    : QWidget(parent)
{
  setObjectName("Splitter1");
  setCursor(Qt::SplitHCursor);
}

void TSplitter::paintEvent(QPaintEvent*)
{
  QPainter(this).fillRect(rect(), Qt::black);
}

void TSplitter::mousePressEvent(QMouseEvent* event)
{
  if (event->button() != Qt::LeftButton) return;
  FDragging = true;
  FGrabOffset = event->position().toPoint().x();
}

void TSplitter::mouseMoveEvent(QMouseEvent* event)
{
  if (!FDragging || !parentWidget()) return;
  int left = mapToParent(event->position().toPoint()).x() - FGrabOffset;
  if (OnDrag) OnDrag(left);
}

void TSplitter::mouseReleaseEvent(QMouseEvent* event)
{
  if (!FDragging || event->button() != Qt::LeftButton) return;
  FDragging = false;
  if (OnMoved) OnMoved();
}

TWorkArea::TWorkArea(QWidget* mainPanel, QWidget* rightPanel, QWidget* parent)
    : QWidget(parent), FMainPanel(mainPanel), FRightPanel(rightPanel), FSplitter(new TSplitter(this))
{
  FMainPanel->setParent(this);
  FRightPanel->setParent(this);
  FSplitter->OnDrag = [this](int left) {
    int limit = width() - TSplitter::Thickness;
    left = std::max(0, std::min(left, limit));
    SetRightWidth(width() - TSplitter::Thickness - left);
  };
  FSplitter->OnMoved = [this] {
    if (OnSplitterMoved) OnSplitterMoved();
  };
  setMinimumSize(0, 0);
}

void TWorkArea::SetRightWidth(int width)
{
  FRightWidth = std::max(0, width);
  Arrange();
}

void TWorkArea::resizeEvent(QResizeEvent*)
{
  Arrange();
}

void TWorkArea::Arrange()
{
  const int w = width(), h = height();
  // Right-aligned first, then the splitter beside it, the rest for MainPanel.
  int rightLeft = w - FRightWidth;
  FRightPanel->setGeometry(rightLeft, 0, FRightWidth, h);
  int splitterLeft = std::max(0, rightLeft - TSplitter::Thickness);
  FSplitter->setGeometry(splitterLeft, 0, TSplitter::Thickness, h);
  FMainPanel->setGeometry(0, 0, std::max(0, splitterLeft), h);
}
