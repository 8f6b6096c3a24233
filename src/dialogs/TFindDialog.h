#pragma once
// "Find": the modeless search dialog of the main window. It stays open while
// the user works in the editor; each click on Find Next raises OnFind, and
// the owner reads FindText and Options to search.

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
namespace Ui {
class TFindDialog;
}

// Options of the find and replace dialogs, a set of flags.
using TFindOptions = unsigned;
constexpr TFindOptions frDown = 1;        // search towards the end (else towards the start)
constexpr TFindOptions frFindNext = 2;    // Find Next was clicked
constexpr TFindOptions frMatchCase = 4;   // letter case must match
constexpr TFindOptions frWholeWord = 8;   // whole words only
constexpr TFindOptions frReplace = 16;    // Replace was clicked (replace dialog)
constexpr TFindOptions frReplaceAll = 32; // Replace All was clicked (replace dialog)

// Holds the flag of the clicked button in a dialog's options while its event
// runs (also when the event fails).
class TActionFlag {
public:
  TActionFlag(TFindOptions& flags, TFindOptions flag);
  ~TActionFlag();
  TActionFlag(const TActionFlag&) = delete;
  TActionFlag& operator=(const TActionFlag&) = delete;

private:
  TFindOptions& FFlags;
};

// Shows a search dialog without blocking, in front, with the text of its
// find field selected for typing over.
void ExecuteSearchDialog(QDialog& dialog, QLineEdit& findEdit);

class TFindDialog : public QDialog {
  Q_OBJECT
public:
  explicit TFindDialog(QWidget* parent = nullptr);
  ~TFindDialog() override;

  // The form's widgets (owned by the dialog).
  QLineEdit* FindEdit;
  QCheckBox* WholeWordCheck;
  QCheckBox* MatchCaseCheck;
  QRadioButton* UpRadio;
  QRadioButton* DownRadio;
  QPushButton* FindNextBtn;
  QPushButton* CancelBtn;

  // Raised by Find Next (and Return in the text box).
  std::function<void(TFindDialog& sender)> OnFind;

  QString FindText() const;
  void SetFindText(const QString& text);
  // The options the controls show, plus frFindNext while OnFind runs.
  TFindOptions Options() const;
  void SetOptions(TFindOptions options);

  // Shows the dialog without blocking, in front, with the text selected.
  void Execute();

private:
  void FindNextBtnClick();
  void UpdateButtons();

  std::unique_ptr<Ui::TFindDialog> FUi;
  TFindOptions FActionFlags = 0;
};
