// Tools > Preview 1-3: the target each previewer gets (file path, URL text or
// the freshly written working copy), "%1" replaced everywhere, the argument
// splitting and the associated program for "*".

#include <QDesktopServices>
#include <QFile>
#include <QUrl>
#include <Qsci/qsciscintilla.h>
#include <sys/stat.h>

#include "MainFormToolsFixture.h"
#include "model/TFileTypes.h"
#include "workspace/ToolsCommandText.h"

namespace {

// Receives the file URLs QDesktopServices is asked to open.
class TUrlCatcher : public QObject {
  Q_OBJECT
public:
  QList<QUrl> Urls;
public slots:
  void Open(const QUrl& url) { Urls << url; }
};

class MainFormToolsPreviewTest : public MainFormToolsFixture {
protected:
  void SetUp() override
  {
    MainFormToolsFixture::SetUp();
    // Writes one argument a line, then renames, so a complete file appears at once.
    Recorder = Write("record.sh",
                     "#!/bin/sh\nout=\"$(dirname \"$0\")/args\"\n"
                     "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$out.tmp\"\nmv \"$out.tmp\" \"$out\"\n");
    ::chmod(Recorder.c_str(), 0755);
  }

  TFileType& XmlType() { return *FileTypes().FindById("xml"); }

  // Runs the preview command and returns the arguments the previewer got.
  QStringList RecordedArguments(const char* menuItem)
  {
    std::filesystem::remove(Folder + "args");
    Run(menuItem);
    if (!QTest::qWaitFor([&] { return std::filesystem::exists(Folder + "args"); }, 20000)) return {"<none>"};
    QString text = QString::fromStdString(ReadTestFile(Folder + "args"));
    text.chop(1);
    return text.split('\n');
  }

  std::string Recorder;
};

TEST_F(MainFormToolsPreviewTest, SavedDocumentGivesPathOrURLText)
{
  Start();
  XmlType().Preview1 = Recorder + " %1";
  XmlType().Preview2 = "\"" + Recorder + "\" \"<%1>\" %1";
  XmlType().Preview3 = Recorder + " --url=%1";
  TEditFrame* doc = Form().NewEditFrame("xml", TURL("file:" + Write("my doc.xml", "<doc/>")), false);
  FocusEditor(*doc);
  const QString folder = QString::fromStdString(Folder);
  // The command is split before "%1" is replaced: the target is always one
  // argument, blanks and all.
  EXPECT_EQ(RecordedArguments("MenuToolsPreview1"), QStringList({folder + "my doc.xml"}));
  EXPECT_EQ(RecordedArguments("MenuToolsPreview2"),
            QStringList({"<file:" + folder + "my doc.xml>", "file:" + folder + "my doc.xml"}));
  EXPECT_EQ(RecordedArguments("MenuToolsPreview3"), QStringList({"--url=file:" + folder + "my doc.xml"}));
  // Nor can quotes in a file name add arguments.
  TEditFrame* sly = Form().NewEditFrame("xml", TURL("file:" + Write("q\" \"--extra.xml", "<doc/>")), false);
  FocusEditor(*sly);
  EXPECT_EQ(RecordedArguments("MenuToolsPreview1"), QStringList({folder + "q\" \"--extra.xml"}));
  EXPECT_EQ(RecordedArguments("MenuToolsPreview2"),
            QStringList({"<file:" + folder + "q\" \"--extra.xml>", "file:" + folder + "q\" \"--extra.xml"}));
}

TEST_F(MainFormToolsPreviewTest, ChangedOrNewDocumentGivesTheFreshWorkingCopy)
{
  Start();
  XmlType().Preview1 = "\"" + Recorder + "\" \"%1\"";
  XmlType().Preview2 = "\"" + Recorder + "\" \"%1\"";
  TEditFrame* doc = Form().NewEditFrame("xml", TURL("file:" + Write("a.xml", "<doc/>")), false);
  FocusEditor(*doc);
  doc->SynEdit->insert("<!-- changed -->");
  ASSERT_TRUE(doc->FStatus & esModified);
  const QString copy = QString::fromStdString(doc->FBackupFileName);
  EXPECT_EQ(RecordedArguments("MenuToolsPreview1"), QStringList({copy}));
  EXPECT_EQ(ReadTestFile(doc->FBackupFileName), "<!-- changed --><doc/>");
  EXPECT_EQ(RecordedArguments("MenuToolsPreview2"), QStringList({copy}));

  // A new document has no file of its own: its URL names none yet.
  TEditFrame* fresh = Form().NewEditFrame("xml", TURL("file:" + Folder + "new.xml"), true);
  fresh->SetText("<fresh/>");
  FocusEditor(*fresh);
  EXPECT_EQ(RecordedArguments("MenuToolsPreview2"), QStringList({QString::fromStdString(fresh->FBackupFileName)}));
  EXPECT_EQ(ReadTestFile(fresh->FBackupFileName), "<fresh/>");
  EXPECT_FALSE(std::filesystem::exists(Folder + "new.xml"));
}

TEST_F(MainFormToolsPreviewTest, TargetReplacesEveryPercentOne)
{
  Start();
  XmlType().Preview1 = Recorder + " %1 x%1y %1";
  TEditFrame* doc = Form().NewEditFrame("xml", TURL("file:" + Write("b.xml", "<doc/>")), false);
  FocusEditor(*doc);
  const QString path = QString::fromStdString(Folder + "b.xml");
  EXPECT_EQ(RecordedArguments("MenuToolsPreview1"), QStringList({path, "x" + path + "y", path}));
}

// A file name that is no local text (Latin-1) reaches the previewer, and the
// program associated with it, with its bytes.
TEST_F(MainFormToolsPreviewTest, ALatinOneTargetKeepsItsBytes)
{
  Start();
  XmlType().Preview1 = Recorder + " %1";
  TEditFrame* doc = Form().NewEditFrame("xml", TURL("file:" + Write("caf\xE9.xml", "<doc/>")), false);
  FocusEditor(*doc);
  ASSERT_NE(RecordedArguments("MenuToolsPreview1"), QStringList({"<none>"}));
  EXPECT_EQ(ReadTestFile(Folder + "args"), Folder + "caf\xE9.xml\n");

  TUrlCatcher catcher;
  QDesktopServices::setUrlHandler("file", &catcher, "Open");
  XmlType().Preview1 = "*";
  Run("MenuToolsPreview1");
  QDesktopServices::unsetUrlHandler("file");
  ASSERT_EQ(catcher.Urls.size(), 1);
  EXPECT_EQ(catcher.Urls[0].toEncoded().toStdString(), "file://" + Folder + "caf%E9.xml");
}

// A previewer that cannot be started is said: clicking Preview and seeing
// nothing happen tells the user nothing.
TEST_F(MainFormToolsPreviewTest, APreviewerThatCannotStartIsShown)
{
  Start();
  XmlType().Preview1 = Folder + "no-such-viewer %1";
  TEditFrame* doc = Form().NewEditFrame("xml", TURL("file:" + Write("e.xml", "<doc/>")), false);
  FocusEditor(*doc);
  Run("MenuToolsPreview1");
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].contains(QString::fromStdString(Folder + "no-such-viewer")))
      << Prompts->Messages[0].toStdString();
}

