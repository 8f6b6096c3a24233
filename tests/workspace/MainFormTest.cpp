// The main window's workspace: layout modes, tab fonts, the active frame,
// moving and floating pages, command states, the file commands and the
// working-copy sweep. Shortcuts and Tab are in MainFormShortcutTest.cpp.

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>
#include <Qsci/qsciscintilla.h>

#include "MainFormFixture.h"
#include "docking/TPageControl.h"
#include "model/ModelModule.h"
#include "model/TFileType.h"
#include "model/TFileTypes.h"
#include "panes/THelpFrame.h"
#include "platform/VirtualKeys.h"
#include "workspace/CommandStates.h"

namespace {

using TAnswer = TPrompter::TAnswer;

class MainFormTest : public MainFormFixture {
protected:
  TEditFrame* Open(const std::string& name, const std::string& bytes = "<doc/>\r\n")
  {
    std::string path = Write(name, bytes);
    return Form().NewEditFrame("xml", TURL("file:" + path), false);
  }
  // A frame that is not an editor (stands in for the help or log pane).
  TFrame* DockPane(const QString& caption)
  {
    auto* pane = new TFrame(&Form());
    auto* edit = new QLineEdit(pane);
    (new QVBoxLayout(pane))->addWidget(edit);
    Form().SideBarPageControl()->DockFrame(pane, caption);
    return pane;
  }
};

// --- layout ----------------------------------------------------------------------------

TEST_F(MainFormTest, LayoutModesWithClientWidth700)
{
  TMainForm& form = Start();
  form.resize(700, 500);
  QApplication::processEvents();
  ASSERT_EQ(form.ClientWidth(), 700);
  form.SetLayout(1);
  EXPECT_EQ(form.RightPanel()->width(), 467);
  form.SetLayout(2);
  EXPECT_EQ(form.RightPanel()->width(), 233);
  form.SetLayout(0);
  EXPECT_EQ(form.RightPanel()->width(), 696);
  form.SetLayout(3);
  EXPECT_EQ(form.RightPanel()->width(), 2);
  form.SetLayout(4);
  EXPECT_EQ(form.RightPanel()->width(), 2);
  EXPECT_EQ(form.Layout(), 4);
  // The window grows: only the main panel widens.
  form.SetLayout(2);
  form.resize(900, 500);
  QApplication::processEvents();
  EXPECT_EQ(form.RightPanel()->width(), 233);
  form.Splitter1Moved();
  EXPECT_EQ(form.Layout(), 4);
}

// --- tabs ------------------------------------------------------------------------------

TEST_F(MainFormTest, TabFontsFollowModifiedAndNew)
{
  TMainForm& form = Start();
  TFrame* help = DockPane("Help");
  TEditFrame* opened = Open("a.xml");
  TEditFrame* fresh = form.NewEditFrame("xml", TURL("file:" + Folder + "new.xml"), true);
  TPageControl& main = *form.MainPageControl();
  EXPECT_FALSE(form.TabFont(main, 0).bold());
  EXPECT_FALSE(form.TabFont(main, 1).bold());  // new but not modified
  opened->MarkModified();
  fresh->MarkModified();
  EXPECT_TRUE(form.TabFont(main, 0).bold());
  EXPECT_FALSE(form.TabFont(main, 0).italic());
  EXPECT_TRUE(form.TabFont(main, 1).bold());
  EXPECT_TRUE(form.TabFont(main, 1).italic());
  TPageControl& side = *form.SideBarPageControl();
  EXPECT_FALSE(form.TabFont(side, side.IndexOfFrame(help)).bold());
  EXPECT_FALSE(form.TabFont(side, side.IndexOfFrame(help)).italic());
  // The tabs draw with these fonts without trouble.
  EXPECT_FALSE(form.grab().isNull());
}

// --- the active frame ------------------------------------------------------------------

TEST_F(MainFormTest, ActiveFrameFollowsTheFocusedControl)
{
  TMainForm& form = Start();
  TFrame* pane = DockPane("Help");
  TEditFrame* a = Open("a.xml");
  TEditFrame* b = Open("b.xml");
  FocusEditor(*a);
  EXPECT_EQ(form.GetActiveFrame(), a);
  EXPECT_EQ(form.GetActiveEditFrame(), a);
  // A page control as the active control: the frame on its active page.
  form.MainPageControl()->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(form.GetActiveFrame(), a);
  form.MainPageControl()->SetActivePage(1);
  EXPECT_EQ(form.GetActiveFrame(), b);
  form.SideBarPageControl()->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(form.GetActiveFrame(), pane);
  EXPECT_EQ(form.GetActiveEditFrame(), nullptr);
  // A control inside a pane gives that pane.
  pane->findChild<QLineEdit*>()->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(form.GetActiveFrame(), pane);
  // A control outside every frame gives none.
  form.ToolButton("OpenBtn")->setFocusPolicy(Qt::StrongFocus);
  form.ToolButton("OpenBtn")->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(form.GetActiveFrame(), nullptr);
}

TEST_F(MainFormTest, FramesAreEnumeratedMainFirstFloatingNever)
{
  TMainForm& form = Start();
  TFrame* pane = form.FHelpFrame;
  TEditFrame* a = Open("a.xml");
  TEditFrame* b = Open("b.xml");
  EXPECT_EQ(form.GetFrameCount(), 3);
  EXPECT_EQ(form.GetFrame(0), a);
  EXPECT_EQ(form.GetFrame(1), b);
  EXPECT_EQ(form.GetFrame(2), pane);
  // Dragged to the side bar: enumerated after the main pages.
  form.MainPageControl()->MoveFrameTo(a, form.SideBarPageControl());
  EXPECT_EQ(form.GetFrame(0), b);
  EXPECT_EQ(form.GetFrame(2), a);
  EXPECT_EQ(form.SideBarPageControl()->tabText(1), "a.xml");
  // The help pane dragged into the main page control keeps its caption.
  form.SideBarPageControl()->MoveFrameTo(pane, form.MainPageControl());
  EXPECT_EQ(form.MainPageControl()->tabText(1), "Help");
  // Floating: neither counted nor enumerated, owned by the window, and
  // closing its window docks it back.
  form.MainPageControl()->FloatFrame(b, QPoint(50, 50));
  EXPECT_TRUE(b->IsFloating());
  EXPECT_EQ(b->parentWidget(), &form);
  EXPECT_EQ(form.GetFrameCount(), 2);
  EXPECT_EQ(form.MainPageControl()->IndexOfFrame(b), -1);
  b->close();
  EXPECT_FALSE(b->IsFloating());
  EXPECT_EQ(form.MainPageControl()->IndexOfFrame(b), 1);
  EXPECT_EQ(form.GetFrameCount(), 3);
}

TEST_F(MainFormTest, AFloatingEditorIsTheActiveFrameAndKeepsTheShortcuts)
{
  TMainForm& form = Start();
  TEditFrame* frame = Open("a.xml");
  form.MainPageControl()->FloatFrame(frame, QPoint(40, 40));
  frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
  frame->SynEdit->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(form.GetActiveEditFrame(), frame);
  frame->SynEdit->setText("<moved/>");
  frame->MarkModified();
  form.HeartbeatTimerTimer();
  EXPECT_TRUE(form.Action("MenuFileSave")->isEnabled());
  QTest::keyClick(frame->SynEdit, Qt::Key_S, Qt::ControlModifier);  // the configured Ctrl+S
  EXPECT_EQ(ReadTestFile(Folder + "a.xml"), "<moved/>");
}

TEST_F(MainFormTest, HelpCopyPastePastesIntoTheOtherPageControlsEditor)
{
  TMainForm& form = Start();
  TFrame* pane = DockPane("Help");
  TEditFrame* doc = Open("a.xml", "");
  QApplication::clipboard()->setText("<p/>");
  form.HelpCopyPaste(*pane);
  EXPECT_EQ(doc->GetText(), "<p/>");
  // Help pane in the main control: the target is the side bar's active page.
  form.SideBarPageControl()->MoveFrameTo(pane, form.MainPageControl());
  form.MainPageControl()->MoveFrameTo(doc, form.SideBarPageControl());
  form.HelpCopyPaste(*pane);
  EXPECT_EQ(doc->GetText(), "<p/><p/>");
}

TEST_F(MainFormTest, PanesHideAndComeBackAsSideBarPages)
{
  TMainForm& form = Start();
  TFrame* help = form.FHelpFrame;
  TFrame* log = form.FLogFrame;
  form.HideLog();
  EXPECT_TRUE(log->IsFloating());
  EXPECT_FALSE(log->isVisible());
  EXPECT_EQ(form.GetFrameCount(), 1);
  form.HeartbeatTimerTimer();
  EXPECT_FALSE(form.Action("MenuViewLog")->isChecked());
  EXPECT_TRUE(form.Action("MenuViewHelp")->isChecked());
  form.ShowLog();
  EXPECT_EQ(form.SideBarPageControl()->ActiveFrame(), log);
  EXPECT_EQ(form.SideBarPageControl()->tabText(1), "Log");
  // A pane docked in the main page control stays there.
  form.SideBarPageControl()->MoveFrameTo(help, form.MainPageControl());
  form.ShowHelp(QString());
  EXPECT_EQ(form.MainPageControl()->ActiveFrame(), help);
  EXPECT_TRUE(Prompts->Messages.isEmpty());
  // The help pane active: its caption, and Print and Select All would be on.
  form.MainPageControl()->setFocus();
  QApplication::processEvents();
  form.HeartbeatTimerTimer();
  EXPECT_EQ(form.windowTitle(), "XML:Plivek - [" + qobject_cast<THelpFrame*>(help)->FTitle + "]");
}

// --- file commands ---------------------------------------------------------------------------

TEST_F(MainFormTest, OpenFileTakesTheTypeByExtensionAndRecordsTheURL)
{
  TMainForm& form = Start();
  std::string path = Write("style.css", "p {}\r\n");
  Prompts->FileNames = {QString::fromStdString(path)};
  form.Action("MenuFileOpenFile")->trigger();
  ASSERT_EQ(form.MainPageControl()->PageCount(), 1);
  EXPECT_EQ(EditFrameAt(0)->FFileType->Id, "css");
  EXPECT_EQ(Project().OpenURL.GetURL(), "file:" + path);
  EXPECT_EQ(Project().MRU.Count(), 1);
  EXPECT_EQ(Prompts->Messages.value(0), "Open File");
}

// The file dialog gives a name that is no local text (a Latin-1 name) with
// U+FFFD in place of its bytes: Open and Save As still name that file.
TEST_F(MainFormTest, OpenAndSaveAsAFileWhoseNameIsNoLocalText)
{
  TMainForm& form = Start();
  std::filesystem::create_directory(Folder + "d\xE9p");
  const std::string path = Write("d\xE9p/caf\xE9.xml", "<c/>\r\n");
  const QString shown = QString::fromLocal8Bit(path.c_str());  // as the dialog lists it
  ASSERT_TRUE(shown.contains(QChar::ReplacementCharacter));
  Prompts->FileNames = {shown};
  form.Action("MenuFileOpenFile")->trigger();
  ASSERT_EQ(form.MainPageControl()->PageCount(), 1) << Prompts->Messages.join("|").toStdString();
  TEditFrame* frame = EditFrameAt(0);
  EXPECT_EQ(frame->FURL.GetNativeName(), path);
  EXPECT_EQ(frame->GetText(), "<c/>\r\n");
  // Save As onto the same file writes that file, not a new one.
  FocusEditor(*frame);
  frame->MarkModified();
  Prompts->FileNames = {shown};
  form.Action("MenuFileSaveAsFile")->trigger();
  EXPECT_EQ(frame->FURL.GetNativeName(), path);
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(Folder + "d\xE9p"))
    entries += entry.path().filename().string()[0] != '~';
  EXPECT_EQ(entries, 1);
}

