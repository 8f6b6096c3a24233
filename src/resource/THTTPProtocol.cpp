#include "resource/THTTPProtocol.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <strings.h>

#include "resource/CurlSupport.h"
#include "resource/EResourceError.h"
#include "resource/TCurlProgress.h"
#include "resource/TScopedSetting.h"
#include "resource/TURL.h"
#include "resource/TURLSystem.h"
#include "resource/TWorkProgress.h"

namespace {

constexpr long kMaxRedirects = 10;
// Some servers refuse requests that do not say who asks.
const char* const kUserAgent = "XMLPlivek/" XMLPLIVEK_VERSION;

// State of one GET: the body, the status line of the last response and the
// traffic reported to the log.
struct TTransfer {
  TCurlDownload Body;
  std::string StatusLine;
  TCurlTraffic Traffic;
  TCurlProgress Progress;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user)
{
  auto* transfer = static_cast<TTransfer*>(user);
  if (transfer->Traffic.Error) return 0;  // stops the transfer
  return transfer->Body.Append(data, size * count);
}

// Keeps the status line of each response (the last one wins after redirects).
size_t ReadHeader(char* data, size_t size, size_t count, void* user)
{
  try {
    std::string line(data, size * count);
    if (line.compare(0, 5, "HTTP/") == 0) static_cast<TTransfer*>(user)->StatusLine = TrimLineEnd(line);
  } catch (...) {
    // No exception may cross libcurl; the status line is only kept for messages.
  }
  return size * count;
}

bool StartsWithNoCase(const std::string& text, std::size_t pos, const char* prefix)
{
  std::size_t n = std::strlen(prefix);
  return text.size() - pos >= n && ::strncasecmp(text.c_str() + pos, prefix, n) == 0;
}

// Sent headers with the credentials of Authorization lines (a user name and
// password of the URL, sent in Base64) replaced by "***".
std::string HideAuthorization(const std::string& headers)
{
  std::string shown;
  std::size_t start = 0;
  while (start < headers.size()) {
    std::size_t end = headers.find('\n', start);
    end = end == std::string::npos ? headers.size() : end + 1;
    std::string line = headers.substr(start, end - start);
    std::size_t colon = line.find(':');
    if (colon != std::string::npos &&
        (StartsWithNoCase(line, 0, "Authorization:") || StartsWithNoCase(line, 0, "Proxy-Authorization:")))
      line = line.substr(0, colon + 1) + " ***" + (line.back() == '\n' ? "\r\n" : "");
    shown += line;
    start = end;
  }
  return shown;
}

// The traffic log of one request: sent and received headers, and the start
// of the body, at most kLoggedBodySize bytes (a page of many megabytes would
// fill the log file and the log pane); curl's own notes are left out.
class TTrafficLogger {
public:
  static constexpr std::size_t kLoggedBodySize = 64 * 1024;

  void Log(curl_infotype type, const std::string& chunk)
  {
    switch (type) {
      case CURLINFO_HEADER_OUT: URLSystem().LogSent(HideAuthorization(chunk)); break;
      case CURLINFO_HEADER_IN: URLSystem().LogReceived(chunk); break;
      case CURLINFO_DATA_IN: LogBody(chunk); break;
      default: break;
    }
  }

  // Says how much of the body was left out, if any.
  void Finish()
  {
    if (Skipped > 0) URLSystem().LogReceived("(" + std::to_string(Skipped) + " more bytes of the body not logged)");
    Skipped = 0;
  }

private:
  void LogBody(const std::string& chunk)
  {
    std::size_t room = kLoggedBodySize - std::min(Logged, kLoggedBodySize);
    std::size_t shown = std::min(room, chunk.size());
    if (shown > 0) URLSystem().LogReceived(chunk.substr(0, shown));
    Logged += shown;
    Skipped += chunk.size() - shown;
  }

  std::size_t Logged = 0;
  std::size_t Skipped = 0;
};

bool IsHttps(const std::string& address)
{
  return address.size() >= 6 && ::strncasecmp(address.c_str(), "https:", 6) == 0;
}

std::string FailureMessage(const std::string& url, CURLcode code, const char* detail)
{
  std::string message = "HTTP request for \"" + HidePassword(url) + "\" failed: " + curl_easy_strerror(code);
  if (detail && *detail) message += std::string(" (") + detail + ")";
  return message;
}

}  // namespace

THTTPProtocol::THTTPProtocol()
    : TAbstractProtocol("http")
{
  CurlGlobalInit();
  Curl = curl_easy_init();
  if (!Curl) throw EHTTPError("Cannot start the HTTP client");
}

THTTPProtocol::~THTTPProtocol()
{
  curl_easy_cleanup(static_cast<CURL*>(Curl));
}

bool THTTPProtocol::IsConnected(TURL&)
{
  return true;
}

