#pragma once
// Control characters in names. A file or folder name, local or from a
// server, may hold any byte but "/" and NUL: written raw into the log, an
// escape sequence acts on the terminal that shows the log and a line break
// makes a line of its own.

#include <string>

// True when text holds a control character: a byte below 0x20, or DEL.
bool HasControlCharacter(const std::string& text);

// text with every control character written as "\xHH" ("\x1B" for ESC,
// "\x0A" for a line feed), and every C1 control character written in UTF-8
// (U+0080 to U+009F) as "\u0080" to "\u009F"; the rest stays as it is.
std::string EscapeControlCharacters(const std::string& text);

// The same for a message of several lines: tabs, line feeds and CR LF pairs
// stay.
std::string EscapeControlCharactersInText(const std::string& text);
