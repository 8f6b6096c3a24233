#pragma once
// Small helpers the dialogs share.

#include <QString>
#include <QStringList>
#include <functional>
#include <string>

class QLineEdit;
class QShowEvent;
class QWidget;

namespace DialogHelpers {

// Moves a window to the centre of the primary screen.
void CentreOnScreen(QWidget& window);

// For the showEvent of a form centred on the screen: when the program shows
// the form (show(), exec()), formShow (if any) runs and the form moves to the
// centre of the screen. A show by the window system, as when the minimised
// main window is restored, is no new showing and changes nothing.
void StartShowing(QWidget& form, const QShowEvent& event, const std::function<void()>& formShow = nullptr);

// Byte strings of the model shown in widgets, and back (the local 8-bit
// encoding, as file names are).
QString LocalText(const std::string& bytes);
std::string LocalBytes(const QString& text);

// The bytes of a local path that a file dialog gave. A name that is no text
// in the local encoding (a Latin-1 file name) comes back from the dialog
// with U+FFFD in place of its bytes: each such part of the path is taken
// from the one entry of its folder that shows as that text. Any other part
// is its local bytes.
std::string LocalPathBytes(const QString& path);

// Byte strings in text fields. Bytes that are no text in the local encoding
// (a Latin-1 name on an FTP server, a definition file written elsewhere) do
// not come back unchanged from the text they are shown as; so a field set
// with SetEditBytes keeps them and EditBytes gives them back for as long as
// the field shows that text. Once the text is changed, the text counts.
void SetEditBytes(QLineEdit& edit, const std::string& bytes);
std::string EditBytes(const QLineEdit& edit);

// The titles of the document types, in list order: the items of every list
// whose positions are positions in the document-type list.
QStringList FileTypeTitles();

}  // namespace DialogHelpers
