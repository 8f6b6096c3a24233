// Tools > Batch: the dialog preset at start-up, a run over a temporary folder
// with its log lines, and the log levels around the run.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <QPlainTextEdit>
#include <QRegularExpression>

#include "MainFormToolsFixture.h"
#include "ProgressWatch.h"
#include "dialogs/TBatchDialog.h"
#include "model/ModelModule.h"
#include "panes/TLogFrame.h"
#include "resource/zevlog.h"

namespace {

class MainFormToolsBatchTest : public MainFormToolsFixture {
protected:
  void SetUp() override
  {
    MainFormToolsFixture::SetUp();
    Source = Folder + "in/";
    Dest = Folder + "out/";
    std::filesystem::create_directories(Source + "sub");
    std::filesystem::create_directories(Dest);
  }

  // Fills the dialog for a run over Source into Dest and presses OK.
  void RunBatch(TBatchCommand command, const std::string& sourceMask, const std::string& destMask,
                bool logDetails)
  {
    WhenShown(
        BatchDialog,
        [=] {
          BatchDialog->SourceEdit->setText(QString::fromStdString("file:" + Source + sourceMask));
          BatchDialog->DestEdit->setText(QString::fromStdString("file:" + Dest + destMask));
          BatchDialog->PageControl->setCurrentIndex(command);
          BatchDialog->XSLFileEdit->setText(QString::fromStdString(Folder + "t.xsl"));
          BatchDialog->LogCheck->setChecked(logDetails);
          BatchDialog->ValidateCheck->setChecked(false);
        },
        [] { BatchDialog->OKBtn->click(); });
    Run("MenuToolsBatch");
  }

  // The lines the run wrote to the log, without empty ones.
  QStringList LogLines()
  {
    QStringList lines = QString::fromStdString(ReadTestFile(AppLog().FileName)).split("\n");
    QStringList kept;
    for (QString line : lines) {
      line.remove('\r');
      if (!line.isEmpty()) kept << line;
    }
    return kept;
  }

