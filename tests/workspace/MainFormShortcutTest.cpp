// The main window's keyboard: configured shortcuts reach the menus, the menu
// captions and their keys, Tab and Shift+Tab in the editor and elsewhere,
// and menus opened from the keyboard.

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>
#include <Qsci/qsciscintilla.h>

#include "MainFormFixture.h"
#include "model/ModelModule.h"
#include "platform/VirtualKeys.h"
#include "resource/zevlog.h"

namespace {

class ShortcutTest : public MainFormFixture {
protected:
  TEditFrame* Open(const std::string& name, const std::string& bytes = "<doc/>\r\n")
  {
    return Form().NewEditFrame("xml", TURL("file:" + Write(name, bytes)), false);
  }
  void Bind(const std::string& command, TShortCut key)
  {
    TShortcutItem& item = ConfigInfo().AddShortcut();
    item.Command = command;
    item.Key = key;
  }
};

TEST_F(ShortcutTest, ConfiguredApplicationKeysReachTheMenu)
{
  TMainForm& form = Start();
  ConfigInfo().ClearShortcuts();
  const TShortCut ctrl = scCtrl, shift = scShift;
  Bind("pvFileSave", ShortCut(vk::Letter('S'), ctrl));
  Bind("pvFileSave", ShortCut(vk::Letter('S'), ctrl | shift));  // the later item wins
  Bind("pvNoSuchCommand", ShortCut(vk::F(5)));
  Bind("ecUndo", ShortCut(vk::Letter('Z'), ctrl));
  Bind("pvfileclose", ShortCut(vk::F(4), ctrl));  // names compare exactly
  form.Action("MenuFileOpenFTP")->setShortcut(QKeySequence("Ctrl+Alt+F"));
  form.Action("MenuEditUndo")->setShortcut(QKeySequence("Ctrl+Y"));
  form.ApplyShortcuts();
  EXPECT_EQ(form.Action("MenuFileSave")->shortcut(), QKeySequence("Ctrl+Shift+S"));
  EXPECT_TRUE(form.Action("MenuFileClose")->shortcut().isEmpty());
  EXPECT_TRUE(form.Action("MenuEditUndo")->shortcut().isEmpty());
  // Find and Replace lose their laid-out keys without a binding.
  EXPECT_TRUE(form.Action("MenuSearchFind")->shortcut().isEmpty());
  EXPECT_TRUE(form.Action("MenuSearchReplace")->shortcut().isEmpty());
  // Open FTP, Open Web page and Save As FTP are not cleared.
  EXPECT_EQ(form.Action("MenuFileOpenFTP")->shortcut(), QKeySequence("Ctrl+Alt+F"));
  for (const auto& [name, item] : TMainForm::CommandMenuItems()) {
    if (std::string(name) != "pvFileSave" && std::string(item) != "MenuFileOpenFTP") {
      EXPECT_TRUE(form.Action(item)->shortcut().isEmpty()) << item;
    }
  }
}

TEST_F(ShortcutTest, KeyOfTwoApplicationCommandsGoesToTheFirstAndLosersAreLogged)
{
  // Two menu items with one key would both be ambiguous: the key would run
  // nothing.
  TMainForm& form = Start();
  ConfigInfo().ClearShortcuts();
  const TShortCut ctrlN = ShortCut(vk::Letter('N'), scCtrl), ctrlO = ShortCut(vk::Letter('O'), scCtrl);
  Bind("pvFileNew", ctrlN);
  Bind("pvHelpAbout", ctrlN);
  Bind("pvFileOpenFile", ctrlO);  // replaced below: Ctrl+O stays free for Print
  Bind("pvFilePrint", ctrlO);
  Bind("pvFileOpenFile", ShortCut(vk::Letter('O'), scCtrl | scShift));
  Bind("ecDeleteLine", ShortCut(vk::F(9)));  // the menu's key runs before the editor's
  Bind("pvToolsWellFormed", ShortCut(vk::F(9)));
  QStringList logged;
  auto onLog = AppLog().OnLog;
  const TzevLog::TLevels levels = AppLog().Levels;
  AppLog().Levels.set(3);
  AppLog().OnLog = [&](TzevLog&, std::uint8_t, const std::string& msg) { logged << QString::fromStdString(msg); };
  form.ApplyShortcuts();
  AppLog().OnLog = onLog;
  AppLog().Levels = levels;
  EXPECT_EQ(form.Action("MenuFileNew")->shortcut(), QKeySequence("Ctrl+N"));
  EXPECT_TRUE(form.Action("MenuHelpAbout")->shortcut().isEmpty());
  EXPECT_EQ(form.Action("MenuFilePrint")->shortcut(), QKeySequence("Ctrl+O"));
  EXPECT_EQ(form.Action("MenuFileOpenFile")->shortcut(), QKeySequence("Ctrl+Shift+O"));
  EXPECT_EQ(form.Action("MenuToolsWellFormed")->shortcut(), QKeySequence("F9"));
  EXPECT_EQ(logged, QStringList({"Key Ctrl+N of pvHelpAbout not bound: pvFileNew has it",
                                 "Key F9 of ecDeleteLine not bound: pvToolsWellFormed has it"}));

  // Open FTP keeps its key when the bindings are applied again, until
  // another command is given that key.
  ConfigInfo().ClearShortcuts();
  Bind("pvFileOpenFTP", ctrlO);
  form.ApplyShortcuts();
  ConfigInfo().ClearShortcuts();
  form.ApplyShortcuts();
  EXPECT_EQ(form.Action("MenuFileOpenFTP")->shortcut(), QKeySequence("Ctrl+O"));
  Bind("pvFileOpenFile", ctrlO);
  form.ApplyShortcuts();
  EXPECT_EQ(form.Action("MenuFileOpenFile")->shortcut(), QKeySequence("Ctrl+O"));
  EXPECT_TRUE(form.Action("MenuFileOpenFTP")->shortcut().isEmpty());
}

TEST_F(ShortcutTest, TableHasTheApplicationCommandsInOrder)
{
  const auto& table = TMainForm::CommandMenuItems();
  ASSERT_EQ(table.size(), 32u);
  EXPECT_STREQ(table.front().first, "pvFileNew");
  EXPECT_STREQ(table[16].second, "MenuEditredo");
  EXPECT_STREQ(table.back().first, "pvHelpAbout");
}

TEST_F(ShortcutTest, MenuCaptionsAsSpecifiedInOrder)
{
  TMainForm& form = Start();
  auto captions = [&](const char* menu) {
    QStringList texts;
    for (QAction* action : form.findChild<QMenu*>(menu)->actions())
      texts << (action->isSeparator() ? "-" : action->text());
    return texts.join("|");
  };
  EXPECT_EQ(captions("File1"), "&New...|&Open file...|Open &FTP...|Open &Web page...|&Recent|&Save|Save &As file...|"
                               "Save As F&TP...|&Close|Close A&ll|Change &File type...|-|&Print...|-|E&xit");
  EXPECT_EQ(captions("MenuEdit"), "Cu&t|&Copy|&Paste|Select &All|-|&Undo|&Redo|-|Con&figuration Options...");
  EXPECT_EQ(captions("MenuSearch"), "&Find...|&Replace...");
  EXPECT_EQ(captions("Tools1"), "C&onvert (HTML to XML)|-|Check &Well Formed|Check is &Valid|&Transform|&Batch...|-|"
                                "Preview &1...|Preview &2...|Preview &3...");
  EXPECT_EQ(captions("View1"), "More Hel&p|More Edi&t|-|&Log|&Help");
  EXPECT_EQ(captions("Help1"), "&Contents|Conte&xt sensitive help|&About...");
  EXPECT_EQ(captions("PopupMenu"),
            "Cu&t|&Copy|&Paste|-|&Save|Close|Preview|&Well formed|&Valid|Transform|&Print...|-|&Help");
  for (const char* name : {"NewBtn", "OpenBtn", "SaveBtn", "CloseBtn", "PrintBtn", "CutBtn", "CopyBtn", "PasteBtn",
                           "WellFormedBtn", "ValidateBtn", "TransformBtn", "Preview1Btn", "Preview2Btn",
                           "Preview3Btn", "MoreHelpBtn", "MoreEditBtn"})
    EXPECT_NE(form.findChild<QToolButton*>(name), nullptr) << name;
  EXPECT_EQ(form.ToolButton("ValidateBtn")->toolTip(), "Check is Valid ");
  EXPECT_NE(form.findChild<QWidget*>("StatusBar"), nullptr);
  EXPECT_NE(form.findChild<TPageControl*>("MainPageControl"), nullptr);
  EXPECT_NE(form.findChild<TPageControl*>("SideBarPageControl"), nullptr);
}

TEST_F(ShortcutTest, TabAndShiftTabStayInTheEditor)
{
  TMainForm& form = Start();
  TEditFrame* frame = Open("a.xml", "<a>\r\n<b/>\r\n</a>\r\n");
  FocusEditor(*frame);
  frame->SynEdit->setCursorPosition(1, 0);
  QTest::keyClick(frame->SynEdit, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), frame->SynEdit);
  // ecTab: the second line moved right by blanks.
  std::string indented = frame->GetText();
  EXPECT_EQ(indented.find("<a>\r\n  "), 0u) << indented;
  EXPECT_EQ(frame->SynEdit->text(1).trimmed(), "<b/>");
  // ecShiftTab: the line moves back left (by the block indent step).
  QTest::keyClick(frame->SynEdit, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), frame->SynEdit);
  EXPECT_LT(frame->GetText().size(), indented.size());
  EXPECT_EQ(frame->SynEdit->text(1).trimmed(), "<b/>");
  (void)form;
}

