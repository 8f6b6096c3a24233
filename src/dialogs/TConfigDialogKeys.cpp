#include "dialogs/TConfigDialog.h"

// The "Keyboard" page of the configuration dialog: the key bindings, one row
// each, and the keys that two bindings would share.

#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>

#include "dialogs/DialogHelpers.h"
#include "dialogs/TDropDownComboBox.h"
#include "dialogs/THotKey.h"
#include "model/ApplicationCommands.h"
#include "model/EditorCommands.h"
#include "model/ModelModule.h"
#include "model/ShortcutClashes.h"
#include "platform/Prompter.h"
#include "resource/TScopedSetting.h"

using DialogHelpers::LocalBytes;
using DialogHelpers::LocalText;

namespace {

constexpr int CommandColumn = 0;
constexpr int KeyColumn = 1;
constexpr int Key2Column = 2;
constexpr int BytesRole = Qt::UserRole;  // a cell's text as the model's bytes

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

}  // namespace

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

void TConfigDialog::StoreKeyList()
{
  TConfigInfo& config = ConfigInfo();
  config.ClearShortcuts();
  for (int row = 0; row < KeyListView->rowCount(); ++row) {
    TShortcutItem& item = config.AddShortcut();
    item.SetKeyText(KeyCell(row, KeyColumn));
    item.SetKey2Text(KeyCell(row, Key2Column));
    item.Command = KeyCell(row, CommandColumn);
  }
}

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
