#pragma once
// Checks one XML text for well-formedness and, when asked, for validity
// against the DTD and the XML schema it refers to. Relative references to
// external definitions and entities resolve against the document's location
// (BaseURL), or the current folder when it has none. What the check may
// read is the XMLEntityLoader's to decide: once it has read anything from the
// network (the document itself, a DTD, an entity, a schema), it reads no
// local file but those the local texts name themselves and the catalog's.
// Attribute values that come to far more than the text and its definitions
// (defaults the DTD gives every element) stop the check. The text is read as a stream: no document tree is built, so memory
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
  // Where the text came from when that is not BaseURL: the URL text of the
  // document a transform or conversion made it from. A text from the network
  // makes the check one that has read from the network.
  std::string Origin;

  // True when the text passes; otherwise raises EXMLParseError ("reason CR LF
  // Line: n CR LF source excerpt"), or EXMLError when Validate is on and the
  // text names neither a DTD nor a schema to validate against.
  bool Check();
};
