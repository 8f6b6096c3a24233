#pragma once
// The XML tools: HTML-to-XML convertor, checker, XSLT transformer, batch engine.
#include "xmltools/EXMLError.h"
#include "xmltools/TBatch.h"
#include "xmltools/THTML2XMLConvertor.h"
#include "xmltools/TXMLChecker.h"
#include "xmltools/TXMLTransformer.h"
#include "xmltools/XSLTErrorReport.h"
