#pragma once
// Reads libxslt's error reports. libxslt writes each error through its generic
// error handler as a context line ("compilation error: file F line N element
// E" or "runtime error: ...") followed by the message; xsl:message texts come
// the same way, without a context line.

#include <string>

#include "model/XMLErrorCapture.h"

// The first message that follows a context line, with the file and line that
// line names. An empty reason when text holds no such message.
XMLErrorRecord XSLTErrorReport(const std::string& text);

// The last line of text that is not empty: the message of a terminating
// xsl:message, or a report without context.
std::string LastReportLine(const std::string& text);
