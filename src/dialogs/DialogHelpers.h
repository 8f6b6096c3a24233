#pragma once
// Small helpers the file dialogs of the main window share.

#include <QString>
#include <string>

class QLineEdit;
class QWidget;

namespace DialogHelpers {

// Moves a window to the centre of the primary screen.
void CentreOnScreen(QWidget& window);

// Byte strings of the model shown in widgets, and back (the local 8-bit
// encoding, as file names are).
QString LocalText(const std::string& bytes);
std::string LocalBytes(const QString& text);

// Byte strings in text fields. Bytes that are no text in the local encoding
// (a Latin-1 name on an FTP server, a definition file written elsewhere) do
// not come back unchanged from the text they are shown as; so a field set
// with SetEditBytes keeps them and EditBytes gives them back for as long as
// the field shows that text. Once the text is changed, the text counts.
void SetEditBytes(QLineEdit& edit, const std::string& bytes);
std::string EditBytes(const QLineEdit& edit);

}  // namespace DialogHelpers
