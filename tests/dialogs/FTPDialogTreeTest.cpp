// The nodes of the FTP folder tree: order, paths, placeholders.

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "dialogs/TDropDownComboBox.h"
#include "dialogs/TFTPDialog.h"
#include "dialogs/TImageList.h"
#include "dialogs/TpvpTreeNode.h"

namespace {

std::vector<std::string> Children(const QTreeWidgetItem* node)
{
  std::vector<std::string> names;
  for (int i = 0; i < node->childCount(); ++i) names.push_back(node->child(i)->text(0).toStdString());
  return names;
}

}  // namespace

TEST(FTPTreeNodeTest, FoldersComeBeforeFilesEachSortedIgnoringCase)
{
  QTreeWidget tree;
  TpvpTreeNode* root = AddTreeNode(tree, nullptr, TNodeAttachMode::naAdd, nkRoot, "/");
  EXPECT_EQ(Children(root), (std::vector<std::string>{"dummy"}));
  delete root->takeChild(0);
  for (auto [kind, name] : std::vector<std::pair<std::uint8_t, std::string>>{
           {nkFile, "b.xml"}, {nkFile, "A.xml"}, {nkFolder, "z"}, {nkFile, "c"}, {nkFolder, "Y"}})
    AddTreeNode(tree, root, TNodeAttachMode::naAddChild, kind, name);
  EXPECT_EQ(Children(root), (std::vector<std::string>{"Y", "z", "A.xml", "b.xml", "c"}));
  // Folders carry their placeholder, files none.
  auto* y = static_cast<TpvpTreeNode*>(root->child(0));
  EXPECT_EQ(y->Kind, nkFolder);
  ASSERT_EQ(y->childCount(), 1);
  EXPECT_EQ(static_cast<TpvpTreeNode*>(y->child(0))->Kind, nkPlaceholder);
  EXPECT_EQ(root->child(2)->childCount(), 0);
  // Image indexes: file 0, folder 1, root 2.
  EXPECT_EQ(static_cast<TpvpTreeNode*>(root->child(2))->ImageIndex, 0);
  EXPECT_EQ(y->ImageIndex, 1);
  EXPECT_EQ(root->ImageIndex, 2);
  EXPECT_EQ(root->SelectedIndex, 2);
}

TEST(FTPTreeNodeTest, NodesTakeTheirPicturesFromTheTreesImageList)
{
  QTreeWidget tree;
  TImageList images;
  QPixmap red(8, 8);
  red.fill(Qt::red);
  images.Images = {QIcon(), QIcon(), QIcon(red)};
  SetTreeImages(tree, &images);
  TpvpTreeNode* root = AddTreeNode(tree, nullptr, TNodeAttachMode::naAdd, nkRoot, "/");
  EXPECT_FALSE(root->icon(0).isNull());
}

TEST(FTPTreeNodeTest, NodePaths)
{
  QTreeWidget tree;
  TpvpTreeNode* root = AddTreeNode(tree, nullptr, TNodeAttachMode::naAdd, nkRoot, "/");
  TpvpTreeNode* pub = AddTreeNode(tree, root, TNodeAttachMode::naAddChild, nkFolder, "pub");
  delete pub->takeChild(0);  // the placeholder, as a listing removes it
  TpvpTreeNode* x = AddTreeNode(tree, pub, TNodeAttachMode::naAddChild, nkFolder, "x");
  TpvpTreeNode* file = AddTreeNode(tree, pub, TNodeAttachMode::naAddChild, nkFile, "a.xml");
  TpvpTreeNode* top = AddTreeNode(tree, root, TNodeAttachMode::naAddChild, nkFile, "t.xml");
  EXPECT_EQ(GetNodePath(nullptr), "");
  EXPECT_EQ(GetNodePath(root), "");
  EXPECT_EQ(GetNodePath(pub), "pub/");
  EXPECT_EQ(GetNodePath(x), "pub/x/");
  EXPECT_EQ(GetNodePath(file), "pub/a.xml");
  EXPECT_EQ(GetNodePath(top), "t.xml");
  // naAdd puts a sibling beside the relative node.
  TpvpTreeNode* sibling = AddTreeNode(tree, x, TNodeAttachMode::naAdd, nkFolder, "w");
  EXPECT_EQ(sibling->parent(), pub);
  EXPECT_EQ(Children(pub), (std::vector<std::string>{"w", "x", "a.xml"}));
}

