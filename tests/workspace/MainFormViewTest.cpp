// View > More Help and More Edit, Help > Context sensitive help and About in
// the running main window.

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>
#include <Qsci/qsciscintilla.h>

#include "MainFormFixture.h"
#include "WebBrowserTestSupport.h"
#include "model/TFileType.h"
#include "model/TFileTypes.h"
#include "panes/THelpFrame.h"
#include "panes/TWebBrowser.h"
#include "workspace/TAboutBox.h"

using namespace browsertest;

namespace {

class MainFormViewTest : public MainFormFixture {
protected:
  int Beeps = 0;

  TMainForm& StartCounting()
  {
    TMainForm& form = Start();
    form.OnBeep = [this] { ++Beeps; };
    return form;
  }
  TEditFrame* Open(const std::string& id, const std::string& name, const std::string& bytes)
  {
    return Form().NewEditFrame(id, TURL("file:" + Write(name, bytes)), false);
  }
  static void Caret(TEditFrame& f, long pos)
  {
    f.SynEdit->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(pos));
  }
  THelpFrame& Help() { return *qobject_cast<THelpFrame*>(Form().FHelpFrame); }
  TWebBrowser& Browser() { return *Help().WebBrowser; }
  QUrl Page(const QString& path) { return QUrl::fromLocalFile(QString::fromStdString(Folder) + path); }
  bool WaitForHome() { return WaitForPage(Browser(), Page("manual/index.html")); }
  // Waits until the browser shows page with that fragment (empty: none).
  bool WaitForPageAt(const QString& path, const QString& fragment)
  {
    if (!WaitForPage(Browser(), Page(path))) return false;
    return QTest::qWaitFor([&] { return Browser().url().fragment() == fragment; }, Timeout);
  }
};

}  // namespace

// --- More Help and More Edit -----------------------------------------------------------

TEST_F(MainFormViewTest, MoreHelpAndMoreEditStepTheLayoutByTheTable)
{
  TMainForm& form = Start();
  form.resize(700, 500);
  QApplication::processEvents();
  struct TStep {
    int Before;
    int AfterMoreHelp;
    int AfterMoreEdit;
  };
  for (TStep step : {TStep{0, 0, 1}, TStep{1, 0, 2}, TStep{2, 1, 3}, TStep{3, 2, 3}, TStep{4, 1, 2}}) {
    form.SetLayout(step.Before);
    form.MenuViewMoreHelpClick();
    EXPECT_EQ(form.Layout(), step.AfterMoreHelp) << "More Help from " << step.Before;
    form.SetLayout(step.Before);
    form.MenuViewMoreEditClick();
    EXPECT_EQ(form.Layout(), step.AfterMoreEdit) << "More Edit from " << step.Before;
  }
  // Mode 0 and 3 change nothing, not even the width.
  form.SetLayout(0);
  form.MenuViewMoreHelpClick();
  EXPECT_EQ(form.RightPanel()->width(), 696);
  form.SetLayout(3);
  form.MenuViewMoreEditClick();
  EXPECT_EQ(form.RightPanel()->width(), 2);
  // After the user dragged the splitter: help two thirds, editing two thirds.
  form.Splitter1Moved();
  form.MenuViewMoreHelpClick();
  EXPECT_EQ(form.RightPanel()->width(), 467);
  form.Splitter1Moved();
  form.MenuViewMoreEditClick();
  EXPECT_EQ(form.RightPanel()->width(), 233);
}

TEST_F(MainFormViewTest, HeartbeatDisablesMoreHelpAtFullHelpAndMoreEditAtClosedSideBar)
{
  TMainForm& form = Start();
  form.SetLayout(1);
  form.ToolButton("MoreHelpBtn")->click();
  ASSERT_EQ(form.Layout(), 0);
  form.HeartbeatTimerTimer();
  EXPECT_FALSE(form.Action("MenuViewMoreHelp")->isEnabled());
  EXPECT_FALSE(form.ToolButton("MoreHelpBtn")->isEnabled());
  EXPECT_TRUE(form.Action("MenuViewMoreEdit")->isEnabled());
  for (int i = 0; i < 3; ++i) form.ToolButton("MoreEditBtn")->click();
  ASSERT_EQ(form.Layout(), 3);
  form.HeartbeatTimerTimer();
  EXPECT_FALSE(form.Action("MenuViewMoreEdit")->isEnabled());
  EXPECT_FALSE(form.ToolButton("MoreEditBtn")->isEnabled());
  EXPECT_TRUE(form.Action("MenuViewMoreHelp")->isEnabled());
  EXPECT_TRUE(form.ToolButton("MoreHelpBtn")->isEnabled());
  form.Action("MenuViewMoreHelp")->trigger();
  EXPECT_EQ(form.Layout(), 2);
}

