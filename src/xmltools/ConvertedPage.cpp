#include "xmltools/ConvertedPage.h"

#include <cstring>
#include <strings.h>

#include "text/EncodingDetection.h"
#include "text/LineEnds.h"
#include "xmltools/THTML2XMLConvertor.h"

namespace {

bool IsUTF8(const std::string& encoding)
{
  return strcasecmp(encoding.c_str(), EncodingUTF8) == 0;
}

bool StartsWithDeclaration(const std::string& xml)
{
  return xml.compare(0, 5, "<?xml") == 0 && xml.size() > 5 && std::strchr(" \t\r\n", xml[5]) && xml[5] != '\0';
}

// Names encoding in the XML declaration xml begins with, after its version,
// unless it names one already.
void NameInDeclaration(std::string& xml, const std::string& encoding)
{
  if (!XMLDeclaredEncoding(xml.data(), xml.size()).empty()) return;
  const std::size_t end = xml.find("?>");
  const std::size_t version = xml.find("version", 5);
  if (end == std::string::npos || version == std::string::npos || version > end) return;
  const std::size_t open = xml.find_first_of("\"'", version);
  const std::size_t close = open == std::string::npos ? open : xml.find(xml[open], open + 1);
  if (close == std::string::npos || close > end) return;
  xml.insert(close + 1, " encoding=\"" + encoding + "\"");
}

}  // namespace

std::string ConvertPage(THTML2XMLConvertor& convertor, const std::string& bytes, const std::string& encoding)
{
  std::string xml;
  convertor.Convert(bytes, xml);
  // UTF-16 with its byte-order mark needs no name.
  if (IsUTF8(encoding) || !IsASCIICompatible(encoding)) return xml;
  if (StartsWithDeclaration(xml)) {
    NameInDeclaration(xml, encoding);
    return xml;
  }
  const char* lineEnd = LineEndText(FirstLineEnd(xml.data(), xml.size()));
  return "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>" + lineEnd + xml;
}
