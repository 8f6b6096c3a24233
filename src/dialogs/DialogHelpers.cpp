#include "dialogs/DialogHelpers.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QShowEvent>
#include <QVariant>
#include <QWidget>

#include "model/TFileTypes.h"

namespace {

const char* const kBytesProperty = "bytes";

}  // namespace

namespace DialogHelpers {

void CentreOnScreen(QWidget& window)
{
  if (QScreen* screen = QGuiApplication::primaryScreen())
    window.move(screen->availableGeometry().center() - window.rect().center());
}

void StartShowing(QWidget& form, const QShowEvent& event, const std::function<void()>& formShow)
{
  if (event.spontaneous()) return;
  if (formShow) formShow();
  CentreOnScreen(form);
}

QString LocalText(const std::string& bytes)
{
  return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string LocalBytes(const QString& text)
{
  return text.toLocal8Bit().toStdString();
}

void SetEditBytes(QLineEdit& edit, const std::string& bytes)
{
  // The bytes first: a handler of the text change may read them already.
  edit.setProperty(kBytesProperty, QByteArray::fromStdString(bytes));
  edit.setText(LocalText(bytes));
}

std::string EditBytes(const QLineEdit& edit)
{
  const QByteArray bytes = edit.property(kBytesProperty).toByteArray();
  if (!bytes.isNull() && QString::fromLocal8Bit(bytes) == edit.text()) return bytes.toStdString();
  return LocalBytes(edit.text());
}

QStringList FileTypeTitles()
{
  QStringList titles;
  const TFileTypes& types = FileTypes();
  for (int i = 0; i < types.Count(); ++i) titles << LocalText(types.GetFileType(i).Title);
  return titles;
}

}  // namespace DialogHelpers
