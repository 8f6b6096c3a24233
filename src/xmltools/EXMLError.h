#pragma once
// Errors of the XML tools (checker and XSLT transformer) and the message
// format they share: reason, CR LF, "Line: " and the line number, CR LF, the
// first 40 characters of the offending source line.

#include <stdexcept>
#include <string>

// Any failure of the XML tools; Line is the line the message names (0: none).
class EXMLError : public std::runtime_error {
public:
  explicit EXMLError(const std::string& message, int line = 0) : std::runtime_error(message), Line(line) {}
  int Line;
};

// A text that is not well-formed, not valid, or whose external definitions
// cannot be loaded.
class EXMLParseError : public EXMLError {
public:
  using EXMLError::EXMLError;
};

// A stylesheet that cannot be compiled, a transformation that fails, or a
// transformation asked for without a stylesheet.
class EXSLTError : public EXMLError {
public:
  using EXMLError::EXMLError;
};

// The number of source characters a message quotes.
constexpr std::size_t kSourceExcerptLength = 40;

// reason CR LF "Line: " line CR LF excerpt (the first 40 characters of sourceLine).
std::string FormatXMLErrorMessage(const std::string& reason, int line, const std::string& sourceLine);

// Line number line (1-based; lines end with LF, CR LF or a lone CR) of text,
// without its line end; empty when the text has fewer lines.
std::string LineOfText(const std::string& text, int line);

// The first count characters of text: UTF-8 sequences count as one character
// when the text is valid UTF-8, otherwise every byte counts.
std::string FirstCharacters(const std::string& text, std::size_t count);
