// File > Open FTP and Save As FTP against a real FTP server, through the FTP
// dialog as a user drives it.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <Qsci/qsciscintilla.h>
#include <filesystem>
#include <functional>

#include "FtpTestServer.h"
#include "MainFormFixture.h"
#include "dialogs/TDropDownComboBox.h"
#include "dialogs/TFTPDialog.h"
#include "dialogs/TpvpTreeNode.h"
#include "model/ModelModule.h"
#include "model/TFileTypes.h"
#include "platform/TProgressRunner.h"
#include "ProgressWatch.h"
#include "WindowSystemInput.h"

namespace {

QTreeWidgetItem* Child(QTreeWidgetItem* node, const std::string& caption)
{
  for (int i = 0; node && i < node->childCount(); ++i)
    if (node->child(i)->text(0).toStdString() == caption) return node->child(i);
  return nullptr;
}

}  // namespace

class MainFormFtpTest : public MainFormFixture {
protected:
  void SetUp() override
  {
    MainFormFixture::SetUp();
    std::filesystem::create_directories(Server.Root + "pub");
    WriteTestFile(Server.Root + "pub/doc.xml", "<doc>\r\n</doc>\r\n");
    Start();
  }

  // Runs the command of menuItem; once its FTP dialog is shown and done
  // listing, steps fill it in (and press OK or Cancel). Returns the dialog's
  // caption.
  QString RunWithDialog(const char* menuItem, std::function<void(TFTPDialog&)> steps)
  {
    QString caption;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, FTPDialog, [&] {
      if (!FTPDialog->isVisible() || TProgressRunner::Busy()) return;
      poll.stop();
      caption = FTPDialog->windowTitle();
      steps(*FTPDialog);
      if (FTPDialog->isVisible()) FTPDialog->CancelBtn->click();
    });
    poll.start(10);
    Form().HeartbeatTimerTimer();
    QAction* action = Form().Action(menuItem);
    EXPECT_TRUE(action->isEnabled()) << menuItem;
    action->trigger();
    return caption;
  }

  void Connect(TFTPDialog& dialog, const std::string& path)
  {
    dialog.FTPHostCombo->setEditText(QString::fromStdString(Server.Host()));
    dialog.FTPUserEdit->setText("tester");
    dialog.FTPPasswordEdit->setText("secret");
    dialog.FTPPassiveCheckBox->setChecked(true);
    dialog.FTPPathEdit->setText(QString::fromStdString(path));
    dialog.FTPConnectBtn->click();
  }

  // Opens pub/name from the server through the FTP dialog.
  void OpenDoc(const std::string& name = "doc.xml")
  {
    QString caption = RunWithDialog("MenuFileOpenFTP", [this, name](TFTPDialog& dialog) {
      EXPECT_EQ(dialog.Mode, 0);
      EXPECT_EQ(dialog.History, &Project().FtpHistory);
      Connect(dialog, "/pub/");
      dialog.FTPTreeView->setCurrentItem(Child(Child(dialog.FTPTreeView->topLevelItem(0), "pub"), name));
      dialog.OKBtn->click();
    });
    EXPECT_EQ(caption, "Open File from FTP");
  }

  std::string DocURL(const std::string& name) const { return "ftp:" + Server.Host() + "/pub/" + name; }

  FtpTestServer Server;
};

TEST_F(MainFormFtpTest, OpenEditSaveWritesTheDocumentBack)
{
  OpenDoc();
  ASSERT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("\n").toStdString();
  TEditFrame* frame = EditFrameAt(0);
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->FURL.GetURL(), DocURL("doc.xml"));
  EXPECT_EQ(frame->SynEdit->text().toStdString(), "<doc>\r\n</doc>\r\n");
  // The filter list holds every document type's filter.
  EXPECT_EQ(FTPDialog->GetFilterItems().Count(), FileTypes().Count());
  EXPECT_EQ(FTPDialog->GetFilterItems().Get(0), FileTypes().GetFileType(0).Filter);

  // Recorded: the document in the recent list, the server with its log-in.
  ASSERT_GE(Project().MRU.Count(), 1);
  EXPECT_EQ(Project().MRU.GetItem(0).GetURL(), DocURL("doc.xml"));
  ASSERT_EQ(Project().FtpHistory.Count(), 1);
  const TURL& server = Project().FtpHistory.GetItem(0);
  EXPECT_EQ(server.Host, Server.Host());
  EXPECT_EQ(server.User, "tester");
  EXPECT_EQ(server.Password, "secret");
  EXPECT_TRUE(server.Passive);

  FocusEditor(*frame);
  QTest::keyClicks(frame->SynEdit, "abc");
  Form().HeartbeatTimerTimer();
  ASSERT_TRUE(Form().Action("MenuFileSave")->isEnabled());
  Form().Action("MenuFileSave")->trigger();
  ASSERT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("\n").toStdString();
  EXPECT_EQ(ReadTestFile(Server.Root + "pub/doc.xml"), "abc<doc>\r\n</doc>\r\n");
  EXPECT_FALSE(frame->FStatus & esModified);
}

