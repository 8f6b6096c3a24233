// The embedded browser: navigation, command states and their events, the
// cancellable before-navigate event, forms handed over with their fields,
// commands.

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <gtest/gtest.h>
#include <vector>

#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "WebBrowserTestSupport.h"
#include "panes/EWebBrowserError.h"
#include "panes/TWebBrowser.h"

using namespace browsertest;

namespace {

const QString PostAddress = "http://template.invalid/fill";


class WebBrowserTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    Folder = QString::fromStdString(MakeTempFolder("xmlplivek-browser"));
    WriteTestFile((Folder + "one.html").toStdString(),
                  "<html><head><title>One</title></head><body><p id=text>Hello world</p>"
                  "<a id=next href=\"two.html\">two</a>"
                  "<form id=get method=get action=\"" + PostAddress.toStdString() + "\">"
                  "<input name=a id=a value=\"x y\"><input name=b value=\"1+1=2&amp;3%\">"
                  "<input type=submit id=go></form>"
                  "<form id=post method=post action=\"" + PostAddress.toStdString() + "\">"
                  "<input name=a value=\"x y\"><input name=b value=\"1+1=2&amp;3%\">"
                  "<input name=method value=shadow><input name=action value=shadow>"
                  "<input name=contains value=shadow><input name=addEventListener value=shadow>"
                  "<input type=submit id=gopost></form>"
                  "<form id=other method=post action=\"http://elsewhere.invalid/x\"><input name=q value=1></form>"
                  "<p id=lure1 onclick=\"document.getElementById('get').requestSubmit()\">lure</p>"
                  "<p id=lure2 onclick=\"document.getElementById('go').click()\">lure</p>"
                  "</body></html>");
    WriteTestFile((Folder + "two.html").toStdString(),
                  "<html><head><title>Two</title></head><body><a id=three href=\"three.html#end\">3</a></body></html>");
    WriteTestFile((Folder + "outer.html").toStdString(),
                  "<html><body><iframe id=inner src=\"inner.html\"></iframe></body></html>");
    WriteTestFile((Folder + "inner.html").toStdString(),
                  "<html><body><form id=f method=post action=\"" + PostAddress.toStdString() + "\">"
                  "<input name=in value=frame><input type=submit id=go></form></body></html>");
    WriteTestFile((Folder + "three.html").toStdString(),
                  "<html><head><title>Three</title></head><body><p id=end>end</p></body></html>");
    Browser.resize(640, 480);
    Browser.show();
    Browser.SetFormPostAddress(PostAddress);
    Browser.OnBeforeNavigate = [this](TWebBrowser&, const QString& url, bool& cancel) {
      Navigations.push_back(url);
      if (url == PostAddress) cancel = true;
    };
    Browser.OnFormSubmit = [this](TWebBrowser&, const TSubmittedFields& fields) {
      QString lines;
      for (const auto& field : fields) lines += field.Name + "=" + field.Value + "\n";
      Submissions << lines;
    };
    Browser.OnCommandStateChange = [this](TWebBrowser&, int command, bool enable) {
      (command == CSC_NAVIGATEBACK ? Back : Forward) = enable;
      ++StateEvents;
    };
    Browser.OnTitleChange = [this](TWebBrowser&, const QString& text) { Title = text; };
  }

  bool Open(const QString& name)
  {
    return LoadAndWait(Browser, [&] { Browser.Navigate(Folder + name); });
  }

  // Waits for the first form handed over and returns its fields as
  // name=value lines.
  QString NextSubmission()
  {
    if (!QTest::qWaitFor([&] { return !Submissions.isEmpty(); }, Timeout)) return "(none)";
    return Submissions.first();
  }
  // Waits for a navigation to the form-post address.
  bool WaitForPostNavigation()
  {
    return QTest::qWaitFor([&] { return Navigations.contains(PostAddress); }, Timeout);
  }

  QString Folder;
  TWebBrowser Browser;
  QStringList Navigations;
  QStringList Submissions;
  bool Back = true, Forward = true;
  int StateEvents = 0;
  QString Title;
};

} // namespace

TEST_F(WebBrowserTest, NavigateReportsTitleAndTheLocalAddress)
{
  ASSERT_TRUE(Open("one.html"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return Title == "One"; }, Timeout));
  ASSERT_FALSE(Navigations.empty());
  EXPECT_EQ(Navigations.front(), QUrl::fromLocalFile(Folder + "one.html").toString(QUrl::FullyEncoded));
  EXPECT_FALSE(Browser.Busy());
}

