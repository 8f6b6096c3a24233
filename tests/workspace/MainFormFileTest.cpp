// File > New, Open Web page, Recent, Change File type, and Save of new and
// web documents.

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <Qsci/qscilexercss.h>
#include <Qsci/qsciscintilla.h>
#include <functional>

#include "HttpTestServer.h"
#include "MainFormFixture.h"
#include "dialogs/TChangeFileTypeDialog.h"
#include "dialogs/TNewFileDialog.h"
#include "dialogs/TOpenURLDialog.h"
#include "model/ModelModule.h"
#include "model/TFileTypes.h"

namespace {

class MainFormFileTest : public MainFormFixture {
protected:
  // Runs answer inside the next modal dialog, then a click on its button.
  template <typename TDialog>
  static void Answer(TDialog* dialog, std::function<void()> answer, bool ok = true)
  {
    QTimer::singleShot(0, dialog, [dialog, answer, ok] {
      if (answer) answer();
      (ok ? dialog->OKBtn : dialog->CancelBtn)->click();
    });
  }
  QMenu* RecentMenu() { return Form().Action("MenuFileRecent")->menu(); }
  QStringList RecentCaptions()
  {
    QStringList captions;
    for (QAction* item : RecentMenu()->actions()) captions << (item->isSeparator() ? "-" : item->text());
    return captions;
  }
  std::string FileURL(const std::string& name) { return "file:" + Folder + name; }
};

// --- New ----------------------------------------------------------------------------------

TEST_F(MainFormFileTest, NewStartsAnUnsavedDocumentInTheProgramFolderFromTheTemplateBytes)
{
  TMainForm& form = Start();
  Write("help/css/blanks/latin.css", std::string("p { content: \"\xE9\xFF\" }\n"));
  Answer(NewFileDialog, [] {
    NewFileDialog->FileTypeCombo->setCurrentIndex(3);  // CSS Files
    NewFileDialog->BlanksCombo->setEditText("latin.css");
    NewFileDialog->FilenameEdit->setText("mine.css");
  });
  form.Action("MenuFileNew")->trigger();
  ASSERT_EQ(form.MainPageControl()->PageCount(), 1);
  TEditFrame* frame = EditFrameAt(0);
  EXPECT_EQ(frame->FURL.GetURL(), FileURL("mine.css"));
  EXPECT_EQ(frame->FFileType->Id, "css");
  EXPECT_EQ(frame->FStatus, esNew);
  EXPECT_EQ(frame->GetText(), std::string("p { content: \"\xE9\xFF\" }\n"));
  EXPECT_EQ(form.MainPageControl()->tabText(0), "mine.css");
  EXPECT_EQ(Project().MRU.Count(), 0);  // recorded only once saved
}

// The program folder may be one the user cannot write to (a program installed
// for all users): the new document's working copy cannot be written there,
// which is said, and the document starts all the same, with its template.
TEST_F(MainFormFileTest, NewStartsEvenWhereItsWorkingCopyCannotBeWritten)
{
  TMainForm& form = Start();
  Write("help/css/blanks/plain.css", "p { }\n");
  Project().ProjectURL.SetNativeName("/proc/default.pvp");  // a folder no one may write to
  Answer(NewFileDialog, [] {
    NewFileDialog->FileTypeCombo->setCurrentIndex(3);  // CSS Files
    NewFileDialog->BlanksCombo->setEditText("plain.css");
    NewFileDialog->FilenameEdit->setText("mine.css");
  });
  form.Action("MenuFileNew")->trigger();
  ASSERT_EQ(form.MainPageControl()->PageCount(), 1);
  TEditFrame* frame = EditFrameAt(0);
  EXPECT_EQ(frame->FURL.GetURL(), "file:/proc/mine.css");
  EXPECT_EQ(frame->GetText(), "p { }\n");
  EXPECT_EQ(form.MainPageControl()->tabText(0), "mine.css");
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].contains("/proc/~mine.css")) << Prompts->Messages[0].toStdString();
}

TEST_F(MainFormFileTest, NewWithoutTemplateIsEmptyAndCancelOpensNothing)
{
  TMainForm& form = Start();
  Answer(NewFileDialog, nullptr, false);
  form.MenuFileNewClick();
  EXPECT_EQ(form.MainPageControl()->PageCount(), 0);

  Answer(NewFileDialog, [] { NewFileDialog->FileTypeCombo->setCurrentIndex(2); });  // HTML: page.html
  form.MenuFileNewClick();
  EXPECT_EQ(EditFrameAt(0)->GetText(), ReadTestFile(Folder + "help/html/blanks/page.html"));  // the first template
  Answer(NewFileDialog, [] {
    NewFileDialog->FileTypeCombo->setCurrentIndex(1);
    NewFileDialog->BlanksCombo->setEditText("");
  });
  form.MenuFileNewClick();
  ASSERT_EQ(form.MainPageControl()->PageCount(), 2);
  EXPECT_EQ(EditFrameAt(1)->GetText(), "");
  EXPECT_EQ(EditFrameAt(1)->FURL.GetURL(), FileURL("new.xsl"));

  // A template that cannot be read is reported and leaves no empty tab.
  Answer(NewFileDialog, [] { NewFileDialog->BlanksCombo->setEditText("no-such-template.xml"); });
  form.Action("MenuFileNew")->trigger();
  EXPECT_EQ(form.MainPageControl()->PageCount(), 2);
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].contains("no-such-template.xml")) << Prompts->Messages[0].toStdString();
}

