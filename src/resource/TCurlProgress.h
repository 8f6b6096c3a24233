#pragma once
// Ties one libcurl request to the work progress of the thread that runs it
// (TWorkProgress::Current() when the request is prepared): the bytes moved go
// to the progress, and a cancel of the work stops the request. libcurl asks
// about once a second even while a server stays silent or a connection is
// being made, so a cancel takes effect within a second. libcurl drops the
// connection of a request it stopped. Without a current progress nothing
// changes.

#include <curl/curl.h>

class TWorkProgress;

class TCurlProgress {
public:
  // False: the request reports but is not stopped (the rest of a step that
  // must run to its end once begun).
  bool Cancellable = true;

  // Installs the progress callback on curl; call it after curl_easy_reset,
  // with the request's other options.
  void Attach(CURL* curl);
  // True when the request ended (with code) because its work was cancelled.
  bool Stopped(CURLcode code) const { return code == CURLE_ABORTED_BY_CALLBACK && StoppedByCancel; }

private:
  static int Report(void* self, curl_off_t downloadTotal, curl_off_t downloaded, curl_off_t uploadTotal,
                    curl_off_t uploaded);

  TWorkProgress* Progress = nullptr;
  bool StoppedByCancel = false;
};
