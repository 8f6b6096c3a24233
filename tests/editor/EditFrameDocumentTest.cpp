// The editor frame's document life: bytes in and out, status flags, working
// copies, captions.

#include <QAccessible>
#include <QKeyEvent>
#include <QTabBar>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "EditFrameFixture.h"
#include "resource/EResourceError.h"

namespace {

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  int Count = 0;

protected:
  bool eventFilter(QObject*, QEvent* event) override
  {
    if (event->type() == QEvent::Paint) ++Count;
    return false;
  }
};

}  // namespace

// ---- bytes ----------------------------------------------------------------

using EditFrameDocument = EditFrameFixture;

TEST_F(EditFrameDocument, EveryByteValueOpensAndSavesBackUnchanged)
{
  std::string bytes;
  for (int round = 0; round < 2; ++round) {
    for (int b = 0; b < 256; ++b) {
      if (b == '\r' || b == '\n') continue;
      bytes += static_cast<char>(b);
    }
    bytes += "\r\n";
  }
  std::string path = Write("all.bin", bytes);
  Frame->OpenDocument(Local(path));
  EXPECT_EQ(Frame->GetText(), bytes);
  EXPECT_EQ(Frame->SynEdit->lines(), 3);
  Frame->Save();
  EXPECT_EQ(ReadTestFile(path), bytes);
  EXPECT_EQ(Frame->SynEdit->SendScintilla(QsciScintillaBase::SCI_GETCODEPAGE), QsciScintillaBase::SC_CP_UTF8);
}

TEST_F(EditFrameDocument, NulBytesAreKeptWholeNotCut)
{
  // Cutting the text at the first NUL would lose everything after it.
  std::string bytes("<a>\0x</a>\r\n\0\r\ntail\r\n", 20);
  std::string path = Write("nul.xml", bytes);
  Frame->OpenDocument(Local(path));
  EXPECT_EQ(Frame->GetText(), bytes);
  EXPECT_EQ(Frame->SynEdit->lines(), 4);
  Frame->SaveAs(Local(Folder + "nul-copy.xml"));
  EXPECT_EQ(ReadTestFile(Folder + "nul-copy.xml"), bytes);
  EXPECT_EQ(ReadTestFile(Frame->FBackupFileName), bytes);

  std::string leading("\0\0abc", 5);
  Frame->SetText(leading);
  EXPECT_EQ(Frame->GetText(), leading);
}

TEST_F(EditFrameDocument, LinesSplitOnAnyLineEndAndKeepTheirOwn)
{
  std::string path = Write("mixed.xml", "<a>\n<b/>\r<c/>\r\n</a>");
  Frame->OpenDocument(Local(path));
  EXPECT_EQ(Frame->SynEdit->lines(), 4);
  EXPECT_EQ(Frame->SynEdit->eolMode(), QsciScintilla::EolUnix);
  Frame->MarkModified();
  Frame->Save();
  EXPECT_EQ(ReadTestFile(path), "<a>\n<b/>\r<c/>\r\n</a>");
}

TEST_F(EditFrameDocument, EmptyDocumentGivesEmptyText)
{
  std::string path = Write("empty.xml", "");
  Frame->OpenDocument(Local(path));
  EXPECT_EQ(Frame->GetText(), "");
  EXPECT_EQ(ReadTestFile(Frame->FBackupFileName), "");
}

TEST_F(EditFrameDocument, TypedCharactersAreStoredInTheDocumentsEncoding)
{
  Frame->OpenDocument(Local(Write("t.xml", "")));
  Frame->SynEdit->setFocus();
  for (auto [key, code] : {std::pair{Qt::Key_Eacute, 0xE9}, std::pair{Qt::Key_ydiaeresis, 0xFF}}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(QChar(code)));
    QApplication::sendEvent(Frame->SynEdit, &press);
  }
  EXPECT_EQ(Frame->GetText(), "\xC3\xA9\xC3\xBF");
}

TEST_F(EditFrameDocument, LoadingIsNotAnEditAndLeavesNoUndo)
{
  std::string path = Write("a.xml", "<a/>\r\n");
  Frame->OpenDocument(Local(path));
  EXPECT_EQ(Frame->FStatus, 0);
  EXPECT_FALSE(Frame->SynEdit->isUndoAvailable());
  EXPECT_FALSE(Frame->SynEdit->isModified());
}

