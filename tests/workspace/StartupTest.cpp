// Program start-up and shutdown as a user meets them: command-line documents,
// typing, saving, the close prompts at exit.

#include <QAction>
#include <QKeyEvent>
#include <QTimer>
#include <QToolButton>
#include <Qsci/qsciscintilla.h>

#include "MainFormFixture.h"
#include "docking/TPageControl.h"
#include "model/ModelModule.h"
#include "model/TFileType.h"
#include "resource/zevlog.h"
#include "workspace/TSplashScreen.h"

namespace {

using TAnswer = TPrompter::TAnswer;

// Bytes a document may hold: CR LF lines and every byte from 0x80 to 0xFF.
std::string HighBytes()
{
  std::string bytes;
  for (int c = 0x80; c <= 0xFF; ++c) bytes += static_cast<char>(c);
  return bytes;
}

class StartupTest : public MainFormFixture {};

TEST_F(StartupTest, WithoutArgumentsNoTabSideBarTwoThirdsHeartbeatRunning)
{
  TMainForm& form = Start();
  EXPECT_TRUE(form.FormShown());
  EXPECT_EQ(form.MainPageControl()->PageCount(), 0);
  EXPECT_EQ(form.Layout(), 1);
  int w = form.ClientWidth();
  EXPECT_EQ(form.SideBarWidth(), w - w / 3);
  EXPECT_EQ(form.RightPanel()->width(), w - w / 3);
  // Until the first tick the caption is the form's own.
  EXPECT_EQ(form.windowTitle(), "XML:Plivek");
  EXPECT_TRUE(form.HeartbeatTimer()->isActive());
  EXPECT_EQ(form.HeartbeatTimer()->interval(), 200);
  ASSERT_NE(SplashScreen, nullptr);
  EXPECT_FALSE(SplashScreen->isVisible());
  EXPECT_EQ(SplashScreen->windowTitle(), "XML:Plivek");
  EXPECT_EQ(SplashScreen->size(), QSize(357, 356));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::applicationName(), "XML Plivek");
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("|").toStdString();
}

TEST_F(StartupTest, OpensCommandLineDocumentTypesAndSavesTheBytes)
{
  const std::string original = "<?xml version=\"1.0\"?>\r\n<doc>" + HighBytes() + "</doc>\r\n";
  std::string path = Write("a.xml", original);
  TMainForm& form = Start({QString::fromStdString(path)});
  ASSERT_EQ(form.MainPageControl()->PageCount(), 1);
  EXPECT_EQ(form.Layout(), 2);  // a document is active: side bar one third
  TEditFrame* frame = EditFrameAt(0);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->FStatus, 0);
  EXPECT_EQ(form.MainPageControl()->tabText(0), "a.xml");
  EXPECT_EQ(Project().OpenURL.GetURL(), "file:" + path);
  EXPECT_EQ(Project().MRU.Count(), 0);  // the command line adds nothing to the recent list

  FocusEditor(*frame);
  frame->SynEdit->setCursorPosition(1, 5);
  QTest::keyClicks(frame->SynEdit, "hi");
  frame->SynEdit->viewport()->repaint();  // the editor reports the caret when it updates
  QApplication::processEvents();
  form.HeartbeatTimerTimer();
  EXPECT_EQ(form.windowTitle().toStdString(), "XML:Plivek - [file:" + path + "]*");
  EXPECT_EQ(form.PanelText(1), "Modified");
  EXPECT_EQ(form.PanelText(2), "xml");
  EXPECT_EQ(form.PanelText(3), "XML Files");
  EXPECT_TRUE(form.Action("MenuFileSave")->isEnabled());
  EXPECT_TRUE(form.ToolButton("SaveBtn")->isEnabled());
  EXPECT_EQ(form.HeartbeatTimer()->interval(), 333);

  // Ctrl+S is the configured key of File > Save.
  QTest::keyClick(frame->SynEdit, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(ReadTestFile(path), "<?xml version=\"1.0\"?>\r\n<doc>hi" + HighBytes() + "</doc>\r\n");
  EXPECT_EQ(frame->FStatus, 0);
  form.HeartbeatTimerTimer();
  EXPECT_EQ(form.windowTitle().toStdString(), "XML:Plivek - [file:" + path + "]");
  EXPECT_EQ(form.PanelText(1), "");
  EXPECT_FALSE(form.Action("MenuFileSave")->isEnabled());
  // The caret panel follows the editor: column 8 (after "<doc>hi"), line 2.
  EXPECT_EQ(form.PanelText(0), "8:2");
  // Columns count characters, not the bytes of the editor's text.
  for (QChar c : QString::fromUtf8("\u00E9\u65E5")) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(frame->SynEdit, &press);
  }
  frame->SynEdit->viewport()->repaint();
  QApplication::processEvents();
  EXPECT_EQ(form.PanelText(0), "10:2");
}

