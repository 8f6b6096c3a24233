// The runner of long work: the work on a worker thread, the progress window
// after a while with its Cancel, the work's failure raised on the GUI thread,
// the waiting of other work for the run's end, and the input held back while
// the work runs.

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

#include "ProgressWatch.h"
#include "WindowSystemInput.h"
#include "platform/TProgressRunner.h"

namespace {

// Reports and polls as long work does, until it is cancelled.
void WorkUntilCancelled()
{
  TWorkProgress* progress = TWorkProgress::Current();
  ASSERT_NE(progress, nullptr);
  progress->SetStep("Reading ftp://host/a.xml");
  for (std::uint64_t done = 0;; done += 1024) {
    progress->Report(done, 10 * 1024 * 1024);
    TWorkProgress::CheckCurrent();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace

TEST(ProgressRunnerTest, CancelInTheWindowStopsTheWorkAndRaisesOnTheGuiThread)
{
  QString step, amount;
  bool busyMeanwhile = false;
  TProgressWatch watch([&](QDialog& dialog) {
    step = dialog.findChild<QLabel*>("StepLabel")->text();
    amount = dialog.findChild<QLabel*>("AmountLabel")->text();
    busyMeanwhile = TProgressRunner::Busy();
  });
  TProgressRunner runner("Open");
  std::thread::id worker;
  EXPECT_THROW(runner.Run([&worker] {
    worker = std::this_thread::get_id();
    WorkUntilCancelled();
  }),
               ECancelled);
  EXPECT_TRUE(watch.Cancelled());
  EXPECT_NE(worker, std::this_thread::get_id());
  EXPECT_EQ(step.toStdString(), "Reading ftp://host/a.xml");
  EXPECT_TRUE(amount.endsWith(" of 10.0 MB")) << amount.toStdString();
  EXPECT_TRUE(busyMeanwhile);
  EXPECT_FALSE(TProgressRunner::Busy());
  EXPECT_EQ(runner.Dialog(), nullptr);
}

TEST(ProgressRunnerTest, ResultAndFailureComeBackWithoutAWindowForShortWork)
{
  TProgressWatch watch;
  TProgressRunner runner("Check");
  EXPECT_EQ(runner.Run([] { return 42; }), 42);
  try {
    runner.Run([] { throw std::runtime_error("Line: 3 not well-formed"); });
    ADD_FAILURE() << "no failure raised";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Line: 3 not well-formed");
  }
  QApplication::processEvents();
  EXPECT_FALSE(watch.Seen());
}

TEST(ProgressRunnerTest, WorkAskedForDuringARunWaitsForItsEnd)
{
  TProgressWatch watch;
  TProgressRunner runner("Batch");
  bool ranDuringRun = false;
  bool ran = false;
  QTimer::singleShot(0, qApp, [&] {
    TProgressRunner::WhenIdle(qApp, [&] {
      ran = true;
      ranDuringRun = TProgressRunner::Busy();
    });
  });
  runner.Run([] { std::this_thread::sleep_for(std::chrono::milliseconds(200)); });
  EXPECT_FALSE(ran);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ran; }, 5000));
  EXPECT_FALSE(ranDuringRun);
}

// Input the window system gives while work runs, before its progress window
// shows (typing, a command's key, a click), is not handed to the program
// during the work, nor thrown away when the progress window shows: it
// arrives after the run, in its order, where it was aimed.
TEST(ProgressRunnerTest, InputBeforeTheWindowShowsArrivesAfterTheRun)
{
  QWidget window;
  auto* edit = new QLineEdit(&window);
  auto* button = new QPushButton("Go", &window);
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(edit);
  layout->addWidget(button);
  int commands = 0;
  int clicks = 0;
  bool ranDuringRun = false;
  QAction command(&window);
  command.setShortcut(QKeySequence("Ctrl+K"));
  window.addAction(&command);
  QObject::connect(&command, &QAction::triggered, [&] {
    ++commands;
    ranDuringRun = ranDuringRun || TProgressRunner::Busy();
    edit->insert("|");
  });
  QObject::connect(button, &QPushButton::clicked, [&] {
    ++clicks;
    ranDuringRun = ranDuringRun || TProgressRunner::Busy();
  });
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  edit->setFocus();

  QString textWhenShown = "not shown";
  TProgressWatch watch([&](QDialog&) { textWhenShown = edit->text(); });
  QTimer::singleShot(0, &window, [&] {
    WindowSystemInput::QueueKeyClicks(edit, "ab");
    WindowSystemInput::QueueKeyClick(edit, Qt::Key_K, Qt::ControlModifier);
    WindowSystemInput::QueueKeyClicks(edit, "c");
    WindowSystemInput::QueueClick(button);
  });
  TProgressRunner runner("Save", &window);
  EXPECT_THROW(runner.Run(WorkUntilCancelled), ECancelled);
  EXPECT_EQ(textWhenShown, "");
  EXPECT_TRUE(QTest::qWaitFor([&] { return clicks > 0; }, 5000));
  EXPECT_EQ(edit->text(), "ab|c");
  EXPECT_EQ(commands, 1);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(ranDuringRun);
}