TEST_F(MainFormTest, OpenFileThatCannotBeReadLeavesNoTab)
{
  TMainForm& form = Start();
  Prompts->FileNames = {QString::fromStdString(Folder + "gone.xml")};
  form.Action("MenuFileOpenFile")->trigger();
  EXPECT_EQ(form.GetFrameCount(), 1);  // the "Help" page
  ASSERT_EQ(Prompts->Messages.size(), 2);
  EXPECT_TRUE(Prompts->Messages[1].contains("gone.xml"));
  EXPECT_EQ(Project().MRU.Count(), 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  // Nor does a named pipe: it is refused without being opened.
  TFifoTrap pipe(Folder + "pipe.xml");
  Prompts->FileNames = {QString::fromStdString(Folder + "pipe.xml")};
  form.Action("MenuFileOpenFile")->trigger();
  EXPECT_FALSE(pipe.Opened());
  EXPECT_EQ(form.GetFrameCount(), 1);
  ASSERT_EQ(Prompts->Messages.size(), 4);
  EXPECT_TRUE(Prompts->Messages[3].contains("named pipe")) << Prompts->Messages[3].toStdString();
  EXPECT_EQ(Project().MRU.Count(), 0);
}

TEST_F(MainFormTest, OpenFileWhoseWorkingCopyCannotBeWrittenStaysOpen)
{
  // A document in a folder no one may write to (one the system keeps): it
  // reads, only its working copy cannot be written beside it.
  TMainForm& form = Start();
  ASSERT_FALSE(std::filesystem::exists("/proc/~version"));
  Prompts->FileNames = {"/proc/version"};
  form.Action("MenuFileOpenFile")->trigger();
  ASSERT_EQ(form.MainPageControl()->PageCount(), 1);
  TEditFrame* frame = EditFrameAt(0);
  EXPECT_EQ(frame->GetText().rfind("Linux", 0), 0u);
  EXPECT_EQ(frame->FStatus, 0);
  EXPECT_EQ(form.MainPageControl()->tabText(0), "version");
  ASSERT_EQ(Prompts->Messages.size(), 2);
  EXPECT_TRUE(Prompts->Messages[1].contains("/proc/~version")) << Prompts->Messages[1].toStdString();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainFormTest, CloseAsksYesNoCancel)
{
  TMainForm& form = Start();
  TEditFrame* frame = Open("a.xml");
  FocusEditor(*frame);
  frame->SynEdit->setText("<b/>");
  frame->MarkModified();
  Prompts->Answers = {TAnswer::Cancel};
  form.MenuFileCloseClick();
  EXPECT_EQ(form.GetFrameCount(), 2);  // with the "Help" page
  FocusEditor(*frame);
  Prompts->Answers = {TAnswer::No};
  form.MenuFileCloseClick();
  EXPECT_EQ(form.GetFrameCount(), 1);
  EXPECT_EQ(ReadTestFile(Folder + "a.xml"), "<doc/>\r\n");

  TEditFrame* again = Open("a.xml");
  FocusEditor(*again);
  again->SynEdit->setText("<c/>");
  again->MarkModified();
  Prompts->Answers = {TAnswer::Yes};
  form.MenuFileCloseClick();
  EXPECT_EQ(form.GetFrameCount(), 1);
  EXPECT_EQ(ReadTestFile(Folder + "a.xml"), "<c/>");
  EXPECT_EQ(Prompts->Messages.size(), 3);
}

// Another program changed the file since it was opened or saved: Save asks
// before it replaces those changes, and so does the Yes of the close prompt.
TEST_F(MainFormTest, SaveAsksBeforeReplacingWhatAnotherProgramWrote)
{
  TMainForm& form = Start();
  TEditFrame* frame = Open("a.xml");
  FocusEditor(*frame);
  frame->SynEdit->setText("<mine/>");
  frame->MarkModified();
  Write("a.xml", "<theirs/>\r\n");
  Prompts->Answers = {TAnswer::No};
  form.MenuFileSaveClick();
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].contains("changed by another program")) << Prompts->Messages[0].toStdString();
  EXPECT_EQ(ReadTestFile(Folder + "a.xml"), "<theirs/>\r\n");
  EXPECT_TRUE(frame->FStatus & esModified);

  Prompts->Answers = {TAnswer::Yes, TAnswer::No};
  form.MenuFileCloseClick();  // Yes to saving, No to replacing theirs
  EXPECT_EQ(Prompts->Messages.size(), 3);
  EXPECT_EQ(form.GetFrameCount(), 2);  // still open, with the "Help" page
  EXPECT_EQ(ReadTestFile(Folder + "a.xml"), "<theirs/>\r\n");

  FocusEditor(*frame);
  Prompts->Answers = {TAnswer::Yes};
  form.MenuFileSaveClick();
  EXPECT_EQ(Prompts->Messages.size(), 4);
  EXPECT_EQ(ReadTestFile(Folder + "a.xml"), "<mine/>");
  // What the editor wrote itself is no change of another program's.
  frame->SynEdit->setText("<mine again/>");
  frame->MarkModified();
  form.MenuFileSaveClick();
  EXPECT_EQ(Prompts->Messages.size(), 4);
  EXPECT_EQ(ReadTestFile(Folder + "a.xml"), "<mine again/>");
}

