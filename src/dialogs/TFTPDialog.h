#pragma once
// "Open/Save to FTP": connects to an FTP server, shows its folders in a tree
// and chooses the URL of one remote file (to open or to save a document) or
// of a remote file spec with wildcards (for the batch). One dialog serves the
// whole run: it keeps its URL, its open connection and its controls' contents
// from one use to the next.
//
// Callers: clear GetFilterItems and add every document type's filter; set the
// caption (setWindowTitle), History and Mode; exec(); after Accepted read URL
// (protocol ftp, host, path, file name or spec, user, password, passive).
// In the save mode OK first looks for the name in the chosen folder and asks
// before an existing file is replaced.
//
// A timer (300 ms, from creation to destruction, also while hidden) mirrors
// whether URL is connected: connected disables the host, user, password,
// passive and path controls, enables the tree and makes the connect button
// "&Disconnect"; not connected the other way round.

#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "dialogs/TComboItems.h"
#include "resource/TMRUURL.h"
#include "resource/TURL.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class TDropDownComboBox;
class TImageList;
class TpvpTreeNode;
namespace Ui {
class TFTPDialog;
}

// The dialog's mode: a set of flags in one byte; the empty set is the open
// mode.
using TFTPDialogMode = std::uint8_t;
constexpr TFTPDialogMode fdmSelect = 1;  // a file spec with wildcards is chosen (batch)
constexpr TFTPDialogMode fdmSave = 2;    // a name is typed for saving

// The item list of the filter combo box, as the model's byte strings.
// Changing the list leaves the text in the box as it is.
class TFTPFilterItems {
public:
  explicit TFTPFilterItems(QComboBox& combo) : FItems(combo) {}
  void Clear() { FItems.Clear(); }
  void Add(const std::string& item);
  int Count() const { return FItems.Count(); }
  std::string Get(int index) const;

private:
  TComboItems FItems;
};

class TFTPDialog : public QDialog {
  Q_OBJECT
public:
  explicit TFTPDialog(QWidget* parent = nullptr);
  ~TFTPDialog() override;

  // The address of the browsing connection, and the result.
  TURL URL{"ftp:"};
  // The project's FTP history (not owned): each entry a server with user,
  // password and passive flag. Set by every caller before showing.
  TMRUURL* History = nullptr;
  TFTPDialogMode Mode = 0;

  // The form's components (owned by the dialog).
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  TImageList* ImageList;
  QTimer* Timer;
  QTimer* FilterTimer;  // applies a typed filter once the typing pauses
  QLabel* Label1;
  TDropDownComboBox* FTPHostCombo;
  QCheckBox* FTPPassiveCheckBox;
  QPushButton* FTPConnectBtn;
  QLabel* Label2;
  QLineEdit* FTPUserEdit;
  QLabel* Label3;
  QLineEdit* FTPPasswordEdit;
  QLabel* Label4;
  QLineEdit* FTPPathEdit;
  QTreeWidget* FTPTreeView;
  QLabel* Label7;
  QComboBox* FTPFileFilterCombo;
  QLabel* FTPFilenameLabel;
  QLineEdit* FTPFilenameEdit;

  // Runs the dialog's FTP work (a connect, a folder listing) the way the
  // program runs long work: the main window runs it on a worker thread with
  // progress and Cancel, raising ECancelled when the user cancels. Unassigned,
  // the work runs at once. The work touches no widget.
  using TWorkRunner = std::function<void(const QString& caption, const std::function<void()>& work)>;
  TWorkRunner RunWork;
  // True while long work of the program runs: the connection poll waits.
  std::function<bool()> WorkRunning;

  TFTPFilterItems GetFilterItems();

  // The node selected in the tree; nullptr when none.
  TpvpTreeNode* SelectedNode() const;

  // --- event handlers --------------------------------------------------------
  // Failures of the FTP work (connect, log-in) are shown through the
  // prompter; the dialog stays open and the cursor is restored.
  void FormShow();
  void OKBtnClick();
  void TimerTimer();
  void FTPConnectBtnClick();
  // Points URL at node's folder and lists it; false refuses the expansion
  // (a listing that failed is shown, naming the folder and the reason).
  bool FTPTreeViewExpanding(TpvpTreeNode& node);
  int FTPTreeViewCompare(const TpvpTreeNode& node1, const TpvpTreeNode& node2) const;
  void FTPTreeViewChange(TpvpTreeNode* node);
  // Lists the tree again with the filter's masks along the user's place.
  void FTPFileFilterComboChange();
  void FTPFilenameEditChange();
  void FTPHostComboDropDown();
  void FTPHostComboChange(int index);

protected:
  void showEvent(QShowEvent* event) override;

private:
  // Rebuilds the tree from the root and expands the folders along path; its
  // last segment is looked up among the children of the folder before it
  // and selected when found (nothing is selected otherwise). A folder that
  // cannot be listed ends the walk.
  void ShowPath(std::string path);
  void UpdateButtons();
  // False when target names an existing file that the user does not want
  // replaced.
  bool ReplaceConfirmed(const TURL& target);
  // Expands node through FTPTreeViewExpanding; false when refused.
  bool ExpandNode(TpvpTreeNode& node);
  void TreeItemExpanded(QTreeWidgetItem* item);
  void TreeSelectionChanged();
  // The path edit's text, made absolute: "/" when empty, "/" put before it
  // when it does not begin with one.
  std::string AbsolutePathText();
  void SetControlsConnected(bool connected);
  void Work(const QString& caption, const std::function<void()>& work);

  std::unique_ptr<Ui::TFTPDialog> FUi;
  bool FExpanding = false;  // an expansion runs: the expanded signal is ours
  // The user's place in the tree, as a path for ShowPath: the node last
  // selected, or the folder the tree was opened at.
  std::string FPlace;
};

// Splits the first segment off path: a leading "/" is dropped, then the text
// up to the next "/" is the segment and path keeps what follows it (or the
// whole rest is the segment and path becomes empty).
void SplitFirstSegment(std::string& path, std::string& segment);

// The one FTP dialog (created at start-up with the other forms).
extern TFTPDialog* FTPDialog;
