// The FTP dialog against a real server: connecting, browsing, choosing.

#include <QShowEvent>
#include <QSignalSpy>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QTimer>

#include "FTPDialogFixture.h"

using Strings = std::vector<std::string>;

TEST_F(FTPDialogTest, StartsDisconnectedWithItsTimerRunning)
{
  EXPECT_EQ(Dialog->windowTitle(), "Open/Save to FTP");
  EXPECT_EQ(Dialog->URL.GetURL(), "ftp:/");
  EXPECT_EQ(Dialog->Mode, 0);
  EXPECT_TRUE(Dialog->Timer->isActive());
  EXPECT_EQ(Dialog->Timer->interval(), 300);
  EXPECT_FALSE(Dialog->FTPTreeView->isEnabled());
  Dialog->TimerTimer();
  EXPECT_EQ(Dialog->FTPConnectBtn->text(), "&Connect");
  EXPECT_TRUE(Dialog->FTPHostCombo->isEnabled());
}

TEST_F(FTPDialogTest, ConnectWithEmptyPathListsTheRootAndSelectsNothing)
{
  ConnectFromFields("");
  ASSERT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("\n").toStdString();
  EXPECT_EQ(PathText(), "/");
  EXPECT_EQ(Dialog->FTPTreeView->topLevelItemCount(), 1);
  ASSERT_TRUE(Root());
  EXPECT_EQ(Root()->text(0), "/");
  EXPECT_TRUE(Root()->isExpanded());
  // Folders first, then files, each alphabetically ignoring case.
  EXPECT_EQ(Children(Root()), (Strings{"drop", "empty", "pub", "top.xml"}));
  EXPECT_EQ(Dialog->SelectedNode(), nullptr);
  // The poll mirrors the connection.
  EXPECT_EQ(Dialog->FTPConnectBtn->text(), "&Disconnect");
  EXPECT_TRUE(Dialog->FTPTreeView->isEnabled());
  for (QWidget* control : {static_cast<QWidget*>(Dialog->FTPHostCombo), static_cast<QWidget*>(Dialog->FTPUserEdit),
                           static_cast<QWidget*>(Dialog->FTPPasswordEdit),
                           static_cast<QWidget*>(Dialog->FTPPassiveCheckBox),
                           static_cast<QWidget*>(Dialog->FTPPathEdit)})
    EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
  EXPECT_EQ(Dialog->URL.Host, Server->Host());
  EXPECT_EQ(Dialog->URL.User, "tester");
  EXPECT_TRUE(Dialog->URL.Passive);
}

TEST_F(FTPDialogTest, ConnectWithAPathExpandsTheFoldersAlongIt)
{
  ConnectFromFields("pub/");
  EXPECT_EQ(PathText(), "/pub/");
  QTreeWidgetItem* pub = Child(Root(), "pub");
  ASSERT_TRUE(pub);
  EXPECT_TRUE(pub->isExpanded());
  EXPECT_EQ(Children(pub), (Strings{"sub", "Zeta", "a.xml", "B.xml", "readme"}));
  // The folders below are not listed yet: they show their placeholder.
  EXPECT_EQ(Children(Child(pub, "sub")), (Strings{"dummy"}));
  EXPECT_EQ(Dialog->SelectedNode(), nullptr);
}

TEST_F(FTPDialogTest, ExpandingAFolderListsItAndAnEmptyFolderLosesItsButton)
{
  ConnectFromFields("/");
  QTreeWidgetItem* pub = Child(Root(), "pub");
  ASSERT_TRUE(pub);
  pub->setExpanded(true);
  QTreeWidgetItem* sub = Child(pub, "sub");
  ASSERT_TRUE(sub);
  sub->setExpanded(true);
  EXPECT_EQ(Children(sub), (Strings{"c.xml"}));
  EXPECT_EQ(Dialog->URL.Path, "/pub/sub/");
  EXPECT_EQ(Dialog->URL.FileName, "*.*;*");

  QTreeWidgetItem* empty = Child(Root(), "empty");
  ASSERT_TRUE(empty);
  EXPECT_EQ(Children(empty), (Strings{"dummy"}));
  empty->setExpanded(true);
  EXPECT_EQ(empty->childCount(), 0);
}