TEST_F(EditFrameDocument, FailedOpenRaisesAndChangesNothing)
{
  std::string path = Write("a.xml", "first");
  Frame->OpenDocument(Local(path));
  Frame->MarkModified();
  std::string backup = Frame->FBackupFileName;
  Pages->setTabText(0, "keep");
  EXPECT_THROW(Frame->OpenDocument(Local(Folder + "missing.xml")), EFOpenError);
  EXPECT_EQ(Frame->FURL.GetNativeName(), path);
  EXPECT_EQ(Frame->FStatus, esModified);
  EXPECT_EQ(Frame->GetText(), "first");
  EXPECT_EQ(Frame->FBackupFileName, backup);
  EXPECT_EQ(Pages->tabText(0), "keep");
}

TEST_F(EditFrameDocument, FailedOpenOfAFreshFrameLeavesNothingThatCanOverwriteTheFile)
{
  std::string path = Write("locked.xml", "precious");
  ::chmod(path.c_str(), 0);
  if (::access(path.c_str(), R_OK) == 0) {
    ::chmod(path.c_str(), 0644);
    path = Folder + "gone.xml";  // running as root: a missing file fails alike
  }
  EXPECT_THROW(Frame->OpenDocument(Local(path)), EFOpenError);
  EXPECT_NE(Frame->FURL.GetNativeName(), path);
  EXPECT_TRUE(Frame->FBackupFileName.empty());
  EXPECT_ANY_THROW(Frame->Save());  // the placeholder URL names a folder
  ::chmod(path.c_str(), 0644);
  EXPECT_EQ(ReadTestFile(Folder + "locked.xml"), "precious");
}

// ---- status flags ------------------------------------------------------------

TEST_F(EditFrameDocument, StatusFollowsNewEditSaveAndChecks)
{
  Frame->NewDocument(Local(Folder + "n.xml"));
  EXPECT_EQ(Frame->FStatus, esNew);
  Frame->SynEdit->setFocus();
  QTest::keyClicks(Frame->SynEdit, "x");
  EXPECT_EQ(Frame->FStatus, esNew | esModified);
  Frame->Save();
  EXPECT_EQ(Frame->FStatus, 0);
  EXPECT_EQ(ReadTestFile(Folder + "n.xml"), "x");

  Frame->SetStatus(esWellFormed);
  QTest::keyClicks(Frame->SynEdit, "y");
  EXPECT_EQ(Frame->FStatus, esModified);
  Frame->SetStatus(esModified | esValid | esInvalid | esNew);
  Frame->MarkModified();
  EXPECT_EQ(Frame->FStatus, esModified | esNew);
}

TEST_F(EditFrameDocument, UndoAndRedoMarkModified)
{
  Frame->OpenDocument(Local(Write("u.xml", "abc")));
  Frame->SynEdit->setFocus();
  QTest::keyClicks(Frame->SynEdit, "x");
  Frame->Save();
  ASSERT_EQ(Frame->FStatus, 0);
  Frame->SynEdit->undo();
  EXPECT_EQ(Frame->FStatus, esModified);
}

// The component's accessibility support counts the characters from the
// start of the document on every insertion, deletion and caret move (a
// keystroke at the end of 100 MB took half a second): the editor has a plain
// accessible without that text interface, and insertions and deletions are
// not notified as such; every edit still reaches the frame.
TEST_F(EditFrameDocument, EditsAreSeenWithoutTheComponentsCharacterCounting)
{
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(Frame->SynEdit);
  ASSERT_NE(accessible, nullptr);
  EXPECT_EQ(accessible->textInterface(), nullptr);
  Frame->OpenDocument(Local(Write("n.xml", "<r>\n</r>")));
  const long mask = Frame->SynEdit->SendScintilla(QsciScintillaBase::SCI_GETMODEVENTMASK);
  EXPECT_EQ(mask & (QsciScintillaBase::SC_MOD_INSERTTEXT | QsciScintillaBase::SC_MOD_DELETETEXT), 0);

  Frame->SynEdit->setFocus();
  GoTo(3);
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Delete}) {
    Frame->SetStatus(esWellFormed);
    QTest::keyClick(Frame->SynEdit, key);
    EXPECT_EQ(Frame->FStatus, esModified) << key;
  }
  Frame->SetStatus(esValid);
  Frame->SynEdit->undo();
  EXPECT_EQ(Frame->FStatus, esModified);
  Frame->SetStatus(esValid);
  Frame->SynEdit->redo();
  EXPECT_EQ(Frame->FStatus, esModified);
  EXPECT_EQ(Frame->GetText(), "<r>\n</r>");
}

