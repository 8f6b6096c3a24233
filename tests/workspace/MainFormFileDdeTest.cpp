// DDE "open" macros sent to the main window's "System" topic through the
// program's local-socket service.

#include <QTest>
#include <Qsci/qsciscintilla.h>
#include <future>

#include "MainFormFixture.h"
#include "model/ModelModule.h"
#include "model/TFileTypes.h"
#include "platform/TDdeService.h"

namespace {

class MainFormFileDdeTest : public MainFormFixture {
protected:
  QString Socket;

  void SetUp() override
  {
    MainFormFixture::SetUp();
    Socket = QString::fromStdString(Folder + "dde");
  }
  void TearDown() override
  {
    MainFormFixture::TearDown();
    FreeDdeService();
  }

  TMainForm& StartServing()
  {
    TMainForm& form = Start();
    EXPECT_TRUE(DdeService().Register(Socket));
    return form;
  }

  // Sends the macro from another thread while this one serves it.
  bool Send(const std::vector<std::string>& lines, const QString& topic = "System")
  {
    QList<QByteArray> macro;
    for (const std::string& line : lines) macro << QByteArray::fromStdString(line);
    auto reply = std::async(std::launch::async, [&] { return DdeExecute(Socket, topic, macro); });
    bool done = QTest::qWaitFor([&] { return reply.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 20000);
    EXPECT_TRUE(done);
    return reply.get();
  }

  std::string Slashed(const std::string& path)
  {
    std::string result = path;
    for (char& c : result)
      if (c == '/') c = '\\';
    return result;
  }
};

TEST_F(MainFormFileDdeTest, OpenMacroBareQuotedOrSpelledOpenOpensByExtension)
{
  TMainForm& form = StartServing();
  std::string path = Write("a.xsl", "<a/>\n");
  Project().MRU.Clear();
  const std::vector<std::string> macros = {"open(" + Slashed(path) + ")", "open(\"" + path + "\")",
                                           "open('" + path + "')", "Open(" + path + ")"};
  for (const std::string& macro : macros) EXPECT_TRUE(Send({macro})) << macro;
  ASSERT_EQ(form.MainPageControl()->PageCount(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(EditFrameAt(i)->FURL.GetURL(), "file:" + path) << i;
    EXPECT_EQ(EditFrameAt(i)->FFileType->Id, "xsl") << i;
  }
  EXPECT_EQ(Project().OpenURL.GetURL(), "file:" + path);
  EXPECT_EQ(Project().MRU.Count(), 0);

  // A quoted name may hold parentheses, as copies made by file managers do.
  const std::string copy = Write("a (1).xsl", "<copy/>\n");
  for (const std::string& macro : {"open(\"" + copy + "\")", "open('" + copy + "')"}) {
    EXPECT_TRUE(Send({macro})) << macro;
    EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("|").toStdString();
    EXPECT_EQ(form.GetActiveEditFrame()->FURL.GetNativeName(), copy);
  }
  EXPECT_EQ(form.MainPageControl()->PageCount(), 6);
}

TEST_F(MainFormFileDdeTest, BracketsABlankBeforeTheParenthesisOrOtherCommandsDoNothing)
{
  TMainForm& form = StartServing();
  std::string path = Write("a.xml", "<a/>\n");
  for (const std::string& macro :
       std::vector<std::string>{"[open(" + path + ")]", "open (" + path + ")", "print(" + path + ")", "open"})
    EXPECT_TRUE(Send({macro})) << macro;  // taken by the topic, ignored
  EXPECT_EQ(form.MainPageControl()->PageCount(), 0);
  EXPECT_TRUE(Prompts->Messages.isEmpty());
}

TEST_F(MainFormFileDdeTest, UnknownExtensionGetsTheFirstTypeAndAMissingFileIsReported)
{
  TMainForm& form = StartServing();
  EXPECT_TRUE(Send({"open(" + Write("notes.zzz", "text\n") + ")"}));
  ASSERT_EQ(form.MainPageControl()->PageCount(), 1);
  EXPECT_EQ(EditFrameAt(0)->FFileType, &FileTypes().GetFileType(0));

  EXPECT_TRUE(Send({"open(" + Folder + "gone.xml)"}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Prompts->Messages.isEmpty(); }, 5000));
  EXPECT_TRUE(Prompts->Messages[0].contains("gone.xml"));
  EXPECT_EQ(form.MainPageControl()->PageCount(), 1);

  // A named pipe is refused without being opened; the service goes on.
  TFifoTrap pipe(Folder + "pipe.xml");
  EXPECT_TRUE(Send({"open(" + Folder + "pipe.xml)"}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return Prompts->Messages.size() > 1; }, 5000));
  EXPECT_TRUE(Prompts->Messages[1].contains("named pipe")) << Prompts->Messages[1].toStdString();
  EXPECT_FALSE(pipe.Opened());
  EXPECT_EQ(form.MainPageControl()->PageCount(), 1);
  EXPECT_TRUE(Send({"open(" + Write("after.xml", "<a/>\n") + ")"}));
  EXPECT_EQ(form.MainPageControl()->PageCount(), 2);
}

TEST_F(MainFormFileDdeTest, AnUnknownTopicIsRefused)
{
  TMainForm& form = StartServing();
  EXPECT_FALSE(Send({"open(" + Write("a.xml", "<a/>\n") + ")"}, "Other"));
  EXPECT_TRUE(Send({"open(" + Folder + "a.xml)"}, "SYSTEM"));  // topics compare ignoring case
  EXPECT_EQ(form.MainPageControl()->PageCount(), 1);
}

TEST(DdeNamesTest, ServiceNameIsTheProgramNameUpToItsFirstDot)
{
  EXPECT_EQ(DdeServiceName("/opt/x.y/editor.bin.old"), "editor");
  EXPECT_EQ(DdeServiceName("/usr/bin/xmlplivek"), "xmlplivek");
  QString socket = DdeSocketName("xmlplivek");
  EXPECT_TRUE(socket.endsWith("/xmlplivek-" + QString::number(::getuid()))) << socket.toStdString();
}

}  // namespace
