#pragma once
// Records the events of a TXMLParser as readable text, one line per event:
//   start "name" empty=0|1   followed by one line   attr "entry"   per entry
//   end "name" / text "..." / comment "..." / decl "name" "body" / pi "target" "data"
// Bytes outside printable ASCII, the backslash and the double quote are escaped.

#include <string>
#include <string_view>

#include "xmlparse/zevxml.h"

std::string EscapeBytes(std::string_view bytes);

class EventRecorder {
public:
  // Assigns all six events of the parser.
  explicit EventRecorder(TXMLParser& parser);

  std::string Events;
};

// Parses text with the given options and returns the recorded events.
std::string ParseToEvents(std::string_view text, unsigned options = 0);
