#include "dialogs/TTransformDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>

#include "dialogs/DialogHelpers.h"
#include "dialogs/ToolsDialogSupport.h"
#include "platform/Prompter.h"
#include "ui_TTransformDialog.h"

using DialogHelpers::EditBytes;
using DialogHelpers::LocalText;

TTransformDialog* TransformDialog = nullptr;

TTransformDialog::TTransformDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      FUi(std::make_unique<Ui::TTransformDialog>())
{
  FUi->setupUi(this);
  Label1 = FUi->Label1;
  XSLCombo = FUi->XSLCombo;
  BrowseBtn = FUi->BrowseBtn;
  Label2 = FUi->Label2;
  FileTypeCombo = FUi->FileTypeCombo;
  OKBtn = FUi->OKBtn;
  CancelBtn = FUi->CancelBtn;

  BrowseBtn->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  setFixedHeight(185);
  setMinimumWidth(260);
  connect(BrowseBtn, &QPushButton::clicked, this, [this] { BrowseBtnClick(); });
  connect(OKBtn, &QPushButton::clicked, this, [this] {
    OKBtnClick();
    accept();
  });
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

TTransformDialog::~TTransformDialog() = default;

std::string TTransformDialog::GetStyleSheetName() const
{
  // An open document is named by the bytes of its URL text, which its shown
  // text need not give back (a Latin-1 file name).
  const QString text = XSLCombo->currentText();
  const int item = XSLCombo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (text.startsWith('*') && item >= 0) return XSLCombo->itemData(item).toByteArray().toStdString();
  // A path keeps the bytes the file dialog's choice stands for.
  std::string name = EditBytes(*XSLCombo->lineEdit());
  if (!name.empty() && name[0] == '*') name.erase(0, 1);
  return name;
}

bool TTransformDialog::StyleSheetIsOpenDocument() const
{
  return XSLCombo->currentText().startsWith('*');
}

int TTransformDialog::GetFileTypeIndex() const
{
  return FileTypeCombo->currentIndex();
}

void TTransformDialog::showEvent(QShowEvent* event)
{
  DialogHelpers::StartShowing(*this, *event, [this] { FormShow(); });
  QDialog::showEvent(event);
}

void TTransformDialog::FormShow()
{
  // The item list is rebuilt; the text the user typed or chose stays.
  const QString text = XSLCombo->currentText();
  XSLCombo->clear();
  QStringList items;
  for (const std::string& url : FOpenStyleSheets) {
    items << "*" + LocalText(url);
    XSLCombo->addItem(items.last(), QByteArray::fromStdString(url));
  }
  // A "*" choice whose document has been closed is no choice any more.
  XSLCombo->setEditText(text.startsWith('*') && !items.contains(text) ? QString() : text);

  int index = FileTypeCombo->currentIndex();
  FileTypeCombo->clear();
  FileTypeCombo->addItems(DialogHelpers::FileTypeTitles());
  if (index < 0) index = 0;
  if (index >= FileTypeCombo->count()) index = FileTypeCombo->count() - 1;
  FileTypeCombo->setCurrentIndex(index);
}

void TTransformDialog::BrowseBtnClick()
{
  QString start = XSLCombo->currentText().startsWith('*') ? QString() : XSLCombo->currentText();
  QString name = Prompter().GetOpenFileName("Select Style Sheet", start,
                                            PipeFilterToQt("XSL Stylesheets [*.xsl]|*.xsl|All files [*.*]|*.*"),
                                            nullptr);
  if (!name.isEmpty()) DialogHelpers::SetEditBytes(*XSLCombo->lineEdit(), DialogHelpers::LocalPathBytes(name));
}
