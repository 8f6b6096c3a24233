// The batch dialog: spec edits and URLs, pages and the destination controls,
// the clash question on OK, the accessors.

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "dialogs/TBatchDialog.h"
#include "dialogs/TDropDownComboBox.h"
#include "dialogs/TFTPDialog.h"
#include "dialogs/ToolsDialogSupport.h"
#include "model/ModelModule.h"
#include "model/TFileTypes.h"
#include "resource/TURLSystem.h"
#include "xmltools/BatchClash.h"

namespace {

using TAnswer = TPrompter::TAnswer;

class BatchDialogTest : public ::testing::Test {
protected:
  bool DestControlsEnabled() const
  {
    return Dialog.DestEdit->isEnabled() && Dialog.DestLabel->isEnabled() && Dialog.BrowseDestBtn->isEnabled() &&
           Dialog.BrowseDestFTPBtn->isEnabled();
  }
  bool DestControlsDisabled() const
  {
    return !Dialog.DestEdit->isEnabled() && !Dialog.DestLabel->isEnabled() && !Dialog.BrowseDestBtn->isEnabled() &&
           !Dialog.BrowseDestFTPBtn->isEnabled();
  }

  TScriptedPrompter Prompts;
  TBatchDialog Dialog;
};

TEST_F(BatchDialogTest, StartsOnTransformWithTheDefaultSpecs)
{
  EXPECT_EQ(Dialog.windowTitle(), "Batch Processing...");
  EXPECT_EQ(Dialog.GetAction(), bcTransform);
  QStringList pages;
  for (int i = 0; i < Dialog.PageControl->count(); ++i) pages << Dialog.PageControl->tabText(i);
  EXPECT_EQ(pages, QStringList({"HTMLtoXML", "Check", "Transform", "Copy", "Delete"}));
  EXPECT_FALSE(Dialog.GetRecurse());
  EXPECT_TRUE(Dialog.GetValidate());
  EXPECT_TRUE(Dialog.GetLogDetails());
  EXPECT_EQ(Dialog.GetTagCase(), 0);
  EXPECT_EQ(Dialog.GetAttrCase(), 0);
  EXPECT_TRUE(Dialog.GetFixAttributes() && Dialog.GetFixMismatch());
  Dialog.show();
  EXPECT_EQ(Dialog.SourceEdit->text(), "file:/*.xml");
  EXPECT_EQ(Dialog.DestEdit->text(), "file:/*.html");
}

TEST_F(BatchDialogTest, ShowingShowsTheCurrentURLs)
{
  Dialog.Source.SetURL("file:/home/u/data/*.xml");
  Dialog.Dest.SetURL("ftp:host.example/out/*.html");
  Dialog.show();
  EXPECT_EQ(Dialog.SourceEdit->text(), "file:/home/u/data/*.xml");
  EXPECT_EQ(Dialog.DestEdit->text(), "ftp:host.example/out/*.html");
}

TEST_F(BatchDialogTest, TypingKeepsUserPasswordAndPassiveFlag)
{
  Dialog.Source.SetURL("ftp:one.example/in/*.xml");
  Dialog.Source.SetUser("anna");
  Dialog.Source.SetPassword("secret");
  Dialog.Source.SetPassive(true);
  Dialog.show();
  Dialog.SourceEdit->setText("ftp:two.example/other/*.htm;*.html");
  EXPECT_EQ(Dialog.Source.Host, "two.example");
  EXPECT_EQ(Dialog.Source.Path, "/other/");
  EXPECT_EQ(Dialog.Source.FileName, "*.htm;*.html");
  EXPECT_EQ(Dialog.Source.User, "anna");
  EXPECT_EQ(Dialog.Source.Password, "secret");
  EXPECT_TRUE(Dialog.Source.Passive);
  Dialog.DestEdit->setText("file:/tmp/out/*.xml");
  EXPECT_EQ(Dialog.Dest.GetURL(), "file:/tmp/out/*.xml");
}

TEST_F(BatchDialogTest, CheckAndDeleteDisableTheDestination)
{
  ASSERT_TRUE(DestControlsEnabled());
  Dialog.PageControl->setCurrentIndex(bcCheck);
  EXPECT_TRUE(DestControlsDisabled());
  Dialog.PageControl->setCurrentIndex(bcCopy);
  EXPECT_TRUE(DestControlsEnabled());
  Dialog.PageControl->setCurrentIndex(bcDelete);
  EXPECT_TRUE(DestControlsDisabled());
  EXPECT_EQ(Dialog.GetAction(), bcDelete);
  Dialog.show();  // showing does not change the state
  EXPECT_TRUE(DestControlsDisabled());
}

TEST_F(BatchDialogTest, OkOnCheckOrDeleteNeverAsks)
{
  for (int page : {bcCheck, bcDelete}) {
    Dialog.Dest.SetURL("file:/*.xml");
    Dialog.show();
    Dialog.PageControl->setCurrentIndex(page);
    Dialog.OKBtn->click();
    EXPECT_EQ(Dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(Dialog.isVisible());
  }
  EXPECT_TRUE(Prompts.Messages.isEmpty());
}

TEST_F(BatchDialogTest, OkOnCopyWithEqualSpecsAsks)
{
  Dialog.Dest.SetURL("file:/*.xml");
  Dialog.PageControl->setCurrentIndex(bcCopy);
  Dialog.RecurseCheck->setChecked(true);
  Dialog.show();
  Dialog.setResult(QDialog::Rejected);
  Prompts.Answers = {TAnswer::No, TAnswer::Yes};
  Dialog.OKBtn->click();
  ASSERT_EQ(Prompts.Messages.size(), 1);
  EXPECT_EQ(Prompts.Messages[0],
            "Source and Destination File specs clash! Source files might get overwritten.\r\n\r\n"
            "Are you sure you want to continue?");
  EXPECT_TRUE(Dialog.isVisible());  // No: still open, nothing changed
  EXPECT_EQ(Dialog.result(), QDialog::Rejected);
  EXPECT_EQ(Dialog.GetAction(), bcCopy);
  EXPECT_TRUE(Dialog.GetRecurse());
  EXPECT_EQ(Dialog.DestEdit->text(), "file:/*.xml");
  Dialog.OKBtn->click();  // Yes: closes with OK
  EXPECT_EQ(Dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(Dialog.isVisible());
}

bool Clash(const std::string& source, const std::string& dest, bool recurse = false)
{
  return BatchSpecsClash(TURL(source), TURL(dest), recurse);
}

// The question is asked whenever a name the run writes can be one of the
// files it reads, whatever the two file-spec texts look like.
TEST(BatchSpecsClashTest, AnyWrittenNameThatTheSourceMasksSelect)
{
  EXPECT_FALSE(Clash("file:C:/data/*.xml", "file:C:/data/*.html"));
  EXPECT_TRUE(Clash("file:C:/data/*.*", "file:C:/data/*.html"));
  EXPECT_TRUE(Clash("file:C:/data/*.xml", "file:C:/data/*.xml"));
  EXPECT_FALSE(Clash("file:C:/data/*.xml", "file:C:/out/*.xml"));
  EXPECT_TRUE(Clash("file:C:/data/a*.xml", "file:C:/data/*.xml"));  // a1.xml is written over itself
  EXPECT_TRUE(Clash("file:/home/u/data/*.*", "file:/home/u/data/*.html"));
  EXPECT_TRUE(Clash("file:/home/u/data/*.html", "file:/home/u/data/*.*"));  // each file over itself
  EXPECT_TRUE(Clash("file:/home/u/data/*.XML", "file:/home/u/data/*.xml"));  // masks ignore case
  EXPECT_TRUE(Clash("file:/a.b/*", "file:/a.b/*"));
  EXPECT_FALSE(Clash("file:/a.b/*", "file:/a.c/*"));
  EXPECT_TRUE(Clash("file:/t/*.xml", "file:/t/*.*"));
  EXPECT_TRUE(Clash("file:/t/*.xml;*.xsl", "file:/t/*.xml"));
  EXPECT_TRUE(Clash("file:/t/*.xsl;*.xml", "file:/t/*.xml"));
  EXPECT_TRUE(Clash("file:/t/*.xml", "file:/t/new_*.xml"));  // new_a.xml is a source file too
  EXPECT_TRUE(Clash("file:/t/*.xml", "file:/t/all.xml"));
  EXPECT_FALSE(Clash("file:/t/*.xml", "file:/t/all.txt"));
  EXPECT_FALSE(Clash("file:/t/a*.xml", "file:/t/b*.xml"));   // b-names are not read
  EXPECT_TRUE(Clash("file:/t/[ab]*.xml", "file:/t/b*.*"));
  EXPECT_FALSE(Clash("file:/t/*.xml", "file:/t/*"));         // README-like names: base only
  EXPECT_TRUE(Clash("file:/t/*", "file:/t/*"));              // a name without "." is kept
  EXPECT_FALSE(Clash("file:/t/*.tar.gz", "file:/t/*.gz"));   // a.tar.gz gives a.gz
  EXPECT_TRUE(Clash("file:/t/*.gz", "file:/t/*.*.gz"));      // a.tar.gz gives a.tar.gz
  EXPECT_FALSE(Clash("file:/t/[x", "file:/t/*.*"));          // a mask that selects nothing
  // The same folder written in other ways; remote folders by host and path.
  EXPECT_TRUE(Clash("file:/t/*.xml", "file:/t/./*.xml"));
  EXPECT_TRUE(Clash("ftp:Host.example/pub/*.xml", "ftp:host.example//pub/*.*"));
  EXPECT_FALSE(Clash("ftp:one.example/pub/*.xml", "ftp:two.example/pub/*.*"));
  EXPECT_FALSE(Clash("ftp:one.example/pub/*.xml", "file:/pub/*.*"));
  // A recursive run writes into every folder of the other tree.
  EXPECT_FALSE(Clash("file:/t/*.xml", "file:/t/out/*.xml"));
  EXPECT_TRUE(Clash("file:/t/*.xml", "file:/t/out/*.xml", true));
  EXPECT_TRUE(Clash("file:/t/out/*.xml", "file:/t/*.xml", true));
  EXPECT_FALSE(Clash("file:/t/*.xml", "file:/tout/*.xml", true));
  EXPECT_FALSE(Clash("file:/t/*.xml", "file:/t/out/*.html", true));
}

// Folders compare as the server or the file system reaches them: a remote
// path's "." and ".." steps are taken out ("docs/../docs" is "docs") and a
// host named with FTP's own port is that host; a local link is followed.
TEST(BatchSpecsClashTest, FoldersCompareAsTheyAreReached)
{
  EXPECT_TRUE(Clash("ftp:h/docs/*.xml", "ftp:h/docs/../docs/*.xml"));
  EXPECT_TRUE(Clash("ftp:h/docs/sub/../*.xml", "ftp:h/./docs/*.xml"));
  EXPECT_TRUE(Clash("ftp:h/../docs/*.xml", "ftp:h/docs/*.xml"));  // nothing lies above "/"
  EXPECT_TRUE(Clash("ftp:h:21/docs/*.xml", "ftp:h/docs/*.xml"));
  EXPECT_FALSE(Clash("ftp:h:2121/docs/*.xml", "ftp:h/docs/*.xml"));
  EXPECT_TRUE(Clash("ftp:h/docs/*.xml", "ftp:h/other/../docs/sub/*.xml", true));
  EXPECT_FALSE(Clash("ftp:h/docs/*.xml", "ftp:h/docs/sub/../../out/*.xml", true));
  EXPECT_FALSE(Clash("ftp:h/docs/*.xml", "ftp:h/docs../*.xml", true));

  const std::string root = MakeTempFolder("xmlplivek-clash");
  std::filesystem::create_directories(root + "src/sub");
  std::filesystem::create_directory_symlink(root + "src", root + "alias");
  EXPECT_TRUE(Clash("file:" + root + "alias/*.xml", "file:" + root + "src/*.xml"));
  EXPECT_TRUE(Clash("file:" + root + "src/*.xml", "file:" + root + "alias/sub/../*.xml"));
  EXPECT_TRUE(Clash("file:" + root + "alias/*.xml", "file:" + root + "src/sub/*.xml", true));
  std::filesystem::remove_all(root);
}

TEST_F(BatchDialogTest, OkAsksWhenTheRunWritesOverItsOwnSources)
{
  Dialog.show();
  Dialog.PageControl->setCurrentIndex(bcTransform);
  Dialog.SourceEdit->setText("file:/t/*.xml");
  Dialog.DestEdit->setText("file:/t/*.*");
  Prompts.Answers = {TAnswer::No};
  Dialog.OKBtn->click();
  ASSERT_EQ(Prompts.Messages.size(), 1);
  EXPECT_TRUE(Dialog.isVisible());
  Dialog.DestEdit->setText("file:/t/*.html");
  Dialog.OKBtn->click();
  EXPECT_EQ(Prompts.Messages.size(), 1);
  EXPECT_EQ(Dialog.result(), QDialog::Accepted);
}

TEST(PipeFilterToQtTest, EntriesPatternsAndAllFiles)
{
  EXPECT_EQ(PipeFilterToQt("XSL Files|*.xsl;*.xslt|All files|*.*"), "XSL Files (*.xsl *.xslt);;All files (*)");
  EXPECT_EQ(PipeFilterToQt("XML Files (*.xml;*.xsd)|*.xml;*.xsd|CSS Files (*.css)|*.css|"),
            "XML Files (*.xml *.xsd);;CSS Files (*.css)");
  EXPECT_EQ(PipeFilterToQt(""), "All files (*)");
}

TEST_F(BatchDialogTest, BrowsingPutsTheChosenFileIntoTheURL)
{
  Dialog.Source.SetURL("file:/home/u/in/*.xml");
  Prompts.FileNames = {"/home/u/other/page.html", "/home/u/out/result.xml", "/styles/a.xsl"};
  Dialog.BrowseSourceBtn->click();
  EXPECT_EQ(Dialog.Source.GetURL(), "file:/home/u/other/page.html");
  EXPECT_EQ(Dialog.SourceEdit->text(), "file:/home/u/other/page.html");
  Dialog.BrowseDestBtn->click();
  EXPECT_EQ(Dialog.Dest.GetURL(), "file:/home/u/out/result.xml");
  Dialog.BrowseXSLBtn->click();
  EXPECT_EQ(Dialog.GetXSLFile(), "/styles/a.xsl");
  EXPECT_EQ(Prompts.Messages, QStringList({"Select Source Files", "Select Destination Files", "Open XSL File"}));
  Dialog.BrowseSourceBtn->click();  // cancelled: unchanged
  EXPECT_EQ(Dialog.Source.GetURL(), "file:/home/u/other/page.html");
}

// The file dialogs give a name that is no local text (a Latin-1 name) with
// U+FFFD in place of its bytes: source, destination and stylesheet still
// name those files and folders, also once the dialog is shown again.
TEST_F(BatchDialogTest, BrowsedNamesThatAreNoLocalTextKeepTheirBytes)
{
  const std::string root = MakeTempFolder("xmlplivek-batchnames");
  const std::string in = root + "entr\xE9" "e/";
  const std::string out = root + "sorti\xE9/";
  std::filesystem::create_directory(in);
  std::filesystem::create_directory(out);
  WriteTestFile(in + "caf\xE9.xml", "<a/>");
  WriteTestFile(out + "r\xE9sultat.html", "<p/>");
  WriteTestFile(root + "\xE9t\xE9.xsl", "<x/>");
  auto shown = [](const std::string& path) { return QString::fromLocal8Bit(path.c_str()); };
  Prompts.FileNames = {shown(in + "*.xml"), shown(out + "r\xE9sultat.html"), shown(root + "\xE9t\xE9.xsl")};
  Dialog.BrowseSourceBtn->click();
  Dialog.BrowseDestBtn->click();
  Dialog.BrowseXSLBtn->click();
  EXPECT_EQ(Dialog.Source.GetURL(), "file:" + in + "*.xml");
  EXPECT_EQ(Dialog.Dest.GetURL(), "file:" + out + "r\xE9sultat.html");
  EXPECT_EQ(Dialog.GetXSLFile(), root + "\xE9t\xE9.xsl");
  Dialog.show();
  Dialog.hide();
  EXPECT_EQ(Dialog.Source.GetURL(), "file:" + in + "*.xml");
  EXPECT_EQ(Dialog.Dest.GetURL(), "file:" + out + "r\xE9sultat.html");
  EXPECT_EQ(Dialog.GetXSLFile(), root + "\xE9t\xE9.xsl");
  // A typed change is the text typed.
  Dialog.SourceEdit->setText("file:/in/*.xml");
  EXPECT_EQ(Dialog.Source.GetURL(), "file:/in/*.xml");
  std::filesystem::remove_all(root);
}

// The source's file dialog, as the user drives it: a typed mask names no
// existing file and is taken as it is, as the destination's dialog takes it.
TEST(BatchDialogFilesTest, SourceButtonTakesATypedMask)
{
  const std::string folder = MakeTempFolder("xmlplivek-batchfiles");
  WriteTestFile(folder + "a.xml", "<a/>");
  TBatchDialog dialog;
  dialog.Source.SetURL("file:" + folder + "*.xml");
  bool typed = false;
  bool refused = false;
  QTimer driver;
  QObject::connect(&driver, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      refused = true;  // "File not found"
      box->done(QMessageBox::Ok);
    } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
      if (typed) {
        files->reject();
        return;
      }
      typed = true;
      auto* name = files->findChild<QLineEdit*>("fileNameEdit");
      ASSERT_TRUE(name);
      name->setText("*.htm");
      QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
    }
  });
  driver.start(20);
  dialog.BrowseSourceBtn->click();
  driver.stop();
  EXPECT_TRUE(typed);
  EXPECT_FALSE(refused);
  EXPECT_EQ(dialog.Source.GetURL(), "file:" + folder + "*.htm");
  std::filesystem::remove_all(folder);
}

