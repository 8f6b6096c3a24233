#pragma once
// "About XML-Plivek": the program's picture, name and version, and OK.

#include <QDialog>
#include <QString>
#include <memory>

class QLabel;
class QPushButton;
namespace Ui {
class TAboutBox;
}

class TAboutBox : public QDialog {
  Q_OBJECT
public:
  explicit TAboutBox(QWidget* parent = nullptr);
  ~TAboutBox() override;

  // The form's widgets (owned by the dialog).
  QLabel* ProgramIcon;
  QLabel* ProductName;
  QLabel* Version;
  QPushButton* OKButton;

  // The program's version, as the build names it ("0.1").
  static QString ProgramVersion();

private:
  std::unique_ptr<Ui::TAboutBox> FUi;
};

// The one About box (created at start-up with the other forms).
extern TAboutBox* AboutBox;
