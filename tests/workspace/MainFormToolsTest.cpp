// Tools > Check Well Formed, Check is Valid and Transform: status flags,
// caret, messages, the folders references resolve against and the untitled
// result tabs. Convert is in MainFormToolsConvertTest.cpp.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <Qsci/qsciscintilla.h>

#include "FileOpenWatch.h"
#include "FtpTestServer.h"
#include "HttpTestServer.h"
#include "MainFormToolsFixture.h"
#include "ProgressWatch.h"
#include "dialogs/TConvertHTMLDialog.h"
#include "dialogs/TTransformDialog.h"
#include "model/ModelModule.h"
#include "model/TFileTypes.h"
#include "platform/TProgressRunner.h"
#include "resource/zevlog.h"
#include "workspace/ToolsCommandText.h"

namespace {

constexpr TEditStatus kCheckFlags = esValid | esInvalid | esWellFormed;

const char* const kDTD = "<!ELEMENT doc (item*)>\r\n<!ELEMENT item (#PCDATA)>\r\n";

const char* const kStyleSheet =
    "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\r\n"
    "<xsl:output method=\"text\"/>\r\n"
    "<xsl:template match=\"/\">items: <xsl:value-of select=\"count(//item)\"/></xsl:template>\r\n"
    "</xsl:stylesheet>\r\n";

class MainFormToolsTest : public MainFormToolsFixture {
protected:
  int TypePosition(const std::string& id)
  {
    for (int i = 0; i < FileTypes().Count(); ++i)
      if (FileTypes().GetFileType(i).Id == id) return i;
    return -1;
  }
  TEditFrame* Active() { return Form().GetActiveEditFrame(); }
};

// --- well-formedness and validity ---------------------------------------------------

TEST_F(MainFormToolsTest, WellFormedDocumentPasses)
{
  Start();
  std::filesystem::create_directories(Folder + "docs");
  TEditFrame* doc = Open("docs/a.xml", "<doc>\r\n<item/>\r\n</doc>\r\n");
  FocusEditor(*doc);
  doc->SetStatus(esInvalid);
  std::filesystem::current_path(Folder);
  Run("MenuToolsWellFormed");
  EXPECT_EQ(Prompts->Messages, QStringList({"OK. File is well-formed."}));
  EXPECT_EQ(doc->FStatus, esWellFormed);
  // The document's folder was current for the check only.
  EXPECT_EQ(std::filesystem::current_path().string() + "/", Folder);
}

// A check cancelled in its progress window gives no verdict and no message;
// the document stays as it was.
TEST_F(MainFormToolsTest, CancelledCheckSaysNothingAndLeavesTheDocument)
{
  Start();
  std::string bytes = "<doc>\n";
  const std::string item = "<item kind=\"plain\">some text of the item</item>\n";
  while (bytes.size() < 30 * 1024 * 1024) bytes += item;
  bytes += "</doc>\n";
  TEditFrame* doc = Open("big.xml", bytes);
  FocusEditor(*doc);
  doc->SetStatus(esWellFormed);
  const int delay = TProgressRunner::ShowDelay;
  TProgressRunner::ShowDelay = 0;  // the window at once: Cancel comes while the parse runs
  {
    TProgressWatch watch;
    Run("MenuToolsWellFormed");
    EXPECT_TRUE(watch.Cancelled());
  }
  TProgressRunner::ShowDelay = delay;
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("|").toStdString();
  EXPECT_EQ(doc->FStatus & kCheckFlags, 0);
  EXPECT_FALSE(doc->FStatus & esModified);
  EXPECT_TRUE(doc->GetText() == bytes);
  EXPECT_EQ(Form().MainPageControl()->PageCount(), 1);
}

TEST_F(MainFormToolsTest, DocumentsBeyondAsciiPassInTheirOwnEncoding)
{
  // The checker gets the document's bytes in its encoding, typed text
  // included.
  Start();
  const std::string fixtures = std::string(TEST_DATA_DIR) + "/encodings/";
  for (const char* name : {"utf8.xml", "iso-8859-1.xml"}) {
    SCOPED_TRACE(name);
    TEditFrame* doc = Open(name, ReadTestFile(fixtures + name));
    FocusEditor(*doc);
    doc->SynEdit->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    doc->SynEdit->SendScintilla(QsciScintillaBase::SCI_LINEUP);
    doc->SynEdit->SendScintilla(QsciScintillaBase::SCI_LINEEND);
    for (int i = 0; i < 4; ++i) doc->SynEdit->SendScintilla(QsciScintillaBase::SCI_CHARLEFT);  // before "</r>"
    for (QChar c : QString::fromUtf8(" \u00E9\u00FC")) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(doc->SynEdit, &press);
    }
    ASSERT_TRUE(doc->FStatus & esModified);
    Prompts->Messages.clear();
    Run("MenuToolsWellFormed");
    EXPECT_EQ(Prompts->Messages, QStringList({"OK. File is well-formed."}));
    EXPECT_TRUE(doc->FStatus & esWellFormed);
  }
  // A character that ISO-8859-1 cannot hold leaves no bytes to check: the
  // message names it and the caret goes to it (it went to line 1).
  TEditFrame* doc = Active();
  QKeyEvent euro(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\u20AC"));
  QApplication::sendEvent(doc->SynEdit, &euro);
  const long at = doc->SynEdit->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS) - 3;
  doc->SynEdit->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
  Prompts->Messages.clear();
  Run("MenuToolsWellFormed");
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].contains(QString::fromUtf8("\"\u20AC\" (U+20AC)"))) << Prompts->Messages[0].toStdString();
  EXPECT_EQ(doc->SynEdit->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), at);
}

