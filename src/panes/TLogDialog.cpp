#include "panes/TLogDialog.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "ui_TLogDialog.h"

TLogDialog* LogDialog = nullptr;

TLogDialog::TLogDialog(QWidget* parent)
    : QDialog(parent),
      FUi(std::make_unique<Ui::TLogDialog>())
{
  FUi->setupUi(this);
  Memo = FUi->Memo;
  OKBtn = FUi->OKBtn;
  CancelBtn = FUi->CancelBtn;
  FormCreate();
}

TLogDialog::~TLogDialog() = default;

void TLogDialog::FormCreate()
{
  setSizeGripEnabled(true);
  setMinimumSize(0, 0);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void TLogDialog::showEvent(QShowEvent* event)
{
  // Centred on the screen, not on the parent.
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  QDialog::showEvent(event);
}
