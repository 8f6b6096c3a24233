// The log pane: its check boxes and the log's levels, and what the memo shows.

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "resource/ProgramFile.h"
#include "resource/zevlog.h"
#include "TestSupport.h"
#include "docking/TPageControl.h"
#include "panes/TLogDialog.h"
#include "panes/TLogFrame.h"

namespace {

class LogFrameTest : public ::testing::Test {
protected:
  void SetUp() override { Frame.ConnectLog(Log); }

  QStringList MemoLines() const { return Frame.Memo->toPlainText().split('\n'); }
  static TzevLog::TLevels Levels(std::initializer_list<int> levels) { return TzevLog::MakeLevels(levels); }

  TzevLog Log;
  TLogFrame Frame;
};

} // namespace

TEST_F(LogFrameTest, BoxesStartUncheckedAndTheMemoReadOnly)
{
  EXPECT_FALSE(Frame.ErrorCheckBox->isChecked());
  EXPECT_FALSE(Frame.NormalCheckBox->isChecked());
  EXPECT_FALSE(Frame.DetailCheckBox->isChecked());
  EXPECT_EQ(Frame.ErrorCheckBox->text(), "Error");
  EXPECT_EQ(Frame.NormalCheckBox->text(), "Normal");
  EXPECT_EQ(Frame.DetailCheckBox->text(), "Detail");
  EXPECT_TRUE(Frame.Memo->isReadOnly());
  EXPECT_EQ(Frame.Memo->objectName(), "Memo");
}

TEST_F(LogFrameTest, ClickingDetailAloneSetsOneTwoFive)
{
  int changes = 0;
  Log.OnLevelsChange = [&](TzevLog& sender) {
    ++changes;
    Frame.LevelsChanged(sender);
  };
  QTest::mouseClick(Frame.DetailCheckBox, Qt::LeftButton, {}, QPoint(4, Frame.DetailCheckBox->height() / 2));
  EXPECT_TRUE(Frame.DetailCheckBox->isChecked());
  EXPECT_EQ(Log.Levels, Levels({1, 2, 5}));
  EXPECT_EQ(changes, 1);
  QTest::mouseClick(Frame.DetailCheckBox, Qt::LeftButton, {}, QPoint(4, Frame.DetailCheckBox->height() / 2));
  EXPECT_EQ(Log.Levels, Levels({1, 2}));
  EXPECT_EQ(changes, 2);
  EXPECT_FALSE(Frame.ErrorCheckBox->isChecked());
}

TEST_F(LogFrameTest, EveryClickSetsLevelsOneAndTwo)
{
  Log.SetLevels(Levels({0, 3, 7}));
  Frame.NormalCheckBox->setChecked(true);
  Frame.ErrorCheckBox->setChecked(false);
  Frame.ErrorCheckBoxClick();
  EXPECT_EQ(Log.Levels, Levels({1, 2, 4}));
}

TEST_F(LogFrameTest, OutsideChangeChecksTheMatchingBoxes)
{
  Frame.ErrorCheckBox->setChecked(true);
  Frame.DetailCheckBox->setChecked(true);
  Log.SetLevels(Levels({1, 2, 4}));
  EXPECT_FALSE(Frame.ErrorCheckBox->isChecked());
  EXPECT_TRUE(Frame.NormalCheckBox->isChecked());
  EXPECT_FALSE(Frame.DetailCheckBox->isChecked());
  EXPECT_EQ(Log.Levels, Levels({1, 2, 4}));
}

TEST_F(LogFrameTest, LevelFourShowsOnlyWhileNormalIsChecked)
{
  Log.Log(4, "hidden");
  Log.Log(1, "first");
  Frame.NormalCheckBox->click();
  EXPECT_EQ(Log.Levels, Levels({1, 2, 4}));
  Log.Log(4, "shown");
  Frame.NormalCheckBox->click();
  Log.Log(4, "hidden again");
  Log.Log(1, "last");
  EXPECT_EQ(MemoLines(), QStringList({"first", "shown", "last"}));
}

TEST_F(LogFrameTest, MultiLineMessagesShowAsSeveralLines)
{
  Log.Log(1, "USER anonymous\r\n331 Password required\r\nPASS x");
  Log.Log(1, "a\nb\rc");
  EXPECT_EQ(MemoLines(), QStringList({"USER anonymous", "331 Password required", "PASS x", "a", "b", "c"}));
  EXPECT_EQ(Frame.Memo->blockCount(), 6);
}