// The message and the caret name the line the user sees, whatever ends the
// lines: libxml2 counts LF only, and a file with CR line ends failed on line 1.
TEST_F(MainFormToolsTest, BadDocumentFailsOnItsLine)
{
  Start();
  for (const std::string end : {"\r\n", "\n", "\r"}) {
    SCOPED_TRACE(end == "\r" ? "CR" : end == "\n" ? "LF" : "CR LF");
    Prompts->Messages.clear();
    TEditFrame* doc = Open("bad.xml", "<doc>" + end + "<item>" + end + "</doc>" + end + "<!-- end -->" + end);
    FocusEditor(*doc);
    doc->SynEdit->setCursorPosition(3, 5);
    doc->SetStatus(esModified | esWellFormed);
    Run("MenuToolsWellFormed");
    ASSERT_EQ(Prompts->Messages.size(), 1);
    const QString message = Prompts->Messages[0];
    EXPECT_TRUE(message.contains("\r\nLine: 3\r\n</doc>")) << message.toStdString();
    EXPECT_EQ(doc->FStatus, esModified | esInvalid);
    EXPECT_EQ(CaretLine(*doc), 3);
    int line = 0, index = 0;
    doc->SynEdit->getCursorPosition(&line, &index);
    EXPECT_EQ(index, 0);
  }
}

TEST_F(MainFormToolsTest, ValidityAgainstADTDBesideTheDocument)
{
  Start();
  std::filesystem::create_directories(Folder + "v");
  Write("v/doc.dtd", kDTD);
  TEditFrame* good = Open("v/good.xml", "<!DOCTYPE doc SYSTEM \"doc.dtd\">\r\n<doc><item>x</item></doc>\r\n");
  TEditFrame* bad = Open("v/bad.xml", "<!DOCTYPE doc SYSTEM \"doc.dtd\">\r\n<doc>\r\n<other/>\r\n</doc>\r\n");
  std::filesystem::current_path("/");

  FocusEditor(*good);
  Run("MenuToolsIsValid");
  EXPECT_EQ(Prompts->Messages.value(0), "OK. File is valid.");
  EXPECT_EQ(good->FStatus & kCheckFlags, esValid);

  FocusEditor(*bad);
  Run("MenuToolsWellFormed");  // well-formed all the same
  EXPECT_EQ(bad->FStatus & kCheckFlags, esWellFormed);
  Run("MenuToolsIsValid");
  ASSERT_EQ(Prompts->Messages.size(), 3);
  EXPECT_TRUE(Prompts->Messages[2].contains("Line: 3")) << Prompts->Messages[2].toStdString();
  EXPECT_EQ(bad->FStatus & kCheckFlags, esInvalid);
  EXPECT_EQ(CaretLine(*bad), 3);
  EXPECT_EQ(std::filesystem::current_path(), "/");
}

