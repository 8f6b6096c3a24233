#pragma once
// "Change File-type": picks another document type for the active document.
// The caller sets StartIndex (the list position to preselect), shows the
// dialog and, after OK, reads GetFileTypeIndex.
//
// The type list cannot be typed into, and OK is refused while no type is
// selected (a StartIndex outside the list), so OK always names a type.

#include <QDialog>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
namespace Ui {
class TChangeFileTypeDialog;
}

class TChangeFileTypeDialog : public QDialog {
  Q_OBJECT
public:
  explicit TChangeFileTypeDialog(QWidget* parent = nullptr);
  ~TChangeFileTypeDialog() override;

  // The list position selected when the dialog is shown; never changed here.
  int StartIndex = 0;

  // The form's widgets (owned by the dialog).
  QLabel* Label1;
  QComboBox* FileTypeCombo;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  // Fills the list with the titles of the document types, in list order, and
  // selects StartIndex (nothing when it lies outside the list).
  void FormShow();
  // The selected position in the document-type list; -1 when none.
  int GetFileTypeIndex() const;

protected:
  void showEvent(QShowEvent* event) override;

private:
  void UpdateOKBtn();

  std::unique_ptr<Ui::TChangeFileTypeDialog> FUi;
};

// The one change-file-type dialog (created at start-up with the other forms).
extern TChangeFileTypeDialog* ChangeFileTypeDialog;
