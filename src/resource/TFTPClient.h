#pragma once
// A small FTP client over one libcurl easy handle. The handle keeps the
// control connection between operations, so one client is one connection.
// Transfers are binary; errors raise EFTPError naming the operation, the host,
// the remote name and the server's or libcurl's reason. Every request reports
// to the calling thread's work progress and stops with ECancelled when that
// work is cancelled; the connection is closed then (Connected() is false).

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "resource/TFTPListParser.h"

struct TFTPTransfer;  // the state of one request (TFTPTransfer.h)

class TFTPClient {
public:
  using TTrafficEvent = std::function<void(const std::string& data)>;

  TFTPClient();
  ~TFTPClient();
  TFTPClient(const TFTPClient&) = delete;
  TFTPClient& operator=(const TFTPClient&) = delete;

  // The server: a host written "host:port" connects to that port, otherwise
  // to Port.
  std::string Host;
  int Port = 21;
  std::string User;  // empty: anonymous login
  std::string Password;
  bool Passive = false;  // false: active mode (EPRT/PORT)

  // Seconds allowed to connect (and for the server to open an active-mode
  // data connection), and for a transfer or a reply that stops moving.
  long ConnectTimeout = 20;
  long StallTimeout = 60;
  // The stall limit of a listing, when shorter than StallTimeout.
  long ListStallTimeout = 60;
  // Seconds a whole request may last (a server that trickles a byte now and
  // then never stalls), and a whole listing, when shorter.
  long TransferTimeout = 1800;
  long ListTimeout = 120;
  // The largest file and listing taken into memory (bytes); a server that
  // sends more fails the request.
  std::size_t MaxFileSize = std::size_t(1) << 30;
  std::size_t MaxListingSize = std::size_t(32) << 20;

  // Control traffic, chunk by chunk, while level 5 of the application log is
  // enabled. The argument of PASS is replaced by "***".
  TTrafficEvent OnSent;
  TTrafficEvent OnReceived;

  // Our own state: true from a successful Connect until Disconnect or an error
  // that lost the connection. Never touches the network.
  bool Connected() const { return Open; }

  // Connects and logs in; an open connection is closed first.
  void Connect();
  // Closes the control connection (QUIT when the server still listens).
  void Disconnect();

  // The entries of a folder: MLSD where the server offers it (with LIST asked
  // too when it names folders, to tell links to folders), LIST otherwise.
  std::vector<TFTPListEntry> List(const std::string& path);
  // A path that ends in "/" names a folder: reading or writing it raises.
  std::string Retrieve(const std::string& path);
  // Replaces (or creates) the remote file: through a temporary copy beside
  // it (".name.part") renamed over it, so a store that fails or is cancelled
  // leaves the file as it was; in place where the server allows no such copy
  // or rename.
  void Store(const std::string& path, const std::string& bytes);
  void Delete(const std::string& path);

private:
  void* Handle = nullptr;    // the libcurl easy handle; it holds the connection
  bool Open = false;         // logged in, as far as we know
  bool MlsdRefused = false;  // the server answered MLSD with "not implemented"

  std::string Authority() const;
  std::string RemoteURL(const std::string& path) const;
  void Prepare(TFTPTransfer& transfer, const std::string& url);
  void PrepareListing(TFTPTransfer& transfer, const std::string& url);
  void MarkLinks(std::vector<TFTPListEntry>& entries, const std::string& url);
  // STOR of bytes as path; the commands afterwards run once it succeeded.
  int Upload(TFTPTransfer& transfer, const std::string& path, const std::string& bytes,
             const std::vector<std::string>& afterwards);
  int SendDelete(TFTPTransfer& transfer, const std::string& path);
  void DeleteQuietly(const std::string& path);
  void DiscardTemporary(const std::string& temporary);
  // Runs the prepared request; errors of the traffic log are raised here.
  int Run(TFTPTransfer& transfer);
  // Raises EFTPError for a failed request (and forgets a lost connection).
  void Check(TFTPTransfer& transfer, int code, const std::string& what, const std::string& target);
  void RequireConnection(const std::string& what, const std::string& target) const;
  void RequireFileName(const std::string& what, const std::string& target) const;
  void CloseHandle();
  std::vector<TFTPListEntry> ParseListing(const std::string& text, bool mlsd, const std::string& path) const;
};
