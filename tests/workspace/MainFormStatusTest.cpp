// What the window shows of the active document: the caret's position panel
// (room for long line numbers, the position of the document now active) and
// the document a click on a tab makes active, with the caption and commands.

#include <QAction>
#include <QLabel>
#include <QTabBar>
#include <Qsci/qsciscintilla.h>

#include "MainFormFixture.h"

namespace {

using B = QsciScintillaBase;

class MainFormStatusTest : public MainFormFixture {
protected:
  void SetUp() override
  {
    MainFormFixture::SetUp();
    Start();
    Form().HeartbeatTimer()->stop();
  }

  QLabel* Panel(int index) { return Form().findChild<QLabel*>(QString("StatusPanel%1").arg(index)); }

  // The editor reports its caret when it updates.
  static void Settle(TEditFrame& frame)
  {
    frame.SynEdit->viewport()->repaint();
    QApplication::processEvents();
  }

  static void ClickTab(TPageControl* pages, TFrame* frame)
  {
    QTabBar* bar = pages->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(pages->IndexOfFrame(frame)).center());
    QApplication::processEvents();
  }

  std::string Caption(const std::string& name) const { return "XML:Plivek - [file:" + Folder + name + "]"; }
};

}  // namespace

// Line 1,300,001, column 17: the panel is wide enough for all of it.
TEST_F(MainFormStatusTest, PositionPanelHoldsSevenDigitLineNumbers)
{
  TEditFrame& doc = OpenXml("long.xml", std::string(1300000, '\n') + "0123456789abcdef");
  doc.SynEdit->SendScintilla(B::SCI_DOCUMENTEND);
  Settle(doc);
  QLabel* panel = Panel(0);
  ASSERT_EQ(panel->text(), "17:1300001");
  EXPECT_GE(panel->contentsRect().width(), panel->fontMetrics().horizontalAdvance(panel->text()));
}

// Switching documents shows the position of the document now active, not
// the one of the document before.
TEST_F(MainFormStatusTest, PositionPanelFollowsTheActiveDocument)
{
  TEditFrame& a = OpenXml("a.xml", "<a>\n  <b/>\n  <c/>\n</a>\n");
  TEditFrame& b = OpenXml("b.xml", "<b/>\n");
  FocusEditor(a);
  a.SynEdit->setCursorPosition(2, 4);
  Settle(a);
  ASSERT_EQ(Form().PanelText(0), "5:3");
  ClickTab(Form().MainPageControl(), &b);
  ASSERT_EQ(Form().GetActiveEditFrame(), &b);
  EXPECT_EQ(Form().PanelText(0), "1:1");
  ClickTab(Form().MainPageControl(), &a);
  ASSERT_EQ(Form().GetActiveEditFrame(), &a);
  EXPECT_EQ(Form().PanelText(0), "5:3");
}

// The caret in a document docked in the side bar: a click on the tab of the
// main area's document makes that one the active document, even when its
// tab is the current one there already.
TEST_F(MainFormStatusTest, ClickOnAMainTabMakesItsDocumentActive)
{
  TEditFrame& main = OpenXml("main.xml", "<m/>\n");
  TEditFrame& side = OpenXml("side.xml", "<s/>\n");
  Form().MainPageControl()->MoveFrameTo(&side, Form().SideBarPageControl());
  FocusEditor(side);
  Type("x");
  Form().HeartbeatTimerTimer();
  ASSERT_EQ(Form().windowTitle().toStdString(), Caption("side.xml") + "*");
  ASSERT_EQ(Form().MainPageControl()->ActiveFrame(), &main);

  ClickTab(Form().MainPageControl(), &main);
  EXPECT_EQ(Form().GetActiveEditFrame(), &main);
  EXPECT_EQ(QApplication::focusWidget(), main.SynEdit);
  EXPECT_EQ(Form().windowTitle().toStdString(), Caption("main.xml"));
  EXPECT_FALSE(Form().Action("MenuFileSave")->isEnabled());
  // Typing goes there.
  Type("y");
  EXPECT_EQ(main.GetText(), "y<m/>\n");
}
