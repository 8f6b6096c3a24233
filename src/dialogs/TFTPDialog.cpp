#include "dialogs/TFTPDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <exception>
#include <initializer_list>

#include "dialogs/DialogHelpers.h"
#include "dialogs/TDropDownComboBox.h"
#include "dialogs/TImageList.h"
#include "dialogs/TpvpTreeNode.h"
#include "platform/Prompter.h"
#include "resource/TWorkProgress.h"
#include "ui_TFTPDialog.h"

TFTPDialog* FTPDialog = nullptr;

using namespace DialogHelpers;

namespace {

constexpr int kTimerInterval = 300;
constexpr int kFilterPause = 600;  // ms without a keystroke before a typed filter is applied
const char* const kConnectCaption = "&Connect";
const char* const kDisconnectCaption = "&Disconnect";
const char* const kAllFilesFilter = "*.*;*";

// The hourglass for the length of a scope, however the scope ends.
class TBusy {
public:
  TBusy() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TBusy() { QApplication::restoreOverrideCursor(); }
  TBusy(const TBusy&) = delete;
  TBusy& operator=(const TBusy&) = delete;
};

// Runs an event handler; a failure is shown as the application shows errors.
template <typename Handler>
void Guarded(Handler handler)
{
  try {
    handler();
  } catch (const ECancelled&) {
    // The user stopped the work: nothing to report.
  } catch (const std::exception& error) {
    Prompter().ShowMessage(QString::fromLocal8Bit(error.what()));
  }
}

}  // namespace

// --- TFTPFilterItems -----------------------------------------------------------

void TFTPFilterItems::Add(const std::string& item)
{
  FItems.Add(LocalText(item));
}

std::string TFTPFilterItems::Get(int index) const
{
  return LocalBytes(FItems.Get(index));
}

// --- SplitFirstSegment -----------------------------------------------------------

void SplitFirstSegment(std::string& path, std::string& segment)
{
  if (!path.empty() && path[0] == '/') path.erase(0, 1);
  std::string::size_type slash = path.find('/');
  if (slash == std::string::npos) {
    segment = path;
    path.clear();
  } else {
    segment = path.substr(0, slash);
    path.erase(0, slash + 1);
  }
}

// --- TFTPDialog --------------------------------------------------------------------

TFTPDialog::TFTPDialog(QWidget* parent)
    : QDialog(parent),
      FUi(std::make_unique<Ui::TFTPDialog>())
{
  FUi->setupUi(this);
  OKBtn = FUi->OKBtn;
  CancelBtn = FUi->CancelBtn;
  Label1 = FUi->Label1;
  FTPHostCombo = FUi->FTPHostCombo;
  FTPPassiveCheckBox = FUi->FTPPassiveCheckBox;
  FTPConnectBtn = FUi->FTPConnectBtn;
  Label2 = FUi->Label2;
  FTPUserEdit = FUi->FTPUserEdit;
  Label3 = FUi->Label3;
  FTPPasswordEdit = FUi->FTPPasswordEdit;
  Label4 = FUi->Label4;
  FTPPathEdit = FUi->FTPPathEdit;
  FTPTreeView = FUi->FTPTreeView;
  Label7 = FUi->Label7;
  FTPFileFilterCombo = FUi->FTPFileFilterCombo;
  FTPFilenameLabel = FUi->FTPFilenameLabel;
  FTPFilenameEdit = FUi->FTPFilenameEdit;

  // A tool window without border icons.
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

  ImageList = new TImageList(this);
  ImageList->setObjectName("ImageList");
  QStyle* style = this->style();
  ImageList->Images = {style->standardIcon(QStyle::SP_FileIcon), style->standardIcon(QStyle::SP_DirIcon),
                       style->standardIcon(QStyle::SP_DriveNetIcon)};
  SetTreeImages(*FTPTreeView, ImageList);
  FTPTreeView->setSelectionMode(QAbstractItemView::SingleSelection);
  FTPTreeView->setSortingEnabled(false);  // nodes are inserted at their sorted places

  connect(OKBtn, &QPushButton::clicked, this, [this] { Guarded([this] { OKBtnClick(); }); });
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(FTPConnectBtn, &QPushButton::clicked, this, [this] { Guarded([this] { FTPConnectBtnClick(); }); });
  connect(FTPTreeView, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { TreeItemExpanded(item); });
  connect(FTPTreeView, &QTreeWidget::itemSelectionChanged, this, [this] { TreeSelectionChanged(); });
  // Only the user's changes of the filter list the folders again: a filter
  // chosen from the list at once, a typed one when the typing pauses (each
  // keystroke would list the server again, through masks such as "*.x" that
  // the user is only passing through).
  FilterTimer = new QTimer(this);
  FilterTimer->setObjectName("FilterTimer");
  FilterTimer->setSingleShot(true);
  FilterTimer->setInterval(kFilterPause);
  connect(FilterTimer, &QTimer::timeout, this, [this] { Guarded([this] { FTPFileFilterComboChange(); }); });
  connect(FTPFileFilterCombo->lineEdit(), &QLineEdit::textEdited, FilterTimer, qOverload<>(&QTimer::start));
  auto filterNow = [this] {
    FilterTimer->stop();
    Guarded([this] { FTPFileFilterComboChange(); });
  };
  connect(FTPFileFilterCombo, &QComboBox::textActivated, this, filterNow);
  connect(FTPFileFilterCombo->lineEdit(), &QLineEdit::returnPressed, this, filterNow);
  connect(FTPFilenameEdit, &QLineEdit::textChanged, this, [this] { FTPFilenameEditChange(); });
  FTPHostCombo->OnDropDown = [this] { FTPHostComboDropDown(); };
  connect(FTPHostCombo, &QComboBox::activated, this, [this](int index) { FTPHostComboChange(index); });

  Timer = new QTimer(this);
  Timer->setObjectName("Timer");
  Timer->setInterval(kTimerInterval);
  connect(Timer, &QTimer::timeout, this, [this] { TimerTimer(); });
  Timer->start();
}