// Save reads back what it is about to write: text that would not open again
// as typed is not written, and the message says which character and where.
TEST_F(MainFormTest, ARefusedSaveShowsWhyAndWritesNothing)
{
  TMainForm& form = Start();
  const std::string bytes = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<r>\x93\xFA</r>\r\n";
  TEditFrame* frame = Open("sjis.xml", bytes);
  FocusEditor(*frame);
  frame->SynEdit->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
  QTest::keyClicks(frame->SynEdit, "\\");
  ASSERT_TRUE(frame->FStatus & esModified);
  Prompts->Messages.clear();
  form.HeartbeatTimerTimer();
  form.Action("MenuFileSave")->trigger();
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_EQ(Prompts->Messages[0].toStdString(),
            "The character \"\\\" (U+005C) in line 3 cannot be written in SHIFT_JIS, the document's encoding: it "
            "would come back as \"\xC2\xA5\" (U+00A5). The document was not saved.");
  EXPECT_EQ(ReadTestFile(Folder + "sjis.xml"), bytes);
  EXPECT_TRUE(frame->FStatus & esModified);
}

TEST_F(MainFormTest, CloseAllGoesOnAfterCancelAndKeepsPanes)
{
  TMainForm& form = Start();  // the help pane is the side bar's page
  Open("a.xml");
  TEditFrame* b = Open("b.xml");
  Open("c.xml");
  b->MarkModified();
  Prompts->Answers = {TAnswer::Cancel};
  form.MenuFileCloseAllClick();
  EXPECT_EQ(form.MainPageControl()->PageCount(), 1);
  EXPECT_EQ(form.GetFrame(0), b);
  EXPECT_EQ(form.SideBarPageControl()->PageCount(), 1);
}

