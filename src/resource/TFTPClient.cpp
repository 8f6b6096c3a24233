#include "resource/TFTPClient.h"

// The FTP client's connection and the making of its requests: the server's
// address, preparing and running one request, the failure it raises, logging
// in and closing. Listing is in TFTPClientListing.cpp, the file transfers in
// TFTPClientTransfer.cpp.

#include <algorithm>
#include <cctype>
#include <system_error>
#include <strings.h>

#include "resource/CurlSupport.h"
#include "resource/EResourceError.h"
#include "resource/TFTPTransfer.h"
#include "resource/TURL.h"
#include "resource/TURLSystem.h"
#include "resource/TWorkProgress.h"

namespace {

constexpr long kQuitTimeout = 3;  // seconds to wait for the answer to QUIT

// Every byte but the unreserved ones and "/" is percent-encoded; a leading "/"
// is encoded too, so the server sees the name as absolute.
std::string EscapePath(const std::string& path)
{
  static const char kHex[] = "0123456789ABCDEF";
  std::string escaped;
  for (std::size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    bool plain = std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || (c == '/' && i > 0);
    if (plain && c < 0x80) {
      escaped += static_cast<char>(c);
    } else {
      escaped += '%';
      escaped += kHex[c >> 4];
      escaped += kHex[c & 0x0F];
    }
  }
  return escaped;
}

bool HasLineBreak(const std::string& text)
{
  return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

bool ValidHostChar(unsigned char c)
{
  return std::isalnum(c) || c == '.' || c == '-' || c == '_' || c == ':' || c == '[' || c == ']';
}

// Errors after which libcurl holds no usable control connection.
bool LosesConnection(CURLcode code)
{
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_LOGIN_DENIED:
      return true;
    default:
      return false;
  }
}

size_t ReceiveData(char* data, size_t size, size_t count, void* user)
{
  return static_cast<TFTPTransfer*>(user)->Download.Append(data, size * count);
}

// libcurl hands every server reply line of the control connection here; the
// final line of a reply ("550 ...", not "550-...") is kept for error messages.
size_t ReceiveReply(char* data, size_t size, size_t count, void* user)
{
  try {
    std::string line = TrimLineEnd(std::string(data, size * count));
    auto* transfer = static_cast<TFTPTransfer*>(user);
    transfer->PassedNote = transfer->Detail;
    if (line.size() >= 3 && (line.size() == 3 || line[3] == ' ') && std::isdigit(static_cast<unsigned char>(line[0])))
      transfer->LastReply = line;
  } catch (...) {
    // No exception may cross libcurl; the reply is only kept for messages.
  }
  return size * count;
}

}  // namespace

TFTPClient::TFTPClient()
{
  CurlGlobalInit();
}

TFTPClient::~TFTPClient()
{
  CloseHandle();
}

// "host", "host:port", "[v6]" or "[v6]:port"; anything that could be read as
// user information, a path or a query of the URL is refused.
std::string TFTPClient::Authority() const
{
  auto invalid = [this](const std::string& why) {
    return EFTPError("FTP connect to \"" + HidePassword(Host) + "\" failed: " + why);
  };
  if (Host.empty()) throw invalid("no host name");
  for (unsigned char c : Host)
    if (!ValidHostChar(c)) throw invalid("invalid host name");
  std::string name = Host;
  std::string port;
  if (Host[0] == '[') {
    std::size_t close = Host.find(']');
    if (close == std::string::npos) throw invalid("invalid host name");
    name = Host.substr(0, close + 1);
    if (close + 1 < Host.size()) {
      if (Host[close + 1] != ':') throw invalid("invalid host name");
      port = Host.substr(close + 2);
    }
  } else if (Host.find(':') != Host.rfind(':')) {
    name = "[" + Host + "]";  // a bare IPv6 address
  } else if (Host.find(':') != std::string::npos) {
    name = Host.substr(0, Host.find(':'));
    port = Host.substr(Host.find(':') + 1);
  }
  if (name.empty() || name == "[]") throw invalid("no host name");
  if (port.empty() && Host.back() == ':') throw invalid("invalid port");
  if (port.empty()) port = std::to_string(Port);
  if (port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos) throw invalid("invalid port");
  int number = std::stoi(port);
  if (number < 1 || number > 65535) throw invalid("invalid port");
  return name + ":" + std::to_string(number);
}

std::string TFTPClient::RemoteURL(const std::string& path) const
{
  return "ftp://" + Authority() + "/" + EscapePath(path);
}

void TFTPClient::Prepare(TFTPTransfer& transfer, const std::string& url)
{
  CURL* curl = static_cast<CURL*>(Handle);
  curl_easy_reset(curl);  // keeps the connection
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  SetRequestOptions(curl, "ftp", transfer.Detail, ConnectTimeout, StallTimeout, TransferTimeout);
  if (!User.empty()) {
    curl_easy_setopt(curl, CURLOPT_USERNAME, User.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, Password.c_str());
  }
  // Every command names the remote file or folder by its full path: no CWD.
  curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
  if (!Passive) curl_easy_setopt(curl, CURLOPT_FTPPORT, "-");
  curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, 0L);
  curl_easy_setopt(curl, CURLOPT_ACCEPTTIMEOUT_MS, ConnectTimeout * 1000L);
  curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, StallTimeout);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, ReceiveReply);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, ReceiveData);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
  transfer.Download.Request = curl;  // a size the server names is reserved at once
  transfer.Progress.Attach(curl);
  if ((OnSent || OnReceived) && TURLSystem::TrafficLogged()) {
    // Sent commands and received replies go to the traffic log; the password never does.
    transfer.Traffic.Handler = [this](curl_infotype type, const std::string& chunk) {
      if (type == CURLINFO_HEADER_OUT && OnSent)
        OnSent(chunk.size() >= 5 && strncasecmp(chunk.c_str(), "PASS ", 5) == 0 ? "PASS ***\r\n" : chunk);
      else if (type == CURLINFO_HEADER_IN && OnReceived)
        OnReceived(chunk);
    };
    ReportTraffic(curl, transfer.Traffic);
  }
}

