// The dialogs of the File commands: New File, Change File-type and Open URL.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSpontaneKeyEvent>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "dialogs/TChangeFileTypeDialog.h"
#include "dialogs/TNewFileDialog.h"
#include "dialogs/TOpenURLDialog.h"
#include "model/TFileTypes.h"

namespace {

std::string Definition(const std::string& id, const std::string& title, int index)
{
  return "<filetype id=\"" + id + "\" title=\"" + title + "\" filter=\"*." + id + "\" newfilename=\"new." + id +
         "\" index=\"" + std::to_string(index) + "\"/>\r\n";
}

// Three document types: "a" with the templates b.xml and a.xml (and a
// sub-folder), "b" without a blanks folder, "c" with an empty one.
class FileTypesFixture : public ::testing::Test {
protected:
  std::string Folder;

  void SetUp() override
  {
    Folder = MakeTempFolder("file-dialogs");
    for (const char* sub : {"fa/blanks/sub", "fb", "fc/blanks"}) std::filesystem::create_directories(Folder + sub);
    WriteTestFile(Folder + "fa/a.config", Definition("a", "Type A", 0));
    WriteTestFile(Folder + "fa/blanks/b.xml", "<b/>");
    WriteTestFile(Folder + "fa/blanks/a.xml", "<a/>");
    WriteTestFile(Folder + "fb/b.config", Definition("b", "Type B", 1));
    WriteTestFile(Folder + "fc/c.config", Definition("c", "Type C", 2));
    CreateFileTypes();
    LoadFileTypes(FileTypes(), Folder);
    ASSERT_EQ(FileTypes().Count(), 3);
  }

  void TearDown() override
  {
    FreeFileTypes();
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
  }
};

// What the window system sends when the window comes back, for instance when
// its minimised owner is restored: no new showing of the form.
void ShowAgainByTheWindowSystem(QWidget& window)
{
  QShowEvent event;
  QSpontaneKeyEvent::setSpontaneous(&event);
  QApplication::instance()->notify(&window, &event);  // sendEvent would clear the flag
}

QStringList Items(const QComboBox& combo)
{
  QStringList items;
  for (int i = 0; i < combo.count(); ++i) items << combo.itemText(i);
  return items;
}

// --- New File --------------------------------------------------------------------------

using NewFileDialogTest = FileTypesFixture;

TEST_F(NewFileDialogTest, ComponentsCarryTheirNames)
{
  TNewFileDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "New File");
  for (const char* name : {"OKBtn", "CancelBtn", "FileTypeCombo", "Label1", "BasedOnLabel", "BlanksCombo", "Label2",
                           "FilenameEdit"})
    EXPECT_NE(dialog.findChild<QWidget*>(name), nullptr) << name;
  EXPECT_EQ(dialog.Label1->text(), "File-type:");
  EXPECT_EQ(dialog.Label2->text(), "Filename:");
  EXPECT_EQ(dialog.BasedOnLabel->text(), "Based on:");
}

TEST_F(NewFileDialogTest, ShowingSelectsTheFirstTypeWithItsTemplatesInNameOrder)
{
  TNewFileDialog dialog;
  dialog.FormShow();
  EXPECT_EQ(Items(*dialog.FileTypeCombo), QStringList({"Type A", "Type B", "Type C"}));
  EXPECT_EQ(dialog.GetFileTypeIndex(), 0);
  EXPECT_EQ(Items(*dialog.BlanksCombo), QStringList({"a.xml", "b.xml"}));  // the sub-folder is left out
  EXPECT_TRUE(dialog.BlanksCombo->isEnabled());
  EXPECT_TRUE(dialog.BasedOnLabel->isEnabled());
  EXPECT_EQ(dialog.GetFileName(), "new.a");
  EXPECT_EQ(dialog.GetTemplate(), Folder + "fa/blanks/a.xml");
}

TEST_F(NewFileDialogTest, TypesWithoutOrWithEmptyBlanksHaveNoTemplate)
{
  TNewFileDialog dialog;
  dialog.FormShow();
  for (int type : {1, 2}) {
    dialog.FileTypeCombo->setCurrentIndex(type);
    EXPECT_EQ(dialog.BlanksCombo->count(), 0);
    EXPECT_FALSE(dialog.BlanksCombo->isEnabled());
    EXPECT_FALSE(dialog.BasedOnLabel->isEnabled());
    EXPECT_EQ(dialog.GetTemplate(), "");
  }
}

