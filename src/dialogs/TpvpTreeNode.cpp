#include "dialogs/TpvpTreeNode.h"

#include <QTreeWidget>
#include <exception>

#include "dialogs/DialogHelpers.h"
#include "dialogs/TImageList.h"
#include "model/AttributeList.h"
#include "resource/TURL.h"

namespace {

int SortRank(std::uint8_t kind)
{
  switch (kind) {
    case nkFolder:
      return 2;
    case nkFile:
      return 1;
    default:
      return 0;
  }
}

const char* const kPlaceholderCaption = "dummy";
constexpr int kCaptionRole = Qt::UserRole;  // the caption's bytes

// Where node goes among count siblings: after every sibling that does not
// sort after it, so equal nodes keep the order they were added in.
template <typename SiblingAt>
int SortedPosition(const TpvpTreeNode& node, int count, SiblingAt sibling)
{
  int low = 0;
  int high = count;
  while (low < high) {
    int middle = (low + high) / 2;
    const auto* other = dynamic_cast<const TpvpTreeNode*>(sibling(middle));
    if (other && CompareNodes(node, *other) < 0)
      high = middle;
    else
      low = middle + 1;
  }
  return low;
}

void Attach(QTreeWidget& tree, QTreeWidgetItem* parent, TpvpTreeNode* node)
{
  if (parent) {
    int at = SortedPosition(*node, parent->childCount(), [parent](int i) { return parent->child(i); });
    parent->insertChild(at, node);
  } else {
    int at = SortedPosition(*node, tree.topLevelItemCount(), [&tree](int i) { return tree.topLevelItem(i); });
    tree.insertTopLevelItem(at, node);
  }
}

}  // namespace

std::string TpvpTreeNode::Caption() const
{
  return data(0, kCaptionRole).toByteArray().toStdString();
}

bool TpvpTreeNode::Populate(TURL& url, std::string& error)
{
  QTreeWidget* tree = treeWidget();
  if (!tree) return false;
  // The folder is listed before anything is taken away: a listing that fails
  // leaves the node as it was, not as an empty folder.
  try {
    url.GetCount();
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
  if (!url.ListError.empty()) {
    error = url.ListError;
    return false;
  }
  for (QTreeWidgetItem* child : takeChildren()) delete child;
  for (const auto& item : url.Items) {
    if (item->Kind == TFolderItem::kFolder)
      AddTreeNode(*tree, this, TNodeAttachMode::naAddChild, nkFolder, item->Name);
    else if (item->Kind == TFolderItem::kFile)
      AddTreeNode(*tree, this, TNodeAttachMode::naAddChild, nkFile, item->Name);
  }
  return true;
}

bool TpvpTreeNode::operator<(const QTreeWidgetItem& other) const
{
  const auto* node = dynamic_cast<const TpvpTreeNode*>(&other);
  return node ? CompareNodes(*this, *node) < 0 : QTreeWidgetItem::operator<(other);
}

int NodeImageIndex(std::uint8_t kind)
{
  switch (kind) {
    case nkRoot:
      return 2;
    case nkFolder:
      return 1;
    case nkFile:
      return 0;
    default:
      return -1;
  }
}

TpvpTreeNode* AddTreeNode(QTreeWidget& tree, TpvpTreeNode* relative, TNodeAttachMode mode, std::uint8_t kind,
                          const std::string& caption)
{
  auto* node = new TpvpTreeNode;
  node->Kind = kind;
  node->ImageIndex = NodeImageIndex(kind);
  node->SelectedIndex = node->ImageIndex;
  if (TImageList* images = TreeImages(tree); images && node->ImageIndex >= 0)
    node->setIcon(0, images->Image(node->ImageIndex));
  node->setData(0, kCaptionRole, QByteArray::fromStdString(caption));
  node->setText(0, DialogHelpers::LocalText(caption));

  QTreeWidgetItem* parent = nullptr;
  if (mode == TNodeAttachMode::naAddChild)
    parent = relative;
  else if (relative)
    parent = relative->parent();
  Attach(tree, parent, node);

  if (kind == nkRoot || kind == nkFolder)
    AddTreeNode(tree, node, TNodeAttachMode::naAddChild, nkPlaceholder, kPlaceholderCaption);
  return node;
}

int CompareNodes(const TpvpTreeNode& node1, const TpvpTreeNode& node2)
{
  int rank1 = SortRank(node1.Kind);
  int rank2 = SortRank(node2.Kind);
  if (rank1 > rank2) return -1;
  if (rank1 < rank2) return 1;
  return CompareTextAscii(node1.Caption(), node2.Caption());
}

std::string GetNodePath(const TpvpTreeNode* node)
{
  std::string path;
  for (; node; node = dynamic_cast<const TpvpTreeNode*>(node->parent())) {
    if (node->Kind == nkRoot) break;
    if (node->Kind == nkFile)
      path = node->Caption();
    else if (node->Kind == nkFolder)
      path = node->Caption() + "/" + path;
  }
  return path;
}

bool HasWildcards(const std::string& text)
{
  return text.find_first_of("*?") != std::string::npos;
}