TEST_F(FTPDialogTest, OpenModeChoosesAFileByTheTree)
{
  ConnectFromFields("/pub/");
  EXPECT_FALSE(Dialog->FTPFilenameEdit->isEnabled());
  EXPECT_FALSE(Dialog->FTPFilenameLabel->isEnabled());
  QTreeWidgetItem* pub = Child(Root(), "pub");
  Dialog->FTPTreeView->setCurrentItem(Child(pub, "a.xml"));
  EXPECT_EQ(PathText(), "/pub/");
  EXPECT_EQ(NameText(), "a.xml");
  EXPECT_TRUE(Dialog->OKBtn->isEnabled());
  // A folder empties the name; the root gives "/".
  Dialog->FTPTreeView->setCurrentItem(Child(pub, "sub"));
  EXPECT_EQ(PathText(), "/pub/sub/");
  EXPECT_EQ(NameText(), "");
  EXPECT_FALSE(Dialog->OKBtn->isEnabled());
  Dialog->FTPTreeView->setCurrentItem(Root());
  EXPECT_EQ(PathText(), "/");
  Dialog->FTPTreeView->setCurrentItem(Child(Root(), "top.xml"));
  EXPECT_EQ(PathText(), "/");
  EXPECT_EQ(NameText(), "top.xml");

  Dialog->FTPTreeView->setCurrentItem(Child(pub, "B.xml"));
  Dialog->OKBtn->click();
  EXPECT_EQ(Dialog->result(), QDialog::Accepted);
  EXPECT_EQ(Dialog->URL.GetURL(), "ftp:" + Server->Host() + "/pub/B.xml");
  EXPECT_EQ(Dialog->URL.User, "tester");
  EXPECT_EQ(Dialog->URL.Password, "secret");
  EXPECT_TRUE(Dialog->URL.Passive);
  // OK closed the browsing connection; the caller's read connects again.
  Dialog->TimerTimer();
  EXPECT_EQ(Dialog->FTPConnectBtn->text(), "&Connect");
  std::string text;
  Dialog->URL.GetFile(text);
  EXPECT_EQ(text, "<b/>");
}

TEST_F(FTPDialogTest, ActiveModeIsCarriedToTheResult)
{
  ConnectFromFields("/", false);
  EXPECT_EQ(Children(Root()), (Strings{"drop", "empty", "pub", "top.xml"}));
  Dialog->FTPTreeView->setCurrentItem(Child(Root(), "top.xml"));
  Dialog->OKBtn->click();
  EXPECT_FALSE(Dialog->URL.Passive);
  std::string text;
  Dialog->URL.GetFile(text);
  EXPECT_EQ(text, "<top/>");
}

TEST_F(FTPDialogTest, SaveModeTakesATypedNameWithoutWildcards)
{
  Dialog->Mode = fdmSave;
  ConnectFromFields("/drop/");
  Dialog->FTPFilenameEdit->setText("new.xml");
  EXPECT_TRUE(Dialog->FTPFilenameEdit->isEnabled());
  EXPECT_TRUE(Dialog->OKBtn->isEnabled());
  Dialog->FTPFilenameEdit->setText("n*.xml");
  EXPECT_FALSE(Dialog->OKBtn->isEnabled());
  Dialog->FTPFilenameEdit->setText("n?.xml");
  EXPECT_FALSE(Dialog->OKBtn->isEnabled());
  Dialog->FTPFilenameEdit->setText("new.xml");
  Dialog->OKBtn->click();
  EXPECT_EQ(Dialog->URL.GetURL(), "ftp:" + Server->Host() + "/drop/new.xml");
  Dialog->URL.PutFile("<new/>");
  EXPECT_EQ(ReadTestFile(Server->Root + "drop/new.xml"), "<new/>");
}

