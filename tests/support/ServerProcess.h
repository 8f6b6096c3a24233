#pragma once
// A test server run as a child process, /usr/bin/python3 SCRIPT LISTEN READY
// ARGS..., on a socket that this side opens on 127.0.0.1 and the child
// inherits (descriptor LISTEN): the port is held from the start, so no other
// server, and no connection of another test, can take it between choosing
// and serving, and nobody has to probe it. The child writes a byte to the
// pipe descriptor READY once it serves. It dies with the test program.

#include <string>
#include <sys/types.h>
#include <vector>

class ServerProcess {
public:
  ServerProcess() = default;
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  // Listens on port (0: a free port) and starts the child, its standard
  // output and error going to outputFile (appended). Raises
  // std::runtime_error, naming the output, when the port cannot be had or
  // the child does not report within 15 s.
  void Start(const std::string& script, const std::vector<std::string>& args, int port,
             const std::string& outputFile);
  // Kills the child (SIGTERM, else SIGKILL), which frees the port.
  void Stop(bool kill = false);
  bool Running() const { return Pid > 0; }

  int Port = 0;

private:
  pid_t Pid = -1;
};
