// The configuration dialog's "Editor Options" and "Keyboard" pages.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "ConfigDialogFixture.h"
#include "dialogs/TColorBox.h"
#include "dialogs/TDropDownComboBox.h"
#include "dialogs/THotKey.h"
#include "model/ApplicationCommands.h"

namespace {

QStringList Items(const QComboBox& combo)
{
  QStringList items;
  for (int i = 0; i < combo.count(); ++i) items << combo.itemText(i);
  return items;
}

// The button inside a key field that clears it.
QAction* ClearAction(THotKey* field)
{
  return field->findChild<QAction*>("ClearKeyAction");
}

}  // namespace

using ConfigDialogTest = ConfigDialogFixture;

TEST_F(ConfigDialogTest, FormPagesAndFirstPage)
{
  EXPECT_EQ(Dialog->windowTitle(), "Configure Dialog");
  EXPECT_EQ(Dialog->minimumSize(), QSize(468, 330));
  QStringList pages;
  for (int i = 0; i < Dialog->PageControl->count(); ++i) pages << Dialog->PageControl->tabText(i);
  EXPECT_EQ(pages, QStringList({"Editor Options", "Keyboard", "File types"}));
  for (const char* name : {"BackgroundColorBox", "TabWidthEdit", "FontBtn", "GutterVisibleCheck",
                           "GutterAutosizeCheck", "GutterLineNumbersCheck", "GutterStartAtZeroCheck",
                           "GutterLeadingZerosCheck", "GutterColorBox", "GutterFontBtn", "RightEdgeColumnEdit",
                           "RightEdgeColorBox", "SelectedTextColorBox", "SelectedBackgroundColorBox", "KeyListView",
                           "CategoryCombo", "CommandCombo", "HotKey1", "HotKey2", "AddKeyBtn", "RemoveKeyBtn",
                           "FileTypesListBox", "EditBtn", "DeleteBtn", "AddBtn", "UpBtn", "DownBtn"})
    EXPECT_NE(Dialog->findChild<QWidget*>(name), nullptr) << name;
  EXPECT_EQ(TColorBox::NamedColorCount(), 50);

  // "File types" the first time, later the page last shown.
  Run([this] {
    EXPECT_EQ(Dialog->PageControl->currentIndex(), 2);
    Dialog->PageControl->setCurrentIndex(1);
  }, false);
  Run([this] { EXPECT_EQ(Dialog->PageControl->currentIndex(), 1); }, false);
}

TEST_F(ConfigDialogTest, ShowingLoadsTheConfigurationAndOkStoresItBackUnchanged)
{
  const TConfigInfo before = ConfigInfo();
  ASSERT_EQ(Run([this] {
    EXPECT_TRUE(Dialog->GutterVisibleCheck->isChecked());
    EXPECT_FALSE(Dialog->GutterAutosizeCheck->isChecked());
    EXPECT_TRUE(Dialog->GutterLineNumbersCheck->isChecked());
    EXPECT_EQ(Dialog->GutterColorBox->currentText(), "BtnFace");
    EXPECT_EQ(Dialog->SelectedBackgroundColorBox->currentText(), "$00030201");
    EXPECT_EQ(Dialog->TabWidthEdit->text(), "4");
    EXPECT_EQ(Dialog->RightEdgeColumnEdit->text(), "100");
    ASSERT_EQ(Dialog->KeyListView->rowCount(), 3);
    EXPECT_EQ(KeyText(0, 0), "pvFileNew");
    EXPECT_EQ(KeyText(0, 1), "Ctrl+N");
    EXPECT_EQ(KeyText(0, 2), "");
    EXPECT_EQ(KeyText(1, 1), "Ctrl+K");
    EXPECT_EQ(KeyText(1, 2), "1");
    // The first row is selected and shown in the fields.
    EXPECT_EQ(Dialog->SelectedKeyRow(), 0);
    EXPECT_EQ(Dialog->CategoryCombo->currentText(), "Application");
    EXPECT_EQ(Dialog->CommandCombo->currentText(), "pvFileNew");
    EXPECT_EQ(Dialog->HotKey1->HotKey(), ShortCut(vk::Letter('N'), scCtrl));
    EXPECT_EQ(Dialog->HotKey2->HotKey(), 0);
  }), QDialog::Accepted);
  EXPECT_EQ(ConfigInfo(), before);
}

