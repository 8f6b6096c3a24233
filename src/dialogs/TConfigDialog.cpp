#include "dialogs/TConfigDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTableWidget>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "dialogs/DialogHelpers.h"
#include "dialogs/TColorBox.h"
#include "dialogs/TConfigureFileDialog.h"
#include "dialogs/TDropDownComboBox.h"
#include "dialogs/THotKey.h"
#include "model/ApplicationCommands.h"
#include "model/EditorCommands.h"
#include "model/IntegerText.h"
#include "model/ModelModule.h"
#include "model/ShortcutClashes.h"
#include "model/TFileTypes.h"
#include "platform/ConfigValues.h"
#include "platform/Prompter.h"
#include "resource/EResourceError.h"
#include "resource/ProgramFile.h"
#include "resource/TScopedSetting.h"
#include "ui_TConfigDialog.h"

TConfigDialog* ConfigDialog = nullptr;

namespace fs = std::filesystem;

using DialogHelpers::LocalBytes;
using DialogHelpers::LocalText;

namespace {

constexpr int CommandColumn = 0;
constexpr int KeyColumn = 1;
constexpr int Key2Column = 2;
constexpr int BytesRole = Qt::UserRole;  // a cell's text as the model's bytes
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

// The settings of a document type that the editing dialog shows.
struct TFileTypeSettings {
  std::string Id, Title, MimeType, Filter, Highlighter, NewFileName, HelpFile, Preview1, Preview2, Preview3,
      ConfigFile;
  bool AutoComplete = false;

  static TFileTypeSettings Of(const TFileType& type)
  {
    return {type.Id,       type.Title,    type.MimeType, type.Filter,   type.Highlighter, type.NewFileName,
            type.HelpFile, type.Preview1, type.Preview2, type.Preview3, type.ConfigFile,  type.AutoComplete};
  }

  static TFileTypeSettings Of(const TConfigureFileDialog& dialog)
  {
    return {dialog.GetID(),       dialog.GetTitle(),    dialog.GetMimeType(), dialog.GetFilter(),
            dialog.GetHighlighter(), dialog.GetNewFileName(), dialog.GetHelpFile(), dialog.GetPreview1(),
            dialog.GetPreview2(), dialog.GetPreview3(), dialog.GetConfigFile(), dialog.GetAutoComplete()};
  }

  // Everything but the definition file's path, which only Edit takes over.
  void ApplyTo(TFileType& type) const
  {
    type.Id = Id;
    type.Title = Title;
    type.MimeType = MimeType;
    type.Filter = Filter;
    type.SetHighlighter(Highlighter);
    type.AutoComplete = AutoComplete;
    type.NewFileName = NewFileName;
    type.HelpFile = HelpFile;
    type.Preview1 = Preview1;
    type.Preview2 = Preview2;
    type.Preview3 = Preview3;
  }

