#include "platform/Prompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>

namespace {

QPointer<QWidget>& ParentWidget()
{
  static QPointer<QWidget> parent;
  return parent;
}

QMessageBox::Icon ToIcon(TPrompter::TIcon icon)
{
  switch (icon) {
    case TPrompter::TIcon::Information: return QMessageBox::Information;
    case TPrompter::TIcon::Warning: return QMessageBox::Warning;
    case TPrompter::TIcon::Error: return QMessageBox::Critical;
    case TPrompter::TIcon::Question: return QMessageBox::Question;
    case TPrompter::TIcon::None: return QMessageBox::NoIcon;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToButtons(TPrompter::TButtons buttons)
{
  switch (buttons) {
    case TPrompter::TButtons::Ok: return QMessageBox::Ok;
    case TPrompter::TButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case TPrompter::TButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case TPrompter::TButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

// The prompter that asks the user with Qt's standard dialogs.
class TInteractivePrompter : public TPrompter {
public:
  void ShowMessage(const QString& text) override
  {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok, ParentWidget());
    box.exec();
  }

  TAnswer MessageDlg(const QString& text, TIcon icon, TButtons buttons) override
  {
    return MessageBox(QApplication::applicationName(), text, icon, buttons);
  }

  TAnswer MessageBox(const QString& caption, const QString& text, TIcon icon, TButtons buttons) override
  {
    QMessageBox box(ToIcon(icon), caption, text, ToButtons(buttons), ParentWidget());
    switch (box.exec()) {
      case QMessageBox::Ok: return TAnswer::Ok;
      case QMessageBox::Yes: return TAnswer::Yes;
      case QMessageBox::No: return TAnswer::No;
      default: return TAnswer::Cancel;
    }
  }

  QString GetOpenFileName(const QString& caption, const QString& folder, const QString& filter,
                          QString* selectedFilter) override
  {
    return QFileDialog::getOpenFileName(ParentWidget(), caption, folder, filter, selectedFilter);
  }

  QString GetSaveFileName(const QString& caption, const QString& file, const QString& filter,
                          QString* selectedFilter) override
  {
    return QFileDialog::getSaveFileName(ParentWidget(), caption, file, filter, selectedFilter);
  }

  QString GetFileSpec(const QString& caption, const QString& file, const QString& filter,
                      QString* selectedFilter) override
  {
    QFileDialog dialog(ParentWidget(), caption, file, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);  // no check that the file exists
    if (selectedFilter && !selectedFilter->isEmpty()) dialog.selectNameFilter(*selectedFilter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    if (selectedFilter) *selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().first();
  }

  bool InputQuery(const QString& caption, const QString& prompt, QString& value) override
  {
    bool ok = false;
    QString text = QInputDialog::getText(ParentWidget(), caption, prompt, QLineEdit::Normal, value, &ok);
    if (ok) value = text;
    return ok;
  }
};

TPrompter*& Installed()
{
  static TPrompter* installed = nullptr;
  return installed;
}

}  // namespace

TPrompter& Prompter()
{
  static TInteractivePrompter interactive;
  return Installed() ? *Installed() : interactive;
}

void SetPrompter(TPrompter* prompter)
{
  Installed() = prompter;
}

void SetPrompterParent(QWidget* parent)
{
  ParentWidget() = parent;
}
