#include "dialogs/TBatchDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTabWidget>
#include <initializer_list>

#include "dialogs/DialogHelpers.h"
#include "dialogs/TFTPDialog.h"
#include "dialogs/ToolsDialogSupport.h"
#include "model/ModelModule.h"
#include "model/TFileTypes.h"
#include "platform/Prompter.h"
#include "xmltools/BatchClash.h"
#include "ui_TBatchDialog.h"

using DialogHelpers::EditBytes;
using DialogHelpers::LocalPathBytes;
using DialogHelpers::LocalText;
using DialogHelpers::SetEditBytes;

TBatchDialog* BatchDialog = nullptr;

namespace {

// The folder of a native file name: up to and including its last "/", "\" or ":".
QString NativeFolder(const std::string& nativeName)
{
  std::size_t last = nativeName.find_last_of("\\:/");
  return LocalText(last == std::string::npos ? std::string() : nativeName.substr(0, last + 1));
}

}  // namespace

TBatchDialog::TBatchDialog(QWidget* parent)
    : QDialog(parent),
      FUi(std::make_unique<Ui::TBatchDialog>())
{
  FUi->setupUi(this);
  Label1 = FUi->Label1;
  SourceEdit = FUi->SourceEdit;
  BrowseSourceBtn = FUi->BrowseSourceBtn;
  BrowseSourceFTPBtn = FUi->BrowseSourceFTPBtn;
  RecurseCheck = FUi->RecurseCheck;
  Label3 = FUi->Label3;
  PageControl = FUi->PageControl;
  TabSheet1 = FUi->TabSheet1;
  TagCaseRadio = FUi->TagCaseRadio;
  AttrCaseRadio = FUi->AttrCaseRadio;
  FixAttributesCheck = FUi->FixAttributesCheck;
  FixMismatchCheck = FUi->FixMismatchCheck;
  TabSheet2 = FUi->TabSheet2;
  ValidateCheck = FUi->ValidateCheck;
  TabSheet3 = FUi->TabSheet3;
  Label4 = FUi->Label4;
  XSLFileEdit = FUi->XSLFileEdit;
  BrowseXSLBtn = FUi->BrowseXSLBtn;
  TabSheet4 = FUi->TabSheet4;
  TabSheet5 = FUi->TabSheet5;
  DestLabel = FUi->DestLabel;
  DestEdit = FUi->DestEdit;
  BrowseDestBtn = FUi->BrowseDestBtn;
  BrowseDestFTPBtn = FUi->BrowseDestFTPBtn;
  LogCheck = FUi->LogCheck;
  OKBtn = FUi->OKBtn;
  CancelBtn = FUi->CancelBtn;

  const QIcon open = style()->standardIcon(QStyle::SP_DialogOpenButton);
  const QIcon network = style()->standardIcon(QStyle::SP_DriveNetIcon);
  for (QPushButton* button : {BrowseSourceBtn, BrowseDestBtn, BrowseXSLBtn}) button->setIcon(open);
  for (QPushButton* button : {BrowseSourceFTPBtn, BrowseDestFTPBtn}) button->setIcon(network);
  PageControl->setCurrentWidget(TabSheet3);
  setFixedSize(sizeHint());

  connect(SourceEdit, &QLineEdit::textChanged, this, [this] { SourceEditChange(); });
  connect(DestEdit, &QLineEdit::textChanged, this, [this] { DestEditChange(); });
  connect(BrowseSourceBtn, &QPushButton::clicked, this, [this] { BrowseSourceBtnClick(); });
  connect(BrowseDestBtn, &QPushButton::clicked, this, [this] { BrowseDestBtnClick(); });
  connect(BrowseSourceFTPBtn, &QPushButton::clicked, this, [this] { BrowseSourceFTPBtnClick(); });
  connect(BrowseDestFTPBtn, &QPushButton::clicked, this, [this] { BrowseDestFTPBtnClick(); });
  connect(BrowseXSLBtn, &QPushButton::clicked, this, [this] { BrowseXSLBtnClick(); });
  connect(PageControl, &QTabWidget::currentChanged, this, [this] { PageControlChange(); });
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

TBatchDialog::~TBatchDialog() = default;

// --- accessors -------------------------------------------------------------------

TBatchCommand TBatchDialog::GetAction() const
{
  return static_cast<TBatchCommand>(PageControl->currentIndex());
}

bool TBatchDialog::GetRecurse() const
{
  return RecurseCheck->isChecked();
}

int TBatchDialog::GetTagCase() const
{
  return RadioItemIndex(TagCaseRadio);
}

int TBatchDialog::GetAttrCase() const
{
  return RadioItemIndex(AttrCaseRadio);
}

bool TBatchDialog::GetFixAttributes() const
{
  return FixAttributesCheck->isChecked();
}

bool TBatchDialog::GetFixMismatch() const
{
  return FixMismatchCheck->isChecked();
}

bool TBatchDialog::GetValidate() const
{
  return ValidateCheck->isChecked();
}

std::string TBatchDialog::GetXSLFile() const
{
  return EditBytes(*XSLFileEdit);
}

bool TBatchDialog::GetLogDetails() const
{
  return LogCheck->isChecked();
}

void TBatchDialog::SetLogDetails(bool value)
{
  LogCheck->setChecked(value);
}

void TBatchDialog::UpdateEdits()
{
  Updating = true;
  SetEditBytes(*SourceEdit, Source.GetURL());
  SetEditBytes(*DestEdit, Dest.GetURL());
  Updating = false;
}

// --- event handlers ----------------------------------------------------------------

void TBatchDialog::showEvent(QShowEvent* event)
{
  DialogHelpers::StartShowing(*this, *event, [this] { FormShow(); });
  QDialog::showEvent(event);
}

void TBatchDialog::FormShow()
{
  UpdateEdits();
}

void TBatchDialog::SourceEditChange()
{
  // SetURL keeps user, password and passive flag.
  if (!Updating) Source.SetURL(EditBytes(*SourceEdit));
}

void TBatchDialog::DestEditChange()
{
  if (!Updating) Dest.SetURL(EditBytes(*DestEdit));
}

void TBatchDialog::BrowseFiles(TURL& url, const QString& title, bool save)
{
  const std::string native = url.GetNativeName();
  const QString start = NativeFolder(native) + LocalText(url.FileName);
  const QString filter = PipeFilterToQt(FileTypes().GetFilter());
  // Both take a typed name or mask as it is: a file spec names files, not one file.
  QString name = save ? Prompter().GetSaveFileName(title, start, filter, nullptr)
                      : Prompter().GetFileSpec(title, start, filter, nullptr);
  if (name.isEmpty()) return;
  url.SetNativeName(LocalPathBytes(name));
  UpdateEdits();
}

void TBatchDialog::BrowseSourceBtnClick()
{
  BrowseFiles(Source, "Select Source Files", false);
}

void TBatchDialog::BrowseDestBtnClick()
{
  BrowseFiles(Dest, "Select Destination Files", true);
}

void TBatchDialog::BrowseFTP(TURL& url, const QString& title)
{
  if (!FTPDialog) return;
  TFTPFilterItems filters = FTPDialog->GetFilterItems();
  filters.Clear();
  TFileTypes& types = FileTypes();
  for (int i = 0; i < types.Count(); ++i) filters.Add(types.GetFileType(i).Filter);
  FTPDialog->setWindowTitle(title);
  FTPDialog->History = &Project().FtpHistory;
  FTPDialog->Mode = fdmSelect;
  if (FTPDialog->exec() != QDialog::Accepted) return;
  // Host, path, file spec, user, password and passive flag.
  url.Assign(FTPDialog->URL);
  UpdateEdits();
}

void TBatchDialog::BrowseSourceFTPBtnClick()
{
  BrowseFTP(Source, "Select Source Files");
}

void TBatchDialog::BrowseDestFTPBtnClick()
{
  BrowseFTP(Dest, "Select Destination Files");
}

void TBatchDialog::BrowseXSLBtnClick()
{
  QString name = Prompter().GetOpenFileName("Open XSL File", XSLFileEdit->text(),
                                            PipeFilterToQt("XSL Files|*.xsl;*.xslt|All files|*.*"), nullptr);
  if (!name.isEmpty()) SetEditBytes(*XSLFileEdit, LocalPathBytes(name));
}

void TBatchDialog::PageControlChange()
{
  // Check and Delete write nothing: they have no destination.
  const int page = PageControl->currentIndex();
  const bool usesDest = page != bcCheck && page != bcDelete;
  for (QWidget* control : std::initializer_list<QWidget*>{DestEdit, DestLabel, BrowseDestBtn, BrowseDestFTPBtn})
    control->setEnabled(usesDest);
}

void TBatchDialog::OKBtnClick()
{
  const int page = PageControl->currentIndex();
  const bool writes = page == bcHTMLToXML || page == bcTransform || page == bcCopy;
  if (writes && BatchSpecsClash(Source, Dest, GetRecurse())) {
    TPrompter::TAnswer answer =
        Prompter().MessageBox("Incompatible Source and Destination names",
                              "Source and Destination File specs clash! Source files might get overwritten.\r\n\r\n"
                              "Are you sure you want to continue?",
                              TPrompter::TIcon::Error, TPrompter::TButtons::YesNo);
    if (answer != TPrompter::TAnswer::Yes) return;
  }
  accept();
}