TEST_F(FTPDialogTest, SelectModeTakesAMask)
{
  Dialog->Mode = fdmSelect;
  ConnectFromFields("/pub/");
  Dialog->FTPFilenameEdit->setText("*.xml");
  EXPECT_TRUE(Dialog->OKBtn->isEnabled());
  Dialog->FTPFilenameEdit->setText("");
  EXPECT_FALSE(Dialog->OKBtn->isEnabled());
  Dialog->FTPFilenameEdit->setText("*.xml");
  Dialog->OKBtn->click();
  EXPECT_EQ(Dialog->URL.Path, "/pub/");
  EXPECT_EQ(Dialog->URL.FileName, "*.xml");
  // The result lists as a mask list: every folder, the matching files.
  EXPECT_EQ(Dialog->URL.GetCount(), 4);  // sub, Zeta, a.xml, B.xml
}

TEST_F(FTPDialogTest, ATypedPathIsAFolderWithOrWithoutItsSlashes)
{
  Dialog->Mode = fdmSelect;  // the save mode would first look for the file on the server
  Dialog->FTPHostCombo->setEditText(QString::fromStdString(Server->Host()));
  Dialog->FTPPathEdit->setText("pub");
  Dialog->FTPFilenameEdit->setText("a.xml");
  Dialog->OKBtn->click();
  EXPECT_EQ(PathText(), "/pub/");
  EXPECT_EQ(Dialog->URL.Path, "/pub/");
  EXPECT_EQ(Dialog->URL.FileName, "a.xml");
  Dialog->FTPPathEdit->setText("");
  Dialog->OKBtn->click();
  EXPECT_EQ(Dialog->URL.GetURL(), "ftp:" + Server->Host() + "/a.xml");
}

TEST_F(FTPDialogTest, HostHistoryFillsTheLogInFields)
{
  TURL other("ftp:other.invalid");
  other.User = "anna";
  other.Password = "pw1";
  History.Add(other);
  TURL server("ftp:" + Server->Host());
  server.User = "tester";
  server.Password = "secret";
  server.Passive = true;
  History.Add(server);

  Dialog->FTPHostComboDropDown();
  ASSERT_EQ(Dialog->FTPHostCombo->count(), 2);
  EXPECT_EQ(Dialog->FTPHostCombo->itemText(0).toStdString(), Server->Host());
  EXPECT_EQ(Dialog->FTPHostCombo->itemText(1), "other.invalid");
  // Choosing an entry as the user does.
  Dialog->FTPHostCombo->setCurrentIndex(1);
  emit Dialog->FTPHostCombo->activated(1);
  EXPECT_EQ(Dialog->FTPUserEdit->text(), "anna");
  EXPECT_EQ(Dialog->FTPPasswordEdit->text(), "pw1");
  EXPECT_FALSE(Dialog->FTPPassiveCheckBox->isChecked());
  Dialog->FTPHostCombo->setCurrentIndex(0);
  emit Dialog->FTPHostCombo->activated(0);
  EXPECT_EQ(Dialog->FTPUserEdit->text(), "tester");
  EXPECT_TRUE(Dialog->FTPPassiveCheckBox->isChecked());
  // A typed host changes nothing else.
  QTest::keyClicks(Dialog->FTPHostCombo->lineEdit(), "x");
  EXPECT_EQ(Dialog->FTPUserEdit->text(), "tester");
  Dialog->FTPHostCombo->setEditText(QString::fromStdString(Server->Host()));

  Dialog->FTPConnectBtn->click();
  Dialog->TimerTimer();
  ASSERT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("\n").toStdString();
  EXPECT_EQ(Dialog->FTPConnectBtn->text(), "&Disconnect");
  EXPECT_EQ(Children(Root()), (Strings{"drop", "empty", "pub", "top.xml"}));
}

