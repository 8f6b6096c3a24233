#pragma once
// What the two libcurl clients (the FTP client and the HTTP driver) share:
// the one-time start of the library, the options every request gets and the
// traffic callback, which keeps exceptions of the traffic log from crossing
// libcurl. What a request receives goes into a TCurlDownload.

#include <curl/curl.h>

#include <cstddef>
#include <exception>
#include <functional>
#include <string>

#include "resource/TCurlDownload.h"

// curl_global_init, once per process.
void CurlGlobalInit();

// Options of every request: no signals, libcurl's error text into
// errorBuffer (CURL_ERROR_SIZE bytes), only the given protocols ("ftp",
// "http,https"; also after redirects), no proxy, whatever the environment
// names; connecting may take connectTimeout seconds, a transfer that moves
// nothing for stallTimeout seconds gives up, and so does one that lasts
// totalTimeout seconds in all (a server trickling a byte now and then never
// stalls).
void SetRequestOptions(CURL* curl, const char* protocols, char* errorBuffer, long connectTimeout, long stallTimeout,
                       long totalTimeout);

// The protocols a request may be redirected to ("https", "http,https").
void SetRedirectProtocols(CURL* curl, const char* protocols);

// A header line or server reply without its line end and trailing blanks.
std::string TrimLineEnd(std::string line);

// The traffic of one request. Handler receives each chunk libcurl reports
// with its kind; the first exception it raises is kept in Error, and the
// chunks after it are dropped. Whoever runs the request raises Error then.
struct TCurlTraffic {
  std::function<void(curl_infotype type, const std::string& chunk)> Handler;
  std::exception_ptr Error;
};

// Sends the request's traffic to traffic (verbose mode with a debug callback).
void ReportTraffic(CURL* curl, TCurlTraffic& traffic);