TEST_F(ConfigDialogTest, CancelStoresNothing)
{
  const TConfigInfo before = ConfigInfo();
  EXPECT_EQ(Run([this] {
    Dialog->GutterVisibleCheck->setChecked(false);
    Dialog->BackgroundColorBox->SetSelected(clNavy);
    Dialog->TabWidthEdit->setText("2");
    Dialog->RemoveKeyBtn->click();
    Dialog->AddKeyBtn->click();
  }, false), QDialog::Rejected);
  EXPECT_EQ(ConfigInfo(), before);
  // The next showing starts from the configuration again.
  Run([this] {
    EXPECT_TRUE(Dialog->GutterVisibleCheck->isChecked());
    EXPECT_EQ(Dialog->KeyListView->rowCount(), 3);
    EXPECT_EQ(KeyText(0, 0), "pvFileNew");
  }, false);
}

TEST_F(ConfigDialogTest, OkStoresEveryEditorOption)
{
  Run([this] {
    Dialog->GutterVisibleCheck->setChecked(false);
    Dialog->GutterAutosizeCheck->setChecked(true);
    Dialog->GutterStartAtZeroCheck->setChecked(true);
    Dialog->GutterLeadingZerosCheck->setChecked(true);
    Dialog->BackgroundColorBox->SetSelected(clCream);
    Dialog->GutterColorBox->SetSelected(clInfoBk);
    Dialog->RightEdgeColorBox->SetSelected(clRed);
    Dialog->SelectedTextColorBox->SetSelected(clYellow);
    Dialog->SelectedBackgroundColorBox->SetSelected(clNavy);
    Dialog->TabWidthEdit->setText("3");
    Dialog->RightEdgeColumnEdit->setText("72");
  });
  const TConfigInfo& config = ConfigInfo();
  EXPECT_FALSE(config.GutterVisible);
  EXPECT_TRUE(config.GutterAutoSize);
  EXPECT_TRUE(config.GutterLineNumbers);
  EXPECT_TRUE(config.GutterStartAtZero);
  EXPECT_TRUE(config.GutterLeadingZeros);
  EXPECT_EQ(config.BackgroundColor, clCream);
  EXPECT_EQ(config.GutterColor, clInfoBk);
  EXPECT_EQ(config.RightEdgeColor, clRed);
  EXPECT_EQ(config.SelectedColor, clYellow);
  EXPECT_EQ(config.SelectedBackground, clNavy);
  EXPECT_EQ(config.TabWidth, 3);
  EXPECT_EQ(config.RightEdgeColumn, 72);
}

TEST_F(ConfigDialogTest, TabWidthAndRightEdgeThatAreNoNumbersStoreTheirDefaults)
{
  Run([this] {
    Dialog->TabWidthEdit->setText("");
    Dialog->RightEdgeColumnEdit->setText("wide");
  });
  EXPECT_EQ(ConfigInfo().TabWidth, 8);
  EXPECT_EQ(ConfigInfo().RightEdgeColumn, 80);
  Run([this] {
    Dialog->TabWidthEdit->setText("4x");
    Dialog->RightEdgeColumnEdit->setText("$40");
  });
  EXPECT_EQ(ConfigInfo().TabWidth, 8);
  EXPECT_EQ(ConfigInfo().RightEdgeColumn, 64);
}

TEST_F(ConfigDialogTest, CustomColourComesFromTheColourChooser)
{
  TColorBox::SetColorChooser([](QWidget*, TColor& color) {
    color = RGBColor(10, 20, 30);
    return true;
  });
  Run([this] {
    TColorBox& box = *Dialog->RightEdgeColorBox;
    box.setCurrentIndex(box.count() - 1);
    emit box.activated(box.count() - 1);
    EXPECT_EQ(box.currentText(), "$001E140A");
  });
  TColorBox::SetColorChooser(nullptr);
  EXPECT_EQ(ConfigInfo().RightEdgeColor, RGBColor(10, 20, 30));
}

