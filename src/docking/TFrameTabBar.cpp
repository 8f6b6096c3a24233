#include "docking/TFrameTabBar.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStyleOptionTab>
#include <QStylePainter>

TFrameTabBar::TFrameTabBar(QWidget* parent)
    : QTabBar(parent)
{
  setElideMode(Qt::ElideNone);
  setUsesScrollButtons(true);
}

void TFrameTabBar::paintEvent(QPaintEvent* event)
{
  if (!OnDrawTab) {
    QTabBar::paintEvent(event);
    return;
  }
  QStylePainter painter(this);
  // The current tab last, so its shape overlaps its neighbours as usual.
  auto drawTab = [&](int index) {
    QStyleOptionTab option;
    initStyleOption(&option, index);
    option.text.clear();
    painter.drawControl(QStyle::CE_TabBarTabShape, option);
    painter.save();
    painter.setPen(palette().color(QPalette::WindowText));
    OnDrawTab(index, painter, tabRect(index), index == currentIndex());
    painter.restore();
  };
  for (int i = 0; i < count(); ++i)
    if (i != currentIndex()) drawTab(i);
  if (currentIndex() >= 0) drawTab(currentIndex());
}

QSize TFrameTabBar::tabSizeHint(int index) const
{
  QSize size = QTabBar::tabSizeHint(index);
  if (!OnTabFont) return size;
  // Room for the widest drawing of the caption (bold italic) plus the margins.
  QFont font = OnTabFont(index);
  font.setBold(true);
  font.setItalic(true);
  QFontMetrics metrics(font);
  size.setWidth(std::max(size.width(), metrics.horizontalAdvance(tabText(index)) + 16));
  size.setHeight(std::max(size.height(), metrics.height() + 8));
  return size;
}

void TFrameTabBar::mousePressEvent(QMouseEvent* event)
{
  FDragIndex = event->button() == Qt::LeftButton ? tabAt(event->position().toPoint()) : -1;
  FDragStart = event->position().toPoint();
  QTabBar::mousePressEvent(event);
}

void TFrameTabBar::mouseMoveEvent(QMouseEvent* event)
{
  if (FDragIndex >= 0 && (event->buttons() & Qt::LeftButton) &&
      (event->position().toPoint() - FDragStart).manhattanLength() > 2 * QApplication::startDragDistance()) {
    int index = FDragIndex;
    FDragIndex = -1;
    emit TabDragRequested(index);
    return;
  }
  QTabBar::mouseMoveEvent(event);
}

void TFrameTabBar::mouseReleaseEvent(QMouseEvent* event)
{
  FDragIndex = -1;
  QTabBar::mouseReleaseEvent(event);
}
