#include "ProcessSockets.h"

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <set>
#include <sstream>
#include <vector>

#include "TestSupport.h"

namespace {

// The inodes of the TCP sockets of the system, as /proc/net shows them.
std::set<std::string> TcpSocketInodes()
{
  std::set<std::string> inodes;
  for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
    std::istringstream lines(ReadTestFile(table));
    std::string line;
    std::getline(lines, line);  // the heading
    while (std::getline(lines, line)) {
      std::istringstream fields(line);
      std::vector<std::string> values{std::istream_iterator<std::string>(fields), std::istream_iterator<std::string>()};
      if (values.size() > 9) inodes.insert(values[9]);  // the tenth column
    }
  }
  return inodes;
}

// The lines of fdLinks (a descriptor and its link, "5 -> socket:[1234]")
// that name a TCP socket: a connection or a listening socket.
std::string TcpSockets(const std::string& fdLinks)
{
  std::string sockets;
  std::set<std::string> tcp = TcpSocketInodes();
  std::istringstream lines(fdLinks);
  for (std::string line; std::getline(lines, line);) {
    std::size_t open = line.find("socket:[");
    if (open == std::string::npos) continue;
    open += 8;
    if (tcp.count(line.substr(open, line.find(']', open) - open)) > 0) sockets += line + "\n";
  }
  return sockets;
}

}  // namespace

std::string OpenConnections()
{
  std::string links;
  for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code gone;  // the descriptor of the listing itself
    links += fd.path().filename().string() + " -> " + std::filesystem::read_symlink(fd.path(), gone).string() + "\n";
  }
  return TcpSockets(links);
}

std::string ConnectionsOfAStartedProgram()
{
  std::string links;
  FILE* listing = ::popen("ls -l /proc/self/fd", "r");
  if (listing == nullptr) return "cannot start ls";
  char line[512];
  while (std::fgets(line, sizeof line, listing) != nullptr) links += line;
  ::pclose(listing);
  return TcpSockets(links);
}
