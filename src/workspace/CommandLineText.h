#pragma once
// Text rules of the command line and of the file dialogs' filters.

#include <QString>
#include <string>

// When text begins with quote: the text up to the next quote that is not
// doubled (a doubled quote stands for one; an unclosed quote runs to the
// end), whatever follows dropped. Text that does not begin with quote, or
// whose quoted part is empty, is returned unchanged.
std::string DequoteText(const std::string& text, char quote);

// The argument of a macro, from the text after its "(": up to the first ")",
// or, when it begins with a double or a single quote, up to the quote that
// closes it (a doubled quote stands for one), since a quoted file name may
// hold ")" ("a (1).xml"). An unclosed quote runs to the first ")".
std::string MacroArgument(const std::string& textAfterBracket);

// True when a command-line argument is a switch. A switch begins with "/";
// since absolute paths begin with "/" too here, an argument that names an
// existing file, or has another "/" before its first "=", is a path instead.
bool IsSwitchArgument(const std::string& argument);

// The document-type id a switch argument ("/name=id") selects: the text after
// the first "=", ASCII letters upper-cased. found is false for a switch
// without "=", which changes nothing.
std::string SwitchTypeId(const std::string& argument, bool& found);

// A file argument as a path: dequoted (double, then single quotes), "\" turned
// into "/", and a relative path made absolute against folder (the folder the
// program was started in), so the document stays where it is when the
// current directory changes later. An empty folder leaves a relative path as
// it is (the path of a DDE open macro).
std::string CommandLinePath(const std::string& argument, const std::string& folder);

// The document types' filter ("Title (*.a;*.b)|*.a;*.b|...") in the form of
// Qt's file dialogs ("Title (*.a *.b);;..."); "All files (*)" when empty.
QString QtFileFilter(const std::string& filter);

// The folder part of a native file name: up to and including its last "/"
// (or ":"); empty when it has neither.
std::string NativeFolderPart(const std::string& nativeName);
