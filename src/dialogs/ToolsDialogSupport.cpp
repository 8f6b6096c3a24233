#include "dialogs/ToolsDialogSupport.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QStringList>

namespace {

QList<QRadioButton*> RadioItems(const QGroupBox* group)
{
  return group ? group->findChildren<QRadioButton*>() : QList<QRadioButton*>();
}

}  // namespace

int RadioItemIndex(const QGroupBox* group)
{
  const QList<QRadioButton*> items = RadioItems(group);
  for (int i = 0; i < items.size(); ++i)
    if (items[i]->isChecked()) return i;
  return -1;
}

QString PipeFilterToQt(const std::string& filter)
{
  const QStringList parts = QString::fromLocal8Bit(filter.c_str()).split('|');
  QStringList entries;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString title = parts[i].trimmed();
    QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
    if (patterns.isEmpty()) continue;
    for (QString& pattern : patterns)
      if (pattern == "*.*") pattern = "*";
    // Qt reads the patterns from the last parentheses of the entry.
    QString own = "(" + parts[i + 1] + ")";
    if (title.endsWith(own)) title = title.left(title.size() - own.size()).trimmed();
    entries << title + " (" + patterns.join(' ') + ")";
  }
  if (entries.isEmpty()) entries << "All files (*)";
  return entries.join(";;");
}
