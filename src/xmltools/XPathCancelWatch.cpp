#include "xmltools/XPathCancelWatch.h"

XPathCancelWatch::XPathCancelWatch(xmlXPathContextPtr context, const TWorkProgress* progress)
{
  if (context == nullptr || progress == nullptr) return;
  Subscription.emplace(*progress, [context] {
    // The evaluating thread reads the limit at every step; a limit of one
    // operation is passed at once (counting starts with the limit).
    __atomic_store_n(&context->opLimit, 1UL, __ATOMIC_RELAXED);
  });
}
