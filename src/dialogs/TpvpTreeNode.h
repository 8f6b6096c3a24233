#pragma once
// The nodes of a remote folder tree, listed lazily: a root "/", folders that
// list their contents each time they are expanded, and files; folders are
// sorted before files, each group alphabetically ignoring case. A root or
// folder is created with a placeholder child so that it shows an expand
// button before it has been listed.

#include <QTreeWidgetItem>
#include <cstdint>
#include <string>

class QTreeWidget;
class TURL;

enum : std::uint8_t {
  nkRoot = 0,
  nkFolder = 11,
  nkFile = 12,
  nkPlaceholder = 13,
};

// Where AddTreeNode puts a new node relative to the given one: naAdd as the
// last sibling (the last top-level node when there is no relative node),
// naAddChild as the last child.
enum class TNodeAttachMode { naAdd, naAddChild };

class TpvpTreeNode : public QTreeWidgetItem {
public:
  TpvpTreeNode() = default;

  std::uint8_t Kind = nkPlaceholder;
  int ImageIndex = -1;
  int SelectedIndex = -1;

  // The name as given to AddTreeNode (the server's bytes); the text shown is
  // its reading in the local encoding, which need not give the bytes back.
  std::string Caption() const;

  // Replaces the children by the entries of url's folder listing (folders and
  // the files its masks accept). False when the folder could not be listed,
  // with the reason in error: the node then keeps the children it had (its
  // placeholder when it was never listed).
  bool Populate(TURL& url, std::string& error);

  // The tree's order: CompareNodes.
  bool operator<(const QTreeWidgetItem& other) const override;
};

// Creates a node of kind with caption, attached relative to relative; roots
// and folders get their placeholder child. The node is put at its sorted
// place among its siblings (as if they were sorted again after it was added).
TpvpTreeNode* AddTreeNode(QTreeWidget& tree, TpvpTreeNode* relative, TNodeAttachMode mode, std::uint8_t kind,
                          const std::string& caption);

// -1 when node1 sorts first (higher rank: folders, then files, then the
// root and placeholders), 1 when node2 does; equal ranks compare captions
// ignoring the case of ASCII letters.
int CompareNodes(const TpvpTreeNode& node1, const TpvpTreeNode& node2);

// The path of node below the root: "" for the root (and for no node),
// "pub/" for a folder pub, "pub/a.xml" for a file in it.
std::string GetNodePath(const TpvpTreeNode* node);

// True when text holds "*" or "?".
bool HasWildcards(const std::string& text);

// The image index of a kind (normal and selected): 2 root, 1 folder, 0 file,
// -1 for a placeholder.
int NodeImageIndex(std::uint8_t kind);