int TFTPClient::Run(TFTPTransfer& transfer)
{
  CURL* curl = static_cast<CURL*>(Handle);
  CURLcode code = curl_easy_perform(curl);
  if (code == CURLE_OK && !transfer.Download.Finish()) code = CURLE_OUT_OF_MEMORY;
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
  curl_easy_getinfo(curl, CURLINFO_OS_ERRNO, &transfer.OsError);
  const bool cancelled = transfer.Progress.Stopped(code);
  if (LosesConnection(code) || cancelled) CloseHandle();
  if (cancelled) throw ECancelled();
  if (transfer.Traffic.Error) std::rethrow_exception(transfer.Traffic.Error);
  return code;
}

namespace {

// libcurl's own words for the failure: its error text unless that is a note
// it went on after, else the system's error of a broken connection, else the
// text of the code.
std::string CurlReason(const TFTPTransfer& transfer, int code)
{
  if (transfer.Detail[0] && transfer.PassedNote != transfer.Detail) return transfer.Detail;
  if (transfer.OsError != 0 && (code == CURLE_SEND_ERROR || code == CURLE_RECV_ERROR))
    return std::string(code == CURLE_SEND_ERROR ? "Send failure: " : "Recv failure: ") +
           std::generic_category().message(static_cast<int>(transfer.OsError));
  return curl_easy_strerror(static_cast<CURLcode>(code));
}

// What stopped the transfer: the download's limit, the server's error reply
// when there is one, else libcurl's reason.
std::string FailureReason(TFTPTransfer& transfer, int code)
{
  if (code == CURLE_FILESIZE_EXCEEDED) transfer.Download.TooLarge = true;
  std::string reason = transfer.Download.Failure(transfer.What);
  if (!reason.empty()) return reason;
  if (code == CURLE_OPERATION_TIMEDOUT) return "time-out: " + CurlReason(transfer, code);
  if (transfer.ReplyCode() >= 400) return transfer.LastReply;
  return CurlReason(transfer, code);
}

}  // namespace

void TFTPClient::Check(TFTPTransfer& transfer, int code, const std::string& what, const std::string& target)
{
  if (code == CURLE_OK) return;
  std::string reason = FailureReason(transfer, code);
  std::string message = "FTP " + what;
  if (!target.empty()) message += " \"" + target + "\"";
  message += (what == "connect" ? " to " : " on ") + Host + " failed: " + reason;
  throw EFTPError(message);
}

void TFTPClient::RequireConnection(const std::string& what, const std::string& target) const
{
  std::string message = "FTP " + what + " \"" + target + "\" on " + Host + " failed: ";
  if (!Open) throw EFTPError(message + "not connected");
  if (HasLineBreak(target)) throw EFTPError(message + "the name holds a line break or a NUL byte");
}

// A name ending in "/" would make libcurl list the folder (a read) or refuse
// without a word of the reason (a write).
void TFTPClient::RequireFileName(const std::string& what, const std::string& target) const
{
  if (target.empty() || target.back() == '/')
    throw EFTPError("FTP " + what + " \"" + target + "\" on " + Host + " failed: the name is a folder, not a file");
}

void TFTPClient::Connect()
{
  CloseHandle();
  std::string url = "ftp://" + Authority() + "/";
  TWorkProgress::SetCurrentStep("Connecting to ftp://" + HidePassword(Host));
  // libcurl sends both as they are: a line break would add a command of its own.
  if (HasLineBreak(User) || HasLineBreak(Password))
    throw EFTPError("FTP connect to " + Host + " failed: the user name or password holds a line break or a NUL byte");
  Handle = curl_easy_init();
  if (!Handle) throw EFTPError("FTP connect to " + Host + " failed: cannot start the FTP client");
  TFTPTransfer transfer;
  Prepare(transfer, url);
  curl_easy_setopt(static_cast<CURL*>(Handle), CURLOPT_NOBODY, 1L);  // log in, transfer nothing
  try {
    Open = true;
    Check(transfer, Run(transfer), "connect", "");
  } catch (...) {
    CloseHandle();
    throw;
  }
}

void TFTPClient::Disconnect()
{
  CloseHandle();
}

void TFTPClient::CloseHandle()
{
  Open = false;
  MlsdRefused = false;
  if (!Handle) return;
  CURL* curl = static_cast<CURL*>(Handle);
  Handle = nullptr;
  // Cleaning up sends QUIT on a live connection and waits for the answer as
  // long as the last request allowed. A server that no longer answers (a
  // connection silently dropped on the way) must not hold the caller for a
  // whole stall limit: a request that fails before it touches the network
  // hands libcurl the short limit first.
  curl_easy_reset(curl);
  curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, std::min(StallTimeout, kQuitTimeout));
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_URL, "ftp://[");
  curl_easy_perform(curl);
  curl_easy_cleanup(curl);
}