TEST_F(WebBrowserTest, BackAndForwardStatesFollowTheHistory)
{
  ASSERT_TRUE(Open("one.html"));
  EXPECT_FALSE(Back);
  EXPECT_FALSE(Forward);
  ASSERT_TRUE(LoadAndWait(Browser, [&] { Click(Browser, "#next"); }));
  EXPECT_TRUE(QTest::qWaitFor([&] { return Back; }, Timeout));
  EXPECT_FALSE(Forward);
  ASSERT_TRUE(LoadAndWait(Browser, [&] { Click(Browser, "#three"); }));
  EXPECT_EQ(Browser.url().fragment(), "end");
  ASSERT_TRUE(LoadAndWait(Browser, [&] { Browser.GoBack(); }));
  EXPECT_TRUE(QTest::qWaitFor([&] { return Forward; }, Timeout));
  EXPECT_TRUE(Back);
  ASSERT_TRUE(LoadAndWait(Browser, [&] { Browser.GoBack(); }));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !Back; }, Timeout));
  EXPECT_TRUE(Forward);
  EXPECT_EQ(Title, "One");
  ASSERT_TRUE(LoadAndWait(Browser, [&] { Browser.GoForward(); }));
  EXPECT_TRUE(QTest::qWaitFor([&] { return Back; }, Timeout));
  EXPECT_EQ(Title, "Two");
}

TEST_F(WebBrowserTest, GetFormIsHandedOverWithoutNavigating)
{
  ASSERT_TRUE(Open("one.html"));
  ASSERT_TRUE(Click(Browser, "#go"));
  EXPECT_EQ(NextSubmission(), "a=x y\nb=1+1=2&3%\n");
  QTest::qWait(100);
  EXPECT_EQ(Browser.url(), QUrl::fromLocalFile(Folder + "one.html"));
  EXPECT_FALSE(Navigations.contains(PostAddress));
}

TEST_F(WebBrowserTest, PostFormIsHandedOverWithTheSameFields)
{
  ASSERT_TRUE(Open("one.html"));
  ASSERT_TRUE(Click(Browser, "#gopost"));
  EXPECT_EQ(NextSubmission(), "a=x y\nb=1+1=2&3%\nmethod=shadow\naction=shadow\ncontains=shadow\n"
                              "addEventListener=shadow\n");
}

TEST_F(WebBrowserTest, OnlyTheUsersSubmissionsAreHandedOver)
{
  QString form = "<form id=f action=\"" + PostAddress + "\"><input name=x value=1><input type=submit></form>";
  WriteTestFile((Folder + "self.html").toStdString(),
                ("<html><body onload=\"document.getElementById('f').requestSubmit()\">" + form + "</body></html>")
                    .toStdString());
  WriteTestFile((Folder + "away.html").toStdString(),
                ("<html><body onload=\"location.href = '" + PostAddress + "?x=1'\">" + form + "</body></html>")
                    .toStdString());
  // Pages that submit by themselves as they load go nowhere.
  for (QString page : {"self.html", "away.html"}) {
    Navigations.clear();
    Browser.Navigate(Folder + page);
    ASSERT_TRUE(WaitForPostNavigation()) << page.toStdString();
    QTest::qWait(100);
    EXPECT_EQ(Browser.url(), QUrl::fromLocalFile(Folder + page));
  }
  // So do submissions by scripts, also while a user's click on something
  // else is handled.
  ASSERT_TRUE(Open("one.html"));
  Navigations.clear();
  Evaluate(Browser, "document.getElementById('get').requestSubmit(); document.getElementById('gopost').click();"
                    " document.getElementById('post').submit(); true");
  ASSERT_TRUE(WaitForPostNavigation());
  ASSERT_TRUE(Click(Browser, "#lure1"));
  ASSERT_TRUE(Click(Browser, "#lure2"));
  // The user's click on a submit button and Enter in a field are handed over.
  ASSERT_TRUE(Click(Browser, "#go"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Submissions.isEmpty(); }, Timeout));
  ASSERT_TRUE(Click(Browser, "#a"));
  QTest::keyClick(InputWidget(Browser), Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Submissions.size() > 1; }, Timeout));
  QTest::qWait(300);
  EXPECT_EQ(Submissions, QStringList({"a=x y\nb=1+1=2&3%\n", "a=x y\nb=1+1=2&3%\n"}));
  EXPECT_EQ(Browser.url(), QUrl::fromLocalFile(Folder + "one.html"));
}

