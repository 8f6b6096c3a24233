#pragma once
// The XML document converted from an HTML page. The convertor copies the
// page's bytes, so the result is in the page's encoding; an XML reader takes
// a document that names none for UTF-8, so the result of a page in another
// encoding names it in an XML declaration (a declaration the page began with
// gains the name when it lacks one). A UTF-16 page keeps its byte-order
// mark, which names its encoding.

#include <string>

class THTML2XMLConvertor;

// bytes: the page, in encoding (an iconv name, as the text model names it).
std::string ConvertPage(THTML2XMLConvertor& convertor, const std::string& bytes, const std::string& encoding);