TEST_F(MainFormFtpTest, SaveAsFtpWritesUnderANewNameAndRecordsIt)
{
  OpenDoc();
  TEditFrame* frame = EditFrameAt(0);
  ASSERT_TRUE(frame);
  FocusEditor(*frame);
  QTest::keyClicks(frame->SynEdit, "x");

  // The document's read reconnected to the server, so the dialog reopens at
  // the document's file. Disconnected, it starts again from the history.
  QString caption = RunWithDialog("MenuFileSaveAsFTP", [](TFTPDialog& dialog) {
    EXPECT_EQ(dialog.Mode, fdmSave);
    EXPECT_EQ(dialog.FTPFilenameEdit->text(), "doc.xml");
    dialog.TimerTimer();
    ASSERT_EQ(dialog.FTPConnectBtn->text(), "&Disconnect");
    dialog.FTPConnectBtn->click();
    dialog.TimerTimer();
    ASSERT_EQ(dialog.FTPConnectBtn->text(), "&Connect");
    dialog.FTPUserEdit->clear();
    dialog.FTPPasswordEdit->clear();
    dialog.FTPHostComboDropDown();
    ASSERT_EQ(dialog.FTPHostCombo->count(), 1);
    dialog.FTPHostCombo->setCurrentIndex(0);
    emit dialog.FTPHostCombo->activated(0);
    EXPECT_EQ(dialog.FTPPasswordEdit->text(), "secret");
    dialog.FTPConnectBtn->click();
    dialog.FTPFilenameEdit->setText("copy.xml");
    dialog.OKBtn->click();
  });
  EXPECT_EQ(caption, "Save File to FTP");
  ASSERT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("\n").toStdString();
  EXPECT_EQ(ReadTestFile(Server.Root + "pub/copy.xml"), "x<doc>\r\n</doc>\r\n");
  EXPECT_EQ(ReadTestFile(Server.Root + "pub/doc.xml"), "<doc>\r\n</doc>\r\n");
  EXPECT_EQ(frame->FURL.GetURL(), DocURL("copy.xml"));
  EXPECT_FALSE(frame->FStatus & (esModified | esNew));
  ASSERT_EQ(Project().MRU.Count(), 2);
  EXPECT_EQ(Project().MRU.GetItem(0).GetURL(), DocURL("copy.xml"));
  EXPECT_EQ(Project().MRU.GetItem(1).GetURL(), DocURL("doc.xml"));
  EXPECT_EQ(Project().FtpHistory.Count(), 1);
  // FTP documents leave the local open and save locations alone.
  EXPECT_EQ(Project().SaveURL.Protocol, TURLProtocol::file);
}

// As Save As for local files: a name that exists is replaced only when the
// user says so; No leaves the dialog open for another name.
TEST_F(MainFormFtpTest, SaveAsFtpOntoAnExistingFileAsksFirst)
{
  WriteTestFile(Server.Root + "pub/other.xml", "<other/>");
  OpenDoc();
  TEditFrame* frame = EditFrameAt(0);
  ASSERT_TRUE(frame);
  FocusEditor(*frame);
  QTest::keyClicks(frame->SynEdit, "x");
  auto saveAs = [this](const char* name, bool& stillOpen) {
    RunWithDialog("MenuFileSaveAsFTP", [&stillOpen, name](TFTPDialog& dialog) {
      dialog.FTPFilenameEdit->setText(name);
      dialog.OKBtn->click();
      stillOpen = dialog.isVisible();
    });
  };
  const QString question = "other.xml already exists.\nDo you want to replace it?";
  bool stillOpen = false;
  Prompts->Answers = {TPrompter::TAnswer::No};
  saveAs("other.xml", stillOpen);
  EXPECT_EQ(Prompts->Messages, QStringList{question});
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(ReadTestFile(Server.Root + "pub/other.xml"), "<other/>");
  EXPECT_EQ(frame->FURL.GetURL(), DocURL("doc.xml"));

  Prompts->Messages.clear();
  Prompts->Answers = {TPrompter::TAnswer::Yes};
  saveAs("other.xml", stillOpen);
  EXPECT_EQ(Prompts->Messages, QStringList{question});
  EXPECT_FALSE(stillOpen);
  EXPECT_EQ(ReadTestFile(Server.Root + "pub/other.xml"), "x<doc>\r\n</doc>\r\n");
  EXPECT_EQ(frame->FURL.GetURL(), DocURL("other.xml"));

  // A new name, or a name that only differs in case, is written without a question.
  Prompts->Messages.clear();
  saveAs("OTHER.xml", stillOpen);
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("\n").toStdString();
  EXPECT_EQ(ReadTestFile(Server.Root + "pub/OTHER.xml"), "x<doc>\r\n</doc>\r\n");
}