// --- context help -----------------------------------------------------------------------

TEST_F(MainFormViewTest, ContextHelpOpensTheTypesHelpPageAtTheWordUnderTheCaret)
{
  TMainForm& form = StartCounting();
  ASSERT_TRUE(WaitForHome());
  TEditFrame* doc = Open("xml", "a.xml", "<doc>\r\n  <x><![CDATA[a]]></x>\r\n</doc>\r\n");
  FocusEditor(*doc);
  Caret(*doc, 17);  // inside "CDATA"
  form.HeartbeatTimerTimer();
  ASSERT_TRUE(form.Action("MenuHelpContext")->isEnabled());
  form.Action("MenuHelpContext")->trigger();
  EXPECT_TRUE(WaitForPageAt("help/xml/xml.html", "CDATA")) << Browser().url().toString().toStdString();
  EXPECT_EQ(form.SideBarPageControl()->ActiveFrame(), form.FHelpFrame);

  // On blank space: the page without a fragment.
  Caret(*doc, 8);
  form.MenuHelpContextClick();
  EXPECT_TRUE(WaitForPageAt("help/xml/xml.html", QString())) << Browser().url().toString().toStdString();
  // Right behind a word: that word.
  Caret(*doc, 4);
  form.MenuHelpContextClick();
  EXPECT_TRUE(WaitForPageAt("help/xml/xml.html", "doc"));
  EXPECT_EQ(Beeps, 0);
  EXPECT_TRUE(Prompts->Messages.isEmpty());
}

TEST_F(MainFormViewTest, ContextHelpWordsFollowTheEditorsWordCharacters)
{
  TMainForm& form = StartCounting();
  ASSERT_TRUE(WaitForHome());
  TEditFrame* css = Open("css", "a.css", "p { font-size: 1em }\r\n");
  FocusEditor(*css);
  Caret(*css, 8);  // inside "font-size", a CSS word
  form.MenuHelpContextClick();
  EXPECT_TRUE(WaitForPageAt("help/css/css.html", "font-size"));
  TEditFrame* xml = Open("xml", "b.xml", "<a-b/>\r\n");
  FocusEditor(*xml);
  Caret(*xml, 4);  // in XML "-" ends a word
  form.MenuHelpContextClick();
  EXPECT_TRUE(WaitForPageAt("help/xml/xml.html", "b"));
}

TEST_F(MainFormViewTest, HiddenHelpPaneComesBackForContextHelp)
{
  TMainForm& form = StartCounting();
  ASSERT_TRUE(WaitForHome());
  TEditFrame* doc = Open("xml", "a.xml", "<comment/>\r\n");
  form.HideHelp();
  ASSERT_FALSE(TMainForm::PaneShown(form.FHelpFrame));
  FocusEditor(*doc);
  Caret(*doc, 3);
  form.MenuHelpContextClick();
  EXPECT_TRUE(TMainForm::PaneShown(form.FHelpFrame));
  EXPECT_TRUE(WaitForPageAt("help/xml/xml.html", "comment"));
}

