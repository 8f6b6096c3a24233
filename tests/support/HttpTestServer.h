#pragma once
// A local HTTP server for tests: Python's http.server serving one folder on
// 127.0.0.1, plain or over TLS with a test certificate. It accepts
// connections when the constructor returns and is stopped by the destructor.
//
// Besides the folder's files it answers a few addresses of its own, for
// clients that must stand up to a hostile server:
//   /_redirect?TARGET   302 to TARGET (percent-decoded)
//   /_endless           a body that never ends, sent as fast as it goes
//   /_drip              a body of 1 MB that comes one byte every 0.2 s
//   /_stall             no answer at all
//   /_headers           the headers of a 1 MB body, then nothing
// Every request line and its headers are written to RequestLog() as the
// request arrives.

#include <string>

#include "ServerProcess.h"

class HttpTestServer {
public:
  enum class TCertificate {
    None,     // plain http
    Trusted,  // https with TrustedCertificateFile(), valid until 2100
    Expired   // https with a certificate of the same name and key that expired in 2001
  };

  // Serves folder on a free local port; throws std::runtime_error when the
  // server does not come up.
  explicit HttpTestServer(const std::string& folder, TCertificate certificate = TCertificate::None);
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  int Port() const { return Process.Port; }
  // "http://127.0.0.1:PORT/" ("https://..." over TLS)
  std::string BaseURL() const;
  // What the server was asked so far: each request line and its headers.
  std::string RequestLog() const;

  // A PEM file holding the self-signed certificates of the Trusted and the
  // Expired server, for clients that are to trust them (the expired one
  // still fails on its date).
  static std::string TrustedCertificateFile();

private:
  TCertificate Certificate;
  std::string WorkFolder;  // the script, the certificate, the request log and the server's output
  ServerProcess Process;
};