// Names on a server need not be text in the local encoding (Latin-1 on an
// older server): the tree shows them as well as it can and keeps their bytes.
TEST(FTPTreeNodeTest, NamesThatAreNoLocalTextKeepTheirBytes)
{
  const std::string folder = "d\xFCr";
  const std::string file = "caf\xE9.xml";
  QTreeWidget tree;
  TpvpTreeNode* root = AddTreeNode(tree, nullptr, TNodeAttachMode::naAdd, nkRoot, "/");
  TpvpTreeNode* dir = AddTreeNode(tree, root, TNodeAttachMode::naAddChild, nkFolder, folder);
  TpvpTreeNode* doc = AddTreeNode(tree, dir, TNodeAttachMode::naAddChild, nkFile, file);
  EXPECT_EQ(doc->Caption(), file);
  EXPECT_EQ(GetNodePath(doc), folder + "/" + file);
}

TEST(FTPTreeNodeTest, TheChosenFileKeepsTheBytesOfItsName)
{
  const std::string folder = "d\xFCr";
  const std::string file = "caf\xE9.xml";
  TFTPDialog dialog;
  dialog.FTPHostCombo->setEditText("example.org");
  TpvpTreeNode* root = AddTreeNode(*dialog.FTPTreeView, nullptr, TNodeAttachMode::naAdd, nkRoot, "/");
  TpvpTreeNode* dir = AddTreeNode(*dialog.FTPTreeView, root, TNodeAttachMode::naAddChild, nkFolder, folder);
  TpvpTreeNode* doc = AddTreeNode(*dialog.FTPTreeView, dir, TNodeAttachMode::naAddChild, nkFile, file);
  dialog.FTPTreeView->setCurrentItem(doc);
  ASSERT_TRUE(dialog.OKBtn->isEnabled());
  dialog.OKBtnClick();
  EXPECT_EQ(dialog.URL.Path, "/" + folder + "/");
  EXPECT_EQ(dialog.URL.FileName, file);

  // A name typed over it counts as typed (the select mode: saving would look
  // for the file on the server first).
  dialog.Mode = fdmSelect;
  dialog.FTPFilenameEdit->setText("typed.xml");
  dialog.OKBtnClick();
  EXPECT_EQ(dialog.URL.Path, "/" + folder + "/");
  EXPECT_EQ(dialog.URL.FileName, "typed.xml");
}

TEST(FTPTreeNodeTest, SplitFirstSegmentAndWildcards)
{
  std::string path = "/pub/sub/a.xml";
  std::string segment;
  SplitFirstSegment(path, segment);
  EXPECT_EQ(segment, "pub");
  EXPECT_EQ(path, "sub/a.xml");
  SplitFirstSegment(path, segment);
  SplitFirstSegment(path, segment);
  EXPECT_EQ(segment, "a.xml");
  EXPECT_EQ(path, "");
  path = "/";
  SplitFirstSegment(path, segment);
  EXPECT_EQ(segment, "");
  EXPECT_EQ(path, "");
  path = "//x";  // only one "/" is dropped
  SplitFirstSegment(path, segment);
  EXPECT_EQ(segment, "");
  EXPECT_EQ(path, "x");

  EXPECT_TRUE(HasWildcards("*.xml"));
  EXPECT_TRUE(HasWildcards("a?.xml"));
  EXPECT_FALSE(HasWildcards("a.xml"));
}