TEST_F(WebBrowserTest, FormInAFrameIsHandedOver)
{
  ASSERT_TRUE(Open("outer.html"));
  ASSERT_TRUE(WaitFor(Browser, "(function () { var d = document.getElementById('inner').contentDocument;"
                               " return !!(d && d.getElementById('go')); })()"));
  // The user clicks the button inside the frame.
  QVariantList xy = Evaluate(Browser, "(function () { var f = document.getElementById('inner');"
                                      " var r = f.getBoundingClientRect();"
                                      " var b = f.contentDocument.getElementById('go').getBoundingClientRect();"
                                      " return [r.left + f.clientLeft + b.left + b.width / 2,"
                                      "         r.top + f.clientTop + b.top + b.height / 2]; })()")
                        .toList();
  ASSERT_EQ(xy.size(), 2);
  QPoint at(qRound(xy[0].toDouble()), qRound(xy[1].toDouble()));
  QTest::mouseMove(InputWidget(Browser), at);
  QTest::mouseClick(InputWidget(Browser), Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_EQ(NextSubmission(), "in=frame\n");
  QTest::qWait(100);
  EXPECT_EQ(Evaluate(Browser, "document.getElementById('inner').contentWindow.location.pathname").toString(),
            Folder + "inner.html");
}

TEST_F(WebBrowserTest, LongFieldsArriveWholeAndNeverCostThePage)
{
  ASSERT_TRUE(Open("one.html"));
  // 3 MB of ASCII, then 700 KB of text beyond ASCII (2 MB as UTF-8).
  QString ascii = QString("x").repeated(3 << 20);
  QString wide = QString::fromUtf8("é").repeated(700 << 10);
  for (const QString& value : {ascii, wide}) {
    Submissions.clear();
    Evaluate(Browser, QString("document.querySelector('#get [name=a]').value = %1; true").arg(JsString(value)));
    ASSERT_TRUE(Click(Browser, "#go"));
    QString fields = NextSubmission();
    EXPECT_EQ(fields.size(), value.size() + 14);
    EXPECT_TRUE(fields == "a=" + value + "\nb=1+1=2&3%\n");
  }
  // A script's form.submit() is no submission by the user: it goes as a
  // navigation, sent with POST so that its fields make up no address too
  // long to load, and the page stays when the navigation is cancelled.
  Evaluate(Browser, QString("document.getElementById('get').submit(); true"));
  ASSERT_TRUE(WaitForPostNavigation());
  QTest::qWait(300);
  EXPECT_EQ(Browser.url(), QUrl::fromLocalFile(Folder + "one.html"));
  EXPECT_EQ(Evaluate(Browser, "document.querySelector('#get [name=a]').value.length").toInt(), wide.size());
}

TEST_F(WebBrowserTest, PostFormsAimedElsewhereStayPost)
{
  ASSERT_TRUE(Open("one.html"));
  EXPECT_EQ(Evaluate(Browser, "(function () { var f = document.getElementById('other');"
                              " f.addEventListener('submit', function (e) { e.preventDefault(); window.m = f.method; });"
                              " f.requestSubmit(); return window.m; })()")
                .toString(),
            "post");
}

TEST_F(WebBrowserTest, CancelledNavigationKeepsThePage)
{
  ASSERT_TRUE(Open("one.html"));
  Browser.OnBeforeNavigate = [](TWebBrowser&, const QString& url, bool& cancel) {
    cancel = url.endsWith("two.html");
  };
  Click(Browser, "#next");
  QTest::qWait(300);
  EXPECT_EQ(Browser.url(), QUrl::fromLocalFile(Folder + "one.html"));
  EXPECT_FALSE(Back);
}

TEST_F(WebBrowserTest, FailingHandlersAreReportedAndGoNoFurther)
{
  TScriptedPrompter prompts;
  Browser.OnTitleChange = [](TWebBrowser&, const QString&) { throw std::runtime_error("title failed"); };
  Browser.OnCommandStateChange = [](TWebBrowser&, int, bool) { throw std::runtime_error("state failed"); };
  ASSERT_TRUE(Open("one.html"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return prompts.Messages.contains("title failed"); }, Timeout));
  EXPECT_TRUE(prompts.Messages.contains("state failed"));
  // A navigation whose handler fails does not happen.
  Browser.OnBeforeNavigate = [](TWebBrowser&, const QString&, bool&) {
    throw std::bad_alloc();
  };
  Click(Browser, "#next");
  ASSERT_TRUE(QTest::qWaitFor([&] { return prompts.Messages.size() >= 3; }, Timeout));
  QTest::qWait(300);
  EXPECT_EQ(Browser.url(), QUrl::fromLocalFile(Folder + "one.html"));
  Browser.OnTitleChange = nullptr;
  Browser.OnCommandStateChange = nullptr;
  Browser.OnBeforeNavigate = nullptr;
}