TEST_F(NewFileDialogTest, AnotherTypeReplacesTheTypedNameAndShowingAgainStartsAfresh)
{
  TNewFileDialog dialog;
  dialog.FormShow();
  dialog.FilenameEdit->setText("mine.txt");
  dialog.FileTypeCombo->setCurrentIndex(2);
  EXPECT_EQ(dialog.GetFileName(), "new.c");
  dialog.FilenameEdit->setText("kept.c");
  EXPECT_EQ(dialog.GetFileName(), "kept.c");

  dialog.FormShow();
  EXPECT_EQ(dialog.GetFileTypeIndex(), 0);
  EXPECT_EQ(dialog.GetFileName(), "new.a");
}

TEST_F(NewFileDialogTest, RestoringTheWindowKeepsTheChoices)
{
  TNewFileDialog dialog;
  dialog.show();
  dialog.FileTypeCombo->setCurrentIndex(2);
  dialog.FilenameEdit->setText("mine.c");
  ShowAgainByTheWindowSystem(dialog);
  EXPECT_EQ(dialog.GetFileTypeIndex(), 2);
  EXPECT_EQ(dialog.GetFileName(), "mine.c");
}

TEST_F(NewFileDialogTest, ATypedTemplateNameIsReturnedAsItIs)
{
  TNewFileDialog dialog;
  dialog.FormShow();
  dialog.BlanksCombo->setEditText("missing.xml");
  EXPECT_EQ(dialog.GetTemplate(), Folder + "fa/blanks/missing.xml");
  dialog.BlanksCombo->setEditText("");
  EXPECT_EQ(dialog.GetTemplate(), "");
}

TEST_F(NewFileDialogTest, TemplatesAndNamesThatAreNoLocalTextKeepTheirBytes)
{
  const std::string name = "caf\xE9.xml";  // a Latin-1 file name
  WriteTestFile(Folder + "fa/blanks/" + name, "<c/>");
  FileTypes().GetFileType(0).NewFileName = "nouveau.\xE9";
  TNewFileDialog dialog;
  dialog.FormShow();
  ASSERT_EQ(dialog.BlanksCombo->count(), 3);
  dialog.BlanksCombo->setCurrentIndex(2);
  EXPECT_EQ(dialog.GetTemplate(), Folder + "fa/blanks/" + name);
  EXPECT_EQ(ReadTestFile(dialog.GetTemplate()), "<c/>");
  EXPECT_EQ(dialog.GetFileName(), "nouveau.\xE9");
}

TEST_F(NewFileDialogTest, WithoutTypesOKIsRefused)
{
  FileTypes().Clear();
  TNewFileDialog dialog;
  dialog.FormShow();
  EXPECT_EQ(dialog.GetFileTypeIndex(), -1);
  EXPECT_FALSE(dialog.OKBtn->isEnabled());
  EXPECT_EQ(dialog.GetTemplate(), "");
}

TEST_F(NewFileDialogTest, ExecShowsAfreshAndOKAccepts)
{
  TNewFileDialog dialog;
  dialog.FormShow();
  dialog.FileTypeCombo->setCurrentIndex(1);
  QTimer::singleShot(0, &dialog, [&dialog] {
    EXPECT_EQ(dialog.GetFileTypeIndex(), 0);  // the showing selected the first type again
    dialog.FilenameEdit->setText("x.a");
    dialog.OKBtn->click();
  });
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_EQ(dialog.GetFileName(), "x.a");
}

// A name that can be no file name in a folder is refused with a message, and
// the dialog stays open for another.
TEST_F(NewFileDialogTest, OKRefusesNamesThatCanBeNoFileName)
{
  TScriptedPrompter prompts;
  TNewFileDialog dialog;
  QStringList stillOpen;
  QTimer::singleShot(0, &dialog, [&] {
    for (const QString& name : {QString(""), QString("a/b.xml"), QString("/x.a"), QString("."), QString(".."),
                                QString(256, 'n')}) {
      dialog.FilenameEdit->setText(name);
      dialog.OKBtn->click();
      if (dialog.isVisible()) stillOpen << name;
    }
    dialog.FilenameEdit->setText("fine.a");
    dialog.OKBtn->click();
  });
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_EQ(stillOpen.size(), 6) << stillOpen.join("|").toStdString();
  ASSERT_EQ(prompts.Messages.size(), 6);
  EXPECT_EQ(prompts.Messages[0], "Please enter a file name for the new document.");
  EXPECT_TRUE(prompts.Messages[1].contains("\"a/b.xml\" holds a \"/\"")) << prompts.Messages[1].toStdString();
  EXPECT_TRUE(prompts.Messages[3].contains("names a folder"));
  EXPECT_TRUE(prompts.Messages[5].contains("too long"));
  EXPECT_EQ(dialog.GetFileName(), "fine.a");
}