TEST_F(FTPDialogTest, FilterChangeListsAgainAndKeepsTheSelection)
{
  TFTPFilterItems filters = Dialog->GetFilterItems();
  filters.Add("*.XML");
  filters.Add("b*");
  EXPECT_EQ(Dialog->FTPFileFilterCombo->currentText(), "*.*;*");  // the list leaves the text
  ConnectFromFields("/pub/");
  QTreeWidgetItem* pub = Child(Root(), "pub");
  Dialog->FTPTreeView->setCurrentItem(Child(pub, "a.xml"));
  // The user picks a filter from the list.
  auto choose = [this](int index) {
    Dialog->FTPFileFilterCombo->setCurrentIndex(index);
    emit Dialog->FTPFileFilterCombo->textActivated(Dialog->FTPFileFilterCombo->itemText(index));
  };
  choose(0);
  pub = Child(Root(), "pub");
  ASSERT_TRUE(pub);
  EXPECT_EQ(Children(pub), (Strings{"sub", "Zeta", "a.xml", "B.xml"}));
  ASSERT_TRUE(Dialog->SelectedNode());
  EXPECT_EQ(GetNodePath(Dialog->SelectedNode()), "pub/a.xml");
  // A mask that drops the selected file leaves nothing selected.
  choose(1);
  EXPECT_EQ(Children(Child(Root(), "pub")), (Strings{"sub", "Zeta", "B.xml"}));
  EXPECT_EQ(Dialog->SelectedNode(), nullptr);
  // A typed filter lists again once the typing pauses, and the file last
  // selected is selected again when the mask shows it.
  Dialog->FTPFileFilterCombo->setEditText("");
  QTest::keyClicks(Dialog->FTPFileFilterCombo->lineEdit(), "*");
  EXPECT_TRUE(QTest::qWaitFor([this] { return Children(Root()).size() == 4; }, 5000));
  EXPECT_EQ(Children(Root()), (Strings{"drop", "empty", "pub", "top.xml"}));
  ASSERT_TRUE(Dialog->SelectedNode());
  EXPECT_EQ(GetNodePath(Dialog->SelectedNode()), "pub/a.xml");
}

TEST_F(FTPDialogTest, TypingAFilterKeepsTheUsersPlace)
{
  ConnectFromFields("/pub/");
  Dialog->FTPTreeView->setCurrentItem(Child(Child(Root(), "pub"), "a.xml"));
  QLineEdit* filter = Dialog->FTPFileFilterCombo->lineEdit();
  filter->selectAll();
  QTest::keyClicks(filter, "*.x");
  // Not listed at each keystroke: the tree is as the user left it.
  QTreeWidgetItem* pub = Child(Root(), "pub");
  ASSERT_TRUE(pub);
  EXPECT_TRUE(pub->isExpanded());
  EXPECT_EQ(Children(pub), (Strings{"sub", "Zeta", "a.xml", "B.xml", "readme"}));
  ASSERT_TRUE(Dialog->SelectedNode());
  EXPECT_EQ(GetNodePath(Dialog->SelectedNode()), "pub/a.xml");
  // Once the typing pauses, the folders along the place are listed with the mask.
  EXPECT_TRUE(QTest::qWaitFor([this] { return Children(Child(Root(), "pub")) == Strings{"sub", "Zeta"}; }, 5000));
  EXPECT_TRUE(Child(Root(), "pub")->isExpanded());
  EXPECT_EQ(Dialog->SelectedNode(), nullptr);
  // A "[" still open is no mask yet: nothing is listed, nothing reported.
  QTest::keyClicks(filter, "[");
  Dialog->FTPFileFilterComboChange();  // as when the typing pauses
  EXPECT_EQ(Children(Child(Root(), "pub")), (Strings{"sub", "Zeta"}));
  EXPECT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("\n").toStdString();
  QTest::keyClick(filter, Qt::Key_Backspace);
  QTest::keyClicks(filter, "ml");
  EXPECT_TRUE(QTest::qWaitFor([this] { return Dialog->SelectedNode() != nullptr; }, 5000));
  EXPECT_EQ(GetNodePath(Dialog->SelectedNode()), "pub/a.xml");
  EXPECT_EQ(Children(Child(Root(), "pub")), (Strings{"sub", "Zeta", "a.xml", "B.xml"}));
}

