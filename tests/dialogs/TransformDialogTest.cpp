// The transform dialog: the open stylesheets offered with "*", a typed or
// browsed path kept, the output type kept across showings, the accessors.

#include <QComboBox>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "dialogs/TTransformDialog.h"
#include "model/TFileTypes.h"

namespace {

class TransformDialogTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    CreateFileTypes();
    for (const char* id : {"xml", "xsl", "html"}) AddType(id);
  }
  void TearDown() override { FreeFileTypes(); }

  static void AddType(const std::string& id)
  {
    auto type = std::make_unique<TFileType>("");
    type->Id = id;
    type->Title = id + " files";
    FileTypes().AddFileType(std::move(type));
  }

  // Shows the dialog as the main window does (FormShow runs) and closes it.
  void ShowOnce(const std::vector<std::string>& openStyleSheets)
  {
    Dialog.SetOpenStyleSheets(openStyleSheets);
    Dialog.show();
    Dialog.hide();
  }

  QStringList Items() const
  {
    QStringList items;
    for (int i = 0; i < Dialog.XSLCombo->count(); ++i) items << Dialog.XSLCombo->itemText(i);
    return items;
  }

  TScriptedPrompter Prompts;
  TTransformDialog Dialog;
};

TEST_F(TransformDialogTest, ComponentsAndCaption)
{
  EXPECT_EQ(Dialog.windowTitle(), "Transform Dialog");
  for (const char* name : {"Label1", "XSLCombo", "BrowseBtn", "Label2", "FileTypeCombo", "OKBtn", "CancelBtn"})
    EXPECT_NE(Dialog.findChild<QWidget*>(name), nullptr) << name;
  EXPECT_EQ(Dialog.height(), 185);
  EXPECT_TRUE(Dialog.OKBtn->isDefault());
}

TEST_F(TransformDialogTest, OffersOpenStyleSheetsAndKeepsATypedPath)
{
  Dialog.XSLCombo->setEditText("/data/style.xsl");
  ShowOnce({});
  EXPECT_TRUE(Items().isEmpty());
  EXPECT_EQ(Dialog.XSLCombo->currentText(), "/data/style.xsl");
  EXPECT_FALSE(Dialog.StyleSheetIsOpenDocument());
  EXPECT_EQ(Dialog.GetStyleSheetName(), "/data/style.xsl");

  ShowOnce({"file:/a/one.xsl", "file:/b/two.xsl"});
  EXPECT_EQ(Items(), QStringList({"*file:/a/one.xsl", "*file:/b/two.xsl"}));
  EXPECT_EQ(Dialog.XSLCombo->currentText(), "/data/style.xsl");
}

TEST_F(TransformDialogTest, OpenDocumentChoiceIsClearedWhenItsDocumentClosed)
{
  ShowOnce({"file:/a/one.xsl", "file:/b/two.xsl"});
  Dialog.XSLCombo->setCurrentIndex(1);
  EXPECT_TRUE(Dialog.StyleSheetIsOpenDocument());
  EXPECT_EQ(Dialog.GetStyleSheetName(), "file:/b/two.xsl");

  ShowOnce({"file:/b/two.xsl"});  // still open: kept
  EXPECT_EQ(Dialog.XSLCombo->currentText(), "*file:/b/two.xsl");
  ShowOnce({"file:/a/one.xsl"});  // closed since
  EXPECT_EQ(Dialog.XSLCombo->currentText(), "");
  EXPECT_FALSE(Dialog.StyleSheetIsOpenDocument());
  EXPECT_EQ(Dialog.GetStyleSheetName(), "");
}

TEST_F(TransformDialogTest, AnOpenStyleSheetWhoseURLIsNoLocalTextIsNamedByItsBytes)
{
  const std::string url = "file:/styles/caf\xE9.xsl";  // a Latin-1 file name
  ShowOnce({"file:/a/one.xsl", url});
  Dialog.XSLCombo->setCurrentIndex(1);
  EXPECT_TRUE(Dialog.StyleSheetIsOpenDocument());
  EXPECT_EQ(Dialog.GetStyleSheetName(), url);
  ShowOnce({url});  // still open: kept
  EXPECT_EQ(Dialog.GetStyleSheetName(), url);
}

TEST_F(TransformDialogTest, OutputTypeIsKeptAndClampedToTheList)
{
  ShowOnce({});
  EXPECT_EQ(Dialog.FileTypeCombo->count(), 3);
  EXPECT_EQ(Dialog.FileTypeCombo->itemText(2), "html files");
  EXPECT_EQ(Dialog.GetFileTypeIndex(), 0);  // nothing chosen yet: the first
  Dialog.FileTypeCombo->setCurrentIndex(2);
  ShowOnce({});
  EXPECT_EQ(Dialog.GetFileTypeIndex(), 2);

  FileTypes().Delete(2);  // the list shrank below the choice: the last type
  ShowOnce({});
  EXPECT_EQ(Dialog.GetFileTypeIndex(), 1);
  FileTypes().Clear();
  ShowOnce({});
  EXPECT_EQ(Dialog.GetFileTypeIndex(), -1);
}

TEST_F(TransformDialogTest, BrowseSetsTheChosenFile)
{
  Dialog.XSLCombo->setEditText("/old.xsl");
  Prompts.FileNames = {"/chosen/new.xsl"};
  Dialog.BrowseBtn->click();
  EXPECT_EQ(Prompts.Messages, QStringList({"Select Style Sheet"}));
  EXPECT_EQ(Dialog.GetStyleSheetName(), "/chosen/new.xsl");
  Dialog.BrowseBtn->click();  // cancelled: unchanged
  EXPECT_EQ(Dialog.GetStyleSheetName(), "/chosen/new.xsl");
}

// The file dialog gives a name that is no local text (a Latin-1 name) with
// U+FFFD in place of its bytes: the chosen stylesheet is still that file,
// also after the dialog is shown again.
TEST_F(TransformDialogTest, BrowsedFileWhoseNameIsNoLocalTextKeepsItsBytes)
{
  const std::string folder = MakeTempFolder() + "d\xE9p/";
  std::filesystem::create_directory(folder);
  const std::string path = folder + "caf\xE9.xsl";
  WriteTestFile(path, "<x/>");
  Prompts.FileNames = {QString::fromLocal8Bit(path.c_str())};
  Dialog.BrowseBtn->click();
  EXPECT_EQ(Dialog.GetStyleSheetName(), path);
  ShowOnce({"file:/a/one.xsl"});
  EXPECT_FALSE(Dialog.StyleSheetIsOpenDocument());
  EXPECT_EQ(Dialog.GetStyleSheetName(), path);
  std::filesystem::remove_all(folder + "..");
}

TEST_F(TransformDialogTest, OkAndCancelCloseWithTheirResults)
{
  Dialog.show();
  Dialog.OKBtn->click();
  EXPECT_EQ(Dialog.result(), QDialog::Accepted);
  Dialog.show();
  Dialog.CancelBtn->click();
  EXPECT_EQ(Dialog.result(), QDialog::Rejected);
}

}  // namespace
