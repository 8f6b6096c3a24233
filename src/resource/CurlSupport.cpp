#include "resource/CurlSupport.h"

#include <fcntl.h>
#include <mutex>
#include <sys/socket.h>

namespace {

int ReportChunk(CURL*, curl_infotype type, char* data, size_t size, void* user)
{
  auto* traffic = static_cast<TCurlTraffic*>(user);
  if (traffic->Error) return 0;
  try {
    traffic->Handler(type, std::string(data, size));
  } catch (...) {
    traffic->Error = std::current_exception();
  }
  return 0;
}

// Every socket of a request is closed on exec: a program the editor starts
// while a connection is open (a tool, a browser) must not get it, or the
// connection would stay open, holding the server's session, after the
// editor closed it. Sockets libcurl opens are made so at once; the ones it
// accepts (the server's data connection in active FTP mode) right after.
curl_socket_t OpenSocket(void*, curlsocktype, curl_sockaddr* address)
{
  return ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
}

int PrepareSocket(void*, curl_socket_t socket, curlsocktype purpose)
{
  if (purpose == CURLSOCKTYPE_ACCEPT) ::fcntl(socket, F_SETFD, ::fcntl(socket, F_GETFD) | FD_CLOEXEC);
  return CURL_SOCKOPT_OK;
}

}  // namespace

void CurlGlobalInit()
{
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

namespace {

#if LIBCURL_VERSION_NUM < 0x075500
long ProtocolMask(const std::string& protocols)
{
  long mask = 0;
  std::size_t start = 0;
  while (start <= protocols.size()) {
    std::size_t end = protocols.find(',', start);
    if (end == std::string::npos) end = protocols.size();
    std::string name = protocols.substr(start, end - start);
    if (name == "ftp") mask |= CURLPROTO_FTP;
    if (name == "http") mask |= CURLPROTO_HTTP;
    if (name == "https") mask |= CURLPROTO_HTTPS;
    start = end + 1;
  }
  return mask;
}
#endif

}  // namespace

void SetRedirectProtocols(CURL* curl, const char* protocols)
{
#if LIBCURL_VERSION_NUM >= 0x075500
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, protocols);
#else
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS, ProtocolMask(protocols));
#endif
}

void SetRequestOptions(CURL* curl, const char* protocols, char* errorBuffer, long connectTimeout, long stallTimeout,
                       long totalTimeout)
{
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
#if LIBCURL_VERSION_NUM >= 0x075500
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, protocols);
#else
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS, ProtocolMask(protocols));
#endif
  SetRedirectProtocols(curl, protocols);
  curl_easy_setopt(curl, CURLOPT_PROXY, "");
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, connectTimeout);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, stallTimeout);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, totalTimeout);
  curl_easy_setopt(curl, CURLOPT_OPENSOCKETFUNCTION, OpenSocket);
  curl_easy_setopt(curl, CURLOPT_SOCKOPTFUNCTION, PrepareSocket);
}

std::string TrimLineEnd(std::string line)
{
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' ')) line.pop_back();
  return line;
}

void ReportTraffic(CURL* curl, TCurlTraffic& traffic)
{
  curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, ReportChunk);
  curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &traffic);
  curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
}
