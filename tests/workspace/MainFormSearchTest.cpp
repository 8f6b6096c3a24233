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
#include "editor/EditorSearch.h"
#include "platform/TProgressRunner.h"
#include "ProgressWatch.h"

namespace {

using B = QsciScintillaBase;

std::string Repeated(const std::string& text, int count)
{
  std::string result;
  for (int i = 0; i < count; ++i) result += text;
  return result;
}

// Counts the insertions and deletions the editor makes.
class TEditCounter {
public:
  explicit TEditCounter(QsciScintilla& editor)
  {
    FConnection = QObject::connect(&editor, &QsciScintillaBase::SCN_MODIFIED,
                                   [this](int, int type, const char*, int, int, int, int, int, int, int) {
                                     if (type & (B::SC_MOD_BEFOREINSERT | B::SC_MOD_BEFOREDELETE)) ++Count;
                                   });
  }
  ~TEditCounter() { QObject::disconnect(FConnection); }
  int Count = 0;

private:
  QMetaObject::Connection FConnection;
};

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
  // The replacement's byte 0xE9 is no UTF-8, so the editor's text is looked
  // at as it is: Save (and GetText) would refuse it, as it would open again
  // as Windows-1252 "<\xC3\xA9>".
  EXPECT_EQ(SearchReplace(editor, "tag", "<\xE9>", ssoReplaceAll | ssoWholeWord), 2);
  EXPECT_EQ(std::string(doc->Text().Text()), "<\xE9> t tags <\xE9>\r\n");
  Caret(*doc, 0);
  EXPECT_EQ(SearchReplace(editor, "none", "x", ssoReplaceAll), 0);
  EXPECT_EQ(SearchReplace(editor, "", "x", ssoReplaceAll), 0);
  EXPECT_EQ(std::string(doc->Text().Text()), "<\xE9> t tags <\xE9>\r\n");
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

// Every match is found in the text as it was: a whole word next to a
// replacement is still a whole word. The new text goes in as one change,
// which one Undo takes back, as one change again.
TEST_F(MainFormSearchTest, ReplaceAllOfThousandsOfMatchesIsOneChangeThatOneUndoTakesBack)
{
  struct TCase {
    const char* Line;
    const char* Search;
    const char* Replace;
    TSearchOptions Options;
    const char* Replaced;
    int PerLine;
  };
  const TCase cases[] = {
      {"Tag tag tags TAG\n", "tag", "<\xC3\xA9>", ssoWholeWord, "<\xC3\xA9> <\xC3\xA9> tags <\xC3\xA9>\n", 3},
      {"Tag tag tags TAG\n", "tag", "t", ssoMatchCase, "Tag t ts TAG\n", 2},
      {"caf\xC3\xA9 CAF\xC3\x89 Caf\xC3\xA9s\n", "CAF\xC3\x89", "x", ssoWholeWord, "x x Caf\xC3\xA9s\n", 2},
      {"caf\xC3\xA9 CAF\xC3\x89 Caf\xC3\xA9s\n", "\xC3\xA9", "E", 0, "cafE CAFE CafEs\n", 3},
      {"a.a aa\n", "a", "aa", 0, "aa.aa aaaa\n", 4},
      {"x-x-x- x\n", "x-", "y", ssoWholeWord, "yyy x\n", 3},
      {"k K \xE2\x84\xAA\n", "k", "x", 0, "x x \xE2\x84\xAA\n", 2},  // the Kelvin sign is no "k"
  };
  Start();
  const int lines = 2000;
  int index = 0;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Line);
    const std::string line = c.Line;
    const std::string original = "<r>\n" + Repeated(line, lines) + "</r>\n";
    TEditFrame* doc = Open("many" + std::to_string(index++) + ".xml", original);
    FocusEditor(*doc);
    QsciScintilla& editor = *doc->SynEdit;
    // From the caret on: the first line stays as it is.
    Caret(*doc, static_cast<long>(4 + line.size()));
    TEditCounter edits(editor);
    EXPECT_EQ(SearchReplace(editor, c.Search, c.Replace, ssoReplaceAll | c.Options), c.PerLine * (lines - 1));
    EXPECT_EQ(edits.Count, 2);  // one insertion, one deletion
    const std::string replaced = "<r>\n" + line + Repeated(c.Replaced, lines - 1) + "</r>\n";
    EXPECT_EQ(doc->GetText(), replaced);
    const std::string lastLine = c.Replaced;
    const std::size_t behindLast = lastLine.rfind(c.Replace) + std::string(c.Replace).size();
    EXPECT_EQ(CaretPos(*doc), static_cast<long>(replaced.size() - 5 - (lastLine.size() - behindLast)));
    EXPECT_TRUE(doc->FStatus & esModified);
    edits.Count = 0;
    Form().MenuEditUndoClick();
    EXPECT_EQ(edits.Count, 2);
    EXPECT_EQ(doc->GetText(), original);
    EXPECT_FALSE(editor.SendScintilla(B::SCI_CANUNDO));
    Form().MenuEditredoClick();
    EXPECT_EQ(doc->GetText(), replaced);
  }

  // Backwards, from the start of the last line to the start.
  const std::string original = Repeated("aaa b aaa\n", lines);
  TEditFrame* doc = Open("backwards.xml", original);
  FocusEditor(*doc);
  Caret(*doc, static_cast<long>(original.size() - 10));
  EXPECT_EQ(SearchReplace(*doc->SynEdit, "aa", "[aa]", ssoReplaceAll | ssoBackwards), 2 * (lines - 1));
  EXPECT_EQ(doc->GetText(), Repeated("a[aa] b a[aa]\n", lines - 1) + "aaa b aaa\n");
  EXPECT_EQ(CaretPos(*doc), 1);
  Form().MenuEditUndoClick();
  EXPECT_EQ(doc->GetText(), original);
}

