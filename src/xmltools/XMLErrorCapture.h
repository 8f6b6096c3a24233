#pragma once
// Collects the errors that libxml2 and libxslt report while one operation of
// the XML tools runs. While an XMLErrorCapture lives, libxml2's structured
// handler and the generic handlers of libxml2 and libxslt point to it; the
// destructor puts the previous handlers back. Captures nest: the innermost
// one receives the reports.

#include <libxml/xmlerror.h>

#include <functional>
#include <string>

// One error: the reason without file or line prefixes and without a trailing
// line end, the file it was found in (empty: the parsed text itself) and the
// line (0: unknown).
struct XMLErrorRecord {
  std::string Reason;
  std::string File;
  int Line = 0;
};

class XMLErrorCapture {
public:
  XMLErrorCapture();
  ~XMLErrorCapture();
  XMLErrorCapture(const XMLErrorCapture&) = delete;
  XMLErrorCapture& operator=(const XMLErrorCapture&) = delete;

  // The capture receiving reports now; nullptr when none is installed.
  static XMLErrorCapture* Current();

  // True once an error (not a warning) has been recorded.
  bool Failed() const { return HasError; }
  // The first error recorded.
  const XMLErrorRecord& FirstError() const { return First; }
  // Records an error found by our own code (the entity loader).
  void Add(const std::string& reason, const std::string& file, int line);
  // The line the parser of the main text has reached. Errors that come
  // without a location of their own (inside entity values, loading failures
  // of external entities) are placed there.
  std::function<int()> MainTextLine;
  // Where a transformation is (the stylesheet file and line of the running
  // instruction): errors without a location of their own (a document that
  // document() cannot load) are placed there while no text is parsed.
  std::function<void(std::string& file, int& line)> CurrentPlace;
  // Forgets everything recorded so far.
  void Clear();

  // When set, errors that break validity but not well-formedness are left
  // out: libxml2 checks some rules of a DTD (an element declared twice, ID
  // values, attribute defaults, declarations that start and end in different
  // entities) while it reads the DTD, even when it does not validate.
  bool WellFormednessOnly = false;
  // True when the parser stopped at such an error, which libxml2 treats as
  // fatal, so that the rest of the text went unread.
  bool StoppedAtValidityError() const { return SkippedFatal; }

  // The error reports the generic (unstructured) handlers received, in
  // order: libxslt reports its compilation and run-time errors there, each
  // as a context line ("runtime error: file F line N element E") and its
  // message, or as a message alone.
  std::string GenericText;
  // Receives the text of each xsl:message (without its line end), which
  // libxslt writes to the same handler, as a message without context line.
  std::function<void(const std::string& text)> OnMessage;

private:
  static void OnStructuredError(void* context, xmlErrorPtr error);
  static void OnGenericError(void* context, const char* format, ...);
  void ReceiveGeneric(const char* format, const std::string& text);
  void EndMessage();

  bool HasError = false;
  bool SkippedFatal = false;
  XMLErrorRecord First;
  bool AfterContextLine = false;  // the generic handler's next text is an error message
  bool InMessage = false;         // it received part of an xsl:message
  std::string Message;

  XMLErrorCapture* Outer;
  xmlStructuredErrorFunc PreviousStructured;
  void* PreviousStructuredContext;
  xmlGenericErrorFunc PreviousGeneric;
  void* PreviousGenericContext;
  xmlGenericErrorFunc PreviousXsltGeneric;
  void* PreviousXsltGenericContext;
};

// reason without trailing line ends and blanks.
std::string TrimReason(std::string reason);
