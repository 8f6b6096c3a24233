// Edit > Cut, Copy, Paste, Select All, Undo and Redo in the running main
// window: on the active editor (the clipboard carries the document's
// characters as text), on the help pane's browser when it is the active
// frame, and on nothing otherwise.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QToolButton>
#include <Qsci/qsciscintilla.h>

#include "MainFormFixture.h"
#include "WebBrowserTestSupport.h"
#include "panes/THelpFrame.h"
#include "panes/TWebBrowser.h"

using namespace browsertest;

namespace {

class MainFormEditTest : public MainFormFixture {
protected:
  TEditFrame* Open(const std::string& name, const std::string& bytes)
  {
    return Form().NewEditFrame("xml", TURL("file:" + Write(name, bytes)), false);
  }
  // Selects the bytes from start to end (positions in the document).
  static void Select(TEditFrame& frame, long start, long end)
  {
    frame.SynEdit->SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(start), end);
  }
  static void Caret(TEditFrame& frame, long pos)
  {
    frame.SynEdit->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(pos));
  }

  THelpFrame& Help() { return *qobject_cast<THelpFrame*>(Form().FHelpFrame); }
  TWebBrowser& Browser() { return *Help().WebBrowser; }
  // The manual's home page loaded, with the browser holding the input.
  void FocusHelpPage()
  {
    ASSERT_TRUE(WaitForPage(Browser(), QUrl::fromLocalFile(QString::fromStdString(Folder) + "manual/index.html")));
    Form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Form()));
    InputWidget(Browser())->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(Form().GetActiveFrame(), Form().FHelpFrame);
  }
};

}  // namespace

TEST_F(MainFormEditTest, CopyAndPasteCarryTheDocumentsCharacters)
{
  Start();
  // A Windows-1252 document: the bytes from 0xA0 on are the characters
  // U+00A0 to U+00FF, two bytes each in the editor's text.
  std::string line = "<a>";
  QString characters;
  for (int c = 0xA0; c <= 0xFF; ++c) {
    line += static_cast<char>(c);
    characters += QChar(c);
  }
  line += "</a>";
  TEditFrame* doc = Open("a.xml", line + "\r\n");
  FocusEditor(*doc);
  Select(*doc, 3, 3 + 2 * 96);
  Form().MenuEditCopyClick();
  EXPECT_EQ(QApplication::clipboard()->text(), characters);
  Caret(*doc, 3 + 2 * 96 + 4);
  Form().MenuEditPasteClick();
  EXPECT_EQ(doc->GetText(), line + line.substr(3, 96) + "\r\n");
  EXPECT_TRUE(doc->FStatus & esModified);

  // Text of other programs arrives as its characters.
  TEditFrame* utf8 = Open("b.xml", "<b/>\n");
  FocusEditor(*utf8);
  QApplication::clipboard()->setText(QString::fromUtf8("Caf\u00E9 \u65E5\u672C"));
  Caret(*utf8, 4);
  Form().MenuEditPasteClick();
  EXPECT_EQ(utf8->GetText(), "<b/>Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC\n");
}

TEST_F(MainFormEditTest, CutRemovesAndPasteRestoresTheText)
{
  Start();
  TEditFrame* doc = Open("a.xml", "<p>caf\xE9 \xFF\x80</p>\r\n");
  FocusEditor(*doc);
  Select(*doc, 3, 14);  // "caf\u00E9 \u00FF\u20AC" in the editor's UTF-8
  Form().MenuEditCutClick();
  EXPECT_EQ(doc->GetText(), "<p></p>\r\n");
  EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("caf\u00E9 \u00FF\u20AC"));
  Caret(*doc, 0);
  Form().MenuEditPasteClick();
  EXPECT_EQ(doc->GetText(), "caf\xE9 \xFF\x80<p></p>\r\n");
}

TEST_F(MainFormEditTest, PastedLineEndsBecomeTheDocumentsOwn)
{
  Start();
  TEditFrame* doc = Open("a.xml", "<a/>\r\n");
  FocusEditor(*doc);
  QApplication::clipboard()->setText("x\ny\rz");
  Caret(*doc, 4);
  Form().MenuEditPasteClick();
  EXPECT_EQ(doc->GetText(), "<a/>x\r\ny\r\nz\r\n");
  TEditFrame* lf = Open("b.xml", "<b/>\n<c/>\r\n");
  FocusEditor(*lf);
  QApplication::clipboard()->setText("x\r\ny");
  Caret(*lf, 4);
  Form().MenuEditPasteClick();
  EXPECT_EQ(lf->GetText(), "<b/>x\ny\n<c/>\r\n");
}

TEST_F(MainFormEditTest, UndoAndRedoStepThroughTheEdits)
{
  Start();
  TEditFrame* doc = Open("a.xml", "<a/>\r\n");
  FocusEditor(*doc);
  Select(*doc, 1, 2);
  Form().MenuEditCutClick();
  ASSERT_EQ(doc->GetText(), "</>\r\n");
  Form().MenuEditUndoClick();
  EXPECT_EQ(doc->GetText(), "<a/>\r\n");
  Form().MenuEditredoClick();
  EXPECT_EQ(doc->GetText(), "</>\r\n");
  Form().MenuEditUndoClick();
  Form().MenuEditUndoClick();  // nothing left to undo: the opened text stays
  EXPECT_EQ(doc->GetText(), "<a/>\r\n");
}

