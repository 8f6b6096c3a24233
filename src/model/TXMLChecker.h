#pragma once
// Checks one XML text for well-formedness and, when asked, for validity
// against the DTD and the XML schema it refers to. Relative references to
// external definitions and entities resolve against the current folder, which
// the callers set to the document's folder. The text is read as a stream: no
// document tree is built, so memory stays small for large texts.

#include <string>

class TXMLChecker {
public:
  TXMLChecker() = default;

  bool Validate = false;  // also validate against the DTD and schema the text names
  std::string XML;        // the text to check

  // True when the text passes; otherwise raises EXMLParseError ("reason CR LF
  // Line: n CR LF source excerpt"), or EXMLError when Validate is on and the
  // text names neither a DTD nor a schema to validate against.
  bool Check();
};