TEST_F(MainFormToolsPreviewTest, StarOpensTheAssociatedProgram)
{
  Start();
  TUrlCatcher catcher;
  QDesktopServices::setUrlHandler("file", &catcher, "Open");
  XmlType().Preview1 = "*";
  XmlType().Preview2 = "*";
  TEditFrame* doc = Form().NewEditFrame("xml", TURL("file:" + Write("c #1.xml", "<doc/>")), false);
  FocusEditor(*doc);
  Run("MenuToolsPreview1");
  Run("MenuToolsPreview2");  // the URL text names the same file
  QDesktopServices::unsetUrlHandler("file");
  const QUrl expected = QUrl::fromLocalFile(QString::fromStdString(Folder + "c #1.xml"));
  EXPECT_EQ(catcher.Urls, QList<QUrl>({expected, expected}));
}

TEST_F(MainFormToolsPreviewTest, EmptyPreviewerIsDisabled)
{
  Start();
  XmlType().Preview1 = "";
  XmlType().Preview2 = "*";
  TEditFrame* doc = Form().NewEditFrame("xml", TURL("file:" + Write("d.xml", "<doc/>")), false);
  FocusEditor(*doc);
  Form().HeartbeatTimerTimer();
  EXPECT_FALSE(Form().Action("MenuToolsPreview1")->isEnabled());
  EXPECT_TRUE(Form().Action("MenuToolsPreview2")->isEnabled());
  EXPECT_FALSE(Form().Action("MenuToolsPreview3")->isEnabled());
}

TEST(SplitCommandLineTest, QuotesGroupBlanks)
{
  using TWords = std::vector<std::string>;
  EXPECT_EQ(SplitCommandLine("prog a  b\tc"), TWords({"prog", "a", "b", "c"}));
  EXPECT_EQ(SplitCommandLine("\"/my prog\" \"a b\" x\"y z\"w"), TWords({"/my prog", "a b", "xy zw"}));
  EXPECT_EQ(SplitCommandLine("prog \"\" end"), TWords({"prog", "", "end"}));
  EXPECT_EQ(SplitCommandLine("prog \"open ended"), TWords({"prog", "open ended"}));
  EXPECT_TRUE(SplitCommandLine("  ").empty());
  EXPECT_EQ(ExpandPreviewCommand("v %1 %1%1 %2", "T"), "v T TT %2");
  EXPECT_EQ(PreviewArguments("\"/my prog\" \"%1\" x%1", "a\" \"b"), TWords({"/my prog", "a\" \"b", "xa\" \"b"}));
}

}  // namespace

#include "MainFormToolsPreviewTest.moc"
