// Search > Find and Replace in the running main window: the modeless dialogs,
// the options they pass to the editor's search, where a search starts and
// what it selects, replace and replace all.

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <Qsci/qsciscintilla.h>

#include "MainFormFixture.h"
#include "dialogs/TFindDialog.h"
#include "dialogs/TReplaceDialog.h"
#include "workspace/EditorSearch.h"

namespace {

using B = QsciScintillaBase;

class MainFormSearchTest : public MainFormFixture {
protected:
  TEditFrame* Open(const std::string& name, const std::string& bytes)
  {
    return Form().NewEditFrame("xml", TURL("file:" + Write(name, bytes)), false);
  }
  static long SelStart(TEditFrame& f) { return f.SynEdit->SendScintilla(B::SCI_GETSELECTIONSTART); }
  static long SelEnd(TEditFrame& f) { return f.SynEdit->SendScintilla(B::SCI_GETSELECTIONEND); }
  static long CaretPos(TEditFrame& f) { return f.SynEdit->SendScintilla(B::SCI_GETCURRENTPOS); }
  static void Caret(TEditFrame& f, long pos) { f.SynEdit->SendScintilla(B::SCI_GOTOPOS, static_cast<unsigned long>(pos)); }
  static void Select(TEditFrame& f, long start, long end)
  {
    f.SynEdit->SendScintilla(B::SCI_SETSEL, static_cast<unsigned long>(start), end);
  }
  // The find dialog, opened by Search > Find, with a text and its options.
  TFindDialog& Find(const QString& text, bool down = true, bool matchCase = false, bool wholeWord = false)
  {
    Form().Action("MenuSearchFind")->trigger();
    TFindDialog& dialog = Form().FindDialog();
    dialog.FindEdit->setText(text);
    (down ? dialog.DownRadio : dialog.UpRadio)->setChecked(true);
    dialog.MatchCaseCheck->setChecked(matchCase);
    dialog.WholeWordCheck->setChecked(wholeWord);
    return dialog;
  }
  TReplaceDialog& Replace(const QString& text, const QString& by)
  {
    Form().Action("MenuSearchReplace")->trigger();
    TReplaceDialog& dialog = Form().ReplaceDialog();
    dialog.FindEdit->setText(text);
    dialog.ReplaceEdit->setText(by);
    return dialog;
  }
};

}  // namespace

TEST_F(MainFormSearchTest, FindOpensTheModelessDialogWithDirectionDown)
{
  TMainForm& form = Start();
  TEditFrame* doc = Open("a.xml", "<a/>\r\n");
  FocusEditor(*doc);
  form.HeartbeatTimerTimer();
  ASSERT_TRUE(form.Action("MenuSearchFind")->isEnabled());
  ASSERT_TRUE(form.Action("MenuSearchReplace")->isEnabled());
  form.Action("MenuSearchFind")->trigger();
  TFindDialog& dialog = form.FindDialog();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(dialog.isModal());
  EXPECT_EQ(dialog.windowTitle(), "Find");
  EXPECT_TRUE(dialog.DownRadio->isChecked());
  EXPECT_FALSE(dialog.FindNextBtn->isEnabled());  // nothing to find yet
  form.Action("MenuSearchReplace")->trigger();
  EXPECT_TRUE(form.ReplaceDialog().isVisible());
  EXPECT_FALSE(form.ReplaceDialog().isModal());
  EXPECT_EQ(form.ReplaceDialog().windowTitle(), "Replace");
}

TEST_F(MainFormSearchTest, FindNextStepsFromMatchToMatchAndStopsQuietly)
{
  Start();
  TEditFrame* doc = Open("a.xml", "ab ab\r\nab\r\n");
  FocusEditor(*doc);
  Caret(*doc, 1);
  TFindDialog& dialog = Find("ab");
  dialog.FindNextBtn->click();
  EXPECT_EQ(SelStart(*doc), 3);
  EXPECT_EQ(SelEnd(*doc), 5);
  EXPECT_EQ(CaretPos(*doc), 5);
  dialog.FindNextBtn->click();
  EXPECT_EQ(SelStart(*doc), 7);
  EXPECT_EQ(SelEnd(*doc), 9);
  // No further match: nothing changes, nothing is said.
  dialog.FindNextBtn->click();
  EXPECT_EQ(SelStart(*doc), 7);
  EXPECT_EQ(SelEnd(*doc), 9);
  EXPECT_TRUE(Prompts->Messages.isEmpty());
  EXPECT_FALSE(doc->FStatus & esModified);
  EXPECT_TRUE(dialog.isVisible());
}