TEST_F(ConfigDialogTest, ChosenFontsStayEvenAfterCancel)
{
  ChosenFont = TConfigFont();
  ChosenFont->SetName("DejaVu Sans Mono");
  ChosenFont->Size = 13;
  ChosenFont->Style.Bold = true;
  Run([this] { Dialog->GutterFontBtn->click(); }, false);
  EXPECT_EQ(ConfigInfo().GutterFont, *ChosenFont);

  ChosenFont->Size = 17;
  Run([this] { Dialog->FontBtn->click(); }, false);
  EXPECT_EQ(ConfigInfo().EditorFont, *ChosenFont);

  // A cancelled font dialog changes nothing.
  const TConfigFont before = ConfigInfo().EditorFont;
  ChosenFont.reset();
  Dialog->FontBtnClick();
  EXPECT_EQ(ConfigInfo().EditorFont, before);
}

// ---- Keyboard -------------------------------------------------------------------------

TEST_F(ConfigDialogTest, CapturedKeysBecomeTheStoredCodes)
{
  Run([this] {
    Dialog->KeyListView->selectRow(1);
    QTest::keyClick(Dialog->HotKey1, Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Dialog->HotKey1->HotKey(), 0x6074);
    EXPECT_EQ(KeyText(1, 1), "Shift+Ctrl+F5");
    QTest::keyClick(Dialog->HotKey2, Qt::Key_Tab, Qt::AltModifier);
    EXPECT_EQ(KeyText(1, 2), "Alt+Tab");
    Dialog->KeyListView->selectRow(2);
    QTest::keyClick(Dialog->HotKey1, Qt::Key_Escape);
    // Modifier keys alone record nothing.
    QTest::keyClick(Dialog->HotKey2, Qt::Key_Control, Qt::ControlModifier);
    EXPECT_EQ(Dialog->HotKey2->HotKey(), 0);
  });
  const TConfigInfo& config = ConfigInfo();
  ASSERT_EQ(config.ShortcutCount(), 3);
  EXPECT_EQ(config.GetShortcut(1)->Key, ShortCut(vk::F(5), scShift | scCtrl));
  EXPECT_EQ(config.GetShortcut(1)->Key2, ShortCut(vk::Tab, scAlt));
  EXPECT_EQ(config.GetShortcut(1)->Command, "ecSetMarker1");
  EXPECT_EQ(config.GetShortcut(2)->Key, ShortCut(vk::Escape));
  EXPECT_EQ(config.GetShortcut(2)->Key2, 0);
}

TEST_F(ConfigDialogTest, SelectingARowShowsItsCategoryCommandAndKeys)
{
  Run([this] {
    Dialog->KeyListView->selectRow(1);
    EXPECT_EQ(Dialog->CategoryCombo->currentText(), "Editor");
    EXPECT_EQ(Dialog->CommandCombo->currentText(), "ecSetMarker1");
    EXPECT_EQ(Dialog->HotKey1->HotKey(), ShortCut(vk::Letter('K'), scCtrl));
    EXPECT_EQ(Dialog->HotKey2->HotKey(), ShortCut(vk::Digit(1)));
    EXPECT_EQ(Dialog->HotKey2->text(), "1");
    Dialog->KeyListView->selectRow(0);
    EXPECT_EQ(Dialog->HotKey2->HotKey(), 0);
    EXPECT_EQ(Dialog->HotKey2->text(), "None");
  }, false);
}