// A document read from the web was checked and transformed as if it lay in
// the current folder: its relative DTD was looked for there, and a file
// reference in it read local files. Its references resolve against its own
// address, and no local file is read for it.
TEST_F(MainFormToolsTest, AWebDocumentResolvesAgainstItsAddressAndReadsNoLocalFile)
{
  Start();
  const std::string site = MakeTempFolder("xmlplivek-site");
  WriteTestFile(site + "doc.dtd", kDTD);
  WriteTestFile(site + "good.xml", "<!DOCTYPE doc SYSTEM \"doc.dtd\">\r\n<doc><item>x</item></doc>\r\n");
  const std::string local = Write("local.ent", "local text");
  WriteTestFile(site + "greedy.xml", "<!DOCTYPE doc [<!ENTITY e SYSTEM \"file://" + local + "\">]>\r\n<doc>&e;</doc>\r\n");
  HttpTestServer server(site);
  Write("doc.dtd", "<!ELEMENT doc (other)>\r\n");  // a local namesake
  std::filesystem::current_path(Folder);

  TEditFrame* good = Form().NewEditFrame("xml", TURL(server.BaseURL() + "good.xml"), false);
  FocusEditor(*good);
  Run("MenuToolsIsValid");
  EXPECT_EQ(Prompts->Messages, QStringList({"OK. File is valid."}));

  TEditFrame* greedy = Form().NewEditFrame("xml", TURL(server.BaseURL() + "greedy.xml"), false);
  FocusEditor(*greedy);
  Prompts->Messages.clear();
  Run("MenuToolsWellFormed");
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].startsWith("Cannot load \"file://" + QString::fromStdString(local) +
                                              "\": a resource from the web may not refer to a local file"))
      << Prompts->Messages[0].toStdString();
  EXPECT_EQ(greedy->FStatus & kCheckFlags, esInvalid);

  Write("copy.xsl", "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\r\n"
                    "<xsl:template match=\"/\"><xsl:copy-of select=\".\"/></xsl:template>\r\n"
                    "</xsl:stylesheet>\r\n");
  WhenShown(TransformDialog, [&] {
    TransformDialog->XSLCombo->setEditText(QString::fromStdString(Folder + "copy.xsl"));
    TransformDialog->FileTypeCombo->setCurrentIndex(TypePosition("xml"));
  });
  Prompts->Messages.clear();
  const int tabs = Form().GetFrameCount();
  Run("MenuToolsTransform");
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].contains("a resource from the web may not refer to a local file"))
      << Prompts->Messages[0].toStdString();
  EXPECT_EQ(Form().GetFrameCount(), tabs);
  std::filesystem::remove_all(site);
}

