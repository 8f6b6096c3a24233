// The help and log panes in the running main window: start-up, the View and
// Help commands, the heartbeat, and help-page forms pasting into the open
// document as a user fills them in.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QToolButton>
#include <Qsci/qsciscintilla.h>

#include "MainFormFixture.h"
#include "WebBrowserTestSupport.h"
#include "panes/THelpFrame.h"
#include "panes/TLogDialog.h"
#include "panes/TLogFrame.h"
#include "panes/TWebBrowser.h"
#include "resource/zevlog.h"

using namespace browsertest;

namespace {

class HelpPaneInMainFormTest : public MainFormFixture {
protected:
  THelpFrame& Help() { return *qobject_cast<THelpFrame*>(Form().FHelpFrame); }
  TLogFrame& LogPane() { return *qobject_cast<TLogFrame*>(Form().FLogFrame); }
  TWebBrowser& Browser() { return *Help().WebBrowser; }

  TMainForm& StartAndWaitForHome()
  {
    TMainForm& form = Start();
    EXPECT_TRUE(WaitForPage(Browser(), QUrl::fromLocalFile(QString::fromStdString(Folder) + "manual/index.html")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Help().FTitle == "XML Plivek user manual - XML Plivek"; }, Timeout))
        << Help().FTitle.toStdString();
    return form;
  }

  TEditFrame* Open(const std::string& name, const std::string& bytes)
  {
    return Form().NewEditFrame("xml", TURL("file:" + Write(name, bytes)), false);
  }

  bool ShowPage(const QString& page)
  {
    QString path = QString::fromStdString(Folder) + page;
    Form().ShowHelp(path);
    return WaitForPage(Browser(), QUrl::fromLocalFile(path));
  }

  // Fills one field of a help page's form with typed keys.
  bool Fill(const QString& form, const QString& field, const QString& text)
  {
    return FillField(Browser(), QString("#form-%1 [name=%2]").arg(form, field), text);
  }

  // Presses the form's button and waits until the document's text changed.
  bool Insert(const QString& form, TEditFrame& doc)
  {
    std::string before = doc.GetText();
    if (!Click(Browser(), QString("#form-%1 [type=submit]").arg(form))) return false;
    return QTest::qWaitFor([&] { return doc.GetText() != before; }, Timeout);
  }
};

} // namespace

TEST_F(HelpPaneInMainFormTest, StartUpShowsOnlyTheHelpPageOnTheManual)
{
  TMainForm& form = StartAndWaitForHome();
  ASSERT_EQ(form.SideBarPageControl()->PageCount(), 1);
  EXPECT_EQ(form.SideBarPageControl()->tabText(0), "Help");
  EXPECT_EQ(form.SideBarPageControl()->Frame(0), form.FHelpFrame);
  EXPECT_EQ(form.GetFrameCount(), 1);
  EXPECT_EQ(Browser().url(), QUrl::fromLocalFile(QString::fromStdString(Folder) + "manual/index.html"));
  EXPECT_TRUE(form.FLogFrame->IsFloating());
  EXPECT_FALSE(form.FLogFrame->isVisible());
  EXPECT_EQ(form.FLogFrame->parentWidget(), &form);
  form.HeartbeatTimerTimer();
  EXPECT_TRUE(form.Action("MenuViewHelp")->isChecked());
  EXPECT_FALSE(form.Action("MenuViewLog")->isChecked());
  EXPECT_TRUE(Prompts->Messages.isEmpty());
}

TEST_F(HelpPaneInMainFormTest, FormPastesAtTheCaretOfTheDocument)
{
  TMainForm& form = StartAndWaitForHome();
  TEditFrame* doc = Open("a.xml", "<doc>\r\n</doc>\r\n");
  FocusEditor(*doc);
  doc->SynEdit->setCursorPosition(0, 5);
  ASSERT_TRUE(ShowPage("help/xml/xml.html"));
  ASSERT_TRUE(Fill("comment", "CommentText", "note"));
  ASSERT_TRUE(Insert("comment", *doc));
  EXPECT_EQ(doc->GetText(), "<doc><!-- note -->\r\n</doc>\r\n");
  EXPECT_EQ(QApplication::clipboard()->text(), "<!-- note -->");
  EXPECT_TRUE(doc->FStatus & esModified);
  // The browser had the input: the help pane is the active frame. The
  // cancelled navigation ends a moment after the paste.
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Browser().Busy(); }, Timeout));
  form.HeartbeatTimerTimer();
  EXPECT_EQ(form.GetActiveFrame(), form.FHelpFrame);
  EXPECT_EQ(form.windowTitle(), "XML:Plivek - [XML documents - XML Plivek]");
  EXPECT_TRUE(Help().RefreshBtn->isEnabled());
  EXPECT_FALSE(Help().StopBtn->isEnabled());
}

