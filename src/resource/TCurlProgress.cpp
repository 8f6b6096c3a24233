#include "resource/TCurlProgress.h"

#include <cstdint>

#include "resource/TWorkProgress.h"

namespace {

std::uint64_t Count(curl_off_t value)
{
  return value > 0 ? static_cast<std::uint64_t>(value) : 0;
}

}  // namespace

void TCurlProgress::Attach(CURL* curl)
{
  Progress = TWorkProgress::Current();
  StoppedByCancel = false;
  if (!Progress) return;
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &TCurlProgress::Report);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
}

// A request that sends (an upload) reports what it sent, any other what it
// received; 0 stands for a total not known (yet).
int TCurlProgress::Report(void* self, curl_off_t downloadTotal, curl_off_t downloaded, curl_off_t uploadTotal,
                          curl_off_t uploaded)
{
  auto* request = static_cast<TCurlProgress*>(self);
  if (request->Cancellable && request->Progress->Cancelled()) {
    request->StoppedByCancel = true;
    return 1;
  }
  if (uploadTotal > 0 || uploaded > 0)
    request->Progress->Report(Count(uploaded), Count(uploadTotal));
  else
    request->Progress->Report(Count(downloaded), Count(downloadTotal));
  return 0;
}