TEST_F(FTPDialogTest, ShowingAgainWhileConnectedReopensAtTheChosenFile)
{
  Dialog->hide();
  Dialog->FTPFileFilterCombo->setEditText("*.xml");
  Dialog->GetFilterItems().Add("*.xml");
  Dialog->show();
  EXPECT_EQ(Dialog->FTPFileFilterCombo->currentText(), "*.*;*");
  ConnectFromFields("/pub/");
  Dialog->FTPTreeView->setCurrentItem(Child(Child(Root(), "pub"), "a.xml"));
  Dialog->OKBtn->click();
  EXPECT_FALSE(Dialog->isVisible());
  std::string text;
  Dialog->URL.GetFile(text);  // the caller's read reconnects

  Dialog->FTPTreeView->clear();
  Dialog->show();
  ASSERT_TRUE(Dialog->SelectedNode());
  EXPECT_EQ(GetNodePath(Dialog->SelectedNode()), "pub/a.xml");
  EXPECT_EQ(PathText(), "/pub/");
  EXPECT_EQ(NameText(), "a.xml");
  EXPECT_EQ(Dialog->FTPHostCombo->currentText().toStdString(), Server->Host());
  EXPECT_EQ(Dialog->FTPUserEdit->text(), "tester");

  // Cancel after expanding a folder: the next showing expands down to it.
  Child(Child(Root(), "pub"), "sub")->setExpanded(true);
  Dialog->CancelBtn->click();
  EXPECT_EQ(Dialog->URL.Path, "/pub/sub/");
  EXPECT_EQ(Dialog->URL.FileName, "*.*;*");
  Dialog->show();
  QTreeWidgetItem* sub = Child(Child(Root(), "pub"), "sub");
  ASSERT_TRUE(sub);
  EXPECT_TRUE(sub->isExpanded());
  EXPECT_EQ(Children(sub), (Strings{"c.xml"}));
  EXPECT_EQ(Dialog->SelectedNode(), nullptr);
  Dialog->hide();
  EXPECT_EQ(Dialog->GetFilterItems().Count(), 1);
}

TEST_F(FTPDialogTest, TimerMirrorsAConnectionTheDriverDropped)
{
  ConnectFromFields("/");
  Dialog->hide();
  ASSERT_EQ(Dialog->FTPConnectBtn->text(), "&Disconnect");
  // The URL system's idle check closes the connection unused for 4 minutes.
  double later = TFTPProtocol::LocalNow() + 4.0 / 1440.0;
  Driver().Now = [later] { return later; };
  URLSystem().TimerTick();
  // The dialog's own timer notices, also while the dialog is hidden.
  EXPECT_TRUE(QTest::qWaitFor([this] { return Dialog->FTPConnectBtn->text() == "&Connect"; }, 5000));
  EXPECT_TRUE(Dialog->FTPHostCombo->isEnabled());
  EXPECT_TRUE(Dialog->FTPPathEdit->isEnabled());
  EXPECT_FALSE(Dialog->FTPTreeView->isEnabled());
}

TEST_F(FTPDialogTest, DisconnectButtonClosesTheConnection)
{
  ConnectFromFields("/");
  Dialog->FTPConnectBtn->click();
  Dialog->TimerTimer();
  EXPECT_EQ(Dialog->FTPConnectBtn->text(), "&Connect");
  EXPECT_FALSE(Dialog->URL.IsConnected());
  // The tree keeps its nodes, disabled.
  EXPECT_EQ(Children(Root()), (Strings{"drop", "empty", "pub", "top.xml"}));
  EXPECT_FALSE(Dialog->FTPTreeView->isEnabled());
}

TEST_F(FTPDialogTest, UnreachableServerIsReportedThroughThePrompter)
{
  Dialog->FTPHostCombo->setEditText(QString("127.0.0.1:%1").arg(FreeLocalPort()));
  Dialog->FTPConnectBtn->click();
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].contains("127.0.0.1")) << Prompts->Messages[0].toStdString();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  Dialog->TimerTimer();
  EXPECT_EQ(Dialog->FTPConnectBtn->text(), "&Connect");
  EXPECT_FALSE(Dialog->FTPTreeView->isEnabled());
}

TEST_F(FTPDialogTest, WrongPasswordIsReportedThroughThePrompter)
{
  Dialog->FTPHostCombo->setEditText(QString::fromStdString(Server->Host()));
  Dialog->FTPUserEdit->setText("tester");
  Dialog->FTPPasswordEdit->setText("wrong");
  Dialog->FTPConnectBtn->click();
  ASSERT_EQ(Prompts->Messages.size(), 1);
  Dialog->TimerTimer();
  EXPECT_EQ(Dialog->FTPConnectBtn->text(), "&Connect");
}

