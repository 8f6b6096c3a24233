#pragma once
// Small pieces shared by the tools dialogs (transform, HTML conversion, batch):
// the item index of radio groups, and file-dialog filters. Text
// conversions and centring are DialogHelpers'.

#include <QString>
#include <string>

class QGroupBox;

// The item index of a radio group: the position of its checked radio button
// among the group's radio buttons (in creation order); -1 when none is checked.
int RadioItemIndex(const QGroupBox* group);

// A filter of the form "Title|*.a;*.b|Title|*.c|" in the form Qt's file
// dialogs take ("Title (*.a *.b);;Title (*.c)"). "*.*" stands for every file
// and becomes "*". "All files (*)" when no entry has patterns.
QString PipeFilterToQt(const std::string& filter);