  std::string Source, Dest;
};

TEST_F(MainFormToolsBatchTest, StartUpAimsTheDialogAtTheProjectFolders)
{
  Start();
  TURL source(Project().OpenURL);
  source.SetFileName("*.xml");
  TURL dest(Project().SaveURL);
  dest.SetFileName("*.html");
  EXPECT_EQ(BatchDialog->Source.GetURL(), source.GetURL());
  EXPECT_EQ(BatchDialog->Dest.GetURL(), dest.GetURL());
  BatchDialog->show();
  EXPECT_EQ(BatchDialog->SourceEdit->text().toStdString(), source.GetURL());
  EXPECT_EQ(BatchDialog->DestEdit->text().toStdString(), dest.GetURL());
  BatchDialog->hide();
}

TEST_F(MainFormToolsBatchTest, CheckRunLogsEachFileWhileDetailsAreOn)
{
  Start();
  Write("in/a.xml", "<a/>");
  Write("in/b.xml", "<b>\r\n<open>\r\n</b>\r\n");
  Write("in/c.xml", "<c/>");
  Write("in/skip.txt", "not xml");
  Write("in/sub/d.xml", "<d/>");
  const TzevLog::TLevels before = AppLog().Levels;
  ASSERT_FALSE(before.test(5));
  auto* log = qobject_cast<TLogFrame*>(Form().FLogFrame);
  ASSERT_NE(log, nullptr);
  ASSERT_FALSE(log->DetailCheckBox->isChecked());

  RunBatch(bcCheck, "*.xml", "*.xml", true);
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("|").toStdString();
  const QString text = LogLines().join("\n");
  const QString in = QString::fromStdString("file:" + Source);
  const qsizetype a = text.indexOf("File checked: " + in + "a.xml\n");
  const qsizetype b = text.indexOf("File check failed:" + in + "b.xml\n");
  const qsizetype line = text.indexOf("Line: 3\n", b);
  const qsizetype c = text.indexOf("File checked: " + in + "c.xml");
  EXPECT_TRUE(a >= 0 && a < b && b < line && line < c) << text.toStdString();
  EXPECT_FALSE(text.contains("File checked: " + in + "b.xml"));
  EXPECT_FALSE(text.contains("skip.txt"));
  EXPECT_FALSE(text.contains("d.xml"));  // no recursion asked for

  EXPECT_EQ(AppLog().Levels, before);
  EXPECT_FALSE(log->DetailCheckBox->isChecked());
  EXPECT_TRUE(TMainForm::PaneShown(Form().FLogFrame));
}

TEST_F(MainFormToolsBatchTest, TransformRunWritesTheDestinationFiles)
{
  Start();
  Write("t.xsl",
        "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
        "<xsl:output method=\"text\"/><xsl:template match=\"/\">name=<xsl:value-of select=\"name(/*)\"/>"
        "</xsl:template></xsl:stylesheet>");
  Write("in/one.xml", "<first/>");
  Write("in/two.xml", "<second/>");
  RunBatch(bcTransform, "*.xml", "*.txt", false);
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("|").toStdString();
  EXPECT_EQ(ReadTestFile(Dest + "one.txt"), "name=first");
  EXPECT_EQ(ReadTestFile(Dest + "two.txt"), "name=second");
  // Details off: the run logged nothing.
  EXPECT_FALSE(LogLines().join("\n").contains("XSL transform on"));
}

TEST_F(MainFormToolsBatchTest, RunLeavesTheWorkingCopiesOfOpenDocumentsAlone)
{
  Start();
  TEditFrame* frame = Open("in/a.xml", "<a/>");
  ASSERT_TRUE(frame);
  ASSERT_EQ(frame->FBackupFileName, Source + "~a.xml");
  ASSERT_TRUE(std::filesystem::exists(frame->FBackupFileName));
  Write("in/~b.xml", "<closed document's copy/>");
  TEditFrame* floating = Open("in/c.xml", "<c/>");
  Form().MainPageControl()->FloatFrame(floating, QPoint(40, 40));
  ASSERT_EQ(floating->FBackupFileName, Source + "~c.xml");
  RunBatch(bcCopy, "*.xml", "*.*", false);
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("|").toStdString();
  EXPECT_EQ(ReadTestFile(Dest + "a.xml"), "<a/>");
  EXPECT_FALSE(std::filesystem::exists(Dest + "~a.xml"));
  EXPECT_FALSE(std::filesystem::exists(Dest + "~c.xml"));  // a floating document's
  EXPECT_TRUE(std::filesystem::exists(Dest + "~b.xml"));  // no open document's
}

TEST_F(MainFormToolsBatchTest, FailedRunIsShownAndRestoresTheLevels)
{
  Start();
  Write("in/one.xml", "<first/>");
  const TzevLog::TLevels before = AppLog().Levels;
  RunBatch(bcTransform, "*.xml", "*.txt", true);  // t.xsl does not exist
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].contains("t.xsl")) << Prompts->Messages[0].toStdString();
  EXPECT_EQ(AppLog().Levels, before);
  EXPECT_FALSE(std::filesystem::exists(Dest + "one.txt"));
}

// A run that stopped at a file it could not transform said only the parser's
// words, logged nothing and left the log pane hidden: the message and the log
// name the file, and the log pane comes forward.
TEST_F(MainFormToolsBatchTest, RunThatStopsAtABrokenFileNamesIt)
{
  Start();
  Write("t.xsl",
        "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
        "<xsl:output method=\"text\"/><xsl:template match=\"/\">ok</xsl:template></xsl:stylesheet>");
  Write("in/a.xml", "<a/>");
  Write("in/b.xml", "<b>\n<c>\n</b>\n");
  Write("in/c.xml", "<c/>");
  ASSERT_FALSE(TMainForm::PaneShown(Form().FLogFrame));
  RunBatch(bcTransform, "*.xml", "*.txt", false);
  ASSERT_EQ(Prompts->Messages.size(), 1);
  const QString message = Prompts->Messages[0];
  EXPECT_TRUE(message.contains("Line: 3")) << message.toStdString();
  EXPECT_TRUE(message.endsWith(QString::fromStdString("\r\nFile: file:" + Source + "b.xml"))) << message.toStdString();
  EXPECT_TRUE(LogLines().join("\n").contains(
      QString::fromStdString("Batch stopped by an error after 1 of 3 files. Failed: file:" + Source + "b.xml")))
      << LogLines().join("\n").toStdString();
  EXPECT_TRUE(TMainForm::PaneShown(Form().FLogFrame));
}

