#include "xmltools/XMLLimitMessage.h"

#include <libxml/parserInternals.h>

#include <cstdio>
#include <cstring>

namespace {

// n with its thousands separated by commas: 10,000,000.
std::string Grouped(unsigned long n)
{
  std::string digits = std::to_string(n);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<std::size_t>(i), ",");
  return digits;
}

std::string ParserLimit(unsigned long limit, const std::string& what)
{
  return "The text exceeds the XML parser's limit of " + Grouped(limit) + " " + what;
}

bool StartsWith(const std::string& text, const char* prefix)
{
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool Contains(const std::string& text, const char* part)
{
  return text.find(part) != std::string::npos;
}

// The number that follows marker in text; false when there is none.
bool NumberAfter(const std::string& text, const char* marker, long& number)
{
  std::size_t at = text.find(marker);
  return at != std::string::npos && std::sscanf(text.c_str() + at + std::strlen(marker), "%ld", &number) == 1;
}

bool EndsWith(const std::string& text, const char* suffix)
{
  std::size_t length = std::strlen(suffix);
  return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

struct LengthLimit {
  const char* Start;  // how the report starts
  const char* End;    // and ends
  const char* What;   // what is too long
};

// The reports of texts longer than the parser reads.
const LengthLimit kLengthLimits[] = {
    {"xmlSAX2Characters: huge text node", "", "bytes for one text"},
    {"AttValue length too long", "", "bytes for an attribute value"},
    {"Comment too big found", "", "bytes for a comment"},
    {"PI ", " too big found", "bytes for a processing instruction"},
    {"CData section too big found", "", "bytes for a CDATA section"},
    {"entity value too long", "", "bytes for an entity value"},
};

}  // namespace

std::string PlainParserLimitMessage(const std::string& reason)
{
  long depth = 0;
  // The parser refuses an element when as many as the limit are open already.
  if (NumberAfter(reason, "Excessive depth in document: ", depth))
    return ParserLimit(static_cast<unsigned long>(depth) + 1, "levels of nested elements");
  if (NumberAfter(reason, "xmlParseElementChildrenContentDecl : depth ", depth))
    return ParserLimit(static_cast<unsigned long>(depth) - 1, "levels of nested groups in a content model");
  if (StartsWith(reason, "Name too long")) return ParserLimit(XML_MAX_NAME_LENGTH, "bytes for a name");
  if (Contains(reason, "Huge input lookup")) return ParserLimit(XML_MAX_LOOKUP_LIMIT, "bytes for one piece of markup");
  for (const LengthLimit& limit : kLengthLimits)
    if (StartsWith(reason, limit.Start) && EndsWith(reason, limit.End))
      return ParserLimit(XML_MAX_TEXT_LENGTH, limit.What);
  return reason;
}

std::string PlainXSLTLimitMessage(const std::string& reason, const std::string& detail)
{
  if (!Contains(reason, "A potential infinite template recursion was detected")) return reason;
  long limit = 0;
  if (!NumberAfter(detail, "(currently set to ", limit)) return reason;
  std::string what = Contains(detail, "xsltMaxDepth") ? "levels of nested template calls and variables"
                                                       : "variables and parameters in use at once";
  return "The transformation exceeds the XSLT processor's limit of " + Grouped(static_cast<unsigned long>(limit)) +
         " " + what + " (is a recursion endless?)";
}
