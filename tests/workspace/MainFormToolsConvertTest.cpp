// Tools > Convert: the untitled result tab, its name, type and encoding.

#include <QCheckBox>
#include <QGroupBox>
#include <QListWidget>
#include <QRadioButton>
#include <Qsci/qsciscintilla.h>

#include "MainFormToolsFixture.h"
#include "dialogs/TConvertHTMLDialog.h"
#include "model/ModelModule.h"
#include "model/TFileTypes.h"
#include "workspace/ToolsCommandText.h"

namespace {

using MainFormToolsConvertTest = MainFormToolsFixture;

TEST_F(MainFormToolsConvertTest, ConvertNamesTheResultUniqueInTheCurrentFolder)
{
  Start();
  TEditFrame* page = Open("index.html", "<html><body><p>One<br>two</body></html>\r\n", "html");
  Write("index.xhtml", "taken");
  std::filesystem::current_path(Folder);
  FocusEditor(*page);
  WhenShown(ConvertHTMLDialog, [&] {
    ConvertHTMLDialog->TagCaseRadio->findChildren<QRadioButton*>()[1]->click();  // upper case
    ConvertHTMLDialog->FixMismatchCheck->setChecked(false);
    for (int i = 0; i < ConvertHTMLDialog->SingletonCheckListBox->count(); ++i) {
      QListWidgetItem* item = ConvertHTMLDialog->SingletonCheckListBox->item(i);
      item->setCheckState(item->text() == "br" ? Qt::Checked : Qt::Unchecked);
    }
  });
  Run("MenuToolsConvert");
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("|").toStdString();
  TEditFrame* result = EditFrameAt(1);
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(result->FURL.GetURL(), "file:" + Folder + "index1.xhtml");
  EXPECT_EQ(result->FFileType, FileTypes().FindById("XML"));
  EXPECT_EQ(result->FFileType->Id, "xml");
  EXPECT_EQ(result->FStatus, esNew | esModified);
  EXPECT_EQ(result->GetText(), "<HTML><BODY><P>One<BR/>two</BODY></HTML>\r\n");
  EXPECT_EQ(Form().MainPageControl()->tabText(1), "index1.xhtml");

  // A result is a new, unsaved document: Save asks where to put it, and
  // closing it asks first.
  Prompts->Messages.clear();
  Run("MenuFileSave");
  EXPECT_EQ(Prompts->Messages, QStringList{"Save As"});
  Run("MenuFileClose");
  EXPECT_EQ(Prompts->Messages.size(), 2);
  EXPECT_EQ(Form().MainPageControl()->PageCount(), 2);

  WhenShown(ConvertHTMLDialog, nullptr, [] { ConvertHTMLDialog->reject(); });
  FocusEditor(*page);
  Run("MenuToolsConvert");
  EXPECT_EQ(Form().MainPageControl()->PageCount(), 2);
}

// A page in Windows-1252 converted to a result that kept its bytes without
// naming their encoding, and the result's own check failed ("Input is not
// proper UTF-8"). The result names the page's encoding and checks well-formed.
TEST_F(MainFormToolsConvertTest, ConvertedPageInAnotherEncodingChecksWellFormed)
{
  Start();
  TEditFrame* page = Open("cafe.html",
                          "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
                          "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\n"
                          "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
                          "<title>Caf\xE9</title></head><body><p>Caf\xE9 &eacute;</p></body></html>\n",
                          "html");
  FocusEditor(*page);
  WhenShown(ConvertHTMLDialog, nullptr);
  Run("MenuToolsConvert");
  TEditFrame* result = EditFrameAt(1);
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(result->Text().Model().Format().Encoding, "WINDOWS-1252");
  FocusEditor(*result);
  Run("MenuToolsWellFormed");
  EXPECT_EQ(Prompts->Messages, QStringList{"OK. File is well-formed."});
  EXPECT_TRUE(result->FStatus & esWellFormed);
}

TEST(ChangeFileExtTest, LastDotOfTheName)
{
  EXPECT_EQ(ChangeFileExt("index.html", ".xhtml"), "index.xhtml");
  EXPECT_EQ(ChangeFileExt("a.b.c", ".xml"), "a.b.xml");
  EXPECT_EQ(ChangeFileExt("README", ".xhtml"), "README.xhtml");
  EXPECT_EQ(ChangeFileExt("dir.d/README", ".x"), "dir.d/README.x");
  EXPECT_EQ(ChangeFileExt("page.html", ""), "page");
}

}  // namespace
