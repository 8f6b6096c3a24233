// The help pane: its buttons and title, and the help pages' forms, submitted
// as a user does, filling their templates onto the clipboard.

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFrame>
#include <QToolButton>
#include <gtest/gtest.h>

#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "WebBrowserTestSupport.h"
#include "docking/TPageControl.h"
#include "panes/THelpFrame.h"
#include "panes/TWebBrowser.h"
#include "resource/ProgramFile.h"

using namespace browsertest;

namespace {

const QString DataFolder = QString(TEST_SOURCE_ROOT) + "/data/";

class HelpFrameTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    SetProgramFileName((DataFolder + "xmlplivek").toStdString());
    Frame.resize(500, 700);
    Frame.show();
    Frame.OnCopyPaste = [this](THelpFrame& sender) {
      EXPECT_EQ(&sender, &Frame);
      Pasted << QApplication::clipboard()->text();
    };
    QApplication::clipboard()->setText("untouched");
  }
  void TearDown() override { SetProgramFileName(""); }

  bool Open(const QString& path)
  {
    Frame.WebBrowser->Navigate(path);
    return WaitForPage(*Frame.WebBrowser, TWebBrowser::UrlFromText(path));
  }
  bool Fill(const QString& form, const QString& field, const QString& text)
  {
    return FillField(*Frame.WebBrowser, QString("#form-%1 [name=%2]").arg(form, field), text);
  }
  // Presses the form's button and waits for the paste.
  bool Submit(const QString& form)
  {
    int before = Pasted.size();
    if (!Click(*Frame.WebBrowser, QString("#form-%1 [type=submit]").arg(form))) return false;
    return QTest::qWaitFor([&] { return Pasted.size() > before; }, Timeout);
  }

  THelpFrame Frame;
  QStringList Pasted;
};

} // namespace

TEST_F(HelpFrameTest, LayoutAsDesigned)
{
  EXPECT_EQ(Frame.Panel1->height(), 33);
  EXPECT_EQ(Frame.BackBtn->toolTip(), "Back");
  EXPECT_EQ(Frame.ForwardBtn->toolTip(), "Forward");
  EXPECT_EQ(Frame.StopBtn->toolTip(), "Stop");
  EXPECT_EQ(Frame.RefreshBtn->toolTip(), "Refresh");
  EXPECT_EQ(Frame.HomeBtn->toolTip(), "Help Contents");
  EXPECT_EQ(Frame.BackBtn->geometry(), QRect(8, 5, 24, 24));
  EXPECT_EQ(Frame.ForwardBtn->geometry(), QRect(32, 5, 25, 24));
  EXPECT_EQ(Frame.HomeBtn->geometry(), QRect(104, 5, 24, 24));
  EXPECT_EQ(Frame.WebBrowser->objectName(), "WebBrowser");
}

TEST_F(HelpFrameTest, HomeShowsTheManualAndItsTitle)
{
  ASSERT_TRUE(LoadAndWait(*Frame.WebBrowser, [&] { QTest::mouseClick(Frame.HomeBtn, Qt::LeftButton); }));
  EXPECT_EQ(Frame.WebBrowser->url(), QUrl::fromLocalFile(DataFolder + "manual/index.html"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return Frame.FTitle == "XML Plivek user manual - XML Plivek"; }, Timeout))
      << Frame.FTitle.toStdString();
  Frame.UpdateButtons();
  EXPECT_TRUE(Frame.RefreshBtn->isEnabled());
  EXPECT_FALSE(Frame.StopBtn->isEnabled());
}