// Once dialog is shown modally, runs fill (which closes it).
void WhenShown(QDialog* dialog, std::function<void()> fill)
{
  auto* timer = new QTimer(dialog);
  QObject::connect(timer, &QTimer::timeout, dialog, [=] {
    if (!dialog->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    fill();
  });
  timer->start(10);
}

TEST_F(BatchDialogTest, FTPButtonsChooseRemoteSpecsWithTheirLogIn)
{
  CreateFileTypes();
  auto type = std::make_unique<TFileType>("");
  type->Filter = "*.xml;*.xsd";
  FileTypes().AddFileType(std::move(type));
  TFTPDialog ftp;
  FTPDialog = &ftp;
  QString caption;
  int filters = 0;
  TFTPDialogMode mode = 0;
  WhenShown(&ftp, [&] {
    caption = ftp.windowTitle();
    filters = ftp.GetFilterItems().Count();
    mode = ftp.Mode;
    ftp.FTPHostCombo->setEditText("files.example");
    ftp.FTPUserEdit->setText("anna");
    ftp.FTPPasswordEdit->setText("secret");
    ftp.FTPPassiveCheckBox->setChecked(true);
    ftp.FTPPathEdit->setText("/pub/in/");
    ftp.FTPFilenameEdit->setText("*.xml");
    ftp.OKBtn->click();
  });
  Dialog.show();
  Dialog.BrowseSourceFTPBtn->click();
  EXPECT_EQ(caption, "Select Source Files");
  EXPECT_EQ(filters, 1);
  EXPECT_EQ(mode, fdmSelect);
  EXPECT_EQ(ftp.History, &Project().FtpHistory);
  EXPECT_EQ(Dialog.SourceEdit->text(), "ftp:files.example/pub/in/*.xml");
  EXPECT_EQ(Dialog.Source.User, "anna");
  EXPECT_EQ(Dialog.Source.Password, "secret");
  EXPECT_TRUE(Dialog.Source.Passive);

  WhenShown(&ftp, [&] {
    caption = ftp.windowTitle();
    ftp.reject();
  });
  Dialog.BrowseDestFTPBtn->click();  // cancelled: unchanged
  EXPECT_EQ(caption, "Select Destination Files");
  EXPECT_EQ(Dialog.DestEdit->text(), "file:/*.html");
  FTPDialog = nullptr;
  FreeFileTypes();
  FreeURLSystem();
}

TEST_F(BatchDialogTest, LogDetailsFollowsTheSetter)
{
  Dialog.SetLogDetails(false);
  EXPECT_FALSE(Dialog.GetLogDetails());
  EXPECT_FALSE(Dialog.LogCheck->isChecked());
  Dialog.SetLogDetails(true);
  EXPECT_TRUE(Dialog.GetLogDetails());
}

}  // namespace