  void ShowIn(TConfigureFileDialog& dialog) const
  {
    dialog.SetID(Id);
    dialog.SetTitle(Title);
    dialog.SetMimeType(MimeType);
    dialog.SetFilter(Filter);
    dialog.SetHighlighter(Highlighter);
    dialog.SetAutoComplete(AutoComplete);
    dialog.SetNewFileName(NewFileName);
    dialog.SetHelpFile(HelpFile);
    dialog.SetPreview1(Preview1);
    dialog.SetPreview2(Preview2);
    dialog.SetPreview3(Preview3);
    dialog.SetConfigFile(ConfigFile);
  }
};

// The settings a new document type starts from.
TFileTypeSettings NewTypeSettings()
{
  TFileTypeSettings settings;
  settings.Id = "???";
  settings.Title = "??? Files";
  settings.MimeType = "text/???";
  settings.Filter = "*.???";
  settings.Highlighter = "XML";
  settings.AutoComplete = false;
  settings.NewFileName = "new.???";
  settings.Preview1 = "*";
  return settings;
}

// The rows whose keys the binding at row would take. A first key that other
// sequences begin with is not asked about while the row has no second key:
// it may yet become a sequence too (OK still lists it).
std::vector<int> ClashesToAskAbout(const std::vector<TShortcutItem>& bindings, int row)
{
  std::vector<int> clashes = FindKeyClashes(bindings, row);
  const TShortcutItem& binding = bindings[static_cast<size_t>(row)];
  if (!binding.IsEditorCommand() || binding.Key2 != scNone) return clashes;
  clashes.erase(std::remove_if(clashes.begin(), clashes.end(),
                               [&](int other) {
                                 const TShortcutItem& holder = bindings[static_cast<size_t>(other)];
                                 return holder.IsEditorCommand() && holder.Key2 != scNone;
                               }),
                clashes.end());
  return clashes;
}

// "pvFileNew, ecSetMarker1 (Ctrl+K, 1)": the commands of the rows, each with
// its own keys where they differ from keys.
std::string HoldersText(const std::vector<TShortcutItem>& bindings, const std::vector<int>& rows,
                        const std::string& keys)
{
  std::string text;
  for (int row : rows) {
    const TShortcutItem& holder = bindings[static_cast<size_t>(row)];
    if (!text.empty()) text += ", ";
    text += holder.Command;
    if (BindingKeysText(holder) != keys) text += " (" + BindingKeysText(holder) + ")";
  }
  return text;
}

// One line per two bindings that claim one key, "\nA (keys) and B (keys)";
// firstRow := the later row of the first pair. Empty when none do.
std::string ClashingPairsText(const std::vector<TShortcutItem>& bindings, int& firstRow)
{
  std::string text;
  for (int row = 0; row < static_cast<int>(bindings.size()); ++row) {
    const TShortcutItem& second = bindings[static_cast<size_t>(row)];
    for (int other : FindKeyClashes(bindings, row)) {
      if (other > row) continue;
      const TShortcutItem& first = bindings[static_cast<size_t>(other)];
      text += "\n" + first.Command + " (" + BindingKeysText(first) + ") and " + second.Command + " (" +
              BindingKeysText(second) + ")";
      if (firstRow < 0) firstRow = row;
    }
  }
  return text;
}

void CreateFolder(const std::string& folder)
{
  std::error_code error;
  fs::create_directories(folder, error);
  if (error)
    throw EFCreateError("Cannot create file \"" + folder + "\". " + error.message());
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

void TConfigDialog::LoadKeyList()
{
  const TConfigInfo& config = ConfigInfo();
  TScopedSetting<bool> updating(FUpdating, true);
  KeyListView->clearSelection();
  KeyListView->setRowCount(0);
  KeyListView->setRowCount(config.ShortcutCount());
  for (int i = 0; i < config.ShortcutCount(); ++i) {
    const TShortcutItem& item = *config.GetShortcut(i);
    SetKeyRow(i, item.Command, item.GetKeyText(), item.GetKey2Text());
  }
  if (KeyListView->rowCount() > 0) {
    KeyListView->selectRow(0);
    KeyListViewSelectItem(0);
  } else {
    CommandCombo->clearEditText();
    HotKey1->SetHotKey(scNone);
    HotKey2->SetHotKey(scNone);
  }
}

void TConfigDialog::LoadFileTypeList()
{
  FileTypesListBox->clear();
  FileTypesListBox->addItems(DialogHelpers::FileTypeTitles());
  // The place after the last type (Add appends there).
  FileTypesListBox->addItem(QString());
  FileTypesListBox->clearSelection();
  FileTypesListBox->setCurrentRow(-1);
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
  config.ClearShortcuts();
  for (int row = 0; row < KeyListView->rowCount(); ++row) {
    TShortcutItem& item = config.AddShortcut();
    item.SetKeyText(KeyCell(row, KeyColumn));
    item.SetKey2Text(KeyCell(row, Key2Column));
    item.Command = KeyCell(row, CommandColumn);
  }
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

// ---- key bindings -----------------------------------------------------------------

void TConfigDialog::SetKeyRow(int row, const std::string& command, const std::string& key, const std::string& key2)
{
  const std::string* texts[] = {&command, &key, &key2};
  for (int column = CommandColumn; column <= Key2Column; ++column) {
    QTableWidgetItem* cell = KeyListView->item(row, column);
    if (!cell) {
      cell = new QTableWidgetItem;
      KeyListView->setItem(row, column, cell);
    }
    cell->setText(LocalText(*texts[column]));
    cell->setData(BytesRole, QByteArray::fromStdString(*texts[column]));
  }
}

TShortcutItem TConfigDialog::KeyRowBinding(int row) const
{
  TShortcutItem binding;
  binding.Command = KeyCell(row, CommandColumn);
  binding.SetKeyText(KeyCell(row, KeyColumn));
  binding.SetKey2Text(KeyCell(row, Key2Column));
  return binding;
}

std::vector<TShortcutItem> TConfigDialog::KeyRowBindings() const
{
  std::vector<TShortcutItem> bindings;
  for (int row = 0; row < KeyListView->rowCount(); ++row) bindings.push_back(KeyRowBinding(row));
  return bindings;
}

void TConfigDialog::SetKeyRowBinding(int row, const TShortcutItem& binding)
{
  SetKeyRow(row, binding.Command, binding.GetKeyText(), binding.GetKey2Text());
}

bool TConfigDialog::TakeKeys(int row, const TShortcutItem& binding)
{
  std::vector<TShortcutItem> bindings = KeyRowBindings();
  bindings[static_cast<size_t>(row)] = binding;
  const std::vector<int> clashes = ClashesToAskAbout(bindings, row);
  if (clashes.empty()) return true;
  const std::string keys = BindingKeysText(binding);
  const std::string holders = HoldersText(bindings, clashes, keys);
  const std::string question = keys + " is already bound to " + holders + ".\n\nGive it to " + binding.Command +
                               " instead? " + holders + " will then have no key.";
  if (Prompter().MessageDlg(LocalText(question), TPrompter::TIcon::Question, TPrompter::TButtons::YesNo) !=
      TPrompter::TAnswer::Yes)
    return false;
  // A sequence without its first key binds nothing: the other binding loses
  // both keys.
  for (int other : clashes) {
    TShortcutItem loser = bindings[static_cast<size_t>(other)];
    loser.Key = scNone;
    loser.Key2 = scNone;
    SetKeyRowBinding(other, loser);
  }
  return true;
}

bool TConfigDialog::AcceptKeyClashes()
{
  int firstRow = -1;
  const std::string pairs = ClashingPairsText(KeyRowBindings(), firstRow);
  if (pairs.empty()) return true;
  const std::string question = "Some keys are bound to more than one command; only one of them can run:\n" + pairs +
                               "\n\nStore the key bindings anyway?";
  if (Prompter().MessageDlg(LocalText(question), TPrompter::TIcon::Warning, TPrompter::TButtons::YesNo) ==
      TPrompter::TAnswer::Yes)
    return true;
  for (int page = 0; page < PageControl->count(); ++page)
    if (PageControl->widget(page)->isAncestorOf(KeyListView)) PageControl->setCurrentIndex(page);
  KeyListView->selectRow(firstRow);
  return false;
}

std::string TConfigDialog::KeyCell(int row, int column) const
{
  const QTableWidgetItem* cell = KeyListView->item(row, column);
  return cell ? cell->data(BytesRole).toByteArray().toStdString() : std::string();
}

int TConfigDialog::SelectedKeyRow() const
{
  const QList<QTableWidgetItem*> selected = KeyListView->selectedItems();
  return selected.isEmpty() ? -1 : selected.first()->row();
}

void TConfigDialog::KeyListViewSelectItem(int row)
{
  if (row < 0 || row >= KeyListView->rowCount()) return;
  TScopedSetting<bool> updating(FUpdating, true);
  std::string command = KeyCell(row, CommandColumn);
  CategoryCombo->setCurrentIndex(IsEditorCommandName(command) ? 1 : 0);
  CommandCombo->setEditText(LocalText(command));
  HotKey1->SetHotKey(TextToShortCut(KeyCell(row, KeyColumn)));
  HotKey2->SetHotKey(TextToShortCut(KeyCell(row, Key2Column)));
}

void TConfigDialog::CategoryComboChange()
{
  if (SelectedKeyRow() < 0) return;
  // The row keeps its command until one is typed or picked.
  TScopedSetting<bool> updating(FUpdating, true);
  CommandCombo->clearEditText();
}

void TConfigDialog::CommandComboDropDown()
{
  // The category's selected item: the one its text names exactly; a typed
  // text that names neither counts as "Editor".
  int category = CategoryCombo->findText(CategoryCombo->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
  TScopedSetting<bool> updating(FUpdating, true);
  QString text = CommandCombo->currentText();
  CommandCombo->clear();
  CommandCombo->addItems(category == 0 ? FApplicationCommandNames : FEditorCommandNames);
  CommandCombo->setEditText(text);
}

void TConfigDialog::CommandComboChange()
{
  int row = SelectedKeyRow();
  if (row < 0) return;
  SetKeyRow(row, LocalBytes(CommandCombo->currentText()), KeyCell(row, KeyColumn), KeyCell(row, Key2Column));
}

void TConfigDialog::HotKey1Change()
{
  HotKeyChange(*HotKey1, &TShortcutItem::Key);
}

void TConfigDialog::HotKey2Change()
{
  HotKeyChange(*HotKey2, &TShortcutItem::Key2);
}

// The selected row takes the key field's key, when the user lets it take the
// key from a binding that has it; otherwise the field shows the old key again.
void TConfigDialog::HotKeyChange(THotKey& field, TShortCut TShortcutItem::*key)
{
  int row = SelectedKeyRow();
  if (row < 0) return;
  TShortcutItem binding = KeyRowBinding(row);
  TShortCut before = binding.*key;
  binding.*key = field.HotKey();
  if (TakeKeys(row, binding))
    SetKeyRowBinding(row, binding);
  else
    field.SetHotKey(before);
}

void TConfigDialog::AddKeyBtnClick()
{
  int row = KeyListView->rowCount();
  {
    TScopedSetting<bool> updating(FUpdating, true);
    KeyListView->insertRow(row);
    SetKeyRow(row, "ecNone", std::string(), std::string());
    KeyListView->selectRow(row);
  }
  KeyListViewSelectItem(row);
}

void TConfigDialog::RemoveKeyBtnClick()
{
  int row = SelectedKeyRow();
  if (row < 0) return;
  int next = -1;
  {
    TScopedSetting<bool> updating(FUpdating, true);
    KeyListView->removeRow(row);
    KeyListView->clearSelection();
    int count = KeyListView->rowCount();
    if (count > 0) {
      next = std::min(row, count - 1);
      KeyListView->selectRow(next);
    }
  }
  if (next >= 0) KeyListViewSelectItem(next);
}

// ---- document types ---------------------------------------------------------------

int TConfigDialog::SelectedFileTypeRow() const
{
  const QList<QListWidgetItem*> selected = FileTypesListBox->selectedItems();
  return selected.isEmpty() ? -1 : FileTypesListBox->row(selected.first());
}

void TConfigDialog::FileTypesCommand(void (TConfigDialog::*handler)())
{
  try {
    (this->*handler)();
  } catch (const std::exception& error) {
    // The list shows the document types as they are now, whatever was done.
    LoadFileTypeList();
    Prompter().ShowMessage(LocalText(error.what()));
  }
}

void TConfigDialog::EditBtnClick()
{
  TFileTypes& types = FileTypes();
  int i = SelectedFileTypeRow();
  if (i < 0 || i >= types.Count() || !FileTypeDialog) return;
  TFileType& type = types.GetFileType(i);
  TFileTypeSettings::Of(type).ShowIn(*FileTypeDialog);
  if (FileTypeDialog->exec() != QDialog::Accepted) return;

  // The folder and the definition file keep their names; the schema is not
  // read again. When the file cannot be written the type keeps its old
  // settings, so the list never holds what the disk does not.
  TFileTypeSettings before = TFileTypeSettings::Of(type);
  TFileTypeSettings after = TFileTypeSettings::Of(*FileTypeDialog);
  after.ApplyTo(type);
  type.ConfigFile = after.ConfigFile;
  try {
    type.SaveToFile();
  } catch (...) {
    before.ApplyTo(type);
    type.ConfigFile = before.ConfigFile;
    throw;
  }
  types.SetKey(i, type.Id);
  LoadFileTypeList();
}

void TConfigDialog::DeleteBtnClick()
{
  TFileTypes& types = FileTypes();
  int i = SelectedFileTypeRow();
  if (i < 0 || i >= types.Count()) return;
  TFileType& type = types.GetFileType(i);
  // A definition file left on disk would bring the type back at the next
  // start: the type stays listed. A file that is gone already is no failure.
  std::error_code error;
  fs::remove(type.ConfigFile, error);
  if (error)
    throw EResourceError("Cannot delete file \"" + type.ConfigFile + "\". " + error.message());
  if (OnFileTypeDelete) OnFileTypeDelete(type);
  types.Delete(i);
  types.Renumber();
  LoadFileTypeList();
}

void TConfigDialog::AddBtnClick()
{
  if (!FileTypeDialog) return;
  TFileTypes& types = FileTypes();
  int i = SelectedFileTypeRow();
  NewTypeSettings().ShowIn(*FileTypeDialog);
  if (FileTypeDialog->exec() != QDialog::Accepted) return;

  TFileTypeSettings settings = TFileTypeSettings::Of(*FileTypeDialog);
  const std::string& id = settings.Id;
  std::string folder = ProgramFolder() + "help/" + id + "/";
  std::error_code ignored;
  if (id.empty() || fs::exists(folder, ignored) || fs::exists(ProgramFolder() + "help/" + id, ignored)) {
    Prompter().ShowMessage(LocalText(AddRefusedText + id + "]"));
    return;
  }
  CreateFolder(folder + "blanks/");

  auto type = std::make_unique<TFileType>(folder + id + ".config");
  settings.ApplyTo(*type);
  int position = (i >= 0 && i < types.Count()) ? i : types.Count();
  // The new type's file is written before the type joins the list, already
  // with the index of its place: a failed write leaves the list and the disk
  // as they were. Renumber then writes the types that moved behind it.
  type->Index = position;
  try {
    type->SaveToFile();
  } catch (...) {
    fs::remove_all(folder, ignored);
    throw;
  }
  types.InsertFileType(position, std::move(type));
  types.Renumber();
  LoadFileTypeList();
}

void TConfigDialog::MoveFileType(int from, int to)
{
  TFileTypes& types = FileTypes();
  types.Move(from, to);
  try {
    types.Renumber();
  } catch (...) {
    // A definition file that cannot be written keeps its place: the list
    // goes back to the order the files give, the ones rewritten too.
    types.Move(to, from);
    try {
      types.Renumber();
    } catch (...) {
    }
    throw;
  }
  LoadFileTypeList();
}

void TConfigDialog::UpBtnClick()
{
  int i = SelectedFileTypeRow();
  if (i > 0 && i < FileTypes().Count()) MoveFileType(i, i - 1);
}

void TConfigDialog::DownBtnClick()
{
  int i = SelectedFileTypeRow();
  if (i >= 0 && i < FileTypes().Count() - 1) MoveFileType(i, i + 1);
}
