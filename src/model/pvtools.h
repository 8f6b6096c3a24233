#pragma once
// The XML tools: HTML-to-XML convertor, checker, XSLT transformer, batch engine.
#include "model/THTML2XMLConvertor.h"
