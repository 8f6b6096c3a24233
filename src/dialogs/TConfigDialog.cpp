#include "dialogs/TConfigDialog.h"

// The dialog itself and its "Editor Options" page; the "Keyboard" page is in
// TConfigDialogKeys.cpp, the "File types" page in TConfigDialogFileTypes.cpp.

#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTableWidget>

#include "dialogs/DialogHelpers.h"
#include "dialogs/TColorBox.h"
#include "dialogs/TDropDownComboBox.h"
#include "dialogs/THotKey.h"
#include "model/ApplicationCommands.h"
#include "model/EditorCommands.h"
#include "model/IntegerText.h"
#include "model/ModelModule.h"
#include "platform/ConfigValues.h"
#include "resource/TScopedSetting.h"
#include "ui_TConfigDialog.h"

TConfigDialog* ConfigDialog = nullptr;

using DialogHelpers::LocalBytes;
using DialogHelpers::LocalText;

namespace {

constexpr int DefaultTabWidth = 8;
constexpr int DefaultRightEdgeColumn = 80;

TConfigDialog::TFontChooser& FontChooser()
{
  static TConfigDialog::TFontChooser chooser;
  return chooser;
}

bool PlatformFontDialog(QWidget* parent, TConfigFont& font, bool fixedPitchOnly)
{
  bool ok = false;
  QFontDialog::FontDialogOptions options;
  if (fixedPitchOnly) options |= QFontDialog::MonospacedFonts;
  QFont chosen = QFontDialog::getFont(&ok, QFontFromConfig(font), parent, QString(), options);
  if (!ok) return false;
  font.SetName(LocalBytes(chosen.family()));
  if (chosen.pointSize() > 0) font.Size = chosen.pointSize();
  font.Style.Bold = chosen.bold();
  font.Style.Italic = chosen.italic();
  font.Style.Underline = chosen.underline();
  font.Style.StrikeOut = chosen.strikeOut();
  return true;
}

}  // namespace

TConfigDialog::TConfigDialog(QWidget* parent)
    : QDialog(parent),
      FUi(std::make_unique<Ui::TConfigDialog>())
{
  FUi->setupUi(this);
  setObjectName("ConfigDialog");
  PageControl = FUi->PageControl;
  BackgroundColorBox = FUi->BackgroundColorBox;
  TabWidthEdit = FUi->TabWidthEdit;
  FontBtn = FUi->FontBtn;
  GutterVisibleCheck = FUi->GutterVisibleCheck;
  GutterAutosizeCheck = FUi->GutterAutosizeCheck;
  GutterLineNumbersCheck = FUi->GutterLineNumbersCheck;
  GutterStartAtZeroCheck = FUi->GutterStartAtZeroCheck;
  GutterLeadingZerosCheck = FUi->GutterLeadingZerosCheck;
  GutterColorBox = FUi->GutterColorBox;
  GutterFontBtn = FUi->GutterFontBtn;
  RightEdgeColumnEdit = FUi->RightEdgeColumnEdit;
  RightEdgeColorBox = FUi->RightEdgeColorBox;
  SelectedTextColorBox = FUi->SelectedTextColorBox;
  SelectedBackgroundColorBox = FUi->SelectedBackgroundColorBox;
  KeyListView = FUi->KeyListView;
  CategoryCombo = FUi->CategoryCombo;
  CommandCombo = FUi->CommandCombo;
  HotKey1 = FUi->HotKey1;
  HotKey2 = FUi->HotKey2;
  AddKeyBtn = FUi->AddKeyBtn;
  RemoveKeyBtn = FUi->RemoveKeyBtn;
  FileTypesListBox = FUi->FileTypesListBox;
  EditBtn = FUi->EditBtn;
  DeleteBtn = FUi->DeleteBtn;
  AddBtn = FUi->AddBtn;
  UpBtn = FUi->UpBtn;
  DownBtn = FUi->DownBtn;
  OKBtn = FUi->OKBtn;
  CancelBtn = FUi->CancelBtn;

  // Enter is OK's wherever the focus is (except in the key-capture fields).
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);
  OKBtn->setDefault(true);

  connect(OKBtn, &QPushButton::clicked, this, &TConfigDialog::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(FontBtn, &QPushButton::clicked, this, &TConfigDialog::FontBtnClick);
  connect(GutterFontBtn, &QPushButton::clicked, this, &TConfigDialog::GutterFontBtnClick);

  connect(KeyListView, &QTableWidget::itemSelectionChanged, this, [this] {
    int row = SelectedKeyRow();
    if (!FUpdating && row >= 0) KeyListViewSelectItem(row);
  });
  connect(CategoryCombo, &QComboBox::editTextChanged, this, [this] {
    if (!FUpdating) CategoryComboChange();
  });
  connect(CommandCombo, &QComboBox::editTextChanged, this, [this] {
    if (!FUpdating) CommandComboChange();
  });
  CommandCombo->OnDropDown = [this] { CommandComboDropDown(); };
  HotKey1->OnChange = [this] { HotKey1Change(); };
  HotKey2->OnChange = [this] { HotKey2Change(); };
  connect(AddKeyBtn, &QPushButton::clicked, this, &TConfigDialog::AddKeyBtnClick);
  connect(RemoveKeyBtn, &QPushButton::clicked, this, &TConfigDialog::RemoveKeyBtnClick);

  connect(EditBtn, &QPushButton::clicked, this, [this] { FileTypesCommand(&TConfigDialog::EditBtnClick); });
  connect(FileTypesListBox, &QListWidget::itemDoubleClicked, this,
          [this] { FileTypesCommand(&TConfigDialog::EditBtnClick); });
  connect(DeleteBtn, &QPushButton::clicked, this, [this] { FileTypesCommand(&TConfigDialog::DeleteBtnClick); });
  connect(AddBtn, &QPushButton::clicked, this, [this] { FileTypesCommand(&TConfigDialog::AddBtnClick); });
  connect(UpBtn, &QPushButton::clicked, this, [this] { FileTypesCommand(&TConfigDialog::UpBtnClick); });
  connect(DownBtn, &QPushButton::clicked, this, [this] { FileTypesCommand(&TConfigDialog::DownBtnClick); });

  FormCreate();
}

