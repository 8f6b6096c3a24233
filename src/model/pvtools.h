#pragma once
// The XML tools: HTML-to-XML convertor, checker, XSLT transformer, batch engine.
#include "model/THTML2XMLConvertor.h"
#include "model/EXMLError.h"
#include "model/TXMLChecker.h"
#include "model/TXMLTransformer.h"
#include "model/XSLTErrorReport.h"
#include "model/TBatch.h"