TEST_F(MainFormToolsBatchTest, CancelledRunStopsAfterTheCurrentFileAndLogsWhereItStopped)
{
  Start();
  // A transform that takes a while on each file: one count over all n per n.
  Write("t.xsl",
        "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
        "<xsl:output method=\"text\"/><xsl:template match=\"/\"><xsl:for-each select=\"//n\">"
        "<xsl:value-of select=\"count(//n[@v &lt; current()/@v])\"/><xsl:text> </xsl:text>"
        "</xsl:for-each></xsl:template></xsl:stylesheet>");
  std::string input = "<r>";
  std::string expected;
  for (int i = 0; i < 1200; ++i) {
    input += "<n v=\"" + std::to_string(i) + "\"/>";
    expected += std::to_string(i) + " ";
  }
  input += "</r>";
  constexpr int kFiles = 30;
  for (int i = 0; i < kFiles; ++i) Write("in/f" + std::to_string(100 + i) + ".xml", input);

  {
    TProgressWatch watch;
    RunBatch(bcTransform, "*.xml", "*.txt", false);
    EXPECT_TRUE(watch.Cancelled());
  }
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("|").toStdString();
  const QString text = LogLines().join("\n");
  const QRegularExpressionMatch stop =
      QRegularExpression("Batch cancelled after (\\d+) of 30 files\\.").match(text);
  ASSERT_TRUE(stop.hasMatch()) << text.toStdString();
  const int done = stop.captured(1).toInt();
  EXPECT_LT(done, kFiles);
  // The files done are whole, no other was written, and the sources are as they were.
  int written = 0;
  for (const auto& entry : std::filesystem::directory_iterator(Dest)) {
    ++written;
    EXPECT_EQ(ReadTestFile(entry.path().string()), expected) << entry.path();
  }
  EXPECT_EQ(written, done);
  for (int i = 0; i < kFiles; ++i) EXPECT_EQ(ReadTestFile(Source + "f" + std::to_string(100 + i) + ".xml"), input);
  // The log pane has it too, and the next command runs.
  auto* log = qobject_cast<TLogFrame*>(Form().FLogFrame);
  ASSERT_NE(log, nullptr);
  EXPECT_TRUE(log->Memo->toPlainText().contains("Batch cancelled after"));
  EXPECT_TRUE(TMainForm::PaneShown(Form().FLogFrame));
  Write("in/sub/small.xml", "<small/>");
  Source += "sub/";
  RunBatch(bcCopy, "*.xml", "*.*", false);
  EXPECT_EQ(ReadTestFile(Dest + "small.xml"), "<small/>");
}

TEST_F(MainFormToolsBatchTest, DialogLogDetailsFollowTheLogLevels)
{
  Start();
  AppLog().SetLevels(TzevLog::MakeLevels({1, 2, 5}));
  bool shownWithDetails = false;
  WhenShown(BatchDialog, [&] { shownWithDetails = BatchDialog->GetLogDetails(); },
            [] { BatchDialog->reject(); });
  Run("MenuToolsBatch");
  EXPECT_TRUE(shownWithDetails);
  AppLog().SetLevels(TzevLog::MakeLevels({1, 2}));
  WhenShown(BatchDialog, [&] { shownWithDetails = BatchDialog->GetLogDetails(); },
            [] { BatchDialog->reject(); });
  Run("MenuToolsBatch");
  EXPECT_FALSE(shownWithDetails);
}

}  // namespace
