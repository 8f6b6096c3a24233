#pragma once
// Read-only driver for "http" URLs, on libcurl. It also serves the URLs of
// unknown protocols, fetching them by the scheme they were written with: an
// https URL over TLS, any other scheme not at all.

#include <cstddef>
#include <mutex>
#include <string>

#include "resource/TAbstractProtocol.h"

class THTTPProtocol : public TAbstractProtocol {
public:
  THTTPProtocol();
  ~THTTPProtocol() override;

  // Seconds allowed to connect, for a transfer that stops moving, and for a
  // whole request.
  long ConnectTimeout = 20;
  long StallTimeout = 60;
  long TransferTimeout = 600;
  // The largest response body taken into memory (bytes); a larger one fails.
  std::size_t MaxSize = std::size_t(1) << 30;
  // The limits of a resource fetched on the fly (GetResource): its largest
  // size and the seconds the whole request may last.
  std::size_t MaxResourceSize = std::size_t(64) << 20;
  long ResourceTimeout = 120;
  // The certificates trusted for https, as a PEM file; empty: the bundle that
  // the SSL_CERT_FILE environment variable names, else the system's.
  std::string CAFile;

  bool IsConnected(TURL& url) override;
  void Connect(TURL& url) override;
  void Disconnect(TURL& url) override;
  void DeleteFile(TURL& url) override;
  void ListFolder(TURL& url) override;
  // Raises EHTTPError for an error status and on connection failures.
  void GetFile(TURL& url, std::string& text) override;
  // GetFile within the resource limits (MaxResourceSize, ResourceTimeout).
  void GetResource(TURL& url, std::string& text) override;
  void PutFile(TURL& url, const std::string& text) override;
  void CheckIdle() override;

private:
  void* Curl = nullptr;  // the libcurl easy handle, kept for connection reuse
  std::mutex HandleLock;  // held by the request that uses Curl
};
