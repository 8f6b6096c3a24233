// Edit > Configuration Options: the dialog's settings reach every docked
// editor and the menu shortcuts on OK, and nothing on Cancel.

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <Qsci/qsciscintilla.h>
#include <functional>

#include "MainFormFixture.h"
#include "dialogs/TConfigDialog.h"
#include "dialogs/THotKey.h"
#include "dialogs/TDropDownComboBox.h"
#include "model/ModelModule.h"
#include "model/TFileTypes.h"

namespace {

constexpr TShortCut CtrlAltF7 = ShortCut(vk::F(7), scCtrl | scAlt);

class MainFormConfigTest : public MainFormFixture {
protected:
  // Runs Edit > Configuration Options with action done inside the dialog.
  void Configure(const std::function<void(TConfigDialog&)>& action, bool ok = true)
  {
    QTimer::singleShot(0, ConfigDialog, [action, ok] {
      if (action) action(*ConfigDialog);
      (ok ? ConfigDialog->OKBtn : ConfigDialog->CancelBtn)->click();
    });
    Form().Action("MenuEditConfigurationOptions")->trigger();
  }

  // A new binding typed into the dialog: command and first key.
  static void AddBinding(TConfigDialog& dialog, const char* command, int qtKey, Qt::KeyboardModifiers modifiers)
  {
    dialog.AddKeyBtn->click();
    dialog.CommandCombo->setEditText(command);
    QTest::keyClick(dialog.HotKey1, static_cast<Qt::Key>(qtKey), modifiers);
  }

  TEditFrame& Open(const std::string& name, const std::string& text)
  {
    std::string path = Write(name, text);
    Form().NewEditFrame(FileTypes().FindByExtension(name.substr(name.rfind('.')))->Id, TURL(path), false);
    return *EditFrameAt(Form().MainPageControl()->PageCount() - 1);
  }
};

}  // namespace

TEST_F(MainFormConfigTest, TheCommandIsEnabled)
{
  TMainForm& form = Start();
  form.HeartbeatTimerTimer();
  EXPECT_TRUE(form.Action("MenuEditConfigurationOptions")->isEnabled());
}

TEST_F(MainFormConfigTest, NewEditorBindingReachesEditorsInBothPageControlsOnOk)
{
  Start();
  TEditFrame& main = Open("a.xml", "<a/>\r\n<b/>\r\n");
  TEditFrame& side = Open("b.xml", "<c/>\r\n");
  Form().SideBarPageControl()->DockFrame(&side, "b.xml");
  ASSERT_EQ(side.HostPageControl(), Form().SideBarPageControl());
  ASSERT_EQ(main.KeyBindings().Find(CtrlAltF7), nullptr);

  Configure([](TConfigDialog& dialog) {
    AddBinding(dialog, "ecDeleteLine", Qt::Key_F7, Qt::ControlModifier | Qt::AltModifier);
  });
  for (TEditFrame* frame : {&main, &side}) {
    const TEditorKeyBindings::TBinding* binding = frame->KeyBindings().Find(CtrlAltF7);
    ASSERT_NE(binding, nullptr);
    EXPECT_EQ(binding->Command, ecDeleteLine);
  }
  FocusEditor(main);
  main.SynEdit->setCursorPosition(0, 1);
  QTest::keyClick(main.SynEdit, Qt::Key_F7, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(main.GetText(), "<b/>\r\n");
}

TEST_F(MainFormConfigTest, NewApplicationShortcutReachesItsMenuItemOnOk)
{
  TMainForm& form = Start();
  Configure([](TConfigDialog& dialog) {
    AddBinding(dialog, "pvSearchReplace", Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
  });
  EXPECT_EQ(form.Action("MenuSearchReplace")->shortcut(), QKeySequence("Ctrl+Shift+H"));
  const TShortcutItem& stored = *ConfigInfo().GetShortcut(ConfigInfo().ShortcutCount() - 1);
  EXPECT_EQ(stored.Command, "pvSearchReplace");
  EXPECT_EQ(stored.Key, ShortCut(vk::Letter('H'), scCtrl | scShift));
}

TEST_F(MainFormConfigTest, KeyTakenOverFromAnotherCommandRunsOnlyTheNewOne)
{
  TMainForm& form = Start();
  ASSERT_EQ(form.Action("MenuFileNew")->shortcut(), QKeySequence("Ctrl+N"));
  Prompts->Answers = {TPrompter::TAnswer::Yes};
  Configure([](TConfigDialog& dialog) {
    AddBinding(dialog, "pvHelpAbout", Qt::Key_N, Qt::ControlModifier);
  });
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].startsWith("Ctrl+N is already bound to pvFileNew."));
  EXPECT_EQ(form.Action("MenuHelpAbout")->shortcut(), QKeySequence("Ctrl+N"));
  EXPECT_TRUE(form.Action("MenuFileNew")->shortcut().isEmpty());
}

TEST_F(MainFormConfigTest, CancelAppliesNothing)
{
  TMainForm& form = Start();
  TEditFrame& frame = Open("a.xml", "<a/>\r\n");
  const TConfigInfo before = ConfigInfo();
  const int bindings = frame.KeyBindings().Count();
  const QKeySequence replace = form.Action("MenuSearchReplace")->shortcut();
  Configure([](TConfigDialog& dialog) {
    AddBinding(dialog, "ecDeleteLine", Qt::Key_F7, Qt::ControlModifier | Qt::AltModifier);
    AddBinding(dialog, "pvSearchReplace", Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
  }, false);
  EXPECT_EQ(ConfigInfo(), before);
  EXPECT_EQ(frame.KeyBindings().Count(), bindings);
  EXPECT_EQ(frame.KeyBindings().Find(CtrlAltF7), nullptr);
  EXPECT_EQ(form.Action("MenuSearchReplace")->shortcut(), replace);
}

TEST_F(MainFormConfigTest, ConfigurationFileIsWrittenOnlyAtExit)
{
  Start();
  Configure([](TConfigDialog& dialog) {
    AddBinding(dialog, "ecDeleteLine", Qt::Key_F7, Qt::ControlModifier | Qt::AltModifier);
  });
  EXPECT_FALSE(std::filesystem::exists(Folder + "xmlplivek.config"));
  Stop();
  EXPECT_NE(ReadTestFile(Folder + "xmlplivek.config").find("key=\"Ctrl+Alt+F7\" key2=\"\" command=\"ecDeleteLine\""),
            std::string::npos);
}

TEST_F(MainFormConfigTest, DeletingTheTypeOfAnOpenDocumentGivesItAnotherType)
{
  TMainForm& form = Start();
  TEditFrame& sheet = Open("s.xsl", "<x/>\r\n");
  TEditFrame& page = Open("p.css", "p {}\r\n");
  ASSERT_EQ(sheet.FFileType->Id, "xsl");
  Configure([](TConfigDialog& dialog) {
    int row = FileTypes().IndexOf(FileTypes().FindById("xsl"));
    dialog.FileTypesListBox->setCurrentRow(row);
    dialog.DeleteBtn->click();
  }, false);
  for (int i = 0; i < FileTypes().Count(); ++i) ASSERT_NE(FileTypes().GetFileType(i).Id, "xsl");
  // No type is left for ".xsl": the first type of the list.
  EXPECT_EQ(sheet.FFileType, &FileTypes().GetFileType(0));
  EXPECT_EQ(page.FFileType->Id, "css");
  FocusEditor(sheet);
  form.HeartbeatTimerTimer();
  EXPECT_EQ(form.PanelText(2), QString::fromStdString(FileTypes().GetFileType(0).Id));
}