TEST_F(MainFormSearchTest, FindUpSearchesBackwardsWithTheCaretOnTheMatchStart)
{
  Start();
  TEditFrame* doc = Open("a.xml", "ab ab ab\r\n");
  FocusEditor(*doc);
  Caret(*doc, 7);
  TFindDialog& dialog = Find("ab", false);
  dialog.FindNextBtn->click();
  EXPECT_EQ(SelStart(*doc), 3);
  EXPECT_EQ(SelEnd(*doc), 5);
  EXPECT_EQ(CaretPos(*doc), 3);
  dialog.FindNextBtn->click();
  EXPECT_EQ(SelStart(*doc), 0);
  dialog.FindNextBtn->click();
  EXPECT_EQ(SelStart(*doc), 0);
  EXPECT_EQ(SelEnd(*doc), 2);
}

TEST_F(MainFormSearchTest, MatchCaseAndWholeWord)
{
  Start();
  TEditFrame* doc = Open("a.xml", "Item items item\r\n");
  FocusEditor(*doc);
  Caret(*doc, 0);
  Find("item", true, true).FindNextBtn->click();
  EXPECT_EQ(SelStart(*doc), 5);  // "Item" does not match with case
  Caret(*doc, 0);
  Find("item", true, false, true).FindNextBtn->click();
  EXPECT_EQ(SelStart(*doc), 0);  // "Item" is a whole word, any case
  Find("item", true, true, true).FindNextBtn->click();
  EXPECT_EQ(SelStart(*doc), 11);  // "items" is not a whole word
  EXPECT_EQ(SelEnd(*doc), 15);
}

TEST_F(MainFormSearchTest, CharactersBeyondAsciiAreFoundAsTyped)
{
  Start();
  // A Windows-1252 document; positions are those of the editor's UTF-8.
  TEditFrame* doc = Open("a.xml", "<a>caf\xE9</a>\r\n");
  FocusEditor(*doc);
  Caret(*doc, 0);
  Find(QString::fromUtf8("F\u00C9")).FindNextBtn->click();  // in any case
  EXPECT_EQ(SelStart(*doc), 5);
  EXPECT_EQ(SelEnd(*doc), 8);
  Caret(*doc, 12);
  Find(QString::fromUtf8("\u00C9"), false, false, false).FindNextBtn->click();  // up
  EXPECT_EQ(SelStart(*doc), 6);
  EXPECT_EQ(SelEnd(*doc), 8);
  Caret(*doc, 0);
  Find(QString::fromUtf8("\u00C9"), true, false, true).FindNextBtn->click();  // no whole word
  EXPECT_EQ(SelStart(*doc), 0);
  EXPECT_EQ(SelEnd(*doc), 0);

  TEditFrame* utf8 = Open("b.xml", "<a>\xE6\x97\xA5\xE6\x9C\xAC</a>");
  FocusEditor(*utf8);
  Caret(*utf8, 0);
  Replace(QString::fromUtf8("\u672C"), QString::fromUtf8("\u20AC")).ReplaceAllBtn->click();
  EXPECT_EQ(utf8->GetText(), "<a>\xE6\x97\xA5\xE2\x82\xAC</a>");
}

TEST_F(MainFormSearchTest, TextBeyondTheDocumentsCharactersIsFoundNowhere)
{
  // The document's bytes are its characters: a character beyond them stands
  // nowhere in it and must not be taken for the "?" it would be written as.
  Start();
  TEditFrame* doc = Open("a.xml", "<a>what?</a>\r\n");
  FocusEditor(*doc);
  Caret(*doc, 0);
  Find(QString::fromUtf8("\u20AC")).FindNextBtn->click();
  EXPECT_EQ(SelStart(*doc), 0);
  EXPECT_EQ(SelEnd(*doc), 0);
  Replace(QString::fromUtf8("\u20AC"), "EUR").ReplaceAllBtn->click();
  EXPECT_EQ(doc->GetText(), "<a>what?</a>\r\n");
  EXPECT_FALSE(doc->FStatus & esModified);
}

TEST_F(MainFormSearchTest, ReplaceChangesTheSelectedMatchThenTheNextOne)
{
  Start();
  TEditFrame* doc = Open("a.xml", "x a x a x\r\n");
  FocusEditor(*doc);
  Caret(*doc, 0);
  TReplaceDialog& dialog = Replace("x", "yy");
  dialog.FindNextBtn->click();
  EXPECT_EQ(SelStart(*doc), 0);
  EXPECT_EQ(doc->GetText(), "x a x a x\r\n");  // Find Next only searches
  dialog.ReplaceBtn->click();
  EXPECT_EQ(doc->GetText(), "yy a x a x\r\n");
  EXPECT_EQ(CaretPos(*doc), 2);
  EXPECT_EQ(SelStart(*doc), SelEnd(*doc));
  dialog.ReplaceBtn->click();
  EXPECT_EQ(doc->GetText(), "yy a yy a x\r\n");
  EXPECT_TRUE(doc->FStatus & esModified);
}

