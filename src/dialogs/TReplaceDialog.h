#pragma once
// "Replace": the modeless replace dialog of the main window. Find Next raises
// OnFind; Replace and Replace All raise OnReplace with frReplace or
// frReplaceAll in Options. The dialog stays open while the user works.
// Like the platform's replace dialog it has no direction controls: it
// searches towards the end unless frDown is taken out of its options.

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

#include "dialogs/TFindDialog.h"

namespace Ui {
class TReplaceDialog;
}

class TReplaceDialog : public QDialog {
  Q_OBJECT
public:
  explicit TReplaceDialog(QWidget* parent = nullptr);
  ~TReplaceDialog() override;

  // The form's widgets (owned by the dialog).
  QLineEdit* FindEdit;
  QLineEdit* ReplaceEdit;
  QCheckBox* WholeWordCheck;
  QCheckBox* MatchCaseCheck;
  QPushButton* FindNextBtn;
  QPushButton* ReplaceBtn;
  QPushButton* ReplaceAllBtn;
  QPushButton* CancelBtn;

  // Raised by Find Next (and Return in a text box).
  std::function<void(TReplaceDialog& sender)> OnFind;
  // Raised by Replace and Replace All.
  std::function<void(TReplaceDialog& sender)> OnReplace;

  QString FindText() const;
  void SetFindText(const QString& text);
  QString ReplaceText() const;
  void SetReplaceText(const QString& text);
  // The options the controls show and frDown (set unless taken out), plus
  // the flag of the button whose event runs.
  TFindOptions Options() const;
  void SetOptions(TFindOptions options);

  // Shows the dialog without blocking, in front, with the text selected.
  void Execute();

private:
  void Raise(TFindOptions action, const std::function<void(TReplaceDialog&)>& event);
  void UpdateButtons();

  std::unique_ptr<Ui::TReplaceDialog> FUi;
  bool FDown = true;
  TFindOptions FActionFlags = 0;
};
