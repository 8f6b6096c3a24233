#pragma once
// The FTP dialog against a real FTP server on 127.0.0.1 with a small tree:
//   /pub/a.xml  /pub/B.xml  /pub/readme  /pub/sub/c.xml  /pub/Zeta/  /empty/  /top.xml
// and /drop/, where the tests that write put their files.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "FtpTestServer.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "dialogs/TDropDownComboBox.h"
#include "dialogs/TFTPDialog.h"
#include "dialogs/TpvpTreeNode.h"
#include "resource/TFTPProtocol.h"
#include "resource/TURLSystem.h"

class FTPDialogTest : public ::testing::Test {
protected:
  static void SetUpTestSuite()
  {
    Server = new FtpTestServer();
    std::filesystem::create_directories(Server->Root + "pub/sub");
    std::filesystem::create_directories(Server->Root + "pub/Zeta");
    std::filesystem::create_directories(Server->Root + "empty");
    std::filesystem::create_directories(Server->Root + "drop");
    WriteTestFile(Server->Root + "pub/a.xml", "<a/>");
    WriteTestFile(Server->Root + "pub/B.xml", "<b/>");
    WriteTestFile(Server->Root + "pub/readme", "text");
    WriteTestFile(Server->Root + "pub/sub/c.xml", "<c/>");
    WriteTestFile(Server->Root + "top.xml", "<top/>");
  }
  static void TearDownTestSuite()
  {
    delete Server;
    Server = nullptr;
  }

  void SetUp() override
  {
    Prompts = std::make_unique<TScriptedPrompter>();
    Dialog = std::make_unique<TFTPDialog>();
    Dialog->History = &History;
    Dialog->show();  // as a caller shows it: the filter becomes "*.*;*"
  }

  void TearDown() override
  {
    Dialog.reset();
    Prompts.reset();
    // Every test starts with a fresh connection pool.
    FreeURLSystem();
  }

  static TFTPProtocol& Driver()
  {
    return dynamic_cast<TFTPProtocol&>(*URLSystem().FindProtocol(TURL("ftp:x")));
  }

  // Fills the fields as a user would and presses Connect.
  void ConnectFromFields(const std::string& path = "", bool passive = true)
  {
    Dialog->FTPHostCombo->setEditText(QString::fromStdString(Server->Host()));
    Dialog->FTPUserEdit->setText("tester");
    Dialog->FTPPasswordEdit->setText("secret");
    Dialog->FTPPassiveCheckBox->setChecked(passive);
    Dialog->FTPPathEdit->setText(QString::fromStdString(path));
    Dialog->FTPConnectBtn->click();
    Dialog->TimerTimer();
  }

  // The captions of node's children, in tree order.
  static std::vector<std::string> Children(QTreeWidgetItem* node)
  {
    std::vector<std::string> names;
    for (int i = 0; node && i < node->childCount(); ++i) names.push_back(node->child(i)->text(0).toStdString());
    return names;
  }

  static QTreeWidgetItem* Child(QTreeWidgetItem* node, const std::string& caption)
  {
    for (int i = 0; node && i < node->childCount(); ++i)
      if (node->child(i)->text(0).toStdString() == caption) return node->child(i);
    return nullptr;
  }

  QTreeWidgetItem* Root() const { return Dialog->FTPTreeView->topLevelItem(0); }
  std::string PathText() const { return Dialog->FTPPathEdit->text().toStdString(); }
  std::string NameText() const { return Dialog->FTPFilenameEdit->text().toStdString(); }

  static FtpTestServer* Server;
  TMRUURL History{16};
  std::unique_ptr<TScriptedPrompter> Prompts;
  std::unique_ptr<TFTPDialog> Dialog;
};

inline FtpTestServer* FTPDialogTest::Server = nullptr;
