#pragma once
// Small helpers the file dialogs of the main window share.

#include <QString>
#include <string>

class QWidget;

namespace DialogHelpers {

// Moves a window to the centre of the primary screen.
void CentreOnScreen(QWidget& window);

// Byte strings of the model shown in widgets, and back (the local 8-bit
// encoding, as file names are).
QString LocalText(const std::string& bytes);
std::string LocalBytes(const QString& text);

}  // namespace DialogHelpers