TEST_F(ConfigDialogTest, CommandListFollowsTheCategory)
{
  Run([this] {
    Dialog->KeyListView->selectRow(1);
    Dialog->CommandComboDropDown();
    QStringList editor = Items(*Dialog->CommandCombo);
    ASSERT_EQ(editor.size(), 96);
    EXPECT_EQ(editor.front(), "ecNone");
    EXPECT_EQ(editor[1], "ecLeft");
    EXPECT_EQ(editor.back(), "ecString");
    // Filling the list keeps the command shown and the row's command.
    EXPECT_EQ(Dialog->CommandCombo->currentText(), "ecSetMarker1");
    EXPECT_EQ(KeyText(1, 0), "ecSetMarker1");

    // Another category empties the command field; the row keeps its command.
    Dialog->CategoryCombo->setCurrentIndex(0);
    EXPECT_EQ(Dialog->CommandCombo->currentText(), "");
    EXPECT_EQ(KeyText(1, 0), "ecSetMarker1");
    Dialog->CommandComboDropDown();
    QStringList application = Items(*Dialog->CommandCombo);
    ASSERT_EQ(application.size(), 32);
    EXPECT_EQ(application.front(), "pvFileNew");
    EXPECT_EQ(application.back(), "pvHelpAbout");

    // A category typed by hand names no item: the editor commands.
    Dialog->CategoryCombo->setEditText("Other");
    Dialog->CommandComboDropDown();
    EXPECT_EQ(Dialog->CommandCombo->count(), 96);

    // Picking from the list changes the row.
    Dialog->CommandCombo->setCurrentIndex(5);
    EXPECT_EQ(KeyText(1, 0), "ecWordLeft");
  });
  EXPECT_EQ(ConfigInfo().GetShortcut(1)->Command, "ecWordLeft");
}

TEST_F(ConfigDialogTest, TypedCommandsAreStoredAsTyped)
{
  Run([this] {
    Dialog->KeyListView->selectRow(2);
    Dialog->CommandCombo->setEditText("ECLeft");
    EXPECT_EQ(KeyText(2, 0), "ECLeft");
    Dialog->KeyListView->selectRow(0);
    Dialog->CommandCombo->setEditText("no such command");
  });
  EXPECT_EQ(ConfigInfo().GetShortcut(2)->Command, "ECLeft");
  EXPECT_EQ(ConfigInfo().GetShortcut(0)->Command, "no such command");
  // An editor identifier in other letter case counts as "Application".
  Run([this] {
    Dialog->KeyListView->selectRow(2);
    EXPECT_EQ(Dialog->CategoryCombo->currentText(), "Application");
  }, false);
}

TEST_F(ConfigDialogTest, AddAppendsAnEditorRowAndSelectsIt)
{
  Run([this] {
    Dialog->AddKeyBtn->click();
    ASSERT_EQ(Dialog->KeyListView->rowCount(), 4);
    EXPECT_EQ(Dialog->SelectedKeyRow(), 3);
    EXPECT_EQ(KeyText(3, 0), "ecNone");
    EXPECT_EQ(Dialog->CategoryCombo->currentText(), "Editor");
    EXPECT_EQ(Dialog->HotKey1->HotKey(), 0);
    Dialog->CommandCombo->setEditText("ecDeleteLine");
    QTest::keyClick(Dialog->HotKey1, Qt::Key_Y, Qt::ControlModifier);
  });
  ASSERT_EQ(ConfigInfo().ShortcutCount(), 4);
  const TShortcutItem& added = *ConfigInfo().GetShortcut(3);
  EXPECT_EQ(added.Command, "ecDeleteLine");
  EXPECT_EQ(added.Key, ShortCut(vk::Letter('Y'), scCtrl));
  EXPECT_EQ(added.Key2, 0);
}

TEST_F(ConfigDialogTest, RemoveSelectsTheNextRowThenTheLastThenNone)
{
  Run([this] {
    Dialog->KeyListView->selectRow(1);
    Dialog->RemoveKeyBtn->click();
    EXPECT_EQ(Dialog->SelectedKeyRow(), 1);
    EXPECT_EQ(Dialog->CommandCombo->currentText(), "ecContextHelp");
    Dialog->RemoveKeyBtn->click();
    EXPECT_EQ(Dialog->SelectedKeyRow(), 0);
    EXPECT_EQ(Dialog->CommandCombo->currentText(), "pvFileNew");
    Dialog->RemoveKeyBtn->click();
    EXPECT_EQ(Dialog->KeyListView->rowCount(), 0);
    EXPECT_EQ(Dialog->SelectedKeyRow(), -1);
    // Nothing selected: the fields change no row.
    Dialog->RemoveKeyBtn->click();
    Dialog->CommandCombo->setEditText("ecUndo");
    QTest::keyClick(Dialog->HotKey1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Dialog->KeyListView->rowCount(), 0);
  });
  EXPECT_EQ(ConfigInfo().ShortcutCount(), 0);
  Run([this] {
    EXPECT_EQ(Dialog->KeyListView->rowCount(), 0);
    EXPECT_EQ(Dialog->SelectedKeyRow(), -1);
  }, false);
}