// Menus are no controls: opened from the keyboard, the document stays the
// active frame, so its commands stay available in them.
TEST_F(ShortcutTest, MenusOpenedFromTheKeyboardKeepTheDocumentActive)
{
  TMainForm& form = Start();
  TEditFrame* frame = Open("a.xml");
  FocusEditor(*frame);
  QTest::keyClicks(frame->SynEdit, "x");
  form.HeartbeatTimerTimer();
  ASSERT_TRUE(form.Action("MenuFileSave")->isEnabled());
  auto expectDocumentCommands = [&](const char* step) {
    form.HeartbeatTimerTimer();
    EXPECT_EQ(form.GetActiveEditFrame(), frame) << step;
    for (const char* item : {"MenuFileSave", "MenuFileSaveAsFile", "MenuFileClose", "MenuFilePrint",
                             "MenuToolsWellFormed", "MenuToolsTransform"})
      EXPECT_TRUE(form.Action(item)->isEnabled()) << step << " " << item;
  };
  // Alt+T opens Tools; Escape goes back to the menu bar, Escape again to the editor.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::AltModifier);
  ASSERT_NE(qobject_cast<QMenu*>(QApplication::activePopupWidget()), nullptr);
  expectDocumentCommands("Alt+T");
  QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  expectDocumentCommands("Escape to the menu bar");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_EQ(QApplication::focusWidget(), frame->SynEdit);
  // Alt+F, then S saves the document.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::AltModifier);
  auto* file = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(file, nullptr);
  expectDocumentCommands("Alt+F");
  QTest::keyClick(file, Qt::Key_S);
  QApplication::processEvents();
  EXPECT_EQ(ReadTestFile(Folder + "a.xml"), "x<doc/>\r\n");
  EXPECT_FALSE(frame->FStatus & esModified);
}

TEST_F(ShortcutTest, TabInAnotherWidgetMovesTheFocus)
{
  Start();
  QWidget dialog;
  auto* first = new QLineEdit(&dialog);
  auto* second = new QLineEdit(&dialog);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(first);
  layout->addWidget(second);
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  first->setFocus();
  QApplication::processEvents();
  QTest::keyClick(first, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), second);
  EXPECT_TRUE(first->text().isEmpty());
}

}  // namespace
