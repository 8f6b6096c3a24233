#pragma once
// Entity references in attribute values of the program's own data files. The
// event parser passes values on exactly as the file spells them; each reader
// decides which references it resolves. Pure functions of 8-bit text.

#include <string>

// Resolves the five predefined references, ignoring letter case, in the order
// "&gt;", "&lt;", "&quot;", "&apos;" and last "&amp;", so that every reference
// is resolved exactly once ("&amp;lt;" gives "&lt;"). Numeric and other named
// references stay as they are.
std::string XMLDecode(const std::string& text);

// Writes "&quot;" for each double quote and "&apos;" for each single quote;
// nothing else changes.
std::string XMLQuoteAttr(const std::string& text);

// Replaces "&quot;" (ignoring case) by a double quote, then "&apos;" (ignoring
// case) by a single quote; other references stay.
std::string XMLUnquoteAttr(const std::string& text);

// Full protection of an attribute value: "&", "<", double and single quote
// become references (">" is safe inside a quoted value and stays).
// XMLDecode(XMLEscapeAttr(x)) == x for every x.
std::string XMLEscapeAttr(const std::string& text);