TEST_F(EditFrameDocument, SetStatusRepaintsTabsOnlyOnChange)
{
  PaintCounter paints(Pages->tabBar());
  QApplication::processEvents();
  paints.Count = 0;
  Frame->SetStatus(esModified);
  QApplication::processEvents();
  EXPECT_EQ(paints.Count, 1);
  Frame->SetStatus(esModified);
  QApplication::processEvents();
  EXPECT_EQ(paints.Count, 1);
  Frame->SetStatus(esModified | esNew);
  QApplication::processEvents();
  EXPECT_EQ(paints.Count, 2);
}

TEST_F(EditFrameDocument, FailedSaveKeepsTheStatus)
{
  Frame->NewDocument(Local(Folder + "n.xml"));
  Frame->MarkModified();
  Frame->FURL = Local(Folder + "no-such-folder/n.xml");
  EXPECT_THROW(Frame->Save(), EFCreateError);
  EXPECT_EQ(Frame->FStatus, esNew | esModified);
}

// ---- working copies ------------------------------------------------------------

TEST_F(EditFrameDocument, NewDocumentWritesItsWorkingCopyAtOnce)
{
  Frame->NewDocument(Local(Folder + "order.xml"));
  EXPECT_EQ(Frame->FBackupFileName, Folder + "~order.xml");
  ASSERT_TRUE(Exists(Folder + "~order.xml"));
  EXPECT_EQ(ReadTestFile(Folder + "~order.xml"), "");
  EXPECT_FALSE(Exists(Folder + "order.xml"));
  EXPECT_EQ(Pages->tabText(0), "order.xml");
}

TEST_F(EditFrameDocument, WorkingCopyNameIsUniqueInItsOwnFolder)
{
  Write("~a.xml", "someone else's");
  std::string path = Write("a.xml", "doc");
  Frame->OpenDocument(Local(path));
  EXPECT_EQ(Frame->FBackupFileName, Folder + "~a1.xml");
  EXPECT_EQ(ReadTestFile(Folder + "~a.xml"), "someone else's");

  // A second document of the same name in the same folder gets its own copy.
  TEditFrame* second = AddFrame();
  second->OpenDocument(Local(path));
  EXPECT_EQ(second->FBackupFileName, Folder + "~a2.xml");

  // The test looks in the folder that receives the copy, not the current one.
  std::filesystem::create_directory(Folder + "sub");
  WriteTestFile(Folder + "sub/~b", "");
  std::string cwd = std::filesystem::current_path();
  std::filesystem::current_path(Folder + "sub");
  TEditFrame* third = AddFrame();
  third->NewDocument(Local(Folder + "b"));
  std::filesystem::current_path(cwd);
  EXPECT_EQ(third->FBackupFileName, Folder + "~b");
}

TEST_F(EditFrameDocument, RemoteDocumentsKeepTheirWorkingCopyInTheProgramFolder)
{
  Frame->NewDocument(TURL("ftp://host/x/b.xml"));
  EXPECT_EQ(Frame->FBackupFileName, ProgramFolderPath() + "~b.xml");
  EXPECT_TRUE(Exists(ProgramFolderPath() + "~b.xml"));
  TEditFrame* second = AddFrame();
  second->NewDocument(TURL("http://other/b.xml"));
  EXPECT_EQ(second->FBackupFileName, ProgramFolderPath() + "~b1.xml");
}

