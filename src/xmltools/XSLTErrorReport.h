#pragma once
// Reads libxslt's error reports. libxslt writes each error through its generic
// error handler as a context line ("compilation error: file F line N element
// E" or "runtime error: ...") followed by the message, or a few as their
// message alone.

#include <string>

#include "xmltools/XMLErrorCapture.h"

// The first error of the reports: the first message that follows a context
// line, with the file and line that line names; failing that, the first
// message that came alone, without a place. Notices that are no errors (the
// version note of a stylesheet for a later XSLT version) are passed over. An
// empty reason when text holds no error.
XMLErrorRecord XSLTErrorReport(const std::string& text);

// The last line of text that is not empty: libxslt's last words.
std::string LastReportLine(const std::string& text);