// A line takes the memo time that grows with the square of its length (a
// megabyte took over a minute, the program stuck): a long line is shown up
// to MaxLineLength characters, with what was left out counted.
TEST_F(LogFrameTest, AVeryLongLineIsShownCut)
{
  Log.Log(1, "head\n" + std::string(TLogFrame::MaxLineLength + 12345, 'x') + "\ntail");
  QStringList lines = MemoLines();
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[0], "head");
  EXPECT_TRUE(lines[1].startsWith(QString(TLogFrame::MaxLineLength, 'x') + " ")) << lines[1].left(20).toStdString();
  EXPECT_LT(lines[1].size(), TLogFrame::MaxLineLength + 100);
  EXPECT_TRUE(lines[1].contains("12345 more characters")) << lines[1].mid(TLogFrame::MaxLineLength).toStdString();
  EXPECT_EQ(lines[2], "tail");
}

TEST_F(LogFrameTest, MessagesAreBytes)
{
  Log.Log(1, "caf\xC3\xA9");   // valid UTF-8
  Log.Log(1, "caf\xE9");       // one byte per character
  EXPECT_EQ(MemoLines(), QStringList({QString::fromUtf8("café"), QString::fromUtf8("café")}));
}

TEST_F(LogFrameTest, KeepsTheMostRecentTenThousandLines)
{
  for (int i = 0; i < TLogFrame::MaxLines + 250; ++i) Log.Log(1, "line " + std::to_string(i));
  EXPECT_EQ(Frame.Memo->blockCount(), TLogFrame::MaxLines);
  QStringList lines = MemoLines();
  EXPECT_EQ(lines.first(), "line 250");
  EXPECT_EQ(lines.last(), QString("line %1").arg(TLogFrame::MaxLines + 249));
}

TEST_F(LogFrameTest, TypingDoesNotChangeTheMemo)
{
  Log.Log(1, "kept");
  Frame.Memo->setFocus();
  QTest::keyClicks(Frame.Memo, "typed");
  QTest::keyClick(Frame.Memo, Qt::Key_Backspace);
  EXPECT_EQ(Frame.Memo->toPlainText(), "kept");
}

TEST(LogFrame, DestroyedPaneIsDetachedFromTheLog)
{
  TzevLog log;
  {
    TLogFrame frame;
    frame.ConnectLog(log);
    EXPECT_TRUE(static_cast<bool>(log.OnLog));
  }
  EXPECT_FALSE(static_cast<bool>(log.OnLog));
  EXPECT_FALSE(static_cast<bool>(log.OnLevelsChange));
  log.Log(1, "after the pane"); // reaches nothing
  log.SetLevels(TzevLog::MakeLevels({1, 2, 5}));
}

TEST(LogFrame, WithoutConnectedLogTheBoxesSetTheApplicationLog)
{
  SetProgramFileName(MakeTempFolder() + "xmlplivek");
  TzevLog::TLevels before = AppLog().Levels;
  {
    TLogFrame frame;
    frame.ErrorCheckBox->setChecked(true);
    frame.ErrorCheckBoxClick();
    EXPECT_EQ(AppLog().Levels, TzevLog::MakeLevels({1, 2, 3}));
  }
  AppLog().SetLevels(before);
  SetProgramFileName("");
}

TEST(LogFrame, DockingNamesTheTabOrWindowLog)
{
  TPageControl pages;
  auto* first = new TLogFrame;
  pages.DockFrame(first, "x");
  EXPECT_EQ(pages.tabText(0), "Log");
  pages.UndockFrame(first);
  first->FrameEndDock(first);
  EXPECT_EQ(first->windowTitle(), "Log");
  delete first;
}

TEST(LogDialog, IsASizeableLogWindow)
{
  TLogDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "Log Window");
  EXPECT_EQ(dialog.size(), QSize(516, 402));
  EXPECT_TRUE(dialog.OKBtn->isDefault());
  EXPECT_EQ(dialog.OKBtn->text(), "OK");
  EXPECT_EQ(dialog.CancelBtn->text(), "Cancel");
  EXPECT_TRUE(dialog.isSizeGripEnabled());
  dialog.show();
  QTest::mouseClick(dialog.CancelBtn, Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  dialog.show();
  QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}
