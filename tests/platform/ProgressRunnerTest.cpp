// The runner of long work: the work on a worker thread, the progress window
// after a while with its Cancel, the work's failure raised on the GUI thread,
// and the waiting of other work for the run's end.

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

#include "ProgressWatch.h"
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
