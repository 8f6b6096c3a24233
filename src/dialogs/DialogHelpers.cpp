#include "dialogs/DialogHelpers.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QShowEvent>
#include <QVariant>
#include <QWidget>
#include <dirent.h>
#include <memory>
#include <vector>

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

std::string LocalPathBytes(const QString& path)
{
  if (!path.contains(QChar::ReplacementCharacter)) return LocalBytes(path);
  const QStringList parts = path.split('/');
  std::string result;
  for (int i = 0; i < parts.size(); ++i) {
    if (i > 0) result += '/';
    std::string part = LocalBytes(parts[i]);
    if (parts[i].contains(QChar::ReplacementCharacter)) {
      std::vector<std::string> matches;
      std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(result.empty() ? "." : result.c_str()), ::closedir);
      while (dir && matches.size() < 2) {
        const dirent* entry = ::readdir(dir.get());
        if (!entry) break;
        if (LocalText(entry->d_name) == parts[i]) matches.emplace_back(entry->d_name);
      }
      if (matches.size() == 1) part = matches.front();
    }
    result += part;
  }
  return result;
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
