#pragma once
// How a document's text is written as bytes: its encoding, the byte-order
// mark before it, and the line end that new lines get.

#include <string>

#include "text/EncodingDetection.h"
#include "text/LineEnds.h"

struct TTextFormat {
  std::string Encoding = EncodingUTF8;  // an iconv name
  std::string Mark;                     // the byte-order mark written before the text
  TLineEnd LineEnd = TLineEnd::LF;      // the style of new lines
};
