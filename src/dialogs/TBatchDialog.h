#pragma once
// "Batch Processing...": the settings of one batch run: source and
// destination file specs (URLs whose file name is the mask), the command (one
// page per command, the page index is the TBatchCommand), its options,
// recursion and whether to log details. Created once and reused; every
// control keeps its state from one use to the next. The dialog never runs a
// batch: the main window reads the settings after OK.

#include <QDialog>
#include <memory>
#include <string>

#include "resource/TURL.h"
#include "xmltools/TBatch.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;
namespace Ui {
class TBatchDialog;
}

class TBatchDialog : public QDialog {
  Q_OBJECT
public:
  explicit TBatchDialog(QWidget* parent = nullptr);
  ~TBatchDialog() override;

  // The source spec: a folder URL whose file name is the ";"-separated masks.
  TURL Source{"file:/*.xml"};
  // The destination spec: a folder URL whose file name is the destination mask.
  TURL Dest{"file:/*.html"};
  // Set while UpdateEdits writes the edits, so they are not parsed back.
  bool Updating = false;

  // The form's widgets (owned by the dialog).
  QLabel* Label1;
  QLineEdit* SourceEdit;
  QPushButton* BrowseSourceBtn;
  QPushButton* BrowseSourceFTPBtn;
  QCheckBox* RecurseCheck;
  QLabel* Label3;
  QTabWidget* PageControl;
  QWidget* TabSheet1;  // "HTMLtoXML"
  QGroupBox* TagCaseRadio;
  QGroupBox* AttrCaseRadio;
  QCheckBox* FixAttributesCheck;
  QCheckBox* FixMismatchCheck;
  QWidget* TabSheet2;  // "Check"
  QCheckBox* ValidateCheck;
  QWidget* TabSheet3;  // "Transform"
  QLabel* Label4;
  QLineEdit* XSLFileEdit;
  QPushButton* BrowseXSLBtn;
  QWidget* TabSheet4;  // "Copy"
  QWidget* TabSheet5;  // "Delete"
  QLabel* DestLabel;
  QLineEdit* DestEdit;
  QPushButton* BrowseDestBtn;
  QPushButton* BrowseDestFTPBtn;
  QCheckBox* LogCheck;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  // --- accessors for the batch command (read after OK) -------------------------
  TBatchCommand GetAction() const;
  bool GetRecurse() const;
  int GetTagCase() const;
  int GetAttrCase() const;
  bool GetFixAttributes() const;
  bool GetFixMismatch() const;
  bool GetValidate() const;
  std::string GetXSLFile() const;
  bool GetLogDetails() const;
  void SetLogDetails(bool value);

  // The edits show the URL texts of Source and Dest.
  void UpdateEdits();

  // --- event handlers ----------------------------------------------------------
  void FormShow();
  void SourceEditChange();
  void DestEditChange();
  void BrowseSourceBtnClick();
  void BrowseDestBtnClick();
  void BrowseSourceFTPBtnClick();
  void BrowseDestFTPBtnClick();
  void BrowseXSLBtnClick();
  void PageControlChange();
  void OKBtnClick();

protected:
  void showEvent(QShowEvent* event) override;

private:
  // Lets the user pick a file for url with a file dialog (save: destination).
  void BrowseFiles(TURL& url, const QString& title, bool save);
  // Lets the user pick a file spec on an FTP server for url (FTP dialog).
  void BrowseFTP(TURL& url, const QString& title);

  std::unique_ptr<Ui::TBatchDialog> FUi;
};

// The one batch dialog (created at start-up with the other forms).
extern TBatchDialog* BatchDialog;
