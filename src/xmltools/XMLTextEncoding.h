#pragma once
// The encoding of an XML document or external entity as the XML tools read
// it: the text of one of its lines, for the excerpts of error messages,
// which are UTF-8 whatever the document's encoding; and the byte order mark
// against the encoding declaration.

#include <string>

// Line number line (1-based; lines end with LF, CR LF or a lone CR, as the
// parser counts them in a text handed over by XMLTextFeed)
// of the XML text bytes, as UTF-8 without its line end. The bytes are read
// in the encoding that their byte order mark, their first bytes (UTF-16
// without a mark) or their XML or text declaration name, UTF-8 when none
// does; bytes that the encoding does not define, and all bytes of an
// encoding the system does not know, stay as they are. Empty
// when the text has fewer lines.
std::string XMLSourceLine(const std::string& bytes, int line);

// Whether the XML text bytes are in UTF-16 or UTF-32 (by their byte order
// mark, their first bytes or their declaration), whose line ends are no
// single bytes.
bool IsWideXMLText(const std::string& bytes);

// The encoding form of the byte order mark that the XML text bytes begin
// with ("UTF-8", "UTF-16" or "UTF-32"), and the encoding that the XML
// declaration after it names; both empty when there is no mark, Declared
// empty when there is no declaration or it names no encoding.
struct XMLMarkedEncoding {
  std::string Mark;
  std::string Declared;
};
XMLMarkedEncoding ReadMarkedEncoding(const std::string& bytes);
