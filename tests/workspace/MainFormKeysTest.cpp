// Commands given with real keys on the main window, the way a user types
// them: a key and a command's shortcut in one batch of events (no heartbeat
// in between), shortcuts right after the focus moved into a document, a
// shortcut while the completion pop-up is open, Undo after a save, and the
// first Ctrl+End in a big document.

#include <QAction>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <Qsci/qsciscintilla.h>

#include "MainFormFixture.h"
#include "dialogs/TFindDialog.h"
#include "editor/TAutoCompleteForm.h"

namespace {

class MainFormKeysTest : public MainFormFixture {
protected:
  // The program started with its heartbeat stopped: every command state the
  // keys meet is the one the window keeps by itself.
  void SetUp() override
  {
    MainFormFixture::SetUp();
    Start();
    Form().HeartbeatTimer()->stop();
  }

  // The focus in the log pane: no document is the active frame.
  void FocusLogPane()
  {
    Form().ShowLog();
    auto* memo = Form().FLogFrame->findChild<QPlainTextEdit*>();
    ASSERT_NE(memo, nullptr);
    memo->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(Form().GetActiveEditFrame(), nullptr);
  }
};

}  // namespace

// A saved document: Save is off until the first key changes it; Ctrl+S in
// the same batch of events as that key saves it.
TEST_F(MainFormKeysTest, SaveRightAfterTheFirstKey)
{
  TEditFrame& doc = OpenXml("a.xml", "<a/>\n");
  Form().HeartbeatTimerTimer();
  ASSERT_FALSE(Form().Action("MenuFileSave")->isEnabled());
  Type("x");
  Press(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(ReadTestFile(Folder + "a.xml"), "x<a/>\n");
  EXPECT_FALSE(doc.FStatus & esModified);
  // The window follows at once: caption and Save.
  EXPECT_EQ(Form().windowTitle().toStdString(), "XML:Plivek - [file:" + Folder + "a.xml]");
  Type("y");
  EXPECT_TRUE(Form().Action("MenuFileSave")->isEnabled());
  EXPECT_TRUE(Form().ToolButton("SaveBtn")->isEnabled());
  EXPECT_EQ(Form().windowTitle().toStdString(), "XML:Plivek - [file:" + Folder + "a.xml]*");
}

// The document commands are there as soon as the focus moves into a
// document, before any heartbeat: Find, Check Well Formed, Close.
TEST_F(MainFormKeysTest, DocumentCommandsRightAfterTheFocusMovesIntoADocument)
{
  TEditFrame& doc = OpenXml("a.xml", "<a/>\n");
  FocusLogPane();
  Form().HeartbeatTimerTimer();
  ASSERT_FALSE(Form().Action("MenuSearchFind")->isEnabled());
  FocusEditor(doc);
  Press(Qt::Key_F, Qt::ControlModifier);
  EXPECT_TRUE(Form().FindDialog().isVisible());
  Form().FindDialog().close();

  FocusLogPane();
  Form().HeartbeatTimerTimer();
  FocusEditor(doc);
  Press(Qt::Key_F9);
  EXPECT_TRUE(doc.FStatus & esWellFormed) << Prompts->Messages.join("\n").toStdString();

  FocusLogPane();
  Form().HeartbeatTimerTimer();
  FocusEditor(doc);
  Press(Qt::Key_F4, Qt::ControlModifier);
  EXPECT_EQ(Form().MainPageControl()->PageCount(), 0);
}

// Ctrl+S while the entity pop-up is open: the pop-up closes (the "&" is
// typed as it is) and the document is saved.
TEST_F(MainFormKeysTest, SaveWhileTheCompletionPopupIsOpen)
{
  TEditFrame& doc = OpenXml("a.xml", "");
  ASSERT_NE(AutoCompleteForm, nullptr);
  bool opened = false;
  bool stayedOpen = false;
  QTimer::singleShot(0, AutoCompleteForm, [&] {
    opened = AutoCompleteForm->isVisible();
    Press(Qt::Key_S, Qt::ControlModifier);
    stayedOpen = AutoCompleteForm->FRunning;
    if (stayedOpen) Press(Qt::Key_Escape);
  });
  Type("&");
  QApplication::processEvents();
  EXPECT_TRUE(opened);
  EXPECT_FALSE(stayedOpen);
  EXPECT_EQ(ReadTestFile(Folder + "a.xml"), "&");
  EXPECT_FALSE(doc.FStatus & esModified);
}

// A save ends what one Undo takes back: after "C", Save, "Y", one Ctrl+Z
// leaves the document as saved, and not modified.
TEST_F(MainFormKeysTest, UndoStopsAtTheSave)
{
  TEditFrame& doc = OpenXml("a.xml", "<a/>\n");
  Type("C");
  Press(Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(ReadTestFile(Folder + "a.xml"), "C<a/>\n");
  Type("Y");
  Press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(doc.GetText(), "C<a/>\n");
  EXPECT_FALSE(doc.FStatus & esModified);
  EXPECT_EQ(Form().windowTitle().toStdString(), "XML:Plivek - [file:" + Folder + "a.xml]");
  // Once more: back to the text as opened, which is not the file's.
  Press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(doc.GetText(), "<a/>\n");
  EXPECT_TRUE(doc.FStatus & esModified);
  // Redo returns to the save point.
  Press(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(doc.GetText(), "C<a/>\n");
  EXPECT_FALSE(doc.FStatus & esModified);
}

// Ctrl+End in a freshly opened big document moves the caret at once: the
// highlighter styles only the text in view, and the text before it in the
// background, not all the document before the window is drawn again.
TEST_F(MainFormKeysTest, CtrlEndInABigDocumentLeavesTheStylingToTheBackground)
{
  std::string text = "<orders>\n";
  // Big enough that the styling the editor does in one go (65,536 lines at
  // most) leaves most of it for later.
  while (text.size() < (16u << 20)) text += "  <order id=\"1\"><customer>Kunde</customer></order>\n";
  text += "</orders>\n";
  TEditFrame& doc = OpenXml("big.xml", text);
  QsciScintilla& editor = *doc.SynEdit;
  const long length = editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
  Press(Qt::Key_End, Qt::ControlModifier);
  editor.viewport()->repaint();
  EXPECT_EQ(editor.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), length);
  EXPECT_LT(editor.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED), length / 2);
  // The rest follows while the program waits for input.
  while (editor.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED) < length) QApplication::processEvents();
}