TEST_F(MainFormSearchTest, ReplaceAllKeepsTheBookmarksOnTheirLines)
{
  Start();
  const std::string original = Repeated("a-a\n", 10);
  TEditFrame* doc = Open("a.xml", original);
  FocusEditor(*doc);
  QsciScintilla& editor = *doc->SynEdit;
  const int marked[] = {0, 3, 4, 8};
  for (int line : marked) {
    editor.SendScintilla(B::SCI_GOTOLINE, static_cast<unsigned long>(line));
    doc->ExecuteCommand(static_cast<TEditorCommand>(ecSetMarker0 + line));
  }
  auto bookmarkLines = [&] {
    std::vector<long> lines;
    for (int n : marked)
      lines.push_back(editor.SendScintilla(B::SCI_MARKERLINEFROMHANDLE, doc->CommandState().Bookmarks[n].Handle));
    return lines;
  };
  Caret(*doc, 0);
  EXPECT_EQ(SearchReplace(editor, "a", "bb", ssoReplaceAll), 20);
  EXPECT_EQ(doc->GetText(), Repeated("bb-bb\n", 10));
  EXPECT_EQ(bookmarkLines(), (std::vector<long>{0, 3, 4, 8}));
  Caret(*doc, 0);
  EXPECT_EQ(SearchReplace(editor, "bb", "c\nc", ssoReplaceAll), 20);
  // Each line is three now; as with a replacement per match, a bookmark moves
  // past the line end inserted at the start of its line.
  EXPECT_EQ(doc->GetText(), Repeated("c\nc-c\nc\n", 10));
  EXPECT_EQ(bookmarkLines(), (std::vector<long>{1, 10, 13, 25}));
  Form().MenuEditUndoClick();
  EXPECT_EQ(bookmarkLines(), (std::vector<long>{0, 3, 4, 8}));
  Form().MenuEditUndoClick();
  EXPECT_EQ(doc->GetText(), original);
  EXPECT_EQ(bookmarkLines(), (std::vector<long>{0, 3, 4, 8}));
}

// Replace All in a big document works beside the window, with the progress
// window and its Cancel of other long commands; Cancel leaves the document
// as it was: not changed, not modified, nothing to undo, still editable.
TEST_F(MainFormSearchTest, ReplaceAllCancelledInItsProgressWindowChangesNothing)
{
  Start();
  const std::string line = "caf\xC3\xA9 au lait, CAF\xC3\x89 noir\n";
  const std::string original = "<r>\n" + Repeated(line, (40 << 20) / static_cast<int>(line.size())) + "</r>\n";
  TEditFrame* doc = Open("big.xml", original);
  FocusEditor(*doc);
  Caret(*doc, 0);
  const int delay = TProgressRunner::ShowDelay;
  TProgressRunner::ShowDelay = 0;  // the window at once: Cancel comes while the search runs
  {
    TProgressWatch watch;
    // Any case, beyond ASCII: every character is compared.
    Replace(QString::fromUtf8("caf\u00E9"), "tea").ReplaceAllBtn->click();
    EXPECT_TRUE(watch.Cancelled());
  }
  TProgressRunner::ShowDelay = delay;
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("|").toStdString();
  EXPECT_TRUE(doc->GetText() == original);
  EXPECT_FALSE(doc->FStatus & esModified);
  EXPECT_FALSE(doc->SynEdit->SendScintilla(B::SCI_CANUNDO));
  EXPECT_FALSE(doc->SynEdit->isReadOnly());
  // Not cancelled, it replaces every match as one undo step.
  EXPECT_EQ(SearchReplace(*doc->SynEdit, "caf\xC3\xA9", "tea", ssoReplaceAll), 2 * ((40 << 20) / static_cast<int>(line.size())));
  EXPECT_EQ(doc->GetText().substr(0, 30), "<r>\ntea au lait, tea noir\ntea ");
  Form().MenuEditUndoClick();
  EXPECT_TRUE(doc->GetText() == original);
}