// --- Change File-type ----------------------------------------------------------------------

using ChangeFileTypeDialogTest = FileTypesFixture;

TEST_F(ChangeFileTypeDialogTest, StartIndexIsPreselectedAndReturned)
{
  TChangeFileTypeDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "Change File-type");
  EXPECT_EQ(dialog.Label1->text(), "File-type:");
  dialog.StartIndex = 2;
  dialog.FormShow();
  EXPECT_EQ(dialog.FileTypeCombo->currentText(), "Type C");
  EXPECT_EQ(dialog.GetFileTypeIndex(), 2);
  EXPECT_TRUE(dialog.OKBtn->isEnabled());
  EXPECT_EQ(dialog.StartIndex, 2);
}

TEST_F(ChangeFileTypeDialogTest, EveryShowingRebuildsTheListFromTheTypes)
{
  TChangeFileTypeDialog dialog;
  dialog.FormShow();
  FileTypes().GetFileType(1).Title = "Renamed";
  FileTypes().Delete(2);
  dialog.StartIndex = 1;
  dialog.FormShow();
  EXPECT_EQ(Items(*dialog.FileTypeCombo), QStringList({"Type A", "Renamed"}));
  EXPECT_EQ(dialog.GetFileTypeIndex(), 1);
}

TEST_F(ChangeFileTypeDialogTest, AStartIndexOutsideTheListSelectsNothingAndRefusesOK)
{
  TChangeFileTypeDialog dialog;
  for (int start : {3, -1}) {
    dialog.StartIndex = start;
    dialog.FormShow();
    EXPECT_EQ(dialog.GetFileTypeIndex(), -1);
    EXPECT_FALSE(dialog.OKBtn->isEnabled());
  }
  dialog.FileTypeCombo->setCurrentIndex(0);
  EXPECT_TRUE(dialog.OKBtn->isEnabled());
}

TEST_F(ChangeFileTypeDialogTest, RestoringTheWindowKeepsTheChoice)
{
  TChangeFileTypeDialog dialog;
  dialog.StartIndex = 0;
  dialog.show();
  dialog.FileTypeCombo->setCurrentIndex(2);
  ShowAgainByTheWindowSystem(dialog);
  EXPECT_EQ(dialog.GetFileTypeIndex(), 2);
}

// --- Open URL -------------------------------------------------------------------------------

TEST(OpenURLDialogTest, StartsWithHttpAndKeepsTheTextWhenTheListIsReplaced)
{
  TOpenURLDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "Open URL");
  EXPECT_EQ(dialog.size(), QSize(411, 109));
  EXPECT_EQ(dialog.Label1->text(), "URL:");
  EXPECT_EQ(dialog.GetURL(), "http://");
  EXPECT_EQ(Items(*dialog.URLCombo), QStringList({"http://"}));

  TComboItems items = dialog.GetURLItems();
  items.Clear();
  EXPECT_EQ(items.Count(), 0);  // an empty history leaves an empty list
  EXPECT_EQ(dialog.GetURL(), "http://");
  items.Add("http://a/1.xml");
  items.Add("http://b/");
  EXPECT_EQ(Items(*dialog.URLCombo), QStringList({"http://a/1.xml", "http://b/"}));
  EXPECT_EQ(dialog.GetURL(), "http://");
}

TEST(OpenURLDialogTest, CancelKeepsTheTypedTextForTheNextUse)
{
  TOpenURLDialog dialog;
  QTimer::singleShot(0, &dialog, [&dialog] {
    dialog.URLCombo->setEditText("http://typed/x.xml");
    dialog.CancelBtn->click();
  });
  EXPECT_EQ(dialog.exec(), QDialog::Rejected);
  dialog.GetURLItems().Clear();
  dialog.GetURLItems().Add("http://other/");
  QTimer::singleShot(0, &dialog, [&dialog] { dialog.OKBtn->click(); });
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_EQ(dialog.GetURL(), "http://typed/x.xml");
}

}  // namespace
