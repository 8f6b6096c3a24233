#pragma once
// A real FTP server (pyftpdlib under /usr/bin/python3) on 127.0.0.1 for the
// tests: one user with a password, a temporary root folder, a free port. A
// second user, "guest" (password "visitor"), has a root folder of its own. The
// server runs from construction until destruction; Stop and Start simulate a
// dead server and bring it back on the same port.

#include <string>

#include "ServerProcess.h"

class FtpTestServer {
public:
  struct Options {
    std::string User = "tester";
    std::string Password = "secret";
    bool Mlsd = true;  // false: the server answers MLSD with 500, clients must use LIST
  };

  FtpTestServer();
  explicit FtpTestServer(const Options& options);
  ~FtpTestServer();
  FtpTestServer(const FtpTestServer&) = delete;
  FtpTestServer& operator=(const FtpTestServer&) = delete;

  // Starts the server and waits until it accepts connections (raises when it
  // does not within a few seconds).
  void Start();
  // Kills the server; its root folder stays.
  void Stop();

  const Options Settings;
  int Port = 0;
  std::string Root;       // the server's "/", ending with "/"
  std::string GuestRoot;  // "/" of the user "guest", ending with "/"

  // "127.0.0.1:PORT": the host text of ftp URLs that reach this server.
  std::string Host() const;
  // The server's own log: every command it received ("<- QUIT") and more.
  std::string ServerLog() const;

private:
  std::string WorkFolder;  // the script and the server's log
  ServerProcess Process;
};

// A TCP port on 127.0.0.1 that accepts connections (the kernel completes the
// handshake) but never says a word: for time-out tests.
class SilentTcpServer {
public:
  SilentTcpServer();
  ~SilentTcpServer();
  SilentTcpServer(const SilentTcpServer&) = delete;
  SilentTcpServer& operator=(const SilentTcpServer&) = delete;

  int Port = 0;
  std::string Host() const;

private:
  int Socket = -1;
};