TEST_F(ConfigDialogTest, HotKeyTakesTheKeysOfTheDialog)
{
  // Enter, Esc and Tab in a key field are keys to record, not OK, Cancel or
  // a move of the focus.
  Run([this] {
    Dialog->HotKey1->setFocus();
    QTest::keyClick(Dialog->HotKey1, Qt::Key_Return);
    EXPECT_TRUE(Dialog->isVisible());
    EXPECT_EQ(Dialog->HotKey1->HotKey(), ShortCut(vk::Return));
    QTest::keyClick(Dialog->HotKey1, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Dialog->HotKey1->HotKey(), ShortCut(vk::Tab, scShift));
  });
  EXPECT_EQ(ConfigInfo().GetShortcut(0)->Key, ShortCut(vk::Tab, scShift));
}

TEST_F(ConfigDialogTest, KeyFieldsAreClearedByTheirClearButtonWhileBackspaceAndDeleteAreKeys)
{
  Run([this] {
    Dialog->PageControl->setCurrentIndex(1);
    Dialog->KeyListView->selectRow(1);
    // Backspace and Delete are keys to bind, not a way to empty the field.
    QTest::keyClick(Dialog->HotKey1, Qt::Key_Backspace);
    EXPECT_EQ(Dialog->HotKey1->HotKey(), ShortCut(vk::Back));
    QTest::keyClick(Dialog->HotKey2, Qt::Key_Delete);
    EXPECT_EQ(KeyText(1, 2), "Del");

    // The clear button shows in each field and is enabled while it holds a key.
    for (THotKey* field : {Dialog->HotKey1, Dialog->HotKey2}) {
      ASSERT_NE(ClearAction(field), nullptr);
      EXPECT_TRUE(field->actions().contains(ClearAction(field)));
      EXPECT_TRUE(ClearAction(field)->isEnabled());
    }
    ClearAction(Dialog->HotKey2)->trigger();
    EXPECT_EQ(Dialog->HotKey2->HotKey(), 0);
    EXPECT_EQ(Dialog->HotKey2->text(), "None");
    EXPECT_FALSE(ClearAction(Dialog->HotKey2)->isEnabled());
    EXPECT_EQ(KeyText(1, 2), "");
    Dialog->KeyListView->selectRow(0);
    auto* button = Dialog->HotKey1->findChild<QToolButton*>();
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(KeyText(0, 1), "");
    // Another row's key turns the button on again.
    Dialog->KeyListView->selectRow(1);
    EXPECT_TRUE(ClearAction(Dialog->HotKey1)->isEnabled());
  });
  const TConfigInfo& config = ConfigInfo();
  EXPECT_EQ(config.GetShortcut(0)->Key, 0);
  EXPECT_EQ(config.GetShortcut(1)->Key, ShortCut(vk::Back));
  EXPECT_EQ(config.GetShortcut(1)->Key2, 0);
}