// The result of converting or transforming a document from the web opened as
// a new tab in the program folder and counted as local there: checking it
// read the local files its DTD named (and a DTD of the web could send them
// on). A result carries the origin of its input, and reads no local file.
TEST_F(MainFormToolsTest, ResultsOfAWebDocumentCountAsFromTheWeb)
{
  Start();
  const std::string site = MakeTempFolder("xmlplivek-site");
  const std::string secret = Write("secret.ent", "TOPSECRET");
  WriteTestFile(site + "page.html", "<!DOCTYPE html [<!ENTITY s SYSTEM \"file://" + secret +
                                        "\">]>\r\n<html><body>&s;</body></html>\r\n");
  WriteTestFile(site + "data.xml", "<d/>\r\n");
  HttpTestServer server(site);
  std::filesystem::current_path(Folder);
  FileOpenWatch watch(secret);

  TEditFrame* page = Form().NewEditFrame("html", TURL(server.BaseURL() + "page.html"), false);
  FocusEditor(*page);
  WhenShown(ConvertHTMLDialog, [] {});
  Run("MenuToolsConvert");
  ASSERT_NE(Active(), page);
  EXPECT_NE(Active()->GetText().find("&s;"), std::string::npos) << Active()->GetText();
  Prompts->Messages.clear();
  Run("MenuToolsWellFormed");
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].contains("a resource from the web may not refer to a local file"))
      << Prompts->Messages[0].toStdString();

  Write("doctype.xsl", "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\r\n"
                       "<xsl:output doctype-system=\"file://" + secret + "\"/>\r\n"
                       "<xsl:template match=\"/\"><xsl:copy-of select=\".\"/></xsl:template>\r\n"
                       "</xsl:stylesheet>\r\n");
  TEditFrame* data = Form().NewEditFrame("xml", TURL(server.BaseURL() + "data.xml"), false);
  FocusEditor(*data);
  WhenShown(TransformDialog, [&] {
    TransformDialog->XSLCombo->setEditText(QString::fromStdString(Folder + "doctype.xsl"));
    TransformDialog->FileTypeCombo->setCurrentIndex(TypePosition("xml"));
  });
  Prompts->Messages.clear();
  Run("MenuToolsTransform");
  ASSERT_NE(Active(), data);
  EXPECT_NE(Active()->GetText().find("<!DOCTYPE d SYSTEM"), std::string::npos) << Active()->GetText();
  Run("MenuToolsWellFormed");
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].contains("a resource from the web may not refer to a local file"))
      << Prompts->Messages[0].toStdString();
  EXPECT_FALSE(watch.Opened());
  std::filesystem::remove_all(site);
}

// A document from an FTP server finds its DTD beside it on the server, read
// as the document's user (the server admits no anonymous log-in); the
// transform of it reads it there too.
TEST_F(MainFormToolsTest, AnFtpDocumentResolvesOnItsServerWithItsLogIn)
{
  Start();
  FtpTestServer server;
  std::filesystem::create_directories(server.Root + "pub");
  WriteTestFile(server.Root + "pub/doc.dtd", std::string(kDTD) + "<!ENTITY x \"from the server\">\r\n");
  WriteTestFile(server.Root + "pub/good.xml", "<!DOCTYPE doc SYSTEM \"doc.dtd\">\r\n<doc><item>&x;</item></doc>\r\n");
  Write("doc.dtd", "<!ELEMENT doc (other)>\r\n");  // a local namesake
  std::filesystem::current_path(Folder);
  TURL url("ftp:" + server.Host() + "/pub/good.xml");
  url.User = server.Settings.User;
  url.Password = server.Settings.Password;
  url.Passive = true;
  TEditFrame* good = Form().NewEditFrame("xml", url, false);
  FocusEditor(*good);
  Run("MenuToolsIsValid");
  EXPECT_EQ(Prompts->Messages, QStringList({"OK. File is valid."}));

  Write("copy.xsl", "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\r\n"
                    "<xsl:output method=\"text\"/><xsl:template match=\"/\"><xsl:value-of select=\".\"/></xsl:template>\r\n"
                    "</xsl:stylesheet>\r\n");
  WhenShown(TransformDialog, [&] {
    TransformDialog->XSLCombo->setEditText(QString::fromStdString(Folder + "copy.xsl"));
    TransformDialog->FileTypeCombo->setCurrentIndex(TypePosition("xml"));
  });
  Prompts->Messages.clear();
  Run("MenuToolsTransform");
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("|").toStdString();
  EXPECT_EQ(Active()->GetText(), "from the server");
  url.Disconnect();
}