// --- Save of new and web documents -------------------------------------------------------

TEST_F(MainFormFileTest, SaveOfANewDocumentOffersItsNameInTheLastSaveFolder)
{
  TMainForm& form = Start();
  std::filesystem::create_directories(Folder + "out");
  Project().SaveURL.SetURL(FileURL("out/earlier.xml"));
  TEditFrame* frame = form.NewEditFrame("xml", TURL(FileURL("fresh.xml")), true);
  frame->SynEdit->setText("<x/>");
  frame->MarkModified();
  FocusEditor(*frame);
  form.HeartbeatTimerTimer();  // Save is enabled for a modified document
  Prompts->FileNames = {QString::fromStdString(Folder + "out/fresh.xml")};
  form.Action("MenuFileSave")->trigger();
  EXPECT_EQ(Prompts->FileDialogPresets, QStringList({QString::fromStdString(Folder + "out/fresh.xml")}));
  EXPECT_EQ(ReadTestFile(Folder + "out/fresh.xml"), "<x/>");
  EXPECT_EQ(frame->FStatus, 0);
  EXPECT_EQ(Project().MRU.GetItem(0).GetURL(), FileURL("out/fresh.xml"));
}

// --- Open Web page --------------------------------------------------------------------------

TEST_F(MainFormFileTest, OpenWebPageReadsThroughHttpRecordsItAndSavesOnlyThroughSaveAs)
{
  std::string site = MakeTempFolder("web-site");
  WriteTestFile(site + "sheet.css", "a { }\n");
  HttpTestServer server(site);
  TMainForm& form = Start();
  const std::string address = server.BaseURL() + "sheet.css";

  Answer(OpenURLDialog, [&] {
    EXPECT_EQ(OpenURLDialog->GetURLItems().Count(), 0);  // the http history is empty
    OpenURLDialog->URLCombo->setEditText(QString::fromStdString(address));
  });
  form.Action("MenuFileOpenWebPage")->trigger();
  ASSERT_EQ(form.MainPageControl()->PageCount(), 1);
  TEditFrame* page = EditFrameAt(0);
  EXPECT_EQ(page->FFileType->Id, "css");
  EXPECT_EQ(page->GetText(), "a { }\n");
  ASSERT_EQ(Project().HttpHistory.Count(), 1);
  EXPECT_EQ(Project().HttpHistory.GetItem(0).GetURL(), address);
  EXPECT_EQ(Project().MRU.GetItem(0).GetURL(), address);

  // An address without a file name: the first document type.
  Answer(OpenURLDialog, [&] {
    EXPECT_EQ(OpenURLDialog->GetURL().toStdString(), address);  // the last text is kept
    EXPECT_EQ(OpenURLDialog->GetURLItems().Get(0).toStdString(), address);
    OpenURLDialog->URLCombo->setEditText(QString::fromStdString(server.BaseURL()));
  });
  form.MenuFileOpenWebPageClick();
  ASSERT_EQ(form.MainPageControl()->PageCount(), 2);
  EXPECT_EQ(EditFrameAt(1)->FFileType, &FileTypes().GetFileType(0));

  // Save of a web document asks where to save it, preset with its name.
  Project().SaveURL.SetURL(FileURL("a.xml"));
  page->SynEdit->setText("b { }");
  page->MarkModified();
  FocusEditor(*page);
  Prompts->FileNames = {QString::fromStdString(Folder + "sheet.css")};
  form.MenuFileSaveClick();
  EXPECT_EQ(Prompts->FileDialogPresets.value(0).toStdString(), Folder + "sheet.css");
  EXPECT_EQ(ReadTestFile(Folder + "sheet.css"), "b { }");
  EXPECT_EQ(ReadTestFile(site + "sheet.css"), "a { }\n");

  // Over TLS, the test's certificate trusted through SSL_CERT_FILE.
  HttpTestServer secure(site, HttpTestServer::TCertificate::Trusted);
  EnvironmentScope trust("SSL_CERT_FILE", HttpTestServer::TrustedCertificateFile());
  const std::string secureAddress = secure.BaseURL() + "sheet.css";
  Answer(OpenURLDialog, [&] { OpenURLDialog->URLCombo->setEditText(QString::fromStdString(secureAddress)); });
  form.MenuFileOpenWebPageClick();
  ASSERT_EQ(form.MainPageControl()->PageCount(), 3);
  EXPECT_EQ(EditFrameAt(2)->GetText(), "a { }\n");
  EXPECT_EQ(Project().HttpHistory.GetItem(0).GetURL(), secureAddress);
  std::filesystem::remove_all(site);
}

