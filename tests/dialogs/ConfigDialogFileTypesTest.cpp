// The configuration dialog's "File types" page: every change reaches the
// document-type list and the definition files at once.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "ConfigDialogFixture.h"
#include "dialogs/TDropDownComboBox.h"

namespace fs = std::filesystem;

namespace {

class ConfigDialogTypesTest : public ConfigDialogFixture {
protected:
  void SetUp() override
  {
    ConfigDialogFixture::SetUp();
    Dialog->LoadFromConfig();
  }

  void Select(int row) { Dialog->FileTypesListBox->setCurrentRow(row); }

  QStringList Rows() const
  {
    QStringList rows;
    for (int i = 0; i < Dialog->FileTypesListBox->count(); ++i) rows << Dialog->FileTypesListBox->item(i)->text();
    return rows;
  }

  // A type whose settings the editing dialog is given on Add.
  static void NewType(TConfigureFileDialog& dialog, const std::string& id)
  {
    EXPECT_EQ(dialog.GetID(), "");  // preset "???"
    EXPECT_EQ(dialog.IDEdit->text(), "???");
    EXPECT_EQ(dialog.GetTitle(), "??? Files");
    EXPECT_EQ(dialog.GetPreview1(), "*");
    EXPECT_EQ(dialog.FilenameLabel->text(), "----------------");
    dialog.SetID(id);
    dialog.SetTitle("JSON Files");
    dialog.SetFilter("*.json");
    dialog.SetPreview2("\"/usr/bin/jq\" \"%1\"");
  }

  int IndexIn(const std::string& path) const
  {
    TFileType type(Folder + "help/" + path);
    type.LoadDefinition();
    return type.Index;
  }
};

}  // namespace

TEST_F(ConfigDialogTypesTest, ListShowsTheTitlesAndAnEmptyRowWithNothingSelected)
{
  EXPECT_EQ(Rows(), QStringList({"XML Files", "XSL Stylesheets", "CSS Files", ""}));
  EXPECT_EQ(Dialog->SelectedFileTypeRow(), -1);
}

TEST_F(ConfigDialogTypesTest, EditWritesTheDefinitionAndRenamesTheKeyButNotTheFolder)
{
  TFileType* xsl = &FileTypes().GetFileType(1);
  Select(1);
  AnswerFileDialog([&](TConfigureFileDialog& dialog) {
    EXPECT_EQ(dialog.GetID(), "xsl");
    EXPECT_EQ(dialog.GetTitle(), "XSL Stylesheets");
    EXPECT_EQ(dialog.GetConfigFile(), Folder + "help/xml/xsl.config");
    dialog.SetID("XSLT-2");
    dialog.SetTitle("Stylesheets");
    dialog.SetAutoComplete(true);
    dialog.SetPreview3("\"/opt/a b/x\" \"%1\"");
  });
  Dialog->EditBtnClick();
  EXPECT_EQ(&FileTypes().GetFileType(1), xsl);
  EXPECT_EQ(xsl->Id, "xslt2");
  EXPECT_EQ(FileTypes().GetKey(1), "xslt2");
  EXPECT_EQ(FileTypes().FindById("XSLT2"), xsl);
  EXPECT_TRUE(xsl->AutoComplete);
  EXPECT_EQ(xsl->ConfigFile, Folder + "help/xml/xsl.config");
  EXPECT_EQ(Definition("xml/xsl.config"), xsl->GetXML());
  TFileType reread(xsl->ConfigFile);
  reread.LoadDefinition();
  EXPECT_EQ(reread.Id, "xslt2");
  EXPECT_EQ(reread.Preview3, "\"/opt/a b/x\" \"%1\"");
  EXPECT_EQ(Rows()[1], "Stylesheets");
  EXPECT_EQ(Dialog->SelectedFileTypeRow(), -1);
  EXPECT_FALSE(fs::exists(Folder + "help/xslt2"));
}

TEST_F(ConfigDialogTypesTest, EditWithoutChangesKeepsTheDefinitionFileAsItWas)
{
  // A title that is no text in the local encoding (written in Latin-1).
  TFileType& css = FileTypes().GetFileType(2);
  css.Title = "Feuilles de style (\xE9" "cran)";
  css.SaveToFile();
  const std::string before = Definition("css/css.config");
  Select(2);
  AnswerFileDialog([](TConfigureFileDialog&) {});
  Dialog->EditBtnClick();
  EXPECT_EQ(css.Title, "Feuilles de style (\xE9" "cran)");
  EXPECT_EQ(Definition("css/css.config"), before);
}

