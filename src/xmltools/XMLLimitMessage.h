#pragma once
// Plain words for the reports of libxml2 and libxslt about their fixed
// limits (nesting depth, length of a text or name, recursion of templates).
// Their own texts name options of the library and its command-line tools,
// which a user of the XML tools cannot set, or say nothing of the limit.

#include <string>

// The plain message for a libxml2 report (its message, without line end):
// which limit the text exceeds, and its value. Any other report unchanged.
std::string PlainParserLimitMessage(const std::string& reason);

// The same for a libxslt report: reason is its first line, detail the line
// after it (where libxslt names the option and the limit).
std::string PlainXSLTLimitMessage(const std::string& reason, const std::string& detail);