TEST_F(StartupTest, SwitchChoosesTheTypeOfTheFilesAfterIt)
{
  std::string a = Write("a.xml", "<a/>\r\n");
  std::string b = Write("b.css", "p {}\r\n");
  std::string c = Write("c.xsl", "<x/>\r\n");
  std::string d = Write("d.xml", "<d/>\r\n");
  TMainForm& form = Start({QString::fromStdString(a), "/t=CSS", QString::fromStdString(b), "/x",
                           "/type=Xsl", QString::fromStdString(c), "/t=nosuchtype", QString::fromStdString(d)});
  ASSERT_EQ(form.MainPageControl()->PageCount(), 4);
  EXPECT_EQ(EditFrameAt(0)->FFileType->Id, "xml");  // no switch yet: the first type
  EXPECT_EQ(EditFrameAt(1)->FFileType->Id, "css");
  EXPECT_EQ(EditFrameAt(2)->FFileType->Id, "xsl");
  EXPECT_EQ(EditFrameAt(3)->FFileType->Id, "xml");  // unknown id: the first type
}

TEST_F(StartupTest, RelativeAndQuotedArgumentsNameFilesInTheStartFolder)
{
  Write("rel.xml", "<r/>\r\n");
  TMainForm& form = Start({"\"rel.xml\""});
  ASSERT_EQ(form.MainPageControl()->PageCount(), 1);
  EXPECT_EQ(EditFrameAt(0)->FURL.GetURL(), "file:" + Folder + "rel.xml");
}

// Command-line arguments keep their bytes: a file name that is no UTF-8 text
// (Latin-1) opens, given whole or relative to a start folder named so too.
TEST_F(StartupTest, ALatinOneFileNameOnTheCommandLineOpens)
{
  std::string path = Write("caf\xE9.xml", "<c/>\r\n");
  std::filesystem::create_directory(Folder + "d\xE9p");
  Write("d\xE9p/n\xE9.xml", "<n/>\r\n");
  TMainForm& form = StartWithBytes({path, "d\xE9p/n\xE9.xml"});
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("|").toStdString();
  ASSERT_EQ(form.MainPageControl()->PageCount(), 2);
  EXPECT_EQ(EditFrameAt(0)->FURL.GetNativeName(), path);
  EXPECT_EQ(EditFrameAt(0)->GetText(), "<c/>\r\n");
  EXPECT_EQ(EditFrameAt(1)->FURL.GetNativeName(), Folder + "d\xE9p/n\xE9.xml");
  // The start folder is the current folder's bytes.
  const auto before = std::filesystem::current_path();
  std::filesystem::current_path(Folder + "d\xE9p");
  TMainForm other;
  std::filesystem::current_path(before);
  EXPECT_EQ(other.StartFolder, Folder + "d\xE9p");
}

TEST_F(StartupTest, UnreadableCommandLineFileIsReportedAndStartUpGoesOn)
{
  std::string good = Write("good.xml", "<g/>\r\n");
  // A named pipe is no document: it is not opened (that would wait for ever).
  TFifoTrap pipe(Folder + "pipe.xml");
  TMainForm& form = Start({QString::fromStdString(Folder + "missing.xml"), QString::fromStdString(Folder + "pipe.xml"),
                           QString::fromStdString(good), ""});
  EXPECT_FALSE(pipe.Opened());
  ASSERT_EQ(Prompts->Messages.size(), 2) << Prompts->Messages.join("|").toStdString();
  EXPECT_TRUE(Prompts->Messages[0].contains("missing.xml")) << Prompts->Messages[0].toStdString();
  EXPECT_TRUE(Prompts->Messages[1].contains("pipe.xml")) << Prompts->Messages[1].toStdString();
  EXPECT_TRUE(Prompts->Messages[1].contains("named pipe")) << Prompts->Messages[1].toStdString();
  // No tab is left for the missing file: only the readable one is open.
  ASSERT_EQ(form.MainPageControl()->PageCount(), 1);
  EXPECT_EQ(EditFrameAt(0)->FURL.FileName, "good.xml");
  EXPECT_EQ(form.Layout(), 2);
  EXPECT_TRUE(form.HeartbeatTimer()->isActive());
  EXPECT_FALSE(std::filesystem::exists(Folder + "missing.xml"));
}