TEST_F(ConfigDialogTypesTest, EditCancelledChangesNothing)
{
  const std::string before = Definition("css/css.config");
  Select(2);
  AnswerFileDialog([](TConfigureFileDialog& dialog) { dialog.SetTitle("Changed"); }, false);
  Dialog->EditBtnClick();
  EXPECT_EQ(FileTypes().GetFileType(2).Title, "CSS Files");
  EXPECT_EQ(Definition("css/css.config"), before);
}

TEST_F(ConfigDialogTypesTest, EditThatCannotWriteKeepsTheOldSettingsAndSaysSo)
{
  TFileType& css = FileTypes().GetFileType(2);
  css.ConfigFile = Folder + "gone/css.config";
  Select(2);
  AnswerFileDialog([](TConfigureFileDialog& dialog) {
    dialog.SetID("other");
    dialog.SetTitle("Changed");
  });
  Dialog->EditBtn->click();
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].startsWith("Cannot create file")) << Prompts->Messages[0].toStdString();
  EXPECT_EQ(css.Title, "CSS Files");
  EXPECT_EQ(css.Id, "css");
  EXPECT_EQ(FileTypes().GetKey(2), "css");
  EXPECT_EQ(Rows()[2], "CSS Files");
}

TEST_F(ConfigDialogTypesTest, DeleteRemovesTheFileAndRenumbersTheRest)
{
  std::vector<TFileType*> told;
  Dialog->OnFileTypeDelete = [&](TFileType& type) { told.push_back(&type); };
  TFileType* xml = &FileTypes().GetFileType(0);
  Select(0);
  Dialog->DeleteBtn->click();
  EXPECT_EQ(told, std::vector<TFileType*>({xml}));
  EXPECT_EQ(TypeIds(), std::vector<std::string>({"xsl", "css"}));
  EXPECT_FALSE(fs::exists(Folder + "help/xml/xml.config"));
  // The folder stays, with its other files.
  EXPECT_TRUE(fs::exists(Folder + "help/xml/xsl.config"));
  EXPECT_EQ(IndexIn("xml/xsl.config"), 0);
  EXPECT_EQ(IndexIn("css/css.config"), 1);
  EXPECT_EQ(Rows(), QStringList({"XSL Stylesheets", "CSS Files", ""}));
  EXPECT_TRUE(Prompts->Messages.isEmpty());
}

TEST_F(ConfigDialogTypesTest, DeleteThatCannotRemoveTheFileKeepsTheTypeAndSaysSo)
{
  // A folder with something in it stands where the definition file should be.
  TFileType& xml = FileTypes().GetFileType(0);
  xml.ConfigFile = Folder + "help/xml/locked.config";
  fs::create_directories(xml.ConfigFile);
  WriteTestFile(xml.ConfigFile + "/inside", "x");
  Dialog->OnFileTypeDelete = [](TFileType&) { FAIL() << "no type is deleted"; };
  Select(0);
  Dialog->DeleteBtn->click();
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].startsWith("Cannot delete file \"" + QString::fromStdString(xml.ConfigFile)))
      << Prompts->Messages[0].toStdString();
  EXPECT_EQ(TypeIds(), std::vector<std::string>({"xml", "xsl", "css"}));
  EXPECT_EQ(Rows(), QStringList({"XML Files", "XSL Stylesheets", "CSS Files", ""}));
  EXPECT_TRUE(fs::exists(xml.ConfigFile + "/inside"));

  // A definition file that is gone already is no failure.
  fs::remove(Folder + "help/css/css.config");
  Dialog->OnFileTypeDelete = nullptr;
  Select(2);
  Dialog->DeleteBtn->click();
  EXPECT_EQ(Prompts->Messages.size(), 1);
  EXPECT_EQ(TypeIds(), std::vector<std::string>({"xml", "xsl"}));
}

TEST_F(ConfigDialogTypesTest, EditDeleteAndMovesWithoutATypeRowDoNothing)
{
  const std::string before = Definition("xml/xml.config");
  Dialog->OnFileTypeDelete = [](TFileType&) { FAIL() << "no type is deleted"; };
  for (int row : {-1, 3}) {
    Select(row);
    Dialog->EditBtnClick();  // no dialog is shown: it would wait for an answer
    Dialog->DeleteBtnClick();
    Dialog->UpBtnClick();
    Dialog->DownBtnClick();
  }
  Select(0);
  Dialog->UpBtnClick();
  Select(2);
  Dialog->DownBtnClick();
  EXPECT_EQ(TypeIds(), std::vector<std::string>({"xml", "xsl", "css"}));
  EXPECT_EQ(Definition("xml/xml.config"), before);
}

