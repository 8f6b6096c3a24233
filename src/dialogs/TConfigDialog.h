#pragma once
// "Configure Dialog": the editor configuration ConfigInfo() and the document
// types FileTypes(), on three pages:
//   "Editor Options"  gutter flags, colours, fonts, tab width, right edge;
//   "Keyboard"        the key bindings, one row each (command, key texts);
//   "File types"      the document types, edited in the document-type
//                     editing dialog (FileTypeDialog).
// Every showing starts from ConfigInfo() again; edits on the first two pages
// reach ConfigInfo() on OK only (the configuration file is written at exit).
// Two things take effect at once and stay after Cancel: a font chosen with a
// font button, and every change on the "File types" page, which also writes
// the definition files. A key that another binding already has is given to
// the row being edited only when the user agrees; the other binding then
// loses it. A change on "File types" refreshes that page only:
// edits not yet stored on the other two pages stay. The dialog opens on
// "File types" the first time and later on the page last shown.

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/TConfigFont.h"
#include "model/TShortcutItem.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTableWidget;
class TColorBox;
class TConfigureFileDialog;
class TDropDownComboBox;
class TFileType;
class THotKey;
namespace Ui {
class TConfigDialog;
}

class TConfigDialog : public QDialog {
  Q_OBJECT
public:
  // Asks the user for a font, starting from font; false when cancelled.
  // fixedPitchOnly: the gutter font, chosen among fixed-pitch fonts.
  using TFontChooser = std::function<bool(QWidget* parent, TConfigFont& font, bool fixedPitchOnly)>;

  // The message of a refused Add.
  static constexpr const char* AddRefusedText =
      "Unable to add file-type. No ID or directory of that name already exists [";

  explicit TConfigDialog(QWidget* parent = nullptr);
  ~TConfigDialog() override;

  // The form's widgets (owned by the dialog).
  QTabWidget* PageControl;
  TColorBox* BackgroundColorBox;
  QLineEdit* TabWidthEdit;
  QPushButton* FontBtn;
  QCheckBox* GutterVisibleCheck;
  QCheckBox* GutterAutosizeCheck;
  QCheckBox* GutterLineNumbersCheck;
  QCheckBox* GutterStartAtZeroCheck;
  QCheckBox* GutterLeadingZerosCheck;
  TColorBox* GutterColorBox;
  QPushButton* GutterFontBtn;
  QLineEdit* RightEdgeColumnEdit;
  TColorBox* RightEdgeColorBox;
  TColorBox* SelectedTextColorBox;
  TColorBox* SelectedBackgroundColorBox;
  QTableWidget* KeyListView;
  QComboBox* CategoryCombo;
  TDropDownComboBox* CommandCombo;
  THotKey* HotKey1;
  THotKey* HotKey2;
  QPushButton* AddKeyBtn;
  QPushButton* RemoveKeyBtn;
  QListWidget* FileTypesListBox;
  QPushButton* EditBtn;
  QPushButton* DeleteBtn;
  QPushButton* AddBtn;
  QPushButton* UpBtn;
  QPushButton* DownBtn;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  // Where one document type is edited; set by the main window (the dialog is
  // created after this one). Edit and Add do nothing without it.
  TConfigureFileDialog* FileTypeDialog = nullptr;
  // Told about a document type that Delete is about to remove and free, while
  // it is still in the list, so that nothing keeps pointing at it.
  std::function<void(TFileType& fileType)> OnFileTypeDelete;

  // The font dialogs; nullptr restores the platform's font dialog.
  static void SetFontChooser(TFontChooser chooser);

  const QStringList& EditorCommandNames() const { return FEditorCommandNames; }
  const QStringList& ApplicationCommandNames() const { return FApplicationCommandNames; }

  // Fills all three pages from ConfigInfo() and FileTypes(); no document
  // type is selected afterwards.
  void LoadFromConfig();
  // Writes the "Editor Options" and "Keyboard" pages into ConfigInfo().
  void StoreToConfig();

  // The selected row of KeyListView; -1 when none.
  int SelectedKeyRow() const;
  // The selected row of FileTypesListBox; -1 when none.
  int SelectedFileTypeRow() const;

  // Event handlers. The "File types" handlers refresh the type list (and
  // nothing else) after a change and raise the file layer's errors; the
  // buttons show them and refresh the list.
  void FormCreate();
  void FormShow();
  void OKBtnClick();
  void GutterFontBtnClick();
  void FontBtnClick();
  void KeyListViewSelectItem(int row);
  void CategoryComboChange();
  void CommandComboDropDown();
  void CommandComboChange();
  void HotKey1Change();
  void HotKey2Change();
  void HotKeyChange(THotKey& field, TShortCut TShortcutItem::*key);
  void AddKeyBtnClick();
  void RemoveKeyBtnClick();
  void EditBtnClick();
  void DeleteBtnClick();
  void AddBtnClick();
  void UpBtnClick();
  void DownBtnClick();

protected:
  void showEvent(QShowEvent* event) override;

private:
  void LoadKeyList();
  void StoreKeyList();
  void LoadFileTypeList();
  void SetKeyRow(int row, const std::string& command, const std::string& key, const std::string& key2);
  std::string KeyCell(int row, int column) const;
  TShortcutItem KeyRowBinding(int row) const;
  std::vector<TShortcutItem> KeyRowBindings() const;
  void SetKeyRowBinding(int row, const TShortcutItem& binding);
  // Whether the row may have the keys of binding: when other rows claim them
  // the user is asked, and on Yes those rows lose their keys.
  bool TakeKeys(int row, const TShortcutItem& binding);
  // Whether OK may store the bindings: keys that rows still share (a command
  // typed after its key was captured, or a configuration read with them) are
  // listed and the user decides.
  bool AcceptKeyClashes();
  void ChooseFont(TConfigFont& font, bool fixedPitchOnly);
  void MoveFileType(int from, int to);
  void FileTypesCommand(void (TConfigDialog::*handler)());

  std::unique_ptr<Ui::TConfigDialog> FUi;
  QStringList FEditorCommandNames;
  QStringList FApplicationCommandNames;
  bool FUpdating = false;  // controls are being filled: no change handlers
};

// The one configuration dialog (created at start-up with the other forms).
extern TConfigDialog* ConfigDialog;
