#pragma once
// Runs one long command's work on a worker thread while the window stays
// alive: the work's TWorkProgress is the worker's current progress, the GUI
// thread waits in a local event loop (repainting), and once the work has
// taken ShowDelay a modal window shows the command, its step, how far it got
// and a Cancel button that cancels the progress. While the work runs, the
// user's input is held back (TInputHoldBack) and handed on, in its order,
// once the command has ended: keys typed before the window shows are not
// lost, and none reaches a document the work is reading or writing. The
// window holds the whole application, so no other command starts before the
// work ends. Run returns when the work has ended
// and raises on the GUI thread whatever the work raised (ECancelled when the
// user cancelled it, after logging that the command was cancelled).
//
// The work runs off the GUI thread: it touches no widget and asks the user
// nothing. Timers and requests that would start work of their own while a
// run waits check Busy() and leave it, or hand it to WhenIdle.
//
// Component names (object names): WorkProgressDialog with StepLabel,
// AmountLabel, ProgressBar and CancelButton.

#include <QPointer>
#include <QString>
#include <functional>
#include <type_traits>
#include <utility>

#include "resource/TWorkProgress.h"

class QDialog;
class TInputHoldBack;
class QEventLoop;
class QLabel;
class QProgressBar;
class QWidget;

class TProgressRunner {
public:
  // caption: the command, as the window's title ("Open", "Batch").
  explicit TProgressRunner(const QString& caption, QWidget* parent = nullptr);
  ~TProgressRunner() = default;
  TProgressRunner(const TProgressRunner&) = delete;
  TProgressRunner& operator=(const TProgressRunner&) = delete;

  // Runs work (see above); its result is returned.
  template <typename Work>
  auto Run(Work work) -> decltype(work())
  {
    using TResult = decltype(work());
    if constexpr (std::is_void_v<TResult>) {
      RunWork(std::function<void()>(std::move(work)));
    } else {
      TResult result{};
      RunWork([&result, &work] { result = work(); });
      return result;
    }
  }

  TWorkProgress& Progress() { return FProgress; }
  // The progress window while it shows; nullptr before and after.
  QDialog* Dialog() const { return FDialog; }

  // How long work runs before the progress window shows (milliseconds).
  static int ShowDelay;
  // True while a run waits on the GUI thread.
  static bool Busy();
  // Runs action on the GUI thread once no run waits (now when none does);
  // nothing when context is gone by then.
  static void WhenIdle(QObject* context, std::function<void()> action);

private:
  void RunWork(const std::function<void()>& work);
  void Wait(bool showWindow);
  void ShowDialog();
  void UpdateDialog();
  static void RunIdleActions();

  QString FCaption;
  QPointer<QWidget> FParent;
  TWorkProgress FProgress;
  QEventLoop* FLoop = nullptr;
  QDialog* FDialog = nullptr;
  QLabel* FStepLabel = nullptr;
  QLabel* FAmountLabel = nullptr;
  QProgressBar* FBar = nullptr;
  bool FFinished = false;  // read and written on the GUI thread only
  TInputHoldBack* FHeldInput = nullptr;  // while a run waits
};

// "1.5 MB of 3.0 MB", "3 of 10 files", "512 KB": how far work has got.
QString ProgressAmountText(std::uint64_t done, std::uint64_t total, TProgressUnit unit);