TEST_F(MainFormEditTest, SelectAllSelectsTheWholeDocument)
{
  Start();
  TEditFrame* doc = Open("a.xml", "<a>\r\n\xE9</a>\r\n");
  FocusEditor(*doc);
  Form().MenuEditSelectAllClick();
  EXPECT_EQ(doc->SynEdit->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART), 0);
  EXPECT_EQ(doc->SynEdit->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND), 13);  // the e acute is 2 bytes
}

TEST_F(MainFormEditTest, MenuItemsButtonsAndPopupItemsRunTheCommands)
{
  TMainForm& form = Start();
  TEditFrame* doc = Open("a.xml", "<one/>\r\n");
  FocusEditor(*doc);
  form.HeartbeatTimerTimer();
  EXPECT_FALSE(form.Action("MenuEditCut")->isEnabled());
  EXPECT_TRUE(form.Action("MenuEditSelectAll")->isEnabled());

  form.Action("MenuEditSelectAll")->trigger();
  form.HeartbeatTimerTimer();
  ASSERT_TRUE(form.Action("MenuEditCopy")->isEnabled());
  EXPECT_TRUE(form.ToolButton("CopyBtn")->isEnabled());
  EXPECT_TRUE(form.Action("PopupCut")->isEnabled());
  form.ToolButton("CopyBtn")->click();
  EXPECT_EQ(QApplication::clipboard()->text(), "<one/>\r\n");

  form.Action("PopupCut")->trigger();
  EXPECT_EQ(doc->GetText(), "");
  form.HeartbeatTimerTimer();
  ASSERT_TRUE(form.Action("MenuEditPaste")->isEnabled());
  form.Action("PopupPaste")->trigger();
  EXPECT_EQ(doc->GetText(), "<one/>\r\n");
  form.HeartbeatTimerTimer();
  ASSERT_TRUE(form.Action("MenuEditUndo")->isEnabled());
  form.Action("MenuEditUndo")->trigger();
  EXPECT_EQ(doc->GetText(), "");
  form.HeartbeatTimerTimer();
  ASSERT_TRUE(form.Action("MenuEditredo")->isEnabled());
  form.Action("MenuEditredo")->trigger();
  EXPECT_EQ(doc->GetText(), "<one/>\r\n");
  EXPECT_TRUE(Prompts->Messages.isEmpty());
}

TEST_F(MainFormEditTest, HelpPaneSelectAllAndCopyTakeThePageText)
{
  TMainForm& form = Start();
  FocusHelpPage();
  QApplication::clipboard()->clear();
  form.MenuEditSelectAllClick();
  ASSERT_TRUE(WaitFor(Browser(), "window.getSelection().toString().length > 0"));
  QString pageText = Evaluate(Browser(), "document.body.innerText").toString().trimmed();
  form.HeartbeatTimerTimer();
  EXPECT_TRUE(form.Action("MenuEditCopy")->isEnabled());
  EXPECT_TRUE(form.Action("MenuEditSelectAll")->isEnabled());
  form.MenuEditCopyClick();
  ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::clipboard()->text().isEmpty(); }, Timeout));
  QString copied = QApplication::clipboard()->text().trimmed();
  EXPECT_TRUE(copied.contains("XML Plivek")) << copied.left(200).toStdString();
  EXPECT_EQ(copied.simplified(), pageText.simplified());
  EXPECT_TRUE(Prompts->Messages.isEmpty());
}

TEST_F(MainFormEditTest, HelpPaneCopyPastesIntoAnEditorAsText)
{
  TMainForm& form = Start();
  TEditFrame* doc = Open("a.xml", "");
  FocusHelpPage();
  ASSERT_TRUE(WaitFor(Browser(), "(function(){var r=document.createRange();"
                                 "r.selectNodeContents(document.querySelector('h1'));"
                                 "var s=window.getSelection();s.removeAllRanges();s.addRange(r);"
                                 "return s.toString().length>0;})()"));
  QString heading = Evaluate(Browser(), "document.querySelector('h1').innerText").toString();
  QApplication::clipboard()->clear();
  form.MenuEditCopyClick();
  ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::clipboard()->text().isEmpty(); }, Timeout));
  FocusEditor(*doc);
  form.MenuEditPasteClick();
  EXPECT_EQ(doc->GetText(), heading.toUtf8().toStdString());
}

TEST_F(MainFormEditTest, WithoutEditorOrHelpPaneTheCommandsDoNothing)
{
  TMainForm& form = Start();
  TEditFrame* doc = Open("a.xml", "<a/>\r\n");
  form.ShowLog();
  form.FLogFrame->setFocus();
  QApplication::clipboard()->setText("x");
  for (auto command : {&TMainForm::MenuEditCutClick, &TMainForm::MenuEditCopyClick, &TMainForm::MenuEditPasteClick,
                       &TMainForm::MenuEditSelectAllClick, &TMainForm::MenuEditUndoClick,
                       &TMainForm::MenuEditredoClick})
    (form.*command)();
  EXPECT_EQ(doc->GetText(), "<a/>\r\n");
  EXPECT_EQ(QApplication::clipboard()->text(), "x");
  EXPECT_TRUE(Prompts->Messages.isEmpty());
}
