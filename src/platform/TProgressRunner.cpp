#include "platform/TProgressRunner.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <deque>
#include <exception>
#include <thread>

#include "platform/TInputHoldBack.h"
#include "resource/zevlog.h"

namespace {

constexpr int kRefreshInterval = 100;  // ms between looks at the progress
constexpr std::uint8_t kCancelledLevel = 2;

int RunsWaiting = 0;

struct TIdleAction {
  QPointer<QObject> Context;
  std::function<void()> Action;
};
std::deque<TIdleAction>& IdleActions()
{
  static std::deque<TIdleAction> actions;
  return actions;
}

// The progress window: closing it (Escape, the title bar) cancels the work
// like its button; it goes away only when the work has ended.
class TProgressWindow : public QDialog {
public:
  TProgressWindow(QWidget* parent, TWorkProgress& progress) : QDialog(parent), FProgress(progress) {}
  void reject() override { FProgress.Cancel(); }

private:
  TWorkProgress& FProgress;
};

QString SizeText(std::uint64_t bytes)
{
  constexpr double kKilo = 1024.0;
  if (bytes < 1024 * 1024) return QString::number(static_cast<double>(bytes) / kKilo, 'f', bytes < 10240 ? 1 : 0) + " KB";
  return QString::number(static_cast<double>(bytes) / (kKilo * kKilo), 'f', 1) + " MB";
}

}  // namespace

QString ProgressAmountText(std::uint64_t done, std::uint64_t total, TProgressUnit unit)
{
  if (unit == TProgressUnit::files) {
    if (total == 0) return QString::number(done) + (done == 1 ? " file" : " files");
    return QString::number(done) + " of " + QString::number(total) + " files";
  }
  if (total == 0) return SizeText(done);
  return SizeText(done) + " of " + SizeText(total);
}

int TProgressRunner::ShowDelay = 500;

TProgressRunner::TProgressRunner(const QString& caption, QWidget* parent)
    : FCaption(caption), FParent(parent ? parent : QApplication::activeWindow())
{
}

bool TProgressRunner::Busy()
{
  return RunsWaiting > 0;
}

void TProgressRunner::WhenIdle(QObject* context, std::function<void()> action)
{
  if (!Busy()) {
    action();
    return;
  }
  IdleActions().push_back({context, std::move(action)});
}

void TProgressRunner::RunIdleActions()
{
  // An action may start a run of its own: the rest wait for that one.
  while (!Busy() && !IdleActions().empty()) {
    TIdleAction next = std::move(IdleActions().front());
    IdleActions().pop_front();
    if (next.Context) next.Action();
  }
}

void TProgressRunner::RunWork(const std::function<void()>& work)
{
  // Called again while a run waits (an event of its loop): the GUI thread is
  // the one free to do it, under the same progress.
  if (Busy()) {
    TWorkProgressScope scope(FProgress);
    work();
    return;
  }
  std::exception_ptr failure;
  QObject relay;  // hands the end of the work to the GUI thread
  FFinished = false;
  // Typing and clicks wait for the work; they go on when it has ended (this
  // goes last, after the progress window).
  TInputHoldBack heldInput;
  FHeldInput = &heldInput;
  QPointer<QWidget> activeBefore = QApplication::activeWindow();
  ++RunsWaiting;
  std::thread worker([this, &work, &failure, &relay] {
    TWorkProgressScope scope(FProgress);
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    QMetaObject::invokeMethod(
        &relay,
        [this] {
          FFinished = true;
          if (FLoop) FLoop->quit();
        },
        Qt::QueuedConnection);
  });
  Wait(false);
  if (!FFinished) {
    ShowDialog();
    Wait(true);
  }
  worker.join();
  --RunsWaiting;
  FHeldInput = nullptr;
  if (FDialog) {
    delete FDialog;
    FDialog = nullptr;
    QApplication::restoreOverrideCursor();
    // The window the user worked in is active again, as before the
    // progress window took the activation.
    if (activeBefore && activeBefore->isVisible() && !QApplication::activeWindow()) activeBefore->activateWindow();
  }
  if (!IdleActions().empty()) QTimer::singleShot(0, qApp, &TProgressRunner::RunIdleActions);
  if (!failure) return;
  try {
    std::rethrow_exception(failure);
  } catch (const ECancelled&) {
    AppLog().Log(kCancelledLevel, FCaption.toLocal8Bit().toStdString() + ": cancelled.");
    throw;
  }
}

// Input meanwhile is held back (but for the progress window's own).
void TProgressRunner::Wait(bool showWindow)
{
  QEventLoop loop;
  QTimer timer;
  if (showWindow) {
    QObject::connect(&timer, &QTimer::timeout, &loop, [this] { UpdateDialog(); });
    timer.start(kRefreshInterval);
  } else {
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.setSingleShot(true);
    timer.start(ShowDelay);
  }
  FLoop = &loop;
  if (!FFinished) loop.exec();
  FLoop = nullptr;
}

void TProgressRunner::ShowDialog()
{
  auto* dialog = new TProgressWindow(FParent, FProgress);
  FDialog = dialog;
  dialog->setObjectName("WorkProgressDialog");
  dialog->setWindowTitle(FCaption);
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  auto* layout = new QVBoxLayout(dialog);
  FStepLabel = new QLabel(dialog);
  FStepLabel->setObjectName("StepLabel");
  FStepLabel->setTextFormat(Qt::PlainText);
  FStepLabel->setMinimumWidth(360);
  FBar = new QProgressBar(dialog);
  FBar->setObjectName("ProgressBar");
  FBar->setTextVisible(false);
  FAmountLabel = new QLabel(dialog);
  FAmountLabel->setObjectName("AmountLabel");
  auto* cancel = new QPushButton("Cancel", dialog);
  cancel->setObjectName("CancelButton");
  QObject::connect(cancel, &QPushButton::clicked, dialog, [this, cancel] {
    FProgress.Cancel();
    cancel->setEnabled(false);
  });
  layout->addWidget(FStepLabel);
  layout->addWidget(FBar);
  layout->addWidget(FAmountLabel);
  layout->addWidget(cancel, 0, Qt::AlignRight);
  UpdateDialog();
  if (FHeldInput) FHeldInput->LetThrough(dialog);
  // The command's hourglass is no cursor to reach Cancel with.
  QApplication::setOverrideCursor(Qt::ArrowCursor);
  dialog->show();
}

void TProgressRunner::UpdateDialog()
{
  if (!FDialog) return;
  const std::uint64_t done = FProgress.Done();
  const std::uint64_t total = FProgress.Total();
  QString step = QString::fromLocal8Bit(FProgress.Step().c_str());
  if (FProgress.Cancelled()) step = "Cancelling... " + step;
  FStepLabel->setText(step);
  if (total == 0) {
    FBar->setRange(0, 0);  // busy
  } else {
    constexpr int kSteps = 1000;
    FBar->setRange(0, kSteps);
    FBar->setValue(static_cast<int>(std::min<std::uint64_t>(done, total) * kSteps / total));
  }
  FAmountLabel->setText(done == 0 && total == 0 ? QString() : ProgressAmountText(done, total, FProgress.Unit()));
}