TEST_F(MainFormTest, SaveOfANewDocumentAsksForAFileName)
{
  TMainForm& form = Start();
  TEditFrame* frame = form.NewEditFrame("xml", TURL("file:" + Folder + "new.xml"), true);
  frame->SynEdit->setText(QString::fromLatin1("<\xE9/>"));
  frame->MarkModified();
  FocusEditor(*frame);
  Prompts->FileNames = {QString::fromStdString(Folder + "out.xml")};
  form.MenuFileSaveClick();
  EXPECT_EQ(ReadTestFile(Folder + "out.xml"), "<\xC3\xA9/>");
  EXPECT_EQ(frame->FStatus, 0);
  EXPECT_EQ(form.MainPageControl()->tabText(0), "out.xml");
}

// --- command states ----------------------------------------------------------------------------

TEST_F(MainFormTest, HeartbeatStatesFollowTheActiveDocument)
{
  TMainForm& form = Start();
  form.HeartbeatTimerTimer();
  EXPECT_TRUE(form.Action("MenuFileOpenFile")->isEnabled());
  EXPECT_TRUE(form.Action("MenuFileExit")->isEnabled());
  EXPECT_FALSE(form.Action("MenuFileSave")->isEnabled());
  EXPECT_FALSE(form.Action("MenuFileClose")->isEnabled());
  EXPECT_TRUE(form.Action("MenuFileCloseAll")->isEnabled());  // the "Help" page counts
  EXPECT_FALSE(form.ToolButton("CloseBtn")->isEnabled());
  for (const std::string& name : kUnbuiltCommands) EXPECT_FALSE(form.Action(name)->isEnabled()) << name;

  TEditFrame* frame = Open("a.xml");
  FocusEditor(*frame);
  form.HeartbeatTimerTimer();
  EXPECT_TRUE(form.Action("MenuFileClose")->isEnabled());
  EXPECT_TRUE(form.Action("MenuFileSaveAsFile")->isEnabled());
  EXPECT_TRUE(form.Action("MenuFileCloseAll")->isEnabled());
  EXPECT_FALSE(form.Action("MenuFileSave")->isEnabled());
  EXPECT_TRUE(form.Action("PopupClose")->isEnabled());
  EXPECT_FALSE(form.Action("PopupSave")->isEnabled());
  frame->MarkModified();
  form.HeartbeatTimerTimer();
  EXPECT_TRUE(form.Action("MenuFileSave")->isEnabled());
  EXPECT_TRUE(form.ToolButton("SaveBtn")->isEnabled());
  EXPECT_TRUE(form.Action("PopupSave")->isEnabled());

  frame->SetStatus(esWellFormed | esValid);
  form.HeartbeatTimerTimer();
  EXPECT_EQ(form.PanelText(4), " Well-formed Valid");
  EXPECT_EQ(form.PanelText(1), "");
  frame->MarkModified();
  form.HeartbeatTimerTimer();
  EXPECT_EQ(form.PanelText(4), "");

  // A pane active: no document commands, panels empty, plain caption.
  TFrame* pane = DockPane("Log");
  pane->findChild<QLineEdit*>()->setFocus();
  QApplication::processEvents();
  form.HeartbeatTimerTimer();
  EXPECT_EQ(form.windowTitle(), "XML:Plivek");
  EXPECT_FALSE(form.Action("MenuFileSave")->isEnabled());
  EXPECT_FALSE(form.Action("MenuFileClose")->isEnabled());
  EXPECT_TRUE(form.Action("MenuFileCloseAll")->isEnabled());
  for (int i = 0; i < 5; ++i) EXPECT_EQ(form.PanelText(i), "");
}

