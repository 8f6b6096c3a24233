#include "dialogs/TFTPDialog.h"

// The FTP dialog's tree of the server's folders: walking it down to a path,
// listing a folder when it is expanded, and the path and name that the
// selected node gives. A mask typed in the filter lists the tree again.

#include <QLineEdit>
#include <QTreeWidget>
#include <exception>

#include "dialogs/DialogHelpers.h"
#include "dialogs/TDropDownComboBox.h"
#include "dialogs/TpvpTreeNode.h"
#include "platform/Prompter.h"
#include "resource/TWorkProgress.h"

using namespace DialogHelpers;

void TFTPDialog::ShowPath(std::string path)
{
  FTPTreeView->clearSelection();
  FTPTreeView->clear();
  TpvpTreeNode* current = AddTreeNode(*FTPTreeView, nullptr, TNodeAttachMode::naAdd, nkRoot, "/");
  do {
    std::string segment;
    SplitFirstSegment(path, segment);
    // A folder that could not be listed has been reported: the walk ends.
    if (!ExpandNode(*current) && current->childCount() > 0) {
      current = nullptr;
      break;
    }
    TpvpTreeNode* match = nullptr;
    for (int i = 0; i < current->childCount() && !match; ++i) {
      auto* child = dynamic_cast<TpvpTreeNode*>(current->child(i));
      if (child && child->Kind != nkPlaceholder && child->Caption() == segment) match = child;
    }
    current = match;
  } while (!path.empty() && current);
  FTPTreeView->setEnabled(true);
  if (current)
    FTPTreeView->setCurrentItem(current);
  else
    FTPTreeView->clearSelection();
}

bool TFTPDialog::ExpandNode(TpvpTreeNode& node)
{
  // A node without children (a file, a folder found empty) has nothing to expand.
  if (node.childCount() == 0) return false;
  if (!FTPTreeViewExpanding(node)) return false;
  FExpanding = true;
  node.setExpanded(true);
  FExpanding = false;
  return true;
}

void TFTPDialog::TreeItemExpanded(QTreeWidgetItem* item)
{
  if (FExpanding) return;
  auto* node = dynamic_cast<TpvpTreeNode*>(item);
  if (!node || FTPTreeViewExpanding(*node)) return;
  FExpanding = true;
  node->setExpanded(false);
  FExpanding = false;
}

bool TFTPDialog::FTPTreeViewExpanding(TpvpTreeNode& node)
{
  URL.SetPath("/" + GetNodePath(&node));
  URL.SetFileName(LocalBytes(FTPFileFilterCombo->currentText()));
  std::string error;
  // The listing is made by the work; the nodes are then made from it here.
  try {
    Work("List Folder", [this, &error] {
      try {
        URL.GetCount();
      } catch (const ECancelled&) {
        throw;
      } catch (const std::exception& e) {
        error = e.what();
      }
    });
  } catch (const ECancelled&) {
    return false;  // the user stopped it: the folder stays as it was
  }
  if (error.empty() && node.Populate(URL, error)) return true;
  // Shown as what it is: the folder is not empty, and a lost connection
  // (which the state poll then mirrors) does not pass without a word.
  Prompter().ShowMessage(LocalText("The folder " + URL.Path + " on " + URL.Host + " cannot be listed: " + error));
  return false;
}

int TFTPDialog::FTPTreeViewCompare(const TpvpTreeNode& node1, const TpvpTreeNode& node2) const
{
  return CompareNodes(node1, node2);
}

void TFTPDialog::TreeSelectionChanged()
{
  // Losing the selection (the tree rebuilt, nothing found) leaves the path,
  // the name and the user's place as they are.
  TpvpTreeNode* node = SelectedNode();
  if (!node) return;
  FPlace = "/" + GetNodePath(node);
  FTPTreeViewChange(node);
}

void TFTPDialog::FTPTreeViewChange(TpvpTreeNode* node)
{
  std::string path = GetNodePath(node);
  if (path.empty() || path[0] != '/') path.insert(0, "/");
  std::string::size_type slash = path.rfind('/');
  SetEditBytes(*FTPPathEdit, path.substr(0, slash + 1));
  SetEditBytes(*FTPFilenameEdit, path.substr(slash + 1));
}

// The tree is listed again along the user's place: the node last selected,
// which stays the place while a mask hides it, so it is selected again once
// the mask shows it.
void TFTPDialog::FTPFileFilterComboChange()
{
  if (!FTPTreeView->isEnabled()) return;
  try {
    MatchesMaskList(LocalBytes(FTPFileFilterCombo->currentText()), std::string());
  } catch (const EMaskException&) {
    return;  // a "[" still open: the user is not done typing
  }
  ShowPath(FPlace);
  FTPTreeView->setFocus();
}