TEST_F(HelpPaneInMainFormTest, FormReplacesTheSelectionWithTheCharactersTyped)
{
  StartAndWaitForHome();
  TEditFrame* doc = Open("a.xml", "<p>old</p>\r\n");
  FocusEditor(*doc);
  doc->SynEdit->setSelection(0, 3, 0, 6);
  ASSERT_TRUE(ShowPage("help/html/html.html"));
  ASSERT_TRUE(Fill("link", "LinkAddress", "x.html"));
  ASSERT_TRUE(Fill("link", "LinkText", QString::fromUtf8("Né")));
  ASSERT_TRUE(Insert("link", *doc));
  EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("<a href=\"x.html\">Né</a>"));
  // The document gets the characters typed, as after a paste of the same text.
  EXPECT_EQ(doc->GetText(), "<p><a href=\"x.html\">N\xC3\xA9</a></p>\r\n");
}

TEST_F(HelpPaneInMainFormTest, PostFormPastesToo)
{
  StartAndWaitForHome();
  TEditFrame* doc = Open("a.xml", "");
  FocusEditor(*doc);
  ASSERT_TRUE(ShowPage("help/html/html.html"));
  ASSERT_TRUE(Fill("image", "ImageSource", "p.png"));
  ASSERT_TRUE(Fill("image", "ImageText", "P"));
  ASSERT_TRUE(Insert("image", *doc));
  EXPECT_EQ(doc->GetText(), "<img src=\"p.png\" alt=\"P\" />");
}

TEST_F(HelpPaneInMainFormTest, FormWithoutTemplateKeepsTheSelection)
{
  StartAndWaitForHome();
  Write("forms.html", "<html><body>"
                      "<form id=form-bare action=\"http://template.invalid/fill\"><input name=a value=1>"
                      "<input type=submit></form>"
                      "<form id=form-good action=\"http://template.invalid/fill\">"
                      "<input type=hidden name=_text value=\"[a]\"><input name=a value=1><input type=submit></form>"
                      "</body></html>");
  TEditFrame* doc = Open("a.xml", "<keep/>\r\n");
  FocusEditor(*doc);
  doc->SynEdit->selectAll();
  QApplication::clipboard()->setText("mine");
  ASSERT_TRUE(ShowPage("forms.html"));
  ASSERT_TRUE(Click(Browser(), "#form-bare [type=submit]"));
  // A good form afterwards pastes after the untouched text.
  doc->SynEdit->setCursorPosition(0, 7);
  ASSERT_TRUE(Insert("good", *doc));
  EXPECT_EQ(doc->GetText(), "<keep/>[1]\r\n");
  EXPECT_EQ(Browser().url().fileName(), "forms.html");
}

TEST_F(HelpPaneInMainFormTest, PasteGoesToTheSideBarWhenTheHelpPaneIsAmongTheDocuments)
{
  TMainForm& form = StartAndWaitForHome();
  TEditFrame* doc = Open("a.xml", "");
  form.SideBarPageControl()->MoveFrameTo(form.FHelpFrame, form.MainPageControl());
  form.MainPageControl()->MoveFrameTo(doc, form.SideBarPageControl());
  ASSERT_TRUE(ShowPage("help/xml/xml.html"));
  ASSERT_TRUE(Fill("pi", "PiData", "x"));
  ASSERT_TRUE(Insert("pi", *doc));
  EXPECT_EQ(doc->GetText(), "<?xml-stylesheet x?>");
}