TEST_F(MainFormToolsTest, NewDocumentIsCheckedInTheProgramFolder)
{
  Start();
  Write("prog.dtd", kDTD);
  TEditFrame* doc = Form().NewEditFrame("xml", TURL("file:" + Folder + "new.xml"), true);
  doc->SetText("<!DOCTYPE doc SYSTEM \"prog.dtd\">\r\n<doc><item>x</item></doc>\r\n");
  FocusEditor(*doc);
  std::filesystem::current_path("/");
  Run("MenuToolsIsValid");
  EXPECT_EQ(Prompts->Messages, QStringList({"OK. File is valid."}));
  EXPECT_EQ(doc->FStatus, esNew | esValid);
}

TEST(GetErrorLineTest, NumberAfterLineUpToCR)
{
  EXPECT_EQ(GetErrorLine("reason\r\nLine: 12\r\n<a>"), 12);
  EXPECT_EQ(GetErrorLine("reason without a line"), 1);
  EXPECT_EQ(GetErrorLine("reason\r\nLine: 12"), 1);  // no CR after the number
  EXPECT_EQ(GetErrorLine("reason\r\nLine: x2\r\n"), 1);
  EXPECT_EQ(GetErrorLine("reason\r\nLine: 0\r\n"), 1);
  EXPECT_EQ(GetErrorLine("reason\r\nLine: -4\r\n"), 1);
  EXPECT_EQ(GetErrorLine("reason\r\nLine: 99999999999\r\n"), 1);
  EXPECT_EQ(GetErrorLine("Line: 7\r\nLine: 9\r\n"), 7);
}

// --- transform --------------------------------------------------------------------

TEST_F(MainFormToolsTest, TransformWithAnOpenStyleSheetUsesItsEditorText)
{
  Start();
  TEditFrame* style = Open("count.xsl", kStyleSheet, "xsl");
  // The unsaved text of the stylesheet's tab is what counts.
  std::string edited = kStyleSheet;
  edited.replace(edited.find("items: "), 7, "count: ");
  style->SetText(edited);
  TEditFrame* doc = Open("list.xml", "<doc><item/><item/><item/></doc>\r\n");
  FocusEditor(*doc);
  const int html = TypePosition("html");
  WhenShown(TransformDialog, [&] {
    ASSERT_EQ(TransformDialog->XSLCombo->count(), 1);
    TransformDialog->XSLCombo->setCurrentIndex(0);
    TransformDialog->FileTypeCombo->setCurrentIndex(html);
  });
  Run("MenuToolsTransform");
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("|").toStdString();
  ASSERT_EQ(Form().MainPageControl()->PageCount(), 3);
  TEditFrame* result = EditFrameAt(2);
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(result->GetText(), "count: 3");
  // The html type lists *.html before *.htm: the result is list.html.
  EXPECT_EQ(result->FURL.GetURL(), "file:" + Folder + "list.html");
  EXPECT_EQ(result->FFileType->Id, "html");
  EXPECT_EQ(result->FStatus, esNew | esModified);
  EXPECT_EQ(Form().MainPageControl()->tabText(2), "list.html");
}