void THTTPProtocol::Connect(TURL&) {}

void THTTPProtocol::Disconnect(TURL&) {}

void THTTPProtocol::DeleteFile(TURL&) {}

// An http folder is always empty.
void THTTPProtocol::ListFolder(TURL& url)
{
  url.Items.clear();
}

namespace {

// The certificates an https server's must lead to: caFile, else the bundle
// that SSL_CERT_FILE names (as OpenSSL's own tools take it), else the
// system's store.
void TrustCertificates(CURL* curl, const std::string& caFile)
{
  const char* named = std::getenv("SSL_CERT_FILE");
  std::string bundle = !caFile.empty() ? caFile : named != nullptr ? named : "";
  if (bundle.empty()) return;
  curl_easy_setopt(curl, CURLOPT_CAINFO, bundle.c_str());
  curl_easy_setopt(curl, CURLOPT_CAPATH, nullptr);
}

void SetOptions(CURL* curl, const THTTPProtocol& driver, const std::string& address, TTransfer& transfer,
                char* detail)
{
  curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
  SetRequestOptions(curl, "http,https", detail, driver.ConnectTimeout, driver.StallTimeout, driver.TransferTimeout);
  if (IsHttps(address)) SetRedirectProtocols(curl, "https");
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  TrustCertificates(curl, driver.CAFile);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
  transfer.Body.Limit = driver.MaxSize;
  transfer.Body.Request = curl;  // a Content-Length within the limit is reserved at once
  curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(driver.MaxSize));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, ReadHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
  transfer.Progress.Attach(curl);
}

// Raises EHTTPError for a request that failed or answered with an error status.
void CheckResult(CURL* curl, CURLcode code, TTransfer& transfer, const std::string& address, const char* detail)
{
  if (code == CURLE_FILESIZE_EXCEEDED) transfer.Body.TooLarge = true;
  std::string limit = transfer.Body.Failure("response");
  if (!limit.empty()) throw EHTTPError("HTTP request for \"" + HidePassword(address) + "\" failed: " + limit);
  if (code != CURLE_OK) throw EHTTPError(FailureMessage(address, code, detail));
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  if (status >= 400) {
    std::string line = transfer.StatusLine.empty() ? "HTTP status " + std::to_string(status) : transfer.StatusLine;
    throw EHTTPError(line + ": " + HidePassword(address));
  }
}

}  // namespace

// GET of the URL text, over TLS for https with the server's certificate
// checked. Redirects are followed (bounded), from https to https only; an
// error status, a failed connection and a stalled or endless transfer raise
// EHTTPError naming the URL; a request whose work is cancelled raises
// ECancelled.
void THTTPProtocol::GetFile(TURL& url, std::string& text)
{
  text.clear();
  const std::string address = url.GetURL();
  TWorkProgress::SetCurrentStep("Reading " + HidePassword(address));
  // A request on another thread holds the kept handle: this one gets its own.
  std::unique_lock<std::mutex> kept(HandleLock, std::try_to_lock);
  std::unique_ptr<CURL, void (*)(CURL*)> own(kept ? nullptr : curl_easy_init(), curl_easy_cleanup);
  if (!kept && !own) throw EHTTPError("Cannot start the HTTP client");
  CURL* curl = kept ? static_cast<CURL*>(Curl) : own.get();
  curl_easy_reset(curl);  // keeps the connection cache
  TTransfer transfer;
  TTrafficLogger logger;
  char detail[CURL_ERROR_SIZE] = "";
  SetOptions(curl, *this, address, transfer, detail);
  if (TURLSystem::TrafficLogged()) {
    transfer.Traffic.Handler = [&logger](curl_infotype type, const std::string& chunk) { logger.Log(type, chunk); };
    ReportTraffic(curl, transfer.Traffic);
  }
  CURLcode code = curl_easy_perform(curl);
  if (code == CURLE_OK && !transfer.Body.Finish()) code = CURLE_OUT_OF_MEMORY;
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
  if (transfer.Progress.Stopped(code)) throw ECancelled();
  if (transfer.Traffic.Error) std::rethrow_exception(transfer.Traffic.Error);
  if (transfer.Traffic.Handler) logger.Finish();
  CheckResult(curl, code, transfer, address, detail);
  text = std::move(transfer.Body.Bytes);
}

void THTTPProtocol::GetResource(TURL& url, std::string& text)
{
  TScopedSetting<std::size_t> size(MaxSize, std::min(MaxSize, MaxResourceSize));
  TScopedSetting<long> time(TransferTimeout, std::min(TransferTimeout, ResourceTimeout));
  GetFile(url, text);
}

// http is read-only.
void THTTPProtocol::PutFile(TURL&, const std::string&) {}

void THTTPProtocol::CheckIdle() {}
