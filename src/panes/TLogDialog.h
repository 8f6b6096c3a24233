#pragma once
// A sizeable window with a memo, OK and Cancel: "Log Window".

#include <QDialog>
#include <memory>

class QPlainTextEdit;
class QPushButton;
namespace Ui {
class TLogDialog;
}

class TLogDialog : public QDialog {
  Q_OBJECT
public:
  explicit TLogDialog(QWidget* parent = nullptr);
  ~TLogDialog() override;

  // The form's widgets (owned by the dialog).
  QPlainTextEdit* Memo;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  // Makes the border sizeable; run by the constructor.
  void FormCreate();

protected:
  void showEvent(QShowEvent* event) override;

private:
  std::unique_ptr<Ui::TLogDialog> FUi;
};

// The one log dialog (created at start-up with the other forms).
extern TLogDialog* LogDialog;