TEST_F(HelpFrameTest, BackAndForwardButtonsFollowTheHistory)
{
  ASSERT_TRUE(Open(THelpFrame::HomePage()));
  EXPECT_FALSE(Frame.BackBtn->isEnabled());
  EXPECT_FALSE(Frame.ForwardBtn->isEnabled());
  ASSERT_TRUE(LoadAndWait(*Frame.WebBrowser, [&] { Click(*Frame.WebBrowser, "a[href='checks.html']"); }));
  ASSERT_TRUE(LoadAndWait(*Frame.WebBrowser, [&] { Click(*Frame.WebBrowser, "a[href='batch.html']"); }));
  EXPECT_TRUE(QTest::qWaitFor([&] { return Frame.BackBtn->isEnabled(); }, Timeout));
  EXPECT_FALSE(Frame.ForwardBtn->isEnabled());
  ASSERT_TRUE(LoadAndWait(*Frame.WebBrowser, [&] { QTest::mouseClick(Frame.BackBtn, Qt::LeftButton); }));
  EXPECT_TRUE(QTest::qWaitFor([&] { return Frame.ForwardBtn->isEnabled(); }, Timeout));
  EXPECT_TRUE(Frame.BackBtn->isEnabled());
  EXPECT_TRUE(QTest::qWaitFor([&] { return Frame.FTitle == "Checks - XML Plivek"; }, Timeout));
  ASSERT_TRUE(LoadAndWait(*Frame.WebBrowser, [&] { QTest::mouseClick(Frame.BackBtn, Qt::LeftButton); }));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !Frame.BackBtn->isEnabled(); }, Timeout));
  ASSERT_TRUE(LoadAndWait(*Frame.WebBrowser, [&] { QTest::mouseClick(Frame.ForwardBtn, Qt::LeftButton); }));
  EXPECT_TRUE(QTest::qWaitFor([&] { return Frame.FTitle == "Checks - XML Plivek"; }, Timeout));
}

TEST_F(HelpFrameTest, LinkFormFillsTheAnchor)
{
  ASSERT_TRUE(Open(DataFolder + "help/html/html.html"));
  ASSERT_TRUE(Fill("link", "LinkAddress", "x.html"));
  ASSERT_TRUE(Fill("link", "LinkText", "Next"));
  ASSERT_TRUE(Submit("link"));
  EXPECT_EQ(Pasted, QStringList{"<a href=\"x.html\">Next</a>"});
  EXPECT_EQ(QApplication::clipboard()->text(), "<a href=\"x.html\">Next</a>");
  // The form does not navigate: the page stays.
  EXPECT_EQ(Frame.WebBrowser->url(), QUrl::fromLocalFile(DataFolder + "help/html/html.html"));
}

TEST_F(HelpFrameTest, TypedTextArrivesAsTheCharactersTyped)
{
  ASSERT_TRUE(Open(DataFolder + "help/html/html.html"));
  ASSERT_TRUE(Fill("link", "LinkAddress", "a b+c&d=e%.html"));
  ASSERT_TRUE(Fill("link", "LinkText", QString::fromUtf8("Né €")));
  ASSERT_TRUE(Submit("link"));
  EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("<a href=\"a b+c&d=e%.html\">Né €</a>"));
}

TEST_F(HelpFrameTest, LongValuesReachTheClipboardAndThePageStays)
{
  ASSERT_TRUE(Open(DataFolder + "help/html/html.html"));
  // 3 MB of ASCII, 700 KB of text beyond ASCII, and 3 MB by POST.
  QString ascii = QString("y").repeated(3 << 20);
  QString wide = QString::fromUtf8("é").repeated(700 << 10);
  struct TCase {
    QString Form, Field, Value, Text;
  };
  for (const TCase& c : {TCase{"link", "LinkText", ascii, "<a href=\"page.html\">" + ascii + "</a>"},
                         TCase{"link", "LinkText", wide, "<a href=\"page.html\">" + wide + "</a>"},
                         TCase{"image", "ImageText", ascii, "<img src=\"picture.png\" alt=\"" + ascii + "\" />"}}) {
    Evaluate(*Frame.WebBrowser, QString("document.querySelector('#form-%1 [name=%2]').value = %3; true")
                                    .arg(c.Form, c.Field, JsString(c.Value)));
    ASSERT_TRUE(Submit(c.Form)) << c.Form.toStdString();
    EXPECT_EQ(Pasted.last().size(), c.Text.size());
    EXPECT_TRUE(Pasted.last() == c.Text) << Pasted.last().left(40).toStdString();
    EXPECT_EQ(Frame.WebBrowser->url(), QUrl::fromLocalFile(DataFolder + "help/html/html.html"));
  }
}

TEST_F(HelpFrameTest, PostFormFillsTheImage)
{
  ASSERT_TRUE(Open(DataFolder + "help/html/html.html"));
  ASSERT_EQ(Evaluate(*Frame.WebBrowser, "document.getElementById('form-image').method").toString(), "post");
  ASSERT_TRUE(Fill("image", "ImageSource", "pic.png"));
  ASSERT_TRUE(Fill("image", "ImageText", "A picture"));
  ASSERT_TRUE(Submit("image"));
  EXPECT_EQ(Pasted, QStringList{"<img src=\"pic.png\" alt=\"A picture\" />"});
}

