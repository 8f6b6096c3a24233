#pragma once
// "Transform Dialog": which XSLT stylesheet to apply to the current document
// and which document type the result gets. The stylesheet is a file (typed or
// browsed) or one of the stylesheet documents open in the main window, offered
// with a leading "*". The main window hands the dialog the URL texts of those
// documents (SetOpenStyleSheets) before it shows it.
//
// The text of XSLCombo and the item index of FileTypeCombo carry over from one
// showing to the next.

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
namespace Ui {
class TTransformDialog;
}

class TTransformDialog : public QDialog {
  Q_OBJECT
public:
  explicit TTransformDialog(QWidget* parent = nullptr);
  ~TTransformDialog() override;

  // The form's widgets (owned by the dialog).
  QLabel* Label1;
  QComboBox* XSLCombo;
  QPushButton* BrowseBtn;
  QLabel* Label2;
  QComboBox* FileTypeCombo;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  // The URL texts of the open stylesheet documents, in the order of the main
  // window's frames; offered as "*" + URL text when the form is shown.
  void SetOpenStyleSheets(const std::vector<std::string>& urls) { FOpenStyleSheets = urls; }

  // The choice without its leading "*" (the URL text of an open document), or
  // the file path as typed; empty for an empty choice.
  std::string GetStyleSheetName() const;
  // True when the choice names an open document (a text beginning with "*").
  bool StyleSheetIsOpenDocument() const;
  // The position of the chosen output type in the document-type list; -1 none.
  int GetFileTypeIndex() const;

  // Event handlers.
  void FormShow();
  void BrowseBtnClick();
  void OKBtnClick() {}

protected:
  void showEvent(QShowEvent* event) override;

private:
  std::unique_ptr<Ui::TTransformDialog> FUi;
  std::vector<std::string> FOpenStyleSheets;
};

// The one transform dialog (created at start-up with the other forms).
extern TTransformDialog* TransformDialog;
