#include "HttpTestServer.h"

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestSupport.h"

namespace {

const char* const kPython = "/usr/bin/python3";
constexpr int kStartAttempts = 5;
constexpr int kReadyPolls = 200;           // 200 polls of 50 ms: 10 s at most
constexpr useconds_t kPollInterval = 50000;

[[noreturn]] void RunServer(const std::string& folder, int port)
{
  ::prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlive the test program
  int null = ::open("/dev/null", O_RDWR);
  if (null >= 0) {
    ::dup2(null, STDIN_FILENO);
    ::dup2(null, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
  }
  std::string portText = std::to_string(port);
  ::execl(kPython, kPython, "-m", "http.server", "--bind", "127.0.0.1", portText.c_str(), "--directory",
          folder.c_str(), static_cast<char*>(nullptr));
  ::_exit(127);
}

}  // namespace

HttpTestServer::HttpTestServer(const std::string& folder)
{
  for (int attempt = 0; attempt < kStartAttempts; ++attempt)
    if (Start(folder)) return;
  throw std::runtime_error("the test HTTP server did not start");
}

HttpTestServer::~HttpTestServer()
{
  Stop();
}

std::string HttpTestServer::BaseURL() const
{
  return "http://127.0.0.1:" + std::to_string(PortNumber) + "/";
}

// One try on a fresh port: false when the server exits (port taken) or never
// accepts connections.
bool HttpTestServer::Start(const std::string& folder)
{
  PortNumber = FreeLocalPort();
  Pid = ::fork();
  if (Pid < 0) throw std::runtime_error("fork failed");
  if (Pid == 0) RunServer(folder, PortNumber);
  for (int poll = 0; poll < kReadyPolls; ++poll) {
    if (LocalPortAccepts(PortNumber)) return true;
    int status = 0;
    if (::waitpid(Pid, &status, WNOHANG) == Pid) {
      Pid = -1;
      return false;
    }
    ::usleep(kPollInterval);
  }
  Stop();
  return false;
}

void HttpTestServer::Stop()
{
  if (Pid <= 0) return;
  ::kill(Pid, SIGTERM);
  int status = 0;
  ::waitpid(Pid, &status, 0);
  Pid = -1;
}
