#include "xmltools/XMLErrorCapture.h"

#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxslt/xsltutils.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "xmltools/XMLLimitMessage.h"

namespace {

XMLErrorCapture* CurrentCapture = nullptr;

// libxml2 reports markup that starts and ends in different entities as a
// fatal error. Where a parameter entity was referenced inside a declaration,
// that breaks validity only: a content group it opens or closes, or the end
// of the declaration found in it (the entity opened last, still being read).
// A parameter entity referenced between declarations must hold whole
// declarations: one that it starts and the text after it ends breaks
// well-formedness; its end lies in the entity that referenced it.
bool IsNestingValidityError(const xmlError& error)
{
  static const char kGroup[] = "Element content declaration";
  if (error.message != nullptr && std::strncmp(error.message, kGroup, sizeof kGroup - 1) == 0) return true;
  auto* parser = static_cast<xmlParserCtxtPtr>(error.ctxt);
  return parser != nullptr && parser->input != nullptr && parser->input->id == parser->input_id - 1;
}

// True for an error that does not break well-formedness: every report of
// the validity checks, and those reports of the parser that concern
// validity (a reference to an entity that is not declared where the
// declarations are not all internal) or nothing the XML rules require (a
// system identifier that is no URI).
bool IsValidityError(const xmlError& error)
{
  if (error.domain == XML_FROM_VALID || error.domain == XML_FROM_DTD) return true;
  if (error.domain != XML_FROM_PARSER) return false;
  if (error.code == XML_ERR_ENTITY_BOUNDARY) return IsNestingValidityError(error);
  return error.code == XML_WAR_UNDECLARED_ENTITY || error.code == XML_ERR_INVALID_URI;
}

}  // namespace

std::string TrimReason(std::string reason)
{
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
    reason.pop_back();
  return reason;
}

XMLErrorCapture::XMLErrorCapture()
    : Outer(CurrentCapture),
      PreviousStructured(xmlStructuredError),
      PreviousStructuredContext(xmlStructuredErrorContext),
      PreviousGeneric(xmlGenericError),
      PreviousGenericContext(xmlGenericErrorContext),
      PreviousXsltGeneric(xsltGenericError),
      PreviousXsltGenericContext(xsltGenericErrorContext)
{
  CurrentCapture = this;
  xmlSetStructuredErrorFunc(this, &XMLErrorCapture::OnStructuredError);
  xmlSetGenericErrorFunc(this, &XMLErrorCapture::OnGenericError);
  xsltSetGenericErrorFunc(this, &XMLErrorCapture::OnGenericError);
}

XMLErrorCapture::~XMLErrorCapture()
{
  xsltSetGenericErrorFunc(PreviousXsltGenericContext, PreviousXsltGeneric);
  xmlSetGenericErrorFunc(PreviousGenericContext, PreviousGeneric);
  xmlSetStructuredErrorFunc(PreviousStructuredContext, PreviousStructured);
  CurrentCapture = Outer;
}

XMLErrorCapture* XMLErrorCapture::Current()
{
  return CurrentCapture;
}

void XMLErrorCapture::Add(const std::string& reason, const std::string& file, int line)
{
  if (HasError) return;
  HasError = true;
  std::string place = file;
  if (line == 0 && place.empty() && MainTextLine)
    line = MainTextLine();
  else if (line == 0 && place.empty() && CurrentPlace)
    CurrentPlace(place, line);
  First = XMLErrorRecord{TrimReason(reason), place, line};
}

void XMLErrorCapture::Clear()
{
  HasError = false;
  SkippedFatal = false;
  First = XMLErrorRecord();
  GenericText.clear();
  AfterContextLine = InMessage = false;
  Message.clear();
}

void XMLErrorCapture::OnStructuredError(void* context, xmlErrorPtr error)
{
  if (error == nullptr || error->level < XML_ERR_ERROR) return;
  auto* capture = static_cast<XMLErrorCapture*>(context);
  if (capture->WellFormednessOnly && IsValidityError(*error)) {
    if (error->level == XML_ERR_FATAL) capture->SkippedFatal = true;
    return;
  }
  int line = error->line;
  // Validity errors found on a node carry the node's line.
  if (line == 0 && error->node != nullptr) line = xmlGetLineNo(static_cast<xmlNodePtr>(error->node));
  // The parser reports errors inside entity values without a file; their
  // line counts within the value, so they are placed in the main text.
  if (error->file == nullptr && error->domain == XML_FROM_PARSER) line = 0;
  capture->Add(error->message ? PlainParserLimitMessage(TrimReason(error->message)) : "Unknown XML error",
               error->file ? error->file : "", line < 0 ? 0 : line);
}

void XMLErrorCapture::OnGenericError(void* context, const char* format, ...)
{
  auto* capture = static_cast<XMLErrorCapture*>(context);
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text;
  if (size > 0) {
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    text.assign(buffer.data(), static_cast<std::size_t>(size));
  }
  va_end(args);
  capture->ReceiveGeneric(format, text);
}

// libxslt writes an error as a context line (format "%s: file %s line %d
// element %s" and shorter ones of the same start, or "%s\n") followed by its
// message (format "%s"), a few errors as their message alone (a format of
// their own), and an xsl:message as its text (format "%s") with or without a
// final line end (format "\n") and no context line.
void XMLErrorCapture::ReceiveGeneric(const char* format, const std::string& text)
{
  bool plainText = std::strcmp(format, "%s") == 0;
  if (plainText && !AfterContextLine) {
    Message += text;
    InMessage = true;
    if (!Message.empty() && Message.back() == '\n') EndMessage();
    return;
  }
  if (std::strcmp(format, "\n") == 0 && InMessage) {
    EndMessage();
    return;
  }
  if (InMessage) EndMessage();
  bool contextLine = std::strncmp(format, "%s: ", 4) == 0 || std::strcmp(format, "%s\n") == 0;
  // A message alone is placed where the transformation is, if it runs.
  std::size_t length = std::strlen(format);
  if (!contextLine && !AfterContextLine && CurrentPlace && length > 0 && format[length - 1] == '\n') {
    std::string file;
    int line = 0;
    CurrentPlace(file, line);
    if (line > 0) GenericText += "runtime error: file " + file + " line " + std::to_string(line) + "\n";
  }
  GenericText += text;
  AfterContextLine = contextLine;
}

void XMLErrorCapture::EndMessage()
{
  std::string text = TrimReason(Message);
  Message.clear();
  InMessage = false;
  if (OnMessage) OnMessage(text);
}