TEST_F(HelpPaneInMainFormTest, ViewHelpHidesAndBringsBackTheHomePage)
{
  TMainForm& form = StartAndWaitForHome();
  ASSERT_TRUE(ShowPage("manual/batch.html"));
  form.Action("MenuViewHelp")->trigger();
  EXPECT_EQ(form.SideBarPageControl()->PageCount(), 0);
  EXPECT_FALSE(form.FHelpFrame->isVisible());
  form.HeartbeatTimerTimer();
  EXPECT_FALSE(form.Action("MenuViewHelp")->isChecked());
  form.Action("MenuViewHelp")->trigger();
  EXPECT_TRUE(WaitForPage(Browser(), QUrl::fromLocalFile(QString::fromStdString(Folder) + "manual/index.html")));
  EXPECT_EQ(form.SideBarPageControl()->tabText(0), "Help");
  form.HeartbeatTimerTimer();
  EXPECT_TRUE(form.Action("MenuViewHelp")->isChecked());
  EXPECT_TRUE(Prompts->Messages.isEmpty());
}

TEST_F(HelpPaneInMainFormTest, HelpContentsShowsTheHomePageInFront)
{
  TMainForm& form = StartAndWaitForHome();
  form.Action("MenuViewLog")->trigger();
  EXPECT_EQ(form.SideBarPageControl()->ActiveFrame(), form.FLogFrame);
  ASSERT_TRUE(ShowPage("manual/keys.html"));
  form.Action("MenuViewLog")->trigger();  // the log goes again
  form.Action("MenuHelpContents")->trigger();
  EXPECT_EQ(form.SideBarPageControl()->ActiveFrame(), form.FHelpFrame);
  EXPECT_TRUE(WaitForPage(Browser(), QUrl::fromLocalFile(QString::fromStdString(Folder) + "manual/index.html")));
}

TEST_F(HelpPaneInMainFormTest, ViewLogShowsTheConnectedLog)
{
  TMainForm& form = StartAndWaitForHome();
  AppLog().Log(1, "first");
  form.Action("MenuViewLog")->trigger();
  ASSERT_EQ(form.SideBarPageControl()->PageCount(), 2);
  EXPECT_EQ(form.SideBarPageControl()->tabText(1), "Log");
  EXPECT_EQ(form.SideBarPageControl()->ActiveFrame(), form.FLogFrame);
  form.HeartbeatTimerTimer();
  EXPECT_TRUE(form.Action("MenuViewLog")->isChecked());
  // Another page in front: the pane is still shown, and the menu says so.
  form.SideBarPageControl()->SetActivePage(0);
  form.HeartbeatTimerTimer();
  EXPECT_TRUE(form.Action("MenuViewLog")->isChecked());
  AppLog().Log(4, "not recorded");
  AppLog().SetLevels(TzevLog::MakeLevels({1, 2, 4}));
  EXPECT_TRUE(LogPane().NormalCheckBox->isChecked());
  AppLog().Log(4, "ftp: connect: host");
  EXPECT_EQ(LogPane().Memo->toPlainText(), "first\nftp: connect: host");
  form.Action("MenuViewLog")->trigger();
  EXPECT_EQ(form.SideBarPageControl()->PageCount(), 1);
  form.HeartbeatTimerTimer();
  EXPECT_FALSE(form.Action("MenuViewLog")->isChecked());
  AppLog().SetLevels(TzevLog::MakeLevels({1, 2}));
}

TEST_F(HelpPaneInMainFormTest, ShutdownDetachesTheLogPane)
{
  StartAndWaitForHome();
  EXPECT_TRUE(static_cast<bool>(AppLog().OnLog));
  DestroyForms();
  EXPECT_FALSE(static_cast<bool>(AppLog().OnLog));
  EXPECT_FALSE(static_cast<bool>(AppLog().OnLevelsChange));
  AppLog().Log(1, "after the window"); // reaches only the file
  Started = false;
  StopModules();
}

TEST_F(HelpPaneInMainFormTest, TheLogDialogIsCreatedWithTheForms)
{
  Start();
  ASSERT_NE(LogDialog, nullptr);
  EXPECT_EQ(LogDialog->windowTitle(), "Log Window");
  EXPECT_FALSE(LogDialog->isVisible());
}
