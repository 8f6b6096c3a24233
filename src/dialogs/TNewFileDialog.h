#pragma once
// "New File": the document type, the file name and, optionally, a template of
// a new document. Templates are the plain files in the folder "blanks" beside
// the type's definition file. Every showing starts afresh with the first type.
//
// The type list cannot be typed into (so a type is always selected while the
// list has any), and OK is refused while no type is selected. The template
// list can: a typed name is returned as it is. OK with a name that names no
// file of a folder (empty, with a "/", "." or "..", too long) says so and
// leaves the dialog open.

#include <QDialog>
#include <memory>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TFileType;
namespace Ui {
class TNewFileDialog;
}

class TNewFileDialog : public QDialog {
  Q_OBJECT
public:
  explicit TNewFileDialog(QWidget* parent = nullptr);
  ~TNewFileDialog() override;

  // The form's widgets (owned by the dialog).
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QComboBox* FileTypeCombo;
  QLabel* Label1;
  QLabel* BasedOnLabel;
  QComboBox* BlanksCombo;
  QLabel* Label2;
  QLineEdit* FilenameEdit;

  // Fills the type list, empties the name and the template list, selects the
  // first type.
  void FormShow();
  // Lists the templates of the selected type and puts its new-file name into
  // the name field.
  void FileTypeComboChange();

  // The selected position in the document-type list; -1 when none.
  int GetFileTypeIndex() const;
  // The text of the name field, unchanged.
  std::string GetFileName() const;
  // "" when the template text is empty; else the folder of the selected
  // type's definition file, "blanks/" and the template text.
  std::string GetTemplate() const;

  // OK: refused, with a message, while the name can be no file name.
  void accept() override;

protected:
  void showEvent(QShowEvent* event) override;

private:
  TFileType* SelectedType() const;
  void SetBlanksEnabled(bool enabled);

  std::unique_ptr<Ui::TNewFileDialog> FUi;
};

// Why name can be no new document's file name in a folder; empty when it can.
std::string NewFileNameProblem(const std::string& name);

// The folder of a type's templates: the folder of its definition file
// followed by "blanks/".
std::string BlanksFolder(const TFileType& type);

// The one new-file dialog (created at start-up with the other forms).
extern TNewFileDialog* NewFileDialog;