TEST_F(ConfigDialogTest, KeyOfAnotherCommandIsTakenOverOnlyWhenTheUserAgrees)
{
  using TAnswer = TPrompter::TAnswer;
  Run([this] {
    Dialog->AddKeyBtn->click();
    Dialog->CommandCombo->setEditText("pvHelpAbout");
    Prompts->Answers = {TAnswer::No, TAnswer::Yes, TAnswer::Yes};
    QTest::keyClick(Dialog->HotKey1, Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(Prompts->Messages.size(), 1);
    EXPECT_EQ(Prompts->Messages[0], "Ctrl+N is already bound to pvFileNew.\n\n"
                                    "Give it to pvHelpAbout instead? pvFileNew will then have no key.");
    EXPECT_EQ(Dialog->HotKey1->HotKey(), 0);
    EXPECT_EQ(KeyText(3, 1), "");
    EXPECT_EQ(KeyText(0, 1), "Ctrl+N");
    // Taken over: the other command loses the key.
    QTest::keyClick(Dialog->HotKey1, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(KeyText(3, 1), "Ctrl+N");
    EXPECT_EQ(KeyText(0, 1), "");
    // An editor command's key is asked about too.
    QTest::keyClick(Dialog->HotKey1, Qt::Key_F1);
    ASSERT_EQ(Prompts->Messages.size(), 3);
    EXPECT_TRUE(Prompts->Messages[2].startsWith("F1 is already bound to ecContextHelp.")) << Prompts->Messages[2].toStdString();
    EXPECT_EQ(KeyText(2, 1), "");

    // A first key that a sequence begins with waits for the second key.
    Dialog->AddKeyBtn->click();
    Dialog->CommandCombo->setEditText("ecDeleteLine");
    QTest::keyClick(Dialog->HotKey1, Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(Prompts->Messages.size(), 3);
    Prompts->Answers = {TAnswer::No};
    QTest::keyClick(Dialog->HotKey2, Qt::Key_1);
    ASSERT_EQ(Prompts->Messages.size(), 4);
    EXPECT_EQ(Prompts->Messages[3], "Ctrl+K, 1 is already bound to ecSetMarker1.\n\n"
                                    "Give it to ecDeleteLine instead? ecSetMarker1 will then have no key.");
    EXPECT_EQ(Dialog->HotKey2->HotKey(), 0);
    QTest::keyClick(Dialog->HotKey2, Qt::Key_2);
    EXPECT_EQ(Prompts->Messages.size(), 4);
  });
  EXPECT_EQ(Prompts->Messages.size(), 4);  // nothing left to ask at OK
  const TConfigInfo& config = ConfigInfo();
  ASSERT_EQ(config.ShortcutCount(), 5);
  EXPECT_EQ(config.GetShortcut(0)->Key, 0);
  EXPECT_EQ(config.GetShortcut(1)->GetKeyText() + config.GetShortcut(1)->GetKey2Text(), "Ctrl+K1");
  EXPECT_EQ(config.GetShortcut(2)->Key, 0);
  EXPECT_EQ(config.GetShortcut(3)->Key, ShortCut(vk::F(1)));
  EXPECT_EQ(config.GetShortcut(4)->GetKeyText() + config.GetShortcut(4)->GetKey2Text(), "Ctrl+K2");
}

TEST_F(ConfigDialogTest, OkListsKeysThatStillClashAndStoresThemOnlyWhenTheUserAgrees)
{
  using TAnswer = TPrompter::TAnswer;
  Run([this] {
    // A key captured before its command is chosen, and a first key without
    // the second one.
    Dialog->AddKeyBtn->click();
    QTest::keyClick(Dialog->HotKey1, Qt::Key_N, Qt::ControlModifier);
    Dialog->CommandCombo->setEditText("pvFileOpenFile");
    Dialog->AddKeyBtn->click();
    Dialog->CommandCombo->setEditText("ecDeleteLine");
    QTest::keyClick(Dialog->HotKey1, Qt::Key_K, Qt::ControlModifier);
    ASSERT_TRUE(Prompts->Messages.isEmpty());
    Dialog->PageControl->setCurrentIndex(0);
    Prompts->Answers = {TAnswer::No, TAnswer::Yes};
    Dialog->OKBtn->click();
    ASSERT_EQ(Prompts->Messages.size(), 1);
    EXPECT_EQ(Prompts->Messages[0], "Some keys are bound to more than one command; only one of them can run:\n"
                                    "\npvFileNew (Ctrl+N) and pvFileOpenFile (Ctrl+N)"
                                    "\necSetMarker1 (Ctrl+K, 1) and ecDeleteLine (Ctrl+K)"
                                    "\n\nStore the key bindings anyway?");
    EXPECT_TRUE(Dialog->isVisible());
    EXPECT_EQ(Dialog->PageControl->currentIndex(), 1);
    EXPECT_EQ(Dialog->SelectedKeyRow(), 3);
  });
  EXPECT_EQ(Prompts->Messages.size(), 2);
  ASSERT_EQ(ConfigInfo().ShortcutCount(), 5);
  EXPECT_EQ(ConfigInfo().GetShortcut(3)->Command, "pvFileOpenFile");
  EXPECT_EQ(ConfigInfo().GetShortcut(3)->Key, ShortCut(vk::Letter('N'), scCtrl));
}