TEST_F(WebBrowserTest, CommandStatusFollowsThePage)
{
  ASSERT_TRUE(Open("one.html"));
  EXPECT_EQ(Browser.QueryStatus(OLECMDID_COPY), OLECMDF_SUPPORTED);
  EXPECT_EQ(Browser.QueryStatus(OLECMDID_SELECTALL), OLECMDF_SUPPORTED | OLECMDF_ENABLED);
  EXPECT_EQ(Browser.QueryStatus(OLECMDID_REFRESH), OLECMDF_SUPPORTED | OLECMDF_ENABLED);
  EXPECT_EQ(Browser.QueryStatus(OLECMDID_STOP), OLECMDF_SUPPORTED);
  EXPECT_EQ(Browser.QueryStatus(OLECMDID_PRINT), OLECMDF_SUPPORTED | OLECMDF_ENABLED);
  EXPECT_EQ(Browser.QueryStatus(99), 0);
  EXPECT_THROW(Browser.ExecWB(99, OLECMDEXECOPT_DODEFAULT), EWebBrowserError);
}

TEST_F(WebBrowserTest, SelectAllAndCopyPutThePageTextOnTheClipboard)
{
  ASSERT_TRUE(Open("one.html"));
  QApplication::clipboard()->setText("before");
  Browser.ExecWB(OLECMDID_SELECTALL, OLECMDEXECOPT_DODEFAULT);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Browser.QueryStatus(OLECMDID_COPY) & OLECMDF_ENABLED; }, Timeout));
  Browser.ExecWB(OLECMDID_COPY, OLECMDEXECOPT_DODEFAULT);
  EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::clipboard()->text().startsWith("Hello world"); }, Timeout))
      << QApplication::clipboard()->text().toStdString();
}

TEST_F(WebBrowserTest, PrintGoesThroughThePrintDialog)
{
  ASSERT_TRUE(Open("one.html"));
  QString pdf = Folder + "out.pdf";
  int dialogs = 0;
  Browser.OnPrintSetup = [&](QPrinter&) {
    ++dialogs;
    return false; // the user cancels
  };
  Browser.ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER);
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(Browser.QueryStatus(OLECMDID_PRINT), OLECMDF_SUPPORTED | OLECMDF_ENABLED);

  Browser.OnPrintSetup = [&](QPrinter& printer) {
    ++dialogs;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    return true;
  };
  int finished = -1;
  Browser.OnPrintFinished = [&](TWebBrowser&, bool success) { finished = success ? 1 : 0; };
  Browser.ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER);
  EXPECT_EQ(dialogs, 2);
  EXPECT_EQ(Browser.QueryStatus(OLECMDID_PRINT), OLECMDF_SUPPORTED); // one print at a time
  EXPECT_THROW(Browser.ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_DONTPROMPTUSER), EWebBrowserError);
  ASSERT_TRUE(QTest::qWaitFor([&] { return finished >= 0; }, Timeout));
  EXPECT_EQ(finished, 1);
  QFile file(pdf);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.read(5) == "%PDF-");
}

TEST(WebBrowser, UrlFromTextKeepsAnchorsOfLocalPaths)
{
  EXPECT_EQ(TWebBrowser::UrlFromText("/a/b c.html#word"), QUrl("file:///a/b%20c.html#word"));
  EXPECT_EQ(TWebBrowser::UrlFromText("/a/b.html"), QUrl("file:///a/b.html"));
  EXPECT_EQ(TWebBrowser::UrlFromText("http://h/x.html#y"), QUrl("http://h/x.html#y"));
  EXPECT_EQ(TWebBrowser::UrlFromText("/a#b/c.html"), QUrl::fromLocalFile("/a#b/c.html"));
}
