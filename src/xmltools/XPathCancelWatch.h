#pragma once
// Lets the user's cancel stop one long XPath expression of a transformation.
// libxslt asks about the cancel only between instructions, and a single
// expression (count(//a[count(following::a)>0]) over many elements) may run
// for minutes. libxml2 checks an operation limit of the XPath context at every
// step of an evaluation; while a watch lives, the cancel itself lowers that
// limit, so the evaluation ends with an error at its next step, and so does
// every evaluation after it. No thread of its own: a second thread would make
// every allocation of the transformation take the C library's locks.

#include <libxml/xpath.h>

#include <optional>

#include "resource/TWorkProgress.h"

class XPathCancelWatch {
public:
  // Watches progress (nothing when it is nullptr) for context.
  XPathCancelWatch(xmlXPathContextPtr context, const TWorkProgress* progress);

private:
  std::optional<TWorkProgress::TCancelSubscription> Subscription;
};