TEST_F(EditFrameDocument, CheckBackupWritesOnlyModifiedDocumentsOlderThanTheInterval)
{
  const double fiveMinutes = 1.0 / 288;
  Frame->OpenDocument(Local(Write("c.xml", "one")));
  std::string copy = Frame->FBackupFileName;
  Frame->SetText("two");
  Clock += 10;
  Frame->CheckBackup(fiveMinutes);  // not modified: never written
  EXPECT_EQ(ReadTestFile(copy), "one");

  Frame->MarkModified();
  Frame->Backup();
  EXPECT_EQ(Frame->FLastBackup, Clock);
  Frame->SetText("three");
  Clock += fiveMinutes;
  Frame->CheckBackup(fiveMinutes);  // exactly the interval: not yet
  EXPECT_EQ(ReadTestFile(copy), "two");
  Clock += 1.0 / 86400;
  Frame->CheckBackup(fiveMinutes);
  EXPECT_EQ(ReadTestFile(copy), "three");
  EXPECT_EQ(Frame->FLastBackup, Clock);

  // Text the document's encoding cannot hold, which Save refuses, is kept
  // all the same: as the editor has it (UTF-8), so a crash loses none of it,
  // with a UTF-8 byte-order mark, without which the copy would open as
  // ISO-8859-1, the encoding its declaration names ("\xC3\x83\xC2\xA9").
  Frame->OpenDocument(Local(Write("latin.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>\xE9</r>")));
  Frame->SynEdit->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
  Frame->SynEdit->insert(QString::fromUtf8("\u20AC"));
  Frame->MarkModified();
  Clock += 1;
  EXPECT_NO_THROW(Frame->CheckBackup(fiveMinutes));
  EXPECT_EQ(ReadTestFile(Frame->FBackupFileName),
            "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>\xC3\xA9</r>\xE2\x82\xAC");
  EXPECT_EQ(Frame->FLastBackup, Clock);
  // Without a declaration the copy is the text alone.
  Frame->OpenDocument(Local(Write("plain.xml", "<r>\xE9</r>")));
  Frame->SynEdit->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
  Frame->SynEdit->insert(QString::fromUtf8("\u65E5"));
  Frame->MarkModified();
  Clock += 1;
  EXPECT_NO_THROW(Frame->CheckBackup(fiveMinutes));
  EXPECT_EQ(ReadTestFile(Frame->FBackupFileName), "<r>\xC3\xA9</r>\xE6\x97\xA5");
}

TEST_F(EditFrameDocument, SaveAsMovesTheWorkingCopy)
{
  Frame->OpenDocument(Local(Write("a.xml", "text")));
  ASSERT_TRUE(Exists(Folder + "~a.xml"));
  Frame->SaveAs(Local(Folder + "b.xml"));
  EXPECT_FALSE(Exists(Folder + "~a.xml"));
  EXPECT_EQ(Frame->FBackupFileName, Folder + "~b.xml");
  EXPECT_EQ(ReadTestFile(Folder + "~b.xml"), "text");
  EXPECT_EQ(ReadTestFile(Folder + "b.xml"), "text");
  EXPECT_EQ(Pages->tabText(0), "b.xml");
}

// The document stays what its tab says: a later Save goes to a.xml, not to
// the place that failed.
TEST_F(EditFrameDocument, FailedSaveAsKeepsTheDocumentAsItWas)
{
  Frame->OpenDocument(Local(Write("a.xml", "text")));
  Frame->MarkModified();
  EXPECT_THROW(Frame->SaveAs(Local(Folder + "missing/b.xml")), EFCreateError);
  EXPECT_EQ(Frame->FURL.GetNativeName(), Folder + "a.xml");
  EXPECT_EQ(Frame->FStatus, esModified);
  EXPECT_EQ(Frame->FBackupFileName, Folder + "~a.xml");
  EXPECT_TRUE(Exists(Folder + "~a.xml"));
  EXPECT_EQ(Pages->tabText(0), "a.xml");
}

TEST_F(EditFrameDocument, FailedBackupKeepsLastBackupTimeAndCaption)
{
  Frame->OpenDocument(Local(Write("a.xml", "text")));
  double last = Frame->FLastBackup;
  Frame->FBackupFileName = Folder + "missing/~a.xml";
  Clock += 1;
  EXPECT_THROW(Frame->Backup(), EFCreateError);
  EXPECT_EQ(Frame->FLastBackup, last);
}

TEST_F(EditFrameDocument, ClosingTheFrameDeletesItsWorkingCopyOnly)
{
  Frame->OpenDocument(Local(Write("a.xml", "text")));
  ASSERT_TRUE(Exists(Folder + "~a.xml"));
  delete Frame;
  EXPECT_FALSE(Exists(Folder + "~a.xml"));
  EXPECT_TRUE(Exists(Folder + "a.xml"));

  // A frame that never got a document deletes nothing.
  Write("~", "keep");
  delete AddFrame();
  EXPECT_TRUE(Exists(Folder + "~"));
}

TEST_F(EditFrameDocument, SaveAsOntoItsOwnWorkingCopyKeepsTheSavedFile)
{
  Frame->OpenDocument(Local(Write("a.xml", "text")));
  ASSERT_EQ(Frame->FBackupFileName, Folder + "~a.xml");
  Frame->SetText("saved");
  Frame->SaveAs(Local(Folder + "~a.xml"));
  EXPECT_EQ(ReadTestFile(Folder + "~a.xml"), "saved");
  EXPECT_EQ(Frame->FBackupFileName, Folder + "~~a.xml");
  delete Frame;
  EXPECT_EQ(ReadTestFile(Folder + "~a.xml"), "saved");
  EXPECT_FALSE(Exists(Folder + "~~a.xml"));
}

