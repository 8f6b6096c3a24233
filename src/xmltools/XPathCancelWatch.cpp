#include "xmltools/XPathCancelWatch.h"

#include <chrono>

#include "resource/TWorkProgress.h"

namespace {

// How often the watch looks at the progress: a cancel takes effect within this.
constexpr std::chrono::milliseconds kLookInterval(20);

}  // namespace

XPathCancelWatch::XPathCancelWatch(xmlXPathContextPtr context, const TWorkProgress* progress)
{
  if (context != nullptr && progress != nullptr) Watcher = std::thread([=] { Watch(context, progress); });
}

XPathCancelWatch::~XPathCancelWatch()
{
  {
    std::lock_guard<std::mutex> guard(Lock);
    Ending = true;
  }
  Ended.notify_all();
  if (Watcher.joinable()) Watcher.join();
}

void XPathCancelWatch::Watch(xmlXPathContextPtr context, const TWorkProgress* progress)
{
  std::unique_lock<std::mutex> guard(Lock);
  while (!Ending) {
    if (progress->Cancelled()) {
      // The evaluating thread reads the limit at every step; a limit of one
      // operation is passed at once (counting starts with the limit).
      __atomic_store_n(&context->opLimit, 1UL, __ATOMIC_RELAXED);
      return;
    }
    Ended.wait_for(guard, kLookInterval);
  }
}