TEST_F(ConfigDialogTypesTest, MovesRenumberAndRewriteTheMovedTypes)
{
  Select(2);
  Dialog->UpBtn->click();
  EXPECT_EQ(TypeIds(), std::vector<std::string>({"xml", "css", "xsl"}));
  EXPECT_EQ(IndexIn("css/css.config"), 1);
  EXPECT_EQ(IndexIn("xml/xsl.config"), 2);
  EXPECT_EQ(Dialog->SelectedFileTypeRow(), -1);
  Select(0);
  Dialog->DownBtn->click();
  EXPECT_EQ(TypeIds(), std::vector<std::string>({"css", "xml", "xsl"}));
  EXPECT_EQ(IndexIn("css/css.config"), 0);
  EXPECT_EQ(IndexIn("xml/xml.config"), 1);
  EXPECT_EQ(Rows(), QStringList({"CSS Files", "XML Files", "XSL Stylesheets", ""}));
}

// A move whose definition files cannot all be rewritten is undone: the list
// keeps the order the files give, which the next start reads.
TEST_F(ConfigDialogTypesTest, AMoveThatCannotRewriteADefinitionLeavesListAndDiskAsTheyWere)
{
  FileTypes().GetFileType(0).ConfigFile = Folder + "gone/xml.config";
  Select(0);
  Dialog->DownBtn->click();  // xsl is rewritten first, then xml fails
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].startsWith("Cannot create file")) << Prompts->Messages[0].toStdString();
  EXPECT_EQ(TypeIds(), std::vector<std::string>({"xml", "xsl", "css"}));
  EXPECT_EQ(IndexIn("xml/xsl.config"), 1);
  EXPECT_EQ(FileTypes().GetFileType(0).Index, 0);
  EXPECT_EQ(FileTypes().GetFileType(1).Index, 1);
  EXPECT_EQ(Rows(), QStringList({"XML Files", "XSL Stylesheets", "CSS Files", ""}));
}

TEST_F(ConfigDialogTypesTest, AddWithThePresetIdIsRefused)
{
  Select(0);
  AnswerFileDialog(nullptr);
  Dialog->AddBtn->click();
  EXPECT_EQ(Prompts->Messages,
            QStringList({"Unable to add file-type. No ID or directory of that name already exists []"}));
  EXPECT_EQ(FileTypes().Count(), 3);
}

TEST_F(ConfigDialogTypesTest, AddOnTheEmptyRowOrWithoutSelectionAppends)
{
  for (int row : {3, -1}) {
    Select(row);
    std::string id = row < 0 ? "json2" : "json";
    AnswerFileDialog([&](TConfigureFileDialog& dialog) { NewType(dialog, id); });
    Dialog->AddBtnClick();
    ASSERT_EQ(TypeIds().back(), id);
    const TFileType& added = FileTypes().GetFileType(FileTypes().Count() - 1);
    EXPECT_EQ(added.ConfigFile, Folder + "help/" + id + "/" + id + ".config");
    EXPECT_EQ(added.Index, FileTypes().Count() - 1);
    EXPECT_EQ(added.Preview2, "\"/usr/bin/jq\" \"%1\"");
    EXPECT_EQ(added.NewFileName, "new.???");
    EXPECT_EQ(added.Highlighter, "XML");
    EXPECT_EQ(Definition(id + "/" + id + ".config"), added.GetXML());
    EXPECT_TRUE(fs::is_directory(Folder + "help/" + id + "/blanks"));
  }
  EXPECT_EQ(TypeIds(), std::vector<std::string>({"xml", "xsl", "css", "json", "json2"}));
  EXPECT_EQ(FileTypes().FindById("json"), &FileTypes().GetFileType(3));
}

