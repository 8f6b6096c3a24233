#include "docking/TFrame.h"

#include "docking/TPageControl.h"

TFrame::TFrame(QWidget* parent)
    : QWidget(parent)
{
}

TPageControl* TFrame::HostPageControl() const
{
  for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
    if (auto* pages = qobject_cast<TPageControl*>(w)) return pages->IndexOfFrame(this) >= 0 ? pages : nullptr;
  }
  return nullptr;
}

bool TFrame::IsFloating() const
{
  return isWindow();
}

void TFrame::FrameEndDock(QWidget*)
{
}

void TFrame::NameDockTarget(QWidget* target, const QString& caption)
{
  if (auto* pages = qobject_cast<TPageControl*>(target)) {
    int index = pages->IndexOfFrame(this);
    if (index >= 0) pages->setTabText(index, caption);
  } else if (target && target->isWindow()) {
    target->setWindowTitle(caption);
  }
}