TFTPDialog::~TFTPDialog() = default;

TFTPFilterItems TFTPDialog::GetFilterItems()
{
  return TFTPFilterItems(*FTPFileFilterCombo);
}

TpvpTreeNode* TFTPDialog::SelectedNode() const
{
  const QList<QTreeWidgetItem*> selected = FTPTreeView->selectedItems();
  return selected.isEmpty() ? nullptr : dynamic_cast<TpvpTreeNode*>(selected.first());
}

void TFTPDialog::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  // The window system showing the window again (its minimised owner restored)
  // is no new use: what the user typed and the tree stay.
  if (!event->spontaneous()) Guarded([this] { FormShow(); });
}

void TFTPDialog::FormShow()
{
  TBusy busy;
  FTPFileFilterCombo->setEditText(kAllFilesFilter);
  SetEditBytes(*FTPHostCombo->lineEdit(), URL.Host);
  SetEditBytes(*FTPUserEdit, URL.User);
  SetEditBytes(*FTPPasswordEdit, URL.Password);
  FTPPassiveCheckBox->setChecked(URL.Passive);
  SetEditBytes(*FTPPathEdit, URL.Path);
  if (URL.IsConnected()) {
    FPlace = URL.Path + URL.FileName;
    ShowPath(FPlace);
    FTPTreeView->setFocus();
  }
  UpdateButtons();
}

void TFTPDialog::OKBtnClick()
{
  // A folder typed without its final "/" is still the folder: joined as it
  // is, the path /pub and the name a.xml would name the file /puba.xml.
  std::string path = AbsolutePathText();
  if (path.back() != '/') path += '/';
  SetEditBytes(*FTPPathEdit, path);
  TURL chosen("ftp:" + EditBytes(*FTPHostCombo->lineEdit()) + path + EditBytes(*FTPFilenameEdit));
  chosen.SetUser(EditBytes(*FTPUserEdit));
  chosen.SetPassword(EditBytes(*FTPPasswordEdit));
  chosen.SetPassive(FTPPassiveCheckBox->isChecked());
  if ((Mode & fdmSave) && !ReplaceConfirmed(chosen)) return;
  URL.Disconnect();  // the browsing connection; the caller's read or write connects again
  URL.Assign(chosen);
  accept();
}

