#pragma once
// Lets the user's cancel stop one long XPath expression of a transformation.
// libxslt asks about the cancel only between instructions, and a single
// expression (count(//a[count(following::a)>0]) over many elements) may run
// for minutes. libxml2 checks an operation limit of the XPath context at every
// step of an evaluation; while a watch lives, a thread of its own lowers that
// limit as soon as the work is cancelled, so the evaluation ends with an
// error at its next step, and so does every evaluation after it.

#include <libxml/xpath.h>

#include <condition_variable>
#include <mutex>
#include <thread>

class TWorkProgress;

class XPathCancelWatch {
public:
  // Watches progress (nothing when it is nullptr) for context.
  XPathCancelWatch(xmlXPathContextPtr context, const TWorkProgress* progress);
  ~XPathCancelWatch();
  XPathCancelWatch(const XPathCancelWatch&) = delete;
  XPathCancelWatch& operator=(const XPathCancelWatch&) = delete;

private:
  void Watch(xmlXPathContextPtr context, const TWorkProgress* progress);

  std::mutex Lock;
  std::condition_variable Ended;
  bool Ending = false;
  std::thread Watcher;
};
