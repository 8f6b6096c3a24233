#pragma once
// "Open URL": the address of a web page to open as a document, typed or
// picked from the list (which the caller fills with the http history). The
// text is kept between uses; the list is replaced on every use.

#include <QDialog>
#include <QString>
#include <memory>

#include "dialogs/TComboItems.h"

class QComboBox;
class QLabel;
class QPushButton;
namespace Ui {
class TOpenURLDialog;
}

class TOpenURLDialog : public QDialog {
  Q_OBJECT
public:
  explicit TOpenURLDialog(QWidget* parent = nullptr);
  ~TOpenURLDialog() override;

  // The form's widgets (owned by the dialog).
  QLabel* Label1;
  QComboBox* URLCombo;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  // The item list of URLCombo, for the caller to clear and fill.
  TComboItems GetURLItems();
  // The text of URLCombo.
  QString GetURL() const;

protected:
  void showEvent(QShowEvent* event) override;

private:
  std::unique_ptr<Ui::TOpenURLDialog> FUi;
};

// The one open-URL dialog (created at start-up with the other forms).
extern TOpenURLDialog* OpenURLDialog;
