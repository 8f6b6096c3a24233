#pragma once
// A local HTTP server for tests: Python's http.server serving one folder on
// 127.0.0.1. It accepts connections when the constructor returns and is
// stopped by the destructor.

#include <string>
#include <sys/types.h>

class HttpTestServer {
public:
  // Serves folder on a free local port; throws std::runtime_error when the
  // server does not come up.
  explicit HttpTestServer(const std::string& folder);
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  int Port() const { return PortNumber; }
  // "http://127.0.0.1:PORT/"
  std::string BaseURL() const;

private:
  bool Start(const std::string& folder);
  void Stop();

  pid_t Pid = -1;
  int PortNumber = 0;
};
