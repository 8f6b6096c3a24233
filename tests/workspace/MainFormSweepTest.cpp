// The heartbeat's working-copy sweep, and the window and heartbeat waiting
// while a command's work runs.

#include <QTimer>
#include <Qsci/qsciscintilla.h>
#include <atomic>
#include <chrono>
#include <thread>

#include "MainFormFixture.h"
#include "platform/TProgressRunner.h"
#include "resource/zevlog.h"

namespace {

using TAnswer = TPrompter::TAnswer;

class MainFormSweepTest : public MainFormFixture {
protected:
  TEditFrame* Open(const std::string& name, const std::string& bytes = "<doc/>\r\n")
  {
    return Form().NewEditFrame("xml", TURL("file:" + Write(name, bytes)), false);
  }
};

// --- the working-copy sweep ----------------------------------------------------------------

TEST_F(MainFormSweepTest, FailingSweepIsReportedOnceAndTheCountStillResets)
{
  TMainForm& form = Start();
  double now = 45000.0;
  TEditFrame::SetClock([&now] { return now; });
  std::filesystem::create_directory(Folder + "sub");
  TEditFrame* frame = Open("sub/a.xml");
  frame->MarkModified();
  // The document's folder is gone: its working copy cannot be written.
  std::filesystem::remove_all(Folder + "sub");
  now += 1.0 / 288 + 1.0 / 86400;
  form.SetHeartbeatCount(100);
  form.HeartbeatTimerTimer();
  EXPECT_EQ(form.HeartbeatCount(), 0);
  EXPECT_EQ(Prompts->Messages.size(), 1);
  form.SetHeartbeatCount(100);
  form.HeartbeatTimerTimer();
  EXPECT_EQ(form.HeartbeatCount(), 0);
  EXPECT_EQ(Prompts->Messages.size(), 1);
  form.HeartbeatTimerTimer();
  EXPECT_EQ(form.HeartbeatCount(), 1);
  // Once it works again a later failure is reported again.
  std::filesystem::create_directory(Folder + "sub");
  form.SetHeartbeatCount(100);
  form.HeartbeatTimerTimer();
  EXPECT_TRUE(std::filesystem::is_regular_file(frame->FBackupFileName));
  EXPECT_EQ(Prompts->Messages.size(), 1);
  TEditFrame::SetClock(nullptr);
}

TEST_F(MainFormSweepTest, OneFailingWorkingCopyKeepsTheSweepGoing)
{
  TMainForm& form = Start();
  double now = 45000.0;
  TEditFrame::SetClock([&now] { return now; });
  TEditFrame* first = Open("a.xml");
  std::filesystem::create_directory(Folder + "sub");
  TEditFrame* last = Open("sub/b.xml");
  for (TEditFrame* frame : {first, last}) {
    frame->SynEdit->setText("<changed/>");
    frame->MarkModified();
  }
  // The last frame, swept first, cannot write its working copy.
  std::filesystem::remove_all(Folder + "sub");
  now += 1.0 / 288 + 1.0 / 86400;
  EXPECT_THROW(form.BackupFrames(), std::exception);
  EXPECT_EQ(ReadTestFile(first->FBackupFileName), "<changed/>");
  TEditFrame::SetClock(nullptr);
}

TEST_F(MainFormSweepTest, SweepRewritesOnlyOldModifiedWorkingCopies)
{
  TMainForm& form = Start();
  double now = 45000.0;
  TEditFrame::SetClock([&now] { return now; });
  TEditFrame* frame = Open("a.xml");
  frame->SynEdit->setText("<x/>");
  frame->MarkModified();
  now += 1.0 / 288 / 2;
  form.BackupFrames();
  EXPECT_EQ(ReadTestFile(frame->FBackupFileName), "<doc/>\r\n");
  now += 1.0 / 288;
  form.BackupFrames();
  EXPECT_EQ(ReadTestFile(frame->FBackupFileName), "<x/>");

  // A document dragged out of the tabs is a document all the same.
  form.MainPageControl()->FloatFrame(frame, QPoint(40, 40));
  frame->SynEdit->setText("<floating/>");
  frame->MarkModified();
  now += 2.0 / 288;
  form.BackupFrames();
  EXPECT_EQ(ReadTestFile(frame->FBackupFileName), "<floating/>");
  TEditFrame::SetClock(nullptr);
}

// While a command's work runs on its worker thread, the window does not close
// and the heartbeat leaves the documents and their working copies alone.
TEST_F(MainFormSweepTest, WindowAndHeartbeatWaitForACommandsWork)
{
  TMainForm& form = Start();
  TEditFrame* frame = Open("a.xml");
  frame->SynEdit->setText("<x/>");
  frame->MarkModified();
  form.SetHeartbeatCount(100);
  Prompts->Answers = {TAnswer::No};  // were it asked: close without saving
  bool closed = true;
  int countDuringRun = -1;
  std::atomic<bool> release{false};
  QTimer::singleShot(0, &form, [&] {
    closed = form.close();
    form.HeartbeatTimerTimer();
    countDuringRun = form.HeartbeatCount();
    release = true;
  });
  TProgressRunner("Open").Run([&release] {
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  });
  EXPECT_FALSE(closed);
  EXPECT_TRUE(form.isVisible());
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("|").toStdString();
  EXPECT_EQ(countDuringRun, 100);
  form.HeartbeatTimerTimer();
  EXPECT_EQ(form.HeartbeatCount(), 0);  // the sweep ran once the work had ended
}

}  // namespace