TEST_F(MainFormFtpTest, CancelDoesNothing)
{
  RunWithDialog("MenuFileOpenFTP", [](TFTPDialog& dialog) { dialog.CancelBtn->click(); });
  EXPECT_EQ(Form().MainPageControl()->PageCount(), 0);
  EXPECT_EQ(Project().MRU.Count(), 0);
  EXPECT_EQ(Project().FtpHistory.Count(), 0);
}

TEST_F(MainFormFtpTest, DocumentThatCannotBeReadLeavesNoTabAndNoHistory)
{
  RunWithDialog("MenuFileOpenFTP", [this](TFTPDialog& dialog) {
    Connect(dialog, "/pub/");
    dialog.FTPTreeView->setCurrentItem(Child(Child(dialog.FTPTreeView->topLevelItem(0), "pub"), "doc.xml"));
    std::filesystem::remove(Server.Root + "pub/doc.xml");
    dialog.OKBtn->click();
  });
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].contains("doc.xml")) << Prompts->Messages[0].toStdString();
  EXPECT_EQ(Form().MainPageControl()->PageCount(), 0);
  EXPECT_EQ(Project().MRU.Count(), 0);
  EXPECT_EQ(Project().FtpHistory.Count(), 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// An open that takes long (a download that never ends) shows its progress
// window; Cancel there stops it: no tab, no history, no message, and the
// next open from the same server works.
TEST_F(MainFormFtpTest, CancelledOpenLeavesNoTabAndTheNextOpenWorks)
{
  WriteTestFile(Server.Root + "pub/endless.xml", "");
  TProgressWatch watch;
  RunWithDialog("MenuFileOpenFTP", [this](TFTPDialog& dialog) {
    Connect(dialog, "/pub/");
    dialog.FTPTreeView->setCurrentItem(Child(Child(dialog.FTPTreeView->topLevelItem(0), "pub"), "endless.xml"));
    dialog.OKBtn->click();
  });
  EXPECT_TRUE(watch.Cancelled());
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("\n").toStdString();
  EXPECT_EQ(Form().MainPageControl()->PageCount(), 0);
  EXPECT_EQ(Project().MRU.Count(), 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  OpenDoc();
  ASSERT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("\n").toStdString();
  ASSERT_EQ(Form().MainPageControl()->PageCount(), 1);
  EXPECT_EQ(EditFrameAt(0)->FURL.GetURL(), DocURL("doc.xml"));
}

// A server that takes the connection and then says nothing: the open shows
// its progress, Cancel ends it, and it leaves no tab, no message and no
// history; the next command runs.
TEST_F(MainFormFtpTest, OpenFromAStalledServerCancelledLeavesNoTab)
{
  SilentTcpServer stalled;
  const std::string address = "ftp:" + stalled.Host() + "/pub/doc.xml";
  Project().MRU.Add(TURL(address));
  Form().MenuFileRecentClick();
  QAction* entry = Form().Action("MenuFileRecent")->menu()->actions().value(1);
  ASSERT_NE(entry, nullptr);
  {
    TProgressWatch watch;
    entry->trigger();
    EXPECT_TRUE(watch.Cancelled());
  }
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("\n").toStdString();
  EXPECT_EQ(Form().MainPageControl()->PageCount(), 0);
  EXPECT_EQ(Project().MRU.Count(), 1);
  EXPECT_FALSE(TProgressRunner::Busy());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  OpenDoc();
  ASSERT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("\n").toStdString();
  ASSERT_EQ(Form().MainPageControl()->PageCount(), 1);
  EXPECT_EQ(EditFrameAt(0)->FURL.GetURL(), DocURL("doc.xml"));
}

// A connect to a server that never answers is cancelled in its progress
// window: no message, the dialog stays open and not connected.
TEST_F(MainFormFtpTest, ConnectToAStalledServerCancelledKeepsTheDialog)
{
  SilentTcpServer stalled;
  bool cancelled = false;
  bool connected = true;
  bool stillOpen = false;
  RunWithDialog("MenuFileOpenFTP", [&](TFTPDialog& dialog) {
    TProgressWatch watch;
    dialog.FTPHostCombo->setEditText(QString::fromStdString(stalled.Host()));
    dialog.FTPUserEdit->setText("tester");
    dialog.FTPConnectBtn->click();
    cancelled = watch.Cancelled();
    dialog.TimerTimer();
    connected = dialog.FTPConnectBtn->text() == "&Disconnect";
    stillOpen = dialog.isVisible();
  });
  EXPECT_TRUE(cancelled);
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("\n").toStdString();
  EXPECT_FALSE(connected);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(Form().MainPageControl()->PageCount(), 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// An open from a server that never answers (FTP, then the web), cancelled
// in its progress window: the document that had the focus has it again, with
// the caption and the commands, and takes the keys typed next.
TEST_F(MainFormFtpTest, CancelledOpenGivesTheFocusBackToTheDocument)
{
  OpenDoc();
  TEditFrame* frame = EditFrameAt(0);
  ASSERT_TRUE(frame);
  FocusEditor(*frame);
  SilentTcpServer stalled;
  for (const std::string& address : {"ftp:" + stalled.Host() + "/pub/a.xml", "http://" + stalled.Host() + "/a.xml"}) {
    Project().MRU.Clear();
    Project().MRU.Add(TURL(address));
    Form().MenuFileRecentClick();
    QAction* entry = Form().Action("MenuFileRecent")->menu()->actions().value(1);
    ASSERT_NE(entry, nullptr);
    {
      TProgressWatch watch;
      entry->trigger();
      EXPECT_TRUE(watch.Cancelled()) << address;
    }
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), frame->SynEdit) << address;
    EXPECT_EQ(Form().GetActiveEditFrame(), frame) << address;
    Form().HeartbeatTimerTimer();
    EXPECT_EQ(Form().windowTitle().toStdString(), "XML:Plivek - [" + DocURL("doc.xml") + "]") << address;
    EXPECT_TRUE(Form().ToolButton("CloseBtn")->isEnabled()) << address;
  }
  QTest::keyClicks(QApplication::focusWidget(), "k");
  EXPECT_EQ(frame->SynEdit->text().toStdString(), "k<doc>\r\n</doc>\r\n");
}

// Save to a server that stops taking the document midway: "hello" and Enter,
// typed before the progress window shows, are not typed into the document
// while it is being written, nor lost when the window shows; after Cancel
// they are there, in their order, and the document is still modified.
TEST_F(MainFormFtpTest, KeysTypedWhileASaveStallsArriveAfterIt)
{
  std::string text;
  while (text.size() < (32u << 20)) text += "<line>the document's text, long enough to fill the buffers</line>\n";
  WriteTestFile(Server.Root + "pub/stall.xml.xml", text);  // a store of this name stalls
  OpenDoc("stall.xml.xml");
  TEditFrame* frame = EditFrameAt(0);
  ASSERT_TRUE(frame);
  ASSERT_EQ(frame->FURL.GetURL(), DocURL("stall.xml.xml"));
  FocusEditor(*frame);
  QTest::keyClicks(frame->SynEdit, "x");

  std::string startWhenShown;
  TProgressWatch watch([&](QDialog&) { startWhenShown = frame->GetText().substr(0, 8); });
  QTimer::singleShot(0, frame, [frame] {
    WindowSystemInput::QueueKeyClicks(frame->SynEdit, "hello");
    WindowSystemInput::QueueKeyClick(frame->SynEdit, Qt::Key_Return, Qt::NoModifier, "\r");
  });
  QTest::keyClick(frame->SynEdit, Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(watch.Cancelled());
  EXPECT_EQ(startWhenShown, "x<line>t");
  EXPECT_TRUE(QTest::qWaitFor([frame] { return frame->GetText().substr(0, 2) != "x<"; }, 5000));
  EXPECT_EQ(frame->GetText().substr(0, 14), "xhello\n<line>t");
  EXPECT_TRUE(frame->FStatus & esModified);
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("\n").toStdString();
  EXPECT_TRUE(ReadTestFile(Server.Root + "pub/stall.xml.xml") == text);
}