TEST_F(FTPDialogTest, EmptyHostDoesNothing)
{
  Dialog->FTPConnectBtn->click();
  EXPECT_TRUE(Prompts->Messages.isEmpty());
  EXPECT_EQ(Dialog->FTPTreeView->topLevelItemCount(), 0);
}

TEST_F(FTPDialogTest, FailedListingRefusesTheExpansion)
{
  ConnectFromFields("/");
  QTreeWidgetItem* pub = Child(Root(), "pub");
  ASSERT_TRUE(pub);
  // The server is gone: reconnecting for the listing fails.
  Dialog->URL.Disconnect();
  Server->Stop();
  pub->setExpanded(true);
  Server->Start();
  EXPECT_FALSE(pub->isExpanded());
  // Not shown as an empty folder: the placeholder stays, so it can be tried again.
  EXPECT_EQ(Children(pub), (Strings{"dummy"}));
  ASSERT_EQ(Prompts->Messages.size(), 1);
  EXPECT_TRUE(Prompts->Messages[0].contains("/pub/")) << Prompts->Messages[0].toStdString();
  EXPECT_TRUE(Prompts->Messages[0].contains(QString::fromStdString(Server->Host())));
}

// The server stops answering in the middle of a listing.
TEST_F(FTPDialogTest, StalledListingIsReportedAndTheFolderIsNotShownEmpty)
{
  std::filesystem::create_directories(Server->Root + "stall");
  Driver().StallTimeout = 1;
  ConnectFromFields("/");
  QTreeWidgetItem* stall = Child(Root(), "stall");
  ASSERT_TRUE(stall);
  stall->setExpanded(true);
  EXPECT_FALSE(stall->isExpanded());
  EXPECT_EQ(Children(stall), (Strings{"dummy"}));
  ASSERT_EQ(Prompts->Messages.size(), 1);
  const std::string message = Prompts->Messages[0].toStdString();
  EXPECT_NE(message.find("/stall/"), std::string::npos) << message;
  EXPECT_NE(message.find("time-out"), std::string::npos) << message;
  // The connection went with it; the poll says so.
  Dialog->TimerTimer();
  EXPECT_EQ(Dialog->FTPConnectBtn->text(), "&Connect");
  std::filesystem::remove(Server->Root + "stall");
}

TEST_F(FTPDialogTest, RestoringTheWindowKeepsWhatWasTyped)
{
  Dialog->FTPHostCombo->setEditText("typed.example");
  Dialog->FTPUserEdit->setText("someone");
  Dialog->FTPPasswordEdit->setText("pass");
  Dialog->FTPPathEdit->setText("/pub/");
  Dialog->FTPFileFilterCombo->setEditText("*.xml");
  // The window system shows the window again (its minimised owner restored).
  QShowEvent event;
  QSpontaneKeyEvent::setSpontaneous(&event);
  QApplication::instance()->notify(Dialog.get(), &event);  // sendEvent would clear the flag
  EXPECT_EQ(Dialog->FTPHostCombo->currentText().toStdString(), "typed.example");
  EXPECT_EQ(Dialog->FTPUserEdit->text().toStdString(), "someone");
  EXPECT_EQ(Dialog->FTPPasswordEdit->text().toStdString(), "pass");
  EXPECT_EQ(PathText(), "/pub/");
  EXPECT_EQ(Dialog->FTPFileFilterCombo->currentText().toStdString(), "*.xml");
}

TEST_F(FTPDialogTest, ModalUseThroughExec)
{
  Dialog->Mode = fdmSave;
  Dialog->setWindowTitle("Save File to FTP");
  QTimer::singleShot(0, Dialog.get(), [this] {
    ConnectFromFields("/drop/");
    Dialog->FTPFilenameEdit->setText("doc.xml");
    Dialog->OKBtn->click();
  });
  ASSERT_EQ(Dialog->exec(), QDialog::Accepted);
  EXPECT_EQ(Dialog->URL.GetURL(), "ftp:" + Server->Host() + "/drop/doc.xml");
}
