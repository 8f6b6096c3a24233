#include "ServerProcess.h"

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestSupport.h"

namespace {

const char* const kPython = "/usr/bin/python3";
constexpr int kReadyTimeoutMs = 15000;

// A descriptor closed with the object.
class TDescriptor {
public:
  explicit TDescriptor(int fd = -1) : Fd(fd) {}
  ~TDescriptor()
  {
    if (Fd >= 0) ::close(Fd);
  }
  TDescriptor(const TDescriptor&) = delete;
  TDescriptor& operator=(const TDescriptor&) = delete;
  int Fd;
};

// Bound and listening; SO_REUSEADDR lets a restarted server take its port
// back while connections of its last run wait out their time.
int ListenOnLocalPort(int port)
{
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("cannot open a socket for a test server");
  int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 64) != 0) {
    ::close(fd);
    throw std::runtime_error("a test server cannot listen on 127.0.0.1:" + std::to_string(port));
  }
  return fd;
}

int PortOf(int fd)
{
  sockaddr_in addr{};
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  return ntohs(addr.sin_port);
}

[[noreturn]] void RunChild(const std::string& script, const std::vector<std::string>& args, int listening, int ready,
                           const std::string& outputFile)
{
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlive the test program
  int null = ::open("/dev/null", O_RDONLY);
  if (null >= 0) ::dup2(null, STDIN_FILENO);
  int out = ::open(outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  if (out >= 0) {
    ::dup2(out, STDOUT_FILENO);
    ::dup2(out, STDERR_FILENO);
  }
  // Both descriptors are closed on exec, so that no other child of the test
  // program holds the port; the child's own copies are not.
  std::vector<std::string> words{kPython, script, std::to_string(::dup(listening)), std::to_string(::dup(ready))};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  ::execv(kPython, argv.data());
  ::_exit(127);
}

// True once the child wrote its byte; false when it closed the pipe (it
// ended) or stayed silent too long.
bool WaitUntilReady(int fd)
{
  pollfd watch{fd, POLLIN, 0};
  int ready = ::poll(&watch, 1, kReadyTimeoutMs);
  char byte = 0;
  return ready > 0 && ::read(fd, &byte, 1) == 1;
}

}  // namespace

ServerProcess::~ServerProcess()
{
  Stop(true);
}

void ServerProcess::Start(const std::string& script, const std::vector<std::string>& args, int port,
                          const std::string& outputFile)
{
  if (Pid > 0) return;
  TDescriptor listening(ListenOnLocalPort(port));
  Port = PortOf(listening.Fd);
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  TDescriptor readEnd(pipeEnds[0]);
  TDescriptor writeEnd(pipeEnds[1]);
  pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) RunChild(script, args, listening.Fd, writeEnd.Fd, outputFile);
  Pid = pid;
  ::close(writeEnd.Fd);
  writeEnd.Fd = -1;
  if (!WaitUntilReady(readEnd.Fd)) {
    Stop(true);
    throw std::runtime_error("the test server " + script + " did not start: " + ReadTestFile(outputFile));
  }
}

void ServerProcess::Stop(bool kill)
{
  if (Pid <= 0) return;
  ::kill(Pid, kill ? SIGKILL : SIGTERM);
  ::waitpid(Pid, nullptr, 0);
  Pid = -1;
}