TEST_F(MainFormFileTest, SaveOfADocumentOfAnotherSchemeGoesToSaveAsToo)
{
  TMainForm& form = Start();
  TEditFrame* frame = form.NewEditFrame("xml", TURL(FileURL("a.xml")), true);
  frame->FURL.SetURL("https://example.invalid/a.xml");
  frame->FStatus = esModified;
  FocusEditor(*frame);
  form.MenuFileSaveClick();  // the dialog is cancelled: nothing is written, nothing claimed
  EXPECT_EQ(Prompts->Messages, QStringList({"Save As"}));
  EXPECT_EQ(frame->FStatus, esModified);
}

// --- Recent -----------------------------------------------------------------------------------

TEST_F(MainFormFileTest, RecentShowsOnlyItsSeparatorWhenEmptyAndTheFirstTenOfTwelve)
{
  TMainForm& form = Start();
  emit RecentMenu()->aboutToShow();
  EXPECT_EQ(RecentCaptions(), QStringList({"-"}));

  for (int i = 11; i >= 0; --i) Project().MRU.Add(TURL(FileURL(std::to_string(i) + ".xml")));
  emit RecentMenu()->aboutToShow();
  emit RecentMenu()->aboutToShow();  // rebuilt, not appended
  QStringList expected({"-"});
  for (int i = 0; i < 10; ++i) expected << QString::fromStdString(std::to_string(i) + " " + FileURL(std::to_string(i) + ".xml"));
  EXPECT_EQ(RecentCaptions(), expected);
  (void)form;
}

TEST_F(MainFormFileTest, RecentEntryWithALeadingAcceleratorMarkOpensItsEntryAndMovesItToTheFront)
{
  TMainForm& form = Start();
  for (const char* name : {"d.css", "c.xml", "b.xml", "a.xml"}) {
    Write(name, std::string("<") + name + "/>\n");
    Project().MRU.Add(TURL(FileURL(name)));
  }
  form.MenuFileRecentClick();
  QAction* entry = RecentMenu()->actions().value(4);  // "3 file:.../d.css"
  ASSERT_NE(entry, nullptr);
  entry->setText("&" + entry->text());
  entry->trigger();
  ASSERT_EQ(form.MainPageControl()->PageCount(), 1);
  EXPECT_EQ(EditFrameAt(0)->FURL.GetURL(), FileURL("d.css"));
  EXPECT_EQ(EditFrameAt(0)->FFileType->Id, "css");
  EXPECT_EQ(Project().MRU.GetItem(0).GetURL(), FileURL("d.css"));
  EXPECT_EQ(Project().MRU.Count(), 4);

  // An entry that has left the list since the menu was built opens nothing.
  Project().MRU.Clear();
  RecentMenu()->actions().value(2)->trigger();
  EXPECT_EQ(form.MainPageControl()->PageCount(), 1);
}

TEST_F(MainFormFileTest, RecentCaptionShowsAnAmpersandOfTheAddress)
{
  TMainForm& form = Start();
  Write("a&b.xml", "<a/>\n");
  Project().MRU.Add(TURL(FileURL("a&b.xml")));
  form.MenuFileRecentClick();
  QAction* entry = RecentMenu()->actions().value(1);
  EXPECT_EQ(entry->text().toStdString(), "0 " + FileURL("a&&b.xml"));  // "&&" is a plain "&" on screen
  entry->trigger();
  EXPECT_EQ(EditFrameAt(0)->FURL.GetURL(), FileURL("a&b.xml"));
}

// --- Change File type ---------------------------------------------------------------------------

TEST_F(MainFormFileTest, ChangeFileTypePresetsTheTypeAndReplacesTheHighlighter)
{
  TMainForm& form = Start();
  TEditFrame* frame = form.NewEditFrame("xsl", TURL("file:" + Write("a.xml", "<a/>\n")), false);
  FocusEditor(*frame);
  form.HeartbeatTimerTimer();  // Change File type is enabled with a document
  Answer(ChangeFileTypeDialog, [] {
    EXPECT_EQ(ChangeFileTypeDialog->GetFileTypeIndex(), 1);  // XSL Stylesheets
    ChangeFileTypeDialog->FileTypeCombo->setCurrentIndex(3);
  });
  form.Action("MenuFileChangeFileType")->trigger();
  EXPECT_EQ(frame->FFileType->Id, "css");
  EXPECT_NE(qobject_cast<QsciLexerCSS*>(frame->SynEdit->lexer()), nullptr);

  Answer(ChangeFileTypeDialog, [] { ChangeFileTypeDialog->FileTypeCombo->setCurrentIndex(0); }, false);
  form.MenuFileChangeFileTypeClick();
  EXPECT_EQ(frame->FFileType->Id, "css");
}

}  // namespace