TEST_F(HelpFrameTest, PostAndGetGiveTheSameText)
{
  // The link form of the HTML page, once as shipped (GET) and once as POST.
  QString folder = QString::fromStdString(MakeTempFolder("xmlplivek-help"));
  std::string page = ReadTestFile((DataFolder + "help/html/html.html").toStdString());
  std::string::size_type at;
  while ((at = page.find("method=\"get\"")) != std::string::npos) page.replace(at, 12, "method=\"post\"");
  WriteTestFile((folder + "post.html").toStdString(), page);
  for (QString path : {DataFolder + "help/html/html.html", folder + "post.html"}) {
    ASSERT_TRUE(Open(path));
    ASSERT_TRUE(Fill("link", "LinkAddress", "x.html"));
    ASSERT_TRUE(Fill("link", "LinkText", "Next"));
    ASSERT_TRUE(Submit("link"));
  }
  EXPECT_EQ(Pasted, QStringList({"<a href=\"x.html\">Next</a>", "<a href=\"x.html\">Next</a>"}));
}

TEST_F(HelpFrameTest, StylesheetTemplateKeepsItsLineEnds)
{
  ASSERT_TRUE(Open(DataFolder + "help/xml/xsl.html#template"));
  ASSERT_TRUE(Fill("template", "TemplatePattern", "item"));
  ASSERT_TRUE(Submit("template"));
  EXPECT_EQ(Pasted, QStringList{"<xsl:template match=\"item\">\r\n  <xsl:apply-templates/>\r\n</xsl:template>\r\n"});
  ASSERT_TRUE(Submit("choose"));
  EXPECT_EQ(Pasted.last(), "<xsl:choose>\r\n  <xsl:when test=\"@type = 'a'\">yes</xsl:when>\r\n"
                           "  <xsl:otherwise>no</xsl:otherwise>\r\n</xsl:choose>\r\n");
}

TEST_F(HelpFrameTest, CdataFromAMultiLineField)
{
  ASSERT_TRUE(Open(DataFolder + "help/xml/xml.html"));
  ASSERT_TRUE(Click(*Frame.WebBrowser, "#form-cdata textarea"));
  QTest::keyClick(InputWidget(*Frame.WebBrowser), Qt::Key_A, Qt::ControlModifier);
  Type(*Frame.WebBrowser, "a < b");
  QTest::keyClick(InputWidget(*Frame.WebBrowser), Qt::Key_Return);
  Type(*Frame.WebBrowser, "&& c");
  ASSERT_TRUE(WaitFor(*Frame.WebBrowser, "document.querySelector('#form-cdata textarea').value.length == 10"));
  ASSERT_TRUE(Submit("cdata"));
  EXPECT_EQ(Pasted, QStringList{"<![CDATA[a < b\r\n&& c]]>"});
}

namespace {

// A page of forms that a help page might hold, including faulty ones.
QString WriteFormsPage()
{
  QString folder = QString::fromStdString(MakeTempFolder("xmlplivek-help"));
  WriteTestFile((folder + "forms.html").toStdString(),
                "<html><body>"
                "<form id=form-notext action=\"http://template.invalid/fill\"><input name=a value=1>"
                "<input type=submit></form>"
                "<form id=form-empty action=\"http://template.invalid/fill\"><input type=hidden name=_text value=\"\">"
                "<input type=submit></form>"
                "<form id=form-good action=\"http://template.invalid/fill\"><input type=hidden name=_text value=\"[a]\">"
                "<input name=a value=1><input type=submit></form>"
                "</body></html>");
  return folder + "forms.html";
}

} // namespace

TEST_F(HelpFrameTest, FormWithoutTemplateLeavesTheClipboardAlone)
{
  ASSERT_TRUE(Open(WriteFormsPage()));
  ASSERT_TRUE(Click(*Frame.WebBrowser, "#form-notext [type=submit]"));
  ASSERT_TRUE(Click(*Frame.WebBrowser, "#form-empty [type=submit]"));
  // A good form after them shows that both were handled (and went nowhere).
  ASSERT_TRUE(Submit("good"));
  EXPECT_EQ(Pasted, QStringList{"[1]"});
  EXPECT_EQ(Frame.WebBrowser->url().fileName(), "forms.html");
}

