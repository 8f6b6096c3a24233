#pragma once
// "Convert HTML to XML": the options of the HTML-to-XML convertor for the
// main window's Convert command: the case of tag and attribute names, values
// for bare attributes, repair of mis-matched tags and the tags written as
// empty elements. Created once and reused, so the choices persist for the run.

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QGroupBox;
class QListWidget;
class QPushButton;
namespace Ui {
class TConvertHTMLDialog;
}

class TConvertHTMLDialog : public QDialog {
  Q_OBJECT
public:
  explicit TConvertHTMLDialog(QWidget* parent = nullptr);
  ~TConvertHTMLDialog() override;

  // The form's widgets (owned by the dialog). The radio groups hold three
  // radio buttons each: "to lower case", "to upper case", "ignore".
  QGroupBox* TagCaseRadio;
  QGroupBox* AttrCaseRadio;
  QCheckBox* FixAttributesCheck;
  QCheckBox* FixMismatchCheck;
  QGroupBox* GroupBox1;
  QListWidget* SingletonCheckListBox;  // checkable items
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  // The checked singleton names, refilled by each GetSingletons call.
  std::vector<std::string> SingletonResult;

  // 0 lower case, 1 upper case, 2 ignore (the convertor's case values).
  int GetTagCase() const;
  int GetAttrCase() const;
  bool GetFixAttributes() const;
  bool GetFixMismatch() const;
  // SingletonResult, refilled with the checked names in list order; the same
  // object on every call (the caller copies it).
  const std::vector<std::string>& GetSingletons();

  // Checks every singleton; run by the constructor.
  void FormCreate();

protected:
  void showEvent(QShowEvent* event) override;

private:
  std::unique_ptr<Ui::TConvertHTMLDialog> FUi;
};

// The one HTML conversion dialog (created at start-up with the other forms).
extern TConvertHTMLDialog* ConvertHTMLDialog;