TConfigDialog::~TConfigDialog() = default;

void TConfigDialog::SetFontChooser(TFontChooser chooser)
{
  FontChooser() = std::move(chooser);
}

void TConfigDialog::FormCreate()
{
  setSizeGripEnabled(true);
  setMinimumSize(468, 330);
  FEditorCommandNames.clear();
  GetEditorCommandValues([this](const std::string& ident) { FEditorCommandNames << LocalText(ident); });
  FApplicationCommandNames.clear();
  for (const char* name : ::ApplicationCommandNames()) FApplicationCommandNames << name;
  PageControl->setCurrentIndex(2);
}

void TConfigDialog::showEvent(QShowEvent* event)
{
  if (!event->spontaneous()) FormShow();
  QDialog::showEvent(event);
}

void TConfigDialog::FormShow()
{
  LoadFromConfig();
}

// ---- loading and storing ----------------------------------------------------------

void TConfigDialog::LoadFromConfig()
{
  const TConfigInfo& config = ConfigInfo();
  {
    TScopedSetting<bool> updating(FUpdating, true);
    GutterVisibleCheck->setChecked(config.GutterVisible);
    GutterAutosizeCheck->setChecked(config.GutterAutoSize);
    GutterLineNumbersCheck->setChecked(config.GutterLineNumbers);
    GutterStartAtZeroCheck->setChecked(config.GutterStartAtZero);
    GutterLeadingZerosCheck->setChecked(config.GutterLeadingZeros);
    GutterColorBox->SetSelected(config.GutterColor);
    BackgroundColorBox->SetSelected(config.BackgroundColor);
    RightEdgeColorBox->SetSelected(config.RightEdgeColor);
    SelectedTextColorBox->SetSelected(config.SelectedColor);
    SelectedBackgroundColorBox->SetSelected(config.SelectedBackground);
    TabWidthEdit->setText(QString::number(config.TabWidth));
    RightEdgeColumnEdit->setText(QString::number(config.RightEdgeColumn));
  }
  LoadKeyList();
  LoadFileTypeList();
}

void TConfigDialog::StoreToConfig()
{
  TConfigInfo& config = ConfigInfo();
  config.GutterVisible = GutterVisibleCheck->isChecked();
  config.GutterAutoSize = GutterAutosizeCheck->isChecked();
  config.GutterLineNumbers = GutterLineNumbersCheck->isChecked();
  config.GutterStartAtZero = GutterStartAtZeroCheck->isChecked();
  config.GutterLeadingZeros = GutterLeadingZerosCheck->isChecked();
  config.GutterColor = GutterColorBox->Selected();
  config.BackgroundColor = BackgroundColorBox->Selected();
  config.RightEdgeColor = RightEdgeColorBox->Selected();
  config.SelectedColor = SelectedTextColorBox->Selected();
  config.SelectedBackground = SelectedBackgroundColorBox->Selected();
  config.TabWidth = StrToIntDef(LocalBytes(TabWidthEdit->text()), DefaultTabWidth);
  config.RightEdgeColumn = StrToIntDef(LocalBytes(RightEdgeColumnEdit->text()), DefaultRightEdgeColumn);
  StoreKeyList();
}

void TConfigDialog::OKBtnClick()
{
  if (!AcceptKeyClashes()) return;
  StoreToConfig();
  accept();
}

// ---- fonts ------------------------------------------------------------------------

void TConfigDialog::ChooseFont(TConfigFont& font, bool fixedPitchOnly)
{
  TConfigFont chosen = font;
  bool confirmed = FontChooser() ? FontChooser()(this, chosen, fixedPitchOnly)
                                 : PlatformFontDialog(this, chosen, fixedPitchOnly);
  if (confirmed) font = chosen;
}

void TConfigDialog::GutterFontBtnClick() { ChooseFont(ConfigInfo().GutterFont, true); }
void TConfigDialog::FontBtnClick() { ChooseFont(ConfigInfo().EditorFont, false); }
