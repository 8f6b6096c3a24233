#pragma once
// "Configure File Dialog": every setting of one document type, for editing.
// The dialog never touches a document type itself: the caller fills it with
// the setters, shows it modally and, after OK, reads the values back with the
// getters (after Cancel it reads nothing).
//
// Previewers: each of the three is one group of radio buttons ("Disabled",
// "Windows associated program", "Command:") with an edit and a browse button.
// The value "" checks "Disabled", "*" the associated program, anything else
// "Command:" with the value in the edit; reading back gives "", "*" or the
// edit's text (so "Command:" with an empty edit reads as disabled).

#include <QDialog>
#include <QString>
#include <memory>
#include <string>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
namespace Ui {
class TConfigureFileDialog;
}

class TConfigureFileDialog : public QDialog {
  Q_OBJECT
public:
  // The caption and filter of the browse buttons' file dialog.
  static constexpr const char* BrowseCaption = "Choose Pre-viewer  ";
  static constexpr const char* BrowseFilter = "Executable files (*.exe *.cmd *.bat *.com);;All files (*)";
  // What FilenameLabel shows while no definition file is named.
  static constexpr const char* NoConfigFileText = "----------------";

  explicit TConfigureFileDialog(QWidget* parent = nullptr);
  ~TConfigureFileDialog() override;

  // The form's widgets (owned by the dialog).
  QTabWidget* PageControl;
  QLineEdit* IDEdit;
  QLineEdit* TitleEdit;
  QLineEdit* MimeTypeEdit;
  QLineEdit* FilterEdit;
  QComboBox* HighlighterCombo;
  QCheckBox* AutoCompleteCheck;
  QLabel* FilenameLabel;
  QLineEdit* NewFilenameEdit;
  QLineEdit* HelpEdit;
  QRadioButton* PreviewRadio11;
  QRadioButton* PreviewRadio12;
  QRadioButton* PreviewRadio13;
  QRadioButton* PreviewRadio21;
  QRadioButton* PreviewRadio22;
  QRadioButton* PreviewRadio23;
  QRadioButton* PreviewRadio31;
  QRadioButton* PreviewRadio32;
  QRadioButton* PreviewRadio33;
  QLineEdit* Preview1Edit;
  QLineEdit* Preview2Edit;
  QLineEdit* Preview3Edit;
  QPushButton* Browse1Btn;
  QPushButton* Browse2Btn;
  QPushButton* Browse3Btn;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  // The id as typed, unfiltered.
  void SetID(const std::string& id);
  // The id with A-Z lowered and every character other than 0-9, a-z and "_"
  // removed; may be empty.
  std::string GetID() const;
  void SetTitle(const std::string& title);
  std::string GetTitle() const;
  void SetMimeType(const std::string& mimeType);
  std::string GetMimeType() const;
  void SetFilter(const std::string& filter);
  std::string GetFilter() const;
  // Any text, not only the three of the list.
  void SetHighlighter(const std::string& highlighter);
  std::string GetHighlighter() const;
  void SetAutoComplete(bool autoComplete);
  bool GetAutoComplete() const;
  void SetNewFileName(const std::string& newFileName);
  std::string GetNewFileName() const;
  void SetHelpFile(const std::string& helpFile);
  std::string GetHelpFile() const;
  void SetPreview1(const std::string& preview);
  void SetPreview2(const std::string& preview);
  void SetPreview3(const std::string& preview);
  std::string GetPreview1() const;
  std::string GetPreview2() const;
  std::string GetPreview3() const;
  // The definition file's path, shown in FilenameLabel ("" shows
  // NoConfigFileText); read back exactly as set.
  void SetConfigFile(const std::string& configFile);
  std::string GetConfigFile() const;

  // Makes the border sizeable; run by the constructor.
  void FormCreate();
  // The "General" page comes to the front; the previewer controls are
  // enabled as their radio buttons say.
  void FormShow();
  // Enabling of previewer group 1, 2 or 3: the edit and the browse button
  // exactly when "Command:" is checked.
  void PreviewRadio11Click();
  void PreviewRadio21Click();
  void PreviewRadio31Click();
  // Browse of the group named by the button's "tag" property (1 to 3): the
  // chosen program and "%1", each in double quotes, go into the group's edit.
  void Browse1BtnClick(QAbstractButton* sender);

protected:
  void showEvent(QShowEvent* event) override;

private:
  struct TPreviewGroup {
    QRadioButton* Disabled;
    QRadioButton* Associated;
    QRadioButton* Command;
    QLineEdit* Edit;
    QPushButton* Browse;
  };
  TPreviewGroup Group(int number) const;
  void SetPreview(int number, const std::string& preview);
  std::string GetPreview(int number) const;
  void EnablePreview(int number);

  std::unique_ptr<Ui::TConfigureFileDialog> FUi;
  std::string FConfigFile;
};

// The one document-type editing dialog (created at start-up with the other
// forms).
extern TConfigureFileDialog* ConfigureFileDialog;