TEST_F(StartupTest, AFailingFirstFileStillLeavesTheRestOfStartUp)
{
  TMainForm& form = Start({QString::fromStdString(Folder + "nothing/here.xml")});
  EXPECT_EQ(Prompts->Messages.size(), 1);
  EXPECT_EQ(form.GetFrameCount(), 1);  // the "Help" page
  EXPECT_EQ(form.Layout(), 1);
  EXPECT_TRUE(form.HeartbeatTimer()->isActive());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Problems met in the data files are logged at a level that is off at
// start-up: once the main window is up they are shown, all in one message.
TEST_F(StartupTest, ProblemsInTheDataFilesAreShownInOneMessage)
{
  std::filesystem::create_directory(Folder + "help/bad");
  Write("help/bad/bad.config", "no definition here");
  std::string config = ReadTestFile(Folder + "default.config");
  config.replace(config.find("tabwidth=\"4\""), 12, "tabwidth=\"wide\"");
  Write("xmlplivek.config", config);
  std::string logged;
  AppLog().OnLog = [&logged](TzevLog&, std::uint8_t, const std::string& message) { logged += message + "\n"; };
  const auto levels = AppLog().Levels;
  AppLog().SetLevels(TzevLog::MakeLevels({3}));
  TMainForm& form = Start();
  AppLog().SetLevels(levels);
  ASSERT_EQ(Prompts->Messages.size(), 1) << Prompts->Messages.join("|").toStdString();
  const std::string shown = Prompts->Messages[0].toStdString();
  EXPECT_NE(shown.find("bad.config\" skipped"), std::string::npos) << shown;
  EXPECT_NE(shown.find("tabwidth"), std::string::npos) << shown;
  EXPECT_NE(logged.find("bad.config\" skipped"), std::string::npos) << logged;
  EXPECT_NE(logged.find("tabwidth"), std::string::npos) << logged;
  EXPECT_TRUE(form.HeartbeatTimer()->isActive());
  // Shown once: a later start of the window has nothing to show.
  form.ShowDataProblems();
  EXPECT_EQ(Prompts->Messages.size(), 1);
}

TEST_F(StartupTest, ShutdownWritesConfigurationAndProjectAndDetachesTheLog)
{
  Start();
  Stop();
  EXPECT_TRUE(std::filesystem::exists(Folder + "xmlplivek.config"));
  EXPECT_TRUE(std::filesystem::exists(Folder + "default.pvp"));
  EXPECT_FALSE(AppLog().OnLog);
  EXPECT_FALSE(AppLog().OnLevelsChange);
  FreeAppLog();
}

// --- the close prompts at exit -----------------------------------------------------

class CloseQueryTest : public MainFormFixture {
protected:
  TEditFrame* Open(const std::string& name)
  {
    std::string path = Write(name, "<" + name.substr(0, 1) + "/>\r\n");
    TURL url("file:" + path);
    return Form().NewEditFrame("xml", url, false);
  }
};

TEST_F(CloseQueryTest, NoDocumentClosesWithoutPrompt)
{
  Start();
  bool canClose = true;
  Form().FormCloseQuery(canClose);
  EXPECT_TRUE(canClose);
  EXPECT_TRUE(Prompts->Messages.isEmpty());
}

TEST_F(CloseQueryTest, LastToFirstNoThenCancelKeepsTheRest)
{
  Start();
  TEditFrame* first = Open("a.xml");
  TEditFrame* second = Open("b.xml");
  TEditFrame* third = Open("c.xml");
  second->MarkModified();
  third->MarkModified();
  std::string thirdCopy = third->FBackupFileName;
  ASSERT_TRUE(std::filesystem::exists(thirdCopy));
  Prompts->Answers = {TAnswer::No, TAnswer::Cancel};
  bool canClose = true;
  Form().FormCloseQuery(canClose);
  EXPECT_FALSE(canClose);
  ASSERT_EQ(Prompts->Messages.size(), 2);
  EXPECT_EQ(Prompts->Messages[0].toStdString(), "File: file:" + Folder + "c.xml has changed. Save Changes?");
  EXPECT_EQ(Prompts->Messages[1].toStdString(), "File: file:" + Folder + "b.xml has changed. Save Changes?");
  EXPECT_EQ(Form().MainPageControl()->PageCount(), 2);
  EXPECT_EQ(Form().GetFrame(0), first);
  EXPECT_EQ(Form().GetFrame(1), second);
  EXPECT_FALSE(std::filesystem::exists(thirdCopy));  // closed unsaved, working copy gone
  EXPECT_EQ(ReadTestFile(Folder + "c.xml"), "<c/>\r\n");
}

TEST_F(CloseQueryTest, YesSavesThenCloses)
{
  Start();
  TEditFrame* frame = Open("a.xml");
  frame->SynEdit->setText("<changed/>");
  frame->MarkModified();
  Prompts->Answers = {TAnswer::Yes};
  bool canClose = true;
  Form().FormCloseQuery(canClose);
  EXPECT_TRUE(canClose);
  EXPECT_EQ(Form().GetFrameCount(), 1);  // the "Help" page stays
  EXPECT_EQ(ReadTestFile(Folder + "a.xml"), "<changed/>");
}

TEST_F(CloseQueryTest, YesOnANewDocumentWithSaveAsCancelledKeepsItOpen)
{
  Start();
  TURL url("file:" + Folder + "new.xml");
  TEditFrame* frame = Form().NewEditFrame("xml", url, true);
  frame->MarkModified();
  Prompts->Answers = {TAnswer::Yes};  // and no file name: the Save As is cancelled
  bool canClose = true;
  Form().FormCloseQuery(canClose);
  EXPECT_FALSE(canClose);
  EXPECT_EQ(Form().GetFrameCount(), 2);
  EXPECT_TRUE(std::filesystem::exists(frame->FBackupFileName));
}

TEST_F(CloseQueryTest, YesOnANewDocumentSavesWhereTheSaveAsSays)
{
  Start();
  TURL url("file:" + Folder + "new.xml");
  TEditFrame* frame = Form().NewEditFrame("xml", url, true);
  frame->SynEdit->setText("<n/>");
  frame->MarkModified();
  Prompts->Answers = {TAnswer::Yes};
  Prompts->FileNames = {QString::fromStdString(Folder + "saved.xml")};
  bool canClose = true;
  Form().FormCloseQuery(canClose);
  EXPECT_TRUE(canClose);
  EXPECT_EQ(ReadTestFile(Folder + "saved.xml"), "<n/>");
  EXPECT_EQ(Project().SaveURL.GetURL(), "file:" + Folder + "saved.xml");
}

TEST_F(CloseQueryTest, EditorFrameInTheSideBarIsAskedFirst)
{
  Start();
  TEditFrame* main = Open("a.xml");
  TEditFrame* side = Open("b.xml");
  Form().MainPageControl()->MoveFrameTo(side, Form().SideBarPageControl());
  main->MarkModified();
  side->MarkModified();
  Prompts->Answers = {TAnswer::Cancel};
  bool canClose = true;
  Form().FormCloseQuery(canClose);
  EXPECT_FALSE(canClose);
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].contains("b.xml"));
}