TEST_F(EditFrameDocument, AWorkingCopyOpenAsADocumentIsNeitherRewrittenNorDeleted)
{
  const double fiveMinutes = 1.0 / 288;
  Frame->OpenDocument(Local(Write("a.xml", "original")));
  TEditFrame* other = AddFrame();
  other->OpenDocument(Local(Folder + "~a.xml"));
  // The sweep and a preview write a copy of a new name.
  Frame->SetText("edited");
  Frame->MarkModified();
  Clock += 1;
  Frame->CheckBackup(fiveMinutes);
  EXPECT_EQ(ReadTestFile(Folder + "~a.xml"), "original");
  EXPECT_EQ(Frame->FBackupFileName, Folder + "~a1.xml");
  EXPECT_EQ(ReadTestFile(Folder + "~a1.xml"), "edited");

  // Closing leaves an open document alone, also through another spelling.
  TEditFrame* third = AddFrame();
  third->OpenDocument(Local(Write("b.xml", "b")));
  TEditFrame* fourth = AddFrame();
  fourth->OpenDocument(Local(Folder + "./~b.xml"));
  delete third;
  EXPECT_EQ(ReadTestFile(Folder + "~b.xml"), "b");
  delete Frame;
  EXPECT_EQ(ReadTestFile(Folder + "~a.xml"), "original");
  EXPECT_FALSE(Exists(Folder + "~a1.xml"));

  // A new document that has no file yet keeps its name from working copies.
  TEditFrame* unsaved = AddFrame();
  unsaved->NewDocument(Local(Folder + "~n.xml"));
  TEditFrame* fresh = AddFrame();
  fresh->NewDocument(Local(Folder + "n.xml"));
  EXPECT_EQ(fresh->FBackupFileName, Folder + "~n1.xml");
}

TEST_F(EditFrameDocument, AWorkingCopyTheUserSavedOverIsNeitherRewrittenNorDeleted)
{
  const double fiveMinutes = 1.0 / 288;
  Frame->OpenDocument(Local(Write("a.xml", "original")));
  TEditFrame* other = AddFrame();
  other->OpenDocument(Local(Folder + "~a.xml"));
  other->SetText("saved");
  other->Save();
  delete other;
  Frame->SetText("edited");
  Frame->MarkModified();
  Clock += 1;
  Frame->CheckBackup(fiveMinutes);
  EXPECT_EQ(ReadTestFile(Folder + "~a.xml"), "saved");
  EXPECT_EQ(ReadTestFile(Frame->FBackupFileName), "edited");
  delete Frame;
  EXPECT_EQ(ReadTestFile(Folder + "~a.xml"), "saved");
}

TEST_F(EditFrameDocument, AnythingElseAtTheWorkingCopysNameIsLeftAlone)
{
  std::string victim = Write("victim.xml", "victim");
  Frame->OpenDocument(Local(Write("a.xml", "text")));
  Frame->SetText("new");
  // A link in its place.
  std::filesystem::remove(Folder + "~a.xml");
  std::filesystem::create_symlink(victim, Folder + "~a.xml");
  EXPECT_NO_THROW(Frame->Backup());
  EXPECT_EQ(ReadTestFile(victim), "victim");
  EXPECT_TRUE(std::filesystem::is_symlink(Folder + "~a.xml"));
  EXPECT_EQ(Frame->FBackupFileName, Folder + "~a1.xml");
  EXPECT_EQ(ReadTestFile(Folder + "~a1.xml"), "new");
  // A folder in its place.
  std::filesystem::remove(Folder + "~a1.xml");
  std::filesystem::create_directory(Folder + "~a1.xml");
  EXPECT_NO_THROW(Frame->Backup());
  EXPECT_EQ(Frame->FBackupFileName, Folder + "~a2.xml");
  // A pipe someone reads.
  std::filesystem::remove(Folder + "~a2.xml");
  ASSERT_EQ(::mkfifo((Folder + "~a2.xml").c_str(), 0600), 0);
  int reader = ::open((Folder + "~a2.xml").c_str(), O_RDONLY | O_NONBLOCK);
  EXPECT_NO_THROW(Frame->Backup());
  char byte = 0;
  EXPECT_LE(::read(reader, &byte, 1), 0);
  ::close(reader);
  EXPECT_EQ(Frame->FBackupFileName, Folder + "~a3.xml");

  delete Frame;
  EXPECT_TRUE(std::filesystem::is_symlink(Folder + "~a.xml"));
  EXPECT_TRUE(std::filesystem::is_directory(Folder + "~a1.xml"));
  EXPECT_TRUE(std::filesystem::is_fifo(Folder + "~a2.xml"));
  EXPECT_FALSE(Exists(Folder + "~a3.xml"));
}