TEST(CommandStatesTest, TableCases)
{
  TFileType type("");
  type.Preview2 = "viewer %1";
  type.MimeType = "text/html";
  TCommandInputs in;
  in.HasEditFrame = true;
  in.FileType = &type;
  TCommandStates s = ComputeCommandStates(in);
  EXPECT_FALSE(s.Enabled["MenuToolsPreview1"]);
  EXPECT_TRUE(s.Enabled["MenuToolsPreview2"]);
  EXPECT_FALSE(s.Enabled["MenuToolsPreview3"]);
  EXPECT_TRUE(s.Enabled["MenuToolsConvert"]);
  EXPECT_FALSE(s.Enabled["MenuHelpContext"]);
  EXPECT_FALSE(s.Enabled["MenuFileSave"]);
  EXPECT_TRUE(s.Enabled["MenuFilePrint"]);
  type.MimeType = "text/HTML";
  EXPECT_FALSE(ComputeCommandStates(in).Enabled["MenuToolsConvert"]);

  // With an editor, Cut and Copy follow its selection, not the help pane.
  in.HelpCommands = {{hbcCut, true}, {hbcCopy, true}};
  EXPECT_FALSE(ComputeCommandStates(in).Enabled["MenuEditCut"]);
  in.HasSelection = true;
  EXPECT_TRUE(ComputeCommandStates(in).Enabled["MenuEditCopy"]);

  TCommandInputs help;
  help.HelpPaneActive = true;
  help.HelpCommands = {{hbcCopy, true}, {hbcUndo, false}};
  s = ComputeCommandStates(help);
  EXPECT_TRUE(s.Enabled["MenuFilePrint"]);
  EXPECT_TRUE(s.Enabled["MenuEditSelectAll"]);
  EXPECT_TRUE(s.Enabled["MenuEditCopy"]);
  EXPECT_FALSE(s.Enabled["MenuEditCut"]);
  EXPECT_FALSE(s.Enabled["MenuEditUndo"]);
  EXPECT_FALSE(s.Enabled["MenuFileSave"]);
  EXPECT_FALSE(s.Enabled["MenuFileClose"]);

  TCommandInputs none;
  none.Layout = 0;
  s = ComputeCommandStates(none);
  EXPECT_FALSE(s.Enabled["MenuViewMoreHelp"]);
  EXPECT_TRUE(s.Enabled["MenuViewMoreEdit"]);
  EXPECT_FALSE(s.Enabled["MenuFileCloseAll"]);
  EXPECT_FALSE(s.Enabled["MenuFilePrint"]);
  none.Layout = 3;
  none.PageCount = 1;
  none.LogVisible = true;
  s = ComputeCommandStates(none);
  EXPECT_TRUE(s.Enabled["MenuViewMoreHelp"]);
  EXPECT_FALSE(s.Enabled["MenuViewMoreEdit"]);
  EXPECT_TRUE(s.Enabled["MenuFileCloseAll"]);
  EXPECT_TRUE(s.LogChecked);
  EXPECT_FALSE(s.HelpChecked);
}

}  // namespace
