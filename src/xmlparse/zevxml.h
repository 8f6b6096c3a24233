#pragma once
// The table-driven lexer and the XML event parser.

#include "xmlparse/TXMLParser.h"
#include "xmlparse/TZevLex.h"
