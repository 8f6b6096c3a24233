#include "workspace/TPageControl.h"

#include <QTabBar>

#include "workspace/TFrame.h"

TPageControl::TPageControl(QWidget* parent)
    : QTabWidget(parent)
{
  QFont bold = font();
  bold.setBold(true);
  setFont(bold);
}

TFrame* TPageControl::Frame(int index) const
{
  if (index < 0 || index >= count()) return nullptr;
  return qobject_cast<TFrame*>(widget(index));
}

int TPageControl::IndexOfFrame(const TFrame* frame) const
{
  for (int i = 0; i < count(); ++i)
    if (widget(i) == frame) return i;
  return -1;
}

void TPageControl::SetActivePageCaption(const QString& caption)
{
  if (currentIndex() >= 0) setTabText(currentIndex(), caption);
}

void TPageControl::DockFrame(TFrame* frame, const QString& caption)
{
  int index = addTab(frame, caption);
  setCurrentIndex(index);
  frame->show();
  frame->FrameEndDock(this);
  emit FrameDocked(frame);
}

void TPageControl::UndockFrame(TFrame* frame)
{
  int index = IndexOfFrame(frame);
  if (index < 0) return;
  removeTab(index);
  frame->hide();
  frame->setParent(nullptr, Qt::Window);
  emit FrameUndocked(frame);
}

void TPageControl::InvalidateTabs()
{
  tabBar()->update();
}
