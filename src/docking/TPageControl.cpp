#include "docking/TPageControl.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QApplication>
#include <QCursor>
#include <QSet>

#include "docking/TFrame.h"
#include "docking/TFrameTabBar.h"

namespace {

// Every page control alive: a drop finds the control that holds the dragged frame.
QSet<TPageControl*>& PageControls()
{
  static QSet<TPageControl*> controls;
  return controls;
}

// Gives the focus to the control inside frame that last had it, or to its
// first control that takes the focus by clicking.
void FocusInside(TFrame* frame)
{
  QWidget* target = frame->focusWidget();
  if (!target)
    for (QWidget* child : frame->findChildren<QWidget*>())
      if ((child->focusPolicy() & Qt::ClickFocus) && child->isVisibleTo(frame)) {
        target = child;
        break;
      }
  if (target) target->setFocus();
}

}  // namespace

TPageControl::TPageControl(QWidget* parent)
    : QTabWidget(parent), FTabBar(new TFrameTabBar(this))
{
  setTabBar(FTabBar);
  // Bold tab captions by default; the pages keep the normal font.
  QFont bold = FTabBar->font();
  bold.setBold(true);
  FTabBar->setFont(bold);
  setAcceptDrops(true);
  PageControls().insert(this);
  connect(FTabBar, &TFrameTabBar::TabDragRequested, this, &TPageControl::StartTabDrag);
  // A click on a tab makes its page the one the user works in, also when
  // the focus was in the other page control or the tab was current already.
  connect(FTabBar, &QTabBar::tabBarClicked, this, [this](int index) {
    TFrame* frame = Frame(index);
    if (!frame) return;
    setCurrentIndex(index);
    FocusInside(frame);
  });
}

TPageControl::~TPageControl()
{
  PageControls().remove(this);
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
  for (TPageControl* control : PageControls()) frame->removeEventFilter(control);
  if (frame->isWindow()) frame->hide();
  int index = addTab(frame, caption);
  setCurrentIndex(index);
  frame->show();
  frame->FrameEndDock(this);
  emit FrameDocked(frame);
}

void TPageControl::DetachPage(TFrame* frame)
{
  removeTab(IndexOfFrame(frame));
  frame->hide();
  // A window of its own, but still owned by the main window.
  frame->setParent(window(), Qt::Window);
}

void TPageControl::UndockFrame(TFrame* frame)
{
  if (IndexOfFrame(frame) < 0) return;
  DetachPage(frame);
  emit FrameUndocked(frame);
}

void TPageControl::MoveFrameTo(TFrame* frame, TPageControl* target)
{
  int index = IndexOfFrame(frame);
  if (index < 0 || !target || target == this) return;
  QString caption = tabText(index);
  removeTab(index);
  emit FrameUndocked(frame);
  target->DockFrame(frame, caption);
}

void TPageControl::FloatFrame(TFrame* frame, const QPoint& globalPos)
{
  int index = IndexOfFrame(frame);
  if (index < 0) return;
  QString caption = tabText(index);
  QSize size = frame->size();
  DetachPage(frame);
  frame->setWindowTitle(caption);
  frame->installEventFilter(this);
  frame->resize(size);
  frame->move(globalPos);
  frame->show();
  frame->FrameEndDock(frame);
  emit FrameUndocked(frame);
}

bool TPageControl::eventFilter(QObject* watched, QEvent* event)
{
  // Closing a floating frame's window brings the frame back as a page.
  auto* frame = qobject_cast<TFrame*>(watched);
  if (frame && event->type() == QEvent::Close && frame->IsFloating()) {
    event->ignore();
    DockFrame(frame, frame->windowTitle());
    return true;
  }
  return QTabWidget::eventFilter(watched, event);
}

void TPageControl::SetDrawTabHandler(TDrawTabEvent handler)
{
  if (!handler) {
    FTabBar->OnDrawTab = nullptr;
    FTabBar->OnTabFont = nullptr;
  } else {
    FTabBar->OnDrawTab = [this, handler](int index, QPainter& painter, const QRect& rect, bool active) {
      handler(*this, index, painter, rect, active);
    };
    FTabBar->OnTabFont = [this](int) { return FTabBar->font(); };
  }
  InvalidateTabs();
}

void TPageControl::InvalidateTabs()
{
  FTabBar->update();
}

void TPageControl::StartTabDrag(int index)
{
  TFrame* frame = Frame(index);
  if (!frame) return;
  auto* data = new QMimeData;
  data->setData(TFrameTabBar::DragMimeType, QByteArray::number(reinterpret_cast<quintptr>(frame)));
  auto* drag = new QDrag(this);
  drag->setMimeData(data);
  Qt::DropAction action = drag->exec(Qt::MoveAction);
  // Dropped outside the window: the frame floats where the mouse is. Dropped
  // (or the drag cancelled) elsewhere over the window: it stays.
  if (action != Qt::IgnoreAction || IndexOfFrame(frame) < 0) return;
  QWidget* under = QApplication::widgetAt(QCursor::pos());
  if (under && under->window() == window()) return;
  FloatFrame(frame, QCursor::pos());
  frame->activateWindow();
  FocusInside(frame);
}

TFrame* TPageControl::DraggedFrame(const QMimeData* data, TPageControl** source)
{
  if (!data || !data->hasFormat(TFrameTabBar::DragMimeType)) return nullptr;
  quintptr address = data->data(TFrameTabBar::DragMimeType).toULongLong();
  // Only an address that is a page of a live page control is taken.
  for (TPageControl* control : PageControls()) {
    for (int i = 0; i < control->count(); ++i) {
      if (reinterpret_cast<quintptr>(control->widget(i)) == address) {
        if (source) *source = control;
        return control->Frame(i);
      }
    }
  }
  return nullptr;
}

// A page dropped back on its own control stays where it is (but does not float).
void TPageControl::dragEnterEvent(QDragEnterEvent* event)
{
  if (DraggedFrame(event->mimeData(), nullptr))
    event->acceptProposedAction();
  else
    event->ignore();
}

void TPageControl::dragMoveEvent(QDragMoveEvent* event)
{
  if (DraggedFrame(event->mimeData(), nullptr))
    event->acceptProposedAction();
  else
    event->ignore();
}

void TPageControl::dropEvent(QDropEvent* event)
{
  TPageControl* source = nullptr;
  TFrame* frame = DraggedFrame(event->mimeData(), &source);
  if (!frame || !source) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  if (source == this) return;
  source->MoveFrameTo(frame, this);
  FocusInside(frame);
}