TEST_F(MainFormSearchTest, ReplaceAllReachesFromTheCaretToTheEndInOneUndoStep)
{
  Start();
  TEditFrame* doc = Open("a.xml", "a.a.a\r\na\r\n");
  FocusEditor(*doc);
  Caret(*doc, 1);
  Replace("a", "aa").ReplaceAllBtn->click();
  EXPECT_EQ(doc->GetText(), "a.aa.aa\r\naa\r\n");
  EXPECT_EQ(CaretPos(*doc), 11);  // behind the last replacement
  Form().MenuEditUndoClick();
  EXPECT_EQ(doc->GetText(), "a.a.a\r\na\r\n");
}

TEST_F(MainFormSearchTest, ReplaceAllCountsAndHonoursTheOptions)
{
  Start();
  TEditFrame* doc = Open("a.xml", "Tag tag tags TAG\r\n");
  FocusEditor(*doc);
  QsciScintilla& editor = *doc->SynEdit;
  Caret(*doc, 0);
  EXPECT_EQ(SearchReplace(editor, "tag", "t", ssoReplaceAll | ssoMatchCase | ssoWholeWord), 1);
  EXPECT_EQ(doc->GetText(), "Tag t tags TAG\r\n");
  Caret(*doc, 0);
  EXPECT_EQ(SearchReplace(editor, "tag", "<\xE9>", ssoReplaceAll | ssoWholeWord), 2);
  EXPECT_EQ(doc->GetText(), "<\xE9> t tags <\xE9>\r\n");
  Caret(*doc, 0);
  EXPECT_EQ(SearchReplace(editor, "none", "x", ssoReplaceAll), 0);
  EXPECT_EQ(SearchReplace(editor, "", "x", ssoReplaceAll), 0);
  EXPECT_EQ(doc->GetText(), "<\xE9> t tags <\xE9>\r\n");
}

TEST_F(MainFormSearchTest, ReplaceAllBackwardsAndWithTheSearchTextInTheReplacement)
{
  Start();
  TEditFrame* doc = Open("a.xml", "aaa b aaa\r\n");
  FocusEditor(*doc);
  QsciScintilla& editor = *doc->SynEdit;
  Caret(*doc, 5);
  // Backwards from the caret: only the first "aaa"; matches found from the end.
  EXPECT_EQ(SearchReplace(editor, "aa", "[aa]", ssoReplaceAll | ssoBackwards), 1);
  EXPECT_EQ(doc->GetText(), "a[aa] b aaa\r\n");
  EXPECT_EQ(CaretPos(*doc), 1);
  // A replacement holding the search text is not searched again.
  Caret(*doc, 0);
  EXPECT_EQ(SearchReplace(editor, "a", "aa", ssoReplaceAll), 6);
  EXPECT_EQ(doc->GetText(), "aa[aaaa] b aaaaaa\r\n");
}

TEST_F(MainFormSearchTest, ReplaceAllActsOnTheEditorActiveWhenClicked)
{
  TMainForm& form = Start();
  TEditFrame* first = Open("a.xml", "x x\r\n");
  TEditFrame* second = Open("b.xml", "x x x\r\n");
  FocusEditor(*first);
  Caret(*first, 0);
  Caret(*second, 0);
  TReplaceDialog& dialog = Replace("x", "y");
  // The user goes back to the window and picks the other tab; the dialog stays.
  FocusEditor(*second);
  ASSERT_TRUE(dialog.isVisible());
  dialog.ReplaceAllBtn->click();
  EXPECT_EQ(first->GetText(), "x x\r\n");
  EXPECT_EQ(second->GetText(), "y y y\r\n");
  // With the dialog itself focused the window's editor is still the target.
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  dialog.FindEdit->setFocus();
  dialog.FindEdit->setText("y");
  dialog.ReplaceEdit->setText("z");
  Caret(*second, 0);
  dialog.ReplaceAllBtn->click();
  EXPECT_EQ(second->GetText(), "z z z\r\n");

  // No editor active (the log pane has the focus): nothing happens.
  form.ShowLog();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  form.FLogFrame->setFocus();
  QApplication::processEvents();
  ASSERT_EQ(form.GetActiveEditFrame(), nullptr);
  dialog.FindEdit->setText("z");
  dialog.ReplaceAllBtn->click();
  EXPECT_EQ(second->GetText(), "z z z\r\n");
  EXPECT_TRUE(Prompts->Messages.isEmpty());
}

TEST_F(MainFormSearchTest, ConfiguredKeysInTheEditorOpenFindAndReplace)
{
  TMainForm& form = Start();
  TEditFrame* doc = Open("a.xml", "<a/>\r\n");
  FocusEditor(*doc);
  form.HeartbeatTimerTimer();
  QTest::keyClick(doc->SynEdit, Qt::Key_F, Qt::ControlModifier);
  EXPECT_TRUE(form.FindDialog().isVisible());
  FocusEditor(*doc);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_R, Qt::ControlModifier);
  EXPECT_TRUE(form.ReplaceDialog().isVisible());
  EXPECT_EQ(doc->GetText(), "<a/>\r\n");
}
