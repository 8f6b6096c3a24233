#pragma once
// Checks one XML text for well-formedness and, when asked, for validity
// against the DTD and the XML schema it refers to. Relative references to
// external definitions and entities resolve against the document's location
// (BaseURL), or the current folder when it has none. A document from
// elsewhere (the web, an FTP server) may not make the checker read local
// files. The text is read as a stream: no document tree is built, so memory
// stays small for large texts. While the calling thread has a current work
// progress (TWorkProgress::Current()), the check reports the bytes of the text
// read so far and raises ECancelled soon after the progress is cancelled.

#include <string>

class TXMLChecker {
public:
  TXMLChecker() = default;

  bool Validate = false;  // also validate against the DTD and schema the text names
  std::string XML;        // the text to check
  // Where the text comes from: a local path or the URL text of a remote
  // document; empty: a document in the current folder.
  std::string BaseURL;

  // True when the text passes; otherwise raises EXMLParseError ("reason CR LF
  // Line: n CR LF source excerpt"), or EXMLError when Validate is on and the
  // text names neither a DTD nor a schema to validate against.
  bool Check();
};
