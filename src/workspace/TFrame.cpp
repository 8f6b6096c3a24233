#include "workspace/TFrame.h"

#include "workspace/TPageControl.h"

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