TEST_F(HelpFrameTest, OnlyTheUserInsertsWithAClickOrEnter)
{
  // A page that submits its form as it loads, then sends itself to the
  // template address, and a script that clicks the button: nothing is
  // inserted. The user's Enter in a field inserts.
  QString folder = QString::fromStdString(MakeTempFolder("xmlplivek-help"));
  WriteTestFile((folder + "self.html").toStdString(),
                "<html><body onload=\"document.getElementById('form-good').requestSubmit();"
                " setTimeout(function () { location.href = 'http://template.invalid/fill?_text=x'; }, 0)\">"
                "<form id=form-good action=\"http://template.invalid/fill\"><input type=hidden name=_text value=\"[a]\">"
                "<input name=a value=1><input type=submit></form></body></html>");
  ASSERT_TRUE(Open(folder + "self.html"));
  Evaluate(*Frame.WebBrowser, "document.querySelector('#form-good [type=submit]').click(); true");
  ASSERT_TRUE(Fill("good", "a", "2"));
  QTest::keyClick(InputWidget(*Frame.WebBrowser), Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Pasted.isEmpty(); }, Timeout));
  QTest::qWait(300);
  EXPECT_EQ(Pasted, QStringList{"[2]"});
  EXPECT_EQ(Frame.WebBrowser->url(), QUrl::fromLocalFile(folder + "self.html"));
}

TEST_F(HelpFrameTest, OnlyTheTemplateAddressIsIntercepted)
{
  bool cancel = false;
  Frame.WebBrowserBeforeNavigate2("http://template.invalid/fill/", cancel);
  EXPECT_FALSE(cancel);
  Frame.WebBrowserBeforeNavigate2("file:///tmp/x.html", cancel);
  EXPECT_FALSE(cancel);
  // A navigation to the address goes nowhere and fills nothing.
  Frame.WebBrowserBeforeNavigate2(THelpFrame::TemplateAddress, cancel);
  EXPECT_TRUE(cancel);
  EXPECT_TRUE(Pasted.isEmpty());
  EXPECT_EQ(QApplication::clipboard()->text(), "untouched");
}

TEST_F(HelpFrameTest, NamelessFieldsAreNeverFilledIn)
{
  Frame.WebBrowserFormSubmit({{"", "X"}, {"_text", "=a= x"}, {"", ""}, {"A", "1"}, {"a", "2"}});
  EXPECT_EQ(Pasted, QStringList{"=1 2= x"});
}

TEST_F(HelpFrameTest, FailingPasteIsReportedNotThrownIntoTheBrowser)
{
  TScriptedPrompter prompts;
  Frame.OnCopyPaste = [](THelpFrame&) { throw std::runtime_error("paste failed"); };
  EXPECT_NO_THROW(Frame.WebBrowserFormSubmit({{"_text", "t"}}));
  EXPECT_EQ(QApplication::clipboard()->text(), "t");
  EXPECT_EQ(prompts.Messages, QStringList{"paste failed"});
}

TEST_F(HelpFrameTest, FieldsThatFillEachOtherStopAtTheLimitWithAMessage)
{
  TScriptedPrompter prompts;
  TSubmittedFields fields{{"_text", "q0"}};
  for (int i = 0; i < 40; ++i) fields.push_back({QString("q%1").arg(i), QString("q%1 q%1").arg(i + 1)});
  EXPECT_NO_THROW(Frame.WebBrowserFormSubmit(fields));
  EXPECT_TRUE(Pasted.isEmpty());
  EXPECT_EQ(QApplication::clipboard()->text(), "untouched");
  ASSERT_EQ(prompts.Messages.size(), 1);
  EXPECT_TRUE(prompts.Messages[0].contains("64 MiB")) << prompts.Messages[0].toStdString();
}

TEST_F(HelpFrameTest, DockingNamesTheTabOrWindowHelp)
{
  TPageControl pages;
  auto* frame = new THelpFrame;
  pages.DockFrame(frame, "x");
  EXPECT_EQ(pages.tabText(0), "Help");
  pages.UndockFrame(frame);
  frame->FrameEndDock(frame);
  EXPECT_EQ(frame->windowTitle(), "Help");
  delete frame;
}