TEST_F(MainFormToolsTest, TransformResultOpensInTheEncodingItsBytesName)
{
  Start();
  Open("latin.xsl",
       "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
       "<xsl:output method=\"xml\" encoding=\"ISO-8859-1\"/>\n"
       "<xsl:template match=\"/\"><out><xsl:value-of select=\"/doc\"/></out></xsl:template>\n"
       "</xsl:stylesheet>\n",
       "xsl");
  TEditFrame* doc = Open("cafe.xml", "<doc>Caf\xC3\xA9 \xE2\x82\xAC</doc>\n");
  FocusEditor(*doc);
  WhenShown(TransformDialog, [&] {
    TransformDialog->XSLCombo->setCurrentIndex(0);
    TransformDialog->FileTypeCombo->setCurrentIndex(TypePosition("xml"));
  });
  Run("MenuToolsTransform");
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("|").toStdString();
  TEditFrame* result = EditFrameAt(2);
  ASSERT_NE(result, nullptr);
  const std::string bytes = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<out>Caf\xE9 &#8364;</out>\n";
  EXPECT_EQ(result->GetText(), bytes);
  EXPECT_EQ(result->Text().Model().Format().Encoding, "ISO-8859-1");
  EXPECT_EQ(std::string(result->Text().Text()),
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<out>Caf\xC3\xA9 &#8364;</out>\n");
}

TEST_F(MainFormToolsTest, TransformWithAStyleSheetFileNamesTheResultAgainstTheDocumentFolder)
{
  Start();
  std::filesystem::create_directories(Folder + "styles");
  std::filesystem::create_directories(Folder + "work");
  const std::string stylePath = Write("styles/copy.xsl",
                                      "<xsl:stylesheet version=\"1.0\" "
                                      "xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\r\n"
                                      "<xsl:output method=\"xml\" omit-xml-declaration=\"yes\"/>\r\n"
                                      "<xsl:template match=\"/\"><out><xsl:copy-of select=\"/doc/*\"/>"
                                      "</out></xsl:template>\r\n</xsl:stylesheet>\r\n");
  Write("work/extra.xml", "<extra/>");
  // The document itself has the result's name in its folder: page1.xml.
  TEditFrame* doc =
      Open("work/page.xml", "<!DOCTYPE doc [<!ENTITY e SYSTEM \"extra.xml\">]>\r\n<doc>&e;</doc>\r\n");
  FocusEditor(*doc);
  std::filesystem::current_path("/");
  WhenShown(TransformDialog, [&] {
    TransformDialog->XSLCombo->setEditText(QString::fromStdString(stylePath));
    TransformDialog->FileTypeCombo->setCurrentIndex(TypePosition("xml"));
  });
  Run("MenuToolsTransform");
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("|").toStdString();
  TEditFrame* result = EditFrameAt(1);
  ASSERT_NE(result, nullptr);
  // Relative references of the input resolve against the document's folder.
  EXPECT_EQ(result->GetText(), "<out><extra/></out>\n");
  EXPECT_EQ(result->FURL.GetURL(), "file:" + Folder + "page1.xml");
  // The stylesheet's and the document's folders were current for the
  // transform only.
  EXPECT_EQ(std::filesystem::current_path(), "/");
}

TEST_F(MainFormToolsTest, TransformWithAClosedStyleSheetOpensNothing)
{
  Start();
  TEditFrame* style = Open("gone.xsl", kStyleSheet, "xsl");
  TEditFrame* doc = Open("list.xml", "<doc/>\r\n");
  FocusEditor(*doc);
  WhenShown(TransformDialog, [&] {
    TransformDialog->XSLCombo->setCurrentIndex(0);
    Form().CloseFrame(style);  // cannot happen through the dialog; the choice stays
  });
  Run("MenuToolsTransform");
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].contains("gone.xsl"));
  EXPECT_EQ(Form().MainPageControl()->PageCount(), 1);
}

