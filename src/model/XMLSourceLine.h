#pragma once
// The text of one line of an XML document or external entity, for the
// excerpts of error messages, which are UTF-8 whatever the document's
// encoding.

#include <string>

// Line number line (1-based; lines end with LF, as the parser counts them)
// of the XML text bytes, as UTF-8 without its line end. The bytes are read
// in the encoding that their byte order mark, their first bytes (UTF-16
// without a mark) or their XML or text declaration name, UTF-8 when none
// does; bytes that the encoding does not allow show as U+FFFD, and an
// encoding the system does not know leaves the bytes as they are. Empty
// when the text has fewer lines.
std::string XMLSourceLine(const std::string& bytes, int line);