// As the save dialog for local files does: a file of that name is replaced
// only when the user says so. A folder that cannot be listed is not asked
// about; the write that follows reports what is wrong.
bool TFTPDialog::ReplaceConfirmed(const TURL& target)
{
  TURL folder(target);
  folder.SetFileName("*");
  TBusy busy;
  int count = 0;
  Work("Save File to FTP", [&folder, &count] { count = folder.GetCount(); });
  bool exists = false;
  for (int i = 0; i < count && !exists; ++i) {
    const TFolderItem& item = folder.GetItem(i);
    exists = item.Kind == TFolderItem::kFile && item.Name == target.FileName;
  }
  if (!exists) return true;
  return Prompter().MessageBox(windowTitle(),
                               LocalText(target.FileName) + " already exists.\nDo you want to replace it?",
                               TPrompter::TIcon::Warning, TPrompter::TButtons::YesNo) == TPrompter::TAnswer::Yes;
}

void TFTPDialog::TimerTimer()
{
  if (WorkRunning && WorkRunning()) return;
  bool connected = false;
  try {
    connected = URL.IsConnected();
  } catch (const std::exception&) {
    connected = false;  // a poll has nobody to tell
  }
  SetControlsConnected(connected);
  Timer->setInterval(kTimerInterval);
}

void TFTPDialog::SetControlsConnected(bool connected)
{
  for (QWidget* control :
       std::initializer_list<QWidget*>{FTPHostCombo, FTPUserEdit, FTPPasswordEdit, FTPPassiveCheckBox, FTPPathEdit})
    control->setEnabled(!connected);
  FTPTreeView->setEnabled(connected);
  FTPConnectBtn->setText(connected ? kDisconnectCaption : kConnectCaption);
}

void TFTPDialog::FTPConnectBtnClick()
{
  if (FTPConnectBtn->text() == kDisconnectCaption) {
    URL.Disconnect();
    return;
  }
  std::string host = EditBytes(*FTPHostCombo->lineEdit());
  if (host.empty()) return;
  TBusy busy;
  URL.SetURL("ftp:" + host);
  URL.SetUser(EditBytes(*FTPUserEdit));
  URL.SetPassword(EditBytes(*FTPPasswordEdit));
  URL.SetPassive(FTPPassiveCheckBox->isChecked());
  Work("Connect", [this] { URL.Connect(); });
  FTPTreeView->clear();
  std::string path = AbsolutePathText();
  SetEditBytes(*FTPPathEdit, path);
  FPlace = path + LocalBytes(FTPFileFilterCombo->currentText());
  ShowPath(FPlace);
  FTPTreeView->setEnabled(true);
  FTPTreeView->setFocus();
}

void TFTPDialog::Work(const QString& caption, const std::function<void()>& work)
{
  if (RunWork)
    RunWork(caption, work);
  else
    work();
}

std::string TFTPDialog::AbsolutePathText()
{
  std::string path = EditBytes(*FTPPathEdit);
  if (path.empty() || path[0] != '/') path.insert(0, "/");
  return path;
}

void TFTPDialog::FTPFilenameEditChange()
{
  UpdateButtons();
}

void TFTPDialog::UpdateButtons()
{
  bool nameTyped = (Mode & (fdmSelect | fdmSave)) != 0;
  FTPFilenameEdit->setEnabled(nameTyped);
  FTPFilenameLabel->setEnabled(nameTyped);
  std::string name = EditBytes(*FTPFilenameEdit);
  OKBtn->setEnabled(!name.empty() && ((Mode & fdmSelect) || !HasWildcards(name)));
}

void TFTPDialog::FTPHostComboDropDown()
{
  TComboItems hosts(*FTPHostCombo);
  hosts.Clear();
  if (!History) return;
  for (int i = 0; i < History->Count(); ++i) hosts.Add(LocalText(History->GetItem(i).Host));
}

void TFTPDialog::FTPHostComboChange(int index)
{
  if (!History || index < 0 || index >= History->Count()) return;
  const TURL& entry = History->GetItem(index);
  SetEditBytes(*FTPUserEdit, entry.User);
  SetEditBytes(*FTPPasswordEdit, entry.Password);
  FTPPassiveCheckBox->setChecked(entry.Passive);
}