TEST_F(ConfigDialogTypesTest, AddOnTheFirstRowInsertsFirstAndRenumbersTheOthers)
{
  Select(0);
  AnswerFileDialog([](TConfigureFileDialog& dialog) { NewType(dialog, "Json"); });
  Dialog->AddBtn->click();
  EXPECT_EQ(TypeIds(), std::vector<std::string>({"json", "xml", "xsl", "css"}));
  EXPECT_EQ(IndexIn("json/json.config"), 0);
  EXPECT_EQ(IndexIn("xml/xml.config"), 1);
  EXPECT_EQ(IndexIn("xml/xsl.config"), 2);
  EXPECT_EQ(IndexIn("css/css.config"), 3);
  EXPECT_EQ(Rows().front(), "JSON Files");

  // Discovery at the next start gives the same order.
  CreateFileTypes();
  LoadFileTypes();
  EXPECT_EQ(TypeIds(), std::vector<std::string>({"json", "xml", "xsl", "css"}));
}

TEST_F(ConfigDialogTypesTest, AddIsRefusedWhereAFolderOfThatNameExists)
{
  // Renaming keeps the folder named after the old id; that id stays taken.
  Select(2);
  AnswerFileDialog([](TConfigureFileDialog& dialog) { dialog.SetID("style"); });
  Dialog->EditBtnClick();
  ASSERT_EQ(FileTypes().GetFileType(2).Id, "style");
  fs::create_directories(Folder + "help/empty");
  for (const char* id : {"css", "empty"}) {
    AnswerFileDialog([id](TConfigureFileDialog& dialog) { dialog.SetID(id); });
    Dialog->AddBtnClick();
  }
  EXPECT_EQ(Prompts->Messages,
            QStringList({"Unable to add file-type. No ID or directory of that name already exists [css]",
                         "Unable to add file-type. No ID or directory of that name already exists [empty]"}));
  EXPECT_EQ(FileTypes().Count(), 3);
}

TEST_F(ConfigDialogTypesTest, AddThatCannotWriteLeavesListAndDiskAsTheyWere)
{
  // "help/" is a file here, so no folder can be made below it.
  fs::remove_all(Folder + "help");
  WriteTestFile(Folder + "help", "");
  AnswerFileDialog([](TConfigureFileDialog& dialog) { dialog.SetID("json"); });
  Dialog->AddBtn->click();
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].startsWith("Cannot create file")) << Prompts->Messages[0].toStdString();
  EXPECT_EQ(FileTypes().Count(), 3);
  EXPECT_EQ(Rows().size(), 4);
}

TEST_F(ConfigDialogTypesTest, ChangesKeepUnstoredEditsOfTheOtherPages)
{
  Dialog->TabWidthEdit->setText("2");
  Dialog->GutterVisibleCheck->setChecked(false);
  Dialog->AddKeyBtnClick();
  Dialog->CommandCombo->setEditText("ecDeleteLine");
  const std::function<void()> changes[] = {
      [this] { Select(1); Dialog->UpBtnClick(); },
      [this] { Select(0); Dialog->DownBtnClick(); },
      [this] {
        Select(2);
        AnswerFileDialog([](TConfigureFileDialog& dialog) { dialog.SetTitle("Style Sheets"); });
        Dialog->EditBtnClick();
      },
      [this] {
        Select(3);
        AnswerFileDialog([](TConfigureFileDialog& dialog) { NewType(dialog, "json"); });
        Dialog->AddBtnClick();
      },
      [this] { Select(0); Dialog->DeleteBtnClick(); },
  };
  for (const auto& change : changes) {
    change();
    EXPECT_EQ(Dialog->SelectedFileTypeRow(), -1);
    EXPECT_EQ(Dialog->TabWidthEdit->text(), "2");
    EXPECT_FALSE(Dialog->GutterVisibleCheck->isChecked());
    ASSERT_EQ(Dialog->KeyListView->rowCount(), 4);
    EXPECT_EQ(KeyText(3, 0), "ecDeleteLine");
  }
  EXPECT_EQ(Rows(), QStringList({"XSL Stylesheets", "Style Sheets", "JSON Files", ""}));
  Dialog->OKBtnClick();
  EXPECT_EQ(ConfigInfo().TabWidth, 2);
  EXPECT_EQ(ConfigInfo().GetShortcut(3)->Command, "ecDeleteLine");
}

TEST_F(ConfigDialogTypesTest, TypeChangesStayAfterCancel)
{
  Run([this] {
    Select(0);
    Dialog->DeleteBtnClick();
  }, false);
  EXPECT_EQ(TypeIds(), std::vector<std::string>({"xsl", "css"}));
  EXPECT_FALSE(fs::exists(Folder + "help/xml/xml.config"));
}
