// The editor frame's document life: bytes in and out, status flags, working
// copies, captions.

#include <QKeyEvent>
#include <QTabBar>
#include <stdexcept>
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

TEST_F(EditFrameDocument, FailedSaveAsKeepsNewUrlButOldCopyStatusAndCaption)
{
  Frame->OpenDocument(Local(Write("a.xml", "text")));
  Frame->MarkModified();
  EXPECT_THROW(Frame->SaveAs(Local(Folder + "missing/b.xml")), EFCreateError);
  EXPECT_EQ(Frame->FURL.GetNativeName(), Folder + "missing/b.xml");
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
