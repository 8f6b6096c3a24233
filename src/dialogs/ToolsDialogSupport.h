#pragma once
// Small pieces shared by the tools dialogs (transform, HTML conversion, batch):
// radio groups read and set by item index, and file-dialog filters.

#include <QString>
#include <string>

class QGroupBox;
class QWidget;

// The item index of a radio group: the position of its checked radio button
// among the group's radio buttons (in creation order); -1 when none is checked.
int RadioItemIndex(const QGroupBox* group);
// Checks the radio button at index; an index outside the items unchecks all.
void SetRadioItemIndex(QGroupBox* group, int index);

// A filter of the form "Title|*.a;*.b|Title|*.c|" in the form Qt's file
// dialogs take ("Title (*.a *.b);;Title (*.c)"). "*.*" stands for every file
// and becomes "*". "All files (*)" when no entry has patterns.
QString PipeFilterToQt(const std::string& filter);

// Centres a top-level window on the primary screen.
void CentreOnScreen(QWidget* window);

// Text conversions between the widgets and the model's byte strings.
inline QString LocalText(const std::string& bytes)
{
  return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
inline std::string LocalBytes(const QString& text)
{
  return text.toLocal8Bit().toStdString();
}
