#include "EventRecorder.h"

#include <cstdio>

std::string EscapeBytes(std::string_view bytes) {
  std::string out = "\"";
  for (unsigned char c : bytes) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case 0: out += "\\0"; break;
      default:
        if (c < 0x20 || c >= 0x7F) {
          char hex[5];
          std::snprintf(hex, sizeof hex, "\\x%02X", c);
          out += hex;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

EventRecorder::EventRecorder(TXMLParser& parser) {
  parser.OnStartTag = [this](TXMLParser&, const std::string& name, const std::vector<std::string>& attributes,
                             bool empty) {
    Events += "start " + EscapeBytes(name) + (empty ? " empty=1\n" : " empty=0\n");
    for (const std::string& entry : attributes) Events += "  attr " + EscapeBytes(entry) + "\n";
  };
  parser.OnEndTag = [this](TXMLParser&, const std::string& name) { Events += "end " + EscapeBytes(name) + "\n"; };
  parser.OnText = [this](TXMLParser&, const std::string& text) { Events += "text " + EscapeBytes(text) + "\n"; };
  parser.OnComment = [this](TXMLParser&, const std::string& text) {
    Events += "comment " + EscapeBytes(text) + "\n";
  };
  parser.OnDecl = [this](TXMLParser&, const std::string& name, const std::string& body) {
    Events += "decl " + EscapeBytes(name) + " " + EscapeBytes(body) + "\n";
  };
  parser.OnPI = [this](TXMLParser&, const std::string& target, const std::string& data) {
    Events += "pi " + EscapeBytes(target) + " " + EscapeBytes(data) + "\n";
  };
}

std::string ParseToEvents(std::string_view text, unsigned options) {
  TXMLParser parser;
  parser.Options = options;
  EventRecorder recorder(parser);
  parser.Parse(text);
  return recorder.Events;
}