TEST_F(EditFrameDocument, ALongDocumentNameGetsAWorkingCopyNameThatFits)
{
  std::string name = std::string(251, 'n') + ".xml";  // 255 bytes, the longest name
  Frame->OpenDocument(Local(Write(name, "long")));
  EXPECT_EQ(Frame->FBackupFileName, Folder + "~" + std::string(250, 'n') + ".xml");
  EXPECT_EQ(ReadTestFile(Frame->FBackupFileName), "long");
  TEditFrame* second = AddFrame();
  second->OpenDocument(Local(Folder + name));
  EXPECT_EQ(second->FBackupFileName, Folder + "~" + std::string(249, 'n') + "1.xml");
  // A name is never cut inside a character.
  std::string accents;
  for (int i = 0; i < 125; ++i) accents += "\xC3\xA9";
  TEditFrame* third = AddFrame();
  third->OpenDocument(Local(Write("a" + accents + ".xml", "")));
  EXPECT_EQ(third->FBackupFileName, Folder + "~a" + accents.substr(0, 248) + ".xml");
}

TEST_F(EditFrameDocument, AFailedRefreshKeepsThePreviousWorkingCopy)
{
  Frame->OpenDocument(Local(Write("a.xml", "first")));
  std::string copy = Frame->FBackupFileName;
  Frame->SetText(std::string(std::size_t{1} << 16, 'x'));
  // Files may grow to 4 KiB only: the write fails half-way.
  struct rlimit old {};
  ::getrlimit(RLIMIT_FSIZE, &old);
  auto handler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  ::setrlimit(RLIMIT_FSIZE, &small);
  EXPECT_THROW(Frame->Backup(), EFCreateError);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, handler);
  EXPECT_EQ(ReadTestFile(copy), "first");
  EXPECT_EQ(Frame->FBackupFileName, copy);
  auto entries = std::distance(std::filesystem::directory_iterator(Folder), std::filesystem::directory_iterator());
  EXPECT_EQ(entries, 3);  // program/, a.xml, ~a.xml: nothing half-written is left
}

// ---- captions and events --------------------------------------------------------

TEST_F(EditFrameDocument, CaptionOfAFrameOutsideATabSheetIsAMessage)
{
  TEditFrame floating;
  floating.UpdateCaption();
  EXPECT_EQ(Prompts->Messages, QStringList{"not a tabsheet"});
}

TEST_F(EditFrameDocument, CaptionGoesToTheFramesOwnTab)
{
  TEditFrame* second = AddFrame();
  Pages->setTabText(0, "frame");
  Pages->SetActivePage(0);
  second->NewDocument(Local(Folder + "second.xml"));
  EXPECT_EQ(Pages->tabText(1), "second.xml");
  EXPECT_EQ(Pages->tabText(0), "frame");
}

TEST_F(EditFrameDocument, EndOfDockingSetsTheCaption)
{
  Frame->NewDocument(Local(Folder + "d.xml"));
  Pages->UndockFrame(Frame);
  Frame->FrameEndDock(Frame);
  EXPECT_EQ(Frame->windowTitle(), "d.xml");
  TPageControl other;
  other.DockFrame(Frame);
  EXPECT_EQ(other.tabText(0), "d.xml");
  other.UndockFrame(Frame);
  Pages->DockFrame(Frame);
}

TEST_F(EditFrameDocument, StatusChangeAndContextHelpAreRaised)
{
  int statusChanges = 0;
  int helps = 0;
  Frame->OnStatusChange = [&](TEditFrame& sender) {
    EXPECT_EQ(&sender, Frame);
    ++statusChanges;
  };
  Frame->OnContextHelp = [&](TEditFrame& sender) {
    EXPECT_EQ(&sender, Frame);
    ++helps;
  };
  Frame->SetText("abc");
  QApplication::processEvents();
  statusChanges = 0;
  Frame->SynEdit->setCursorPosition(0, 2);
  QApplication::processEvents();
  EXPECT_GE(statusChanges, 1);
  statusChanges = 0;
  Frame->ExecuteCommand(ecToggleMode);
  EXPECT_EQ(statusChanges, 1);
  Frame->ExecuteCommand(ecContextHelp);
  EXPECT_EQ(helps, 1);
}