TEST_F(MainFormToolsTest, FailedTransformOpensNoTab)
{
  Start();
  Write("broken.xsl", "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">");
  TEditFrame* doc = Open("list.xml", "<doc/>\r\n");
  FocusEditor(*doc);
  WhenShown(TransformDialog, [&] { TransformDialog->XSLCombo->setEditText(QString::fromStdString(Folder + "broken.xsl")); });
  Run("MenuToolsTransform");
  EXPECT_EQ(Prompts->Messages.size(), 1);
  EXPECT_EQ(Form().MainPageControl()->PageCount(), 1);

  WhenShown(TransformDialog, nullptr, [] { TransformDialog->reject(); });
  Run("MenuToolsTransform");  // Cancel: nothing at all
  EXPECT_EQ(Prompts->Messages.size(), 1);
  EXPECT_EQ(Form().MainPageControl()->PageCount(), 1);
}

// The stylesheet's messages go to the log, and the log pane comes forward,
// whether the transform succeeds or a message stops it.
TEST_F(MainFormToolsTest, TransformShowsTheStyleSheetsMessagesInTheLog)
{
  Start();
  const std::string head = "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\r\n";
  Write("quiet.xsl", head + "<xsl:template match=\"/\">quiet</xsl:template>\r\n</xsl:stylesheet>\r\n");
  Write("note.xsl", head + "<xsl:template match=\"/\"><xsl:message>seen <xsl:value-of select=\"name(*)\"/>"
                           "</xsl:message></xsl:template>\r\n</xsl:stylesheet>\r\n");
  Write("stop.xsl", head + "<xsl:template match=\"/\"><xsl:message terminate=\"yes\">stopped</xsl:message>"
                           "</xsl:template>\r\n</xsl:stylesheet>\r\n");
  TEditFrame* doc = Open("list.xml", "<doc/>\r\n");
  auto transform = [&](const char* style) {
    FocusEditor(*doc);
    WhenShown(TransformDialog, [&] { TransformDialog->XSLCombo->setEditText(QString::fromStdString(Folder + style)); });
    Run("MenuToolsTransform");
  };
  transform("quiet.xsl");
  EXPECT_FALSE(TMainForm::PaneShown(Form().FLogFrame));
  transform("note.xsl");
  EXPECT_TRUE(TMainForm::PaneShown(Form().FLogFrame));
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("|").toStdString();
  EXPECT_NE(ReadTestFile(AppLog().FileName).find("xsl:message (line 2 of note.xsl): seen doc"), std::string::npos);

  Form().HideLog();
  transform("stop.xsl");
  EXPECT_TRUE(TMainForm::PaneShown(Form().FLogFrame));
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].startsWith("The stylesheet stopped the transformation: stopped"))
      << Prompts->Messages[0].toStdString();
}

// A log file that cannot be written (a folder in its place, a program folder
// the user may not write to) stops no command that logs: the user is told
// once, and the messages still reach the log pane.
TEST_F(MainFormToolsTest, AnUnwritableLogFileIsToldOnceAndStopsNoTransform)
{
  Start();
  std::filesystem::create_directory(AppLog().FileName);
  const std::string head = "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\r\n";
  Write("note.xsl", head + "<xsl:template match=\"/\"><xsl:message>seen</xsl:message>done</xsl:template>\r\n"
                           "</xsl:stylesheet>\r\n");
  TEditFrame* doc = Open("list.xml", "<doc/>\r\n");
  for (int run = 1; run <= 2; ++run) {
    FocusEditor(*doc);
    WhenShown(TransformDialog, [&] { TransformDialog->XSLCombo->setEditText(QString::fromStdString(Folder + "note.xsl")); });
    Run("MenuToolsTransform");
    ASSERT_EQ(Form().MainPageControl()->PageCount(), 1 + run);
    EXPECT_NE(EditFrameAt(run)->GetText().find("done"), std::string::npos);
  }
  QApplication::processEvents();
  ASSERT_EQ(Prompts->Messages.size(), 1) << Prompts->Messages.join("|").toStdString();
  EXPECT_TRUE(Prompts->Messages[0].contains(QString::fromStdString(AppLog().FileName)));
  EXPECT_TRUE(TMainForm::PaneShown(Form().FLogFrame));
}

TEST_F(MainFormToolsTest, OpenStyleSheetsAreXslDocumentsInFrameOrder)
{
  Start();
  TEditFrame* one = Open("one.xsl", kStyleSheet, "xsl");
  Open("plain.xml", "<doc/>\r\n");
  TEditFrame* two = Open("two.xsl", kStyleSheet, "xsl");
  TEditFrame* three = Open("three.xsl", kStyleSheet, "xsl");
  Form().MainPageControl()->UndockFrame(one);
  Form().SideBarPageControl()->DockFrame(one, "one.xsl");
  std::vector<std::string> expected = {two->FURL.GetURL(), three->FURL.GetURL(), one->FURL.GetURL()};
  EXPECT_EQ(Form().OpenStyleSheetURLs(), expected);

  // A type whose id is "XSL" in capitals is no stylesheet type.
  TFileType* xsl = FileTypes().FindById("xsl");
  xsl->Id = "XSL";
  EXPECT_TRUE(Form().OpenStyleSheetURLs().empty());
  xsl->Id = "xsl";
}

}  // namespace