TEST_F(CloseQueryTest, AModifiedFloatingEditorIsAskedAboutToo)
{
  Start();
  TEditFrame* floating = Open("a.xml");
  Form().MainPageControl()->FloatFrame(floating, QPoint(10, 10));
  floating->SynEdit->setText("<f/>");
  floating->MarkModified();
  Prompts->Answers = {TAnswer::Yes};
  bool canClose = true;
  Form().FormCloseQuery(canClose);
  EXPECT_TRUE(canClose);
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_EQ(ReadTestFile(Folder + "a.xml"), "<f/>");
}

TEST_F(CloseQueryTest, AFailedSaveKeepsTheWindowOpenAndIsShown)
{
  Start();
  TEditFrame* frame = Open("a.xml");
  frame->MarkModified();
  // The document's file has become a folder: the save fails.
  std::filesystem::remove(Folder + "a.xml");
  std::filesystem::create_directory(Folder + "a.xml");
  Prompts->Answers = {TAnswer::Yes};
  bool canClose = true;
  Form().FormCloseQuery(canClose);
  EXPECT_FALSE(canClose);
  EXPECT_EQ(Form().GetFrameCount(), 2);
  EXPECT_EQ(Prompts->Messages.size(), 2);  // the question, then the failure
}

}  // namespace