TEST_F(MainFormViewTest, ContextHelpWithoutAHelpFileOnlyBeeps)
{
  TMainForm& form = StartCounting();
  ASSERT_TRUE(WaitForHome());
  TEditFrame* doc = Open("xml", "a.xml", "<comment/>\r\n");
  FocusEditor(*doc);
  Caret(*doc, 3);
  TFileType* type = FileTypes().FindById("xml");
  const std::string kept = type->HelpFile;
  for (const std::string& helpFile : {std::string("http://localhost/help/xml.html"), std::string("help/xml/none.html"),
                                      std::string("help/xml")}) {
    type->HelpFile = helpFile;
    Beeps = 0;
    form.MenuHelpContextClick();
    EXPECT_EQ(Beeps, 1) << helpFile;
  }
  type->HelpFile = "";
  form.MenuHelpContextClick();
  type->HelpFile = kept;
  EXPECT_EQ(Beeps, 2);
  // No editor: nothing to look up either.
  form.ShowLog();
  form.FLogFrame->setFocus();
  QApplication::processEvents();
  form.MenuHelpContextClick();
  EXPECT_EQ(Beeps, 3);
  QApplication::processEvents();
  EXPECT_EQ(Browser().url(), Page("manual/index.html"));
  EXPECT_TRUE(Prompts->Messages.isEmpty());
}

TEST_F(MainFormViewTest, PopupHelpAndTheEditorsContextHelpRunContextHelp)
{
  TMainForm& form = StartCounting();
  ASSERT_TRUE(WaitForHome());
  TEditFrame* doc = Open("xml", "a.xml", "<comment/>\r\n");
  FocusEditor(*doc);
  Caret(*doc, 3);
  form.HeartbeatTimerTimer();
  ASSERT_TRUE(form.Action("PopupHelp")->isEnabled());
  form.Action("PopupHelp")->trigger();
  EXPECT_TRUE(WaitForPageAt("help/xml/xml.html", "comment"));

  // A type without help: the menu item is disabled, the pop-up item and the
  // editor's own context-help key still run the command, which beeps.
  FileTypes().FindById("xml")->HelpFile.clear();
  form.HeartbeatTimerTimer();
  EXPECT_FALSE(form.Action("MenuHelpContext")->isEnabled());
  EXPECT_TRUE(form.Action("PopupHelp")->isEnabled());
  form.Action("PopupHelp")->trigger();
  doc->ExecuteCommand(ecContextHelp);
  EXPECT_EQ(Beeps, 2);
}

// --- About ---------------------------------------------------------------------------------

TEST_F(MainFormViewTest, AboutShowsTheNameAndTheBuildsVersionModally)
{
  TMainForm& form = Start();
  QFile cmake(QString(TEST_SOURCE_ROOT) + "/CMakeLists.txt");
  ASSERT_TRUE(cmake.open(QIODevice::ReadOnly));
  QRegularExpressionMatch version =
      QRegularExpression(R"(project\(\w+\s+VERSION\s+([0-9.]+))").match(QString::fromUtf8(cmake.readAll()));
  ASSERT_TRUE(version.hasMatch());

  ASSERT_NE(AboutBox, nullptr);
  EXPECT_EQ(AboutBox->parentWidget(), &form);
  QString title, name, shown;
  bool modal = false, picture = false;
  QTimer::singleShot(0, [&] {
    QWidget* box = QApplication::activeModalWidget();
    if (box != AboutBox) return;
    modal = true;
    title = box->windowTitle();
    name = AboutBox->ProductName->text();
    shown = AboutBox->Version->text();
    picture = !AboutBox->ProgramIcon->pixmap().isNull();
    AboutBox->OKButton->click();
  });
  form.Action("MenuHelpAbout")->trigger();
  EXPECT_TRUE(modal);
  EXPECT_EQ(title, "About XML-Plivek");
  EXPECT_EQ(name, "XML Plivek");
  EXPECT_EQ(shown, "Version " + version.captured(1));
  EXPECT_TRUE(picture);
  EXPECT_FALSE(AboutBox->isVisible());
}

TEST_F(MainFormViewTest, CtrlF1InTheEditorOpensContextHelp)
{
  TMainForm& form = StartCounting();
  ASSERT_TRUE(WaitForHome());
  TEditFrame* doc = Open("xml", "a.xml", "<comment/>\r\n");
  FocusEditor(*doc);
  Caret(*doc, 3);
  form.HeartbeatTimerTimer();
  QTest::keyClick(doc->SynEdit, Qt::Key_F1, Qt::ControlModifier);
  EXPECT_TRUE(WaitForPageAt("help/xml/xml.html", "comment"));
  EXPECT_EQ(Beeps, 0);
  EXPECT_EQ(doc->GetText(), "<comment/>\r\n");
}
