#pragma once
// Shared helpers of the test programs.

#include <atomic>
#include <string>
#include <thread>

// A fresh empty folder under the system's temporary folder, ending with "/".
std::string MakeTempFolder(const std::string& prefix = "xmlplivek-test");
// Writes bytes to a file, creating or truncating it.
void WriteTestFile(const std::string& path, const std::string& bytes);
// The whole content of a file ("" when it cannot be read).
std::string ReadTestFile(const std::string& path);
// A TCP port on 127.0.0.1 that is free at the moment of the call (a test
// server takes its port with ServerProcess instead: another may take this
// one before it is used).
int FreeLocalPort();

// Gives the user uid read access to the file at path through its access list
// (the "system.posix_acl_access" attribute, as setfacl writes it): the owner
// keeps the rights of the file's mode, the owning group and others get none,
// and the mask that the mode's group bits then show is "r". False when the
// file system keeps no access lists.
bool GrantReadThroughAccessList(const std::string& path, unsigned uid);

// An environment variable set for the lifetime of the object, then put back
// as it was (unset when it was not set).
class EnvironmentScope {
public:
  EnvironmentScope(std::string name, const std::string& value);
  ~EnvironmentScope();
  EnvironmentScope(const EnvironmentScope&) = delete;
  EnvironmentScope& operator=(const EnvironmentScope&) = delete;

private:
  std::string Name;
  bool WasSet = false;
  std::string Kept;
};

// A named pipe at path for the lifetime of the object. Whoever opens it for
// reading (and would wait there for ever for a writer) is let go at once with
// an empty read, and Opened() tells that it happened.
class TFifoTrap {
public:
  explicit TFifoTrap(std::string path);
  ~TFifoTrap();
  TFifoTrap(const TFifoTrap&) = delete;
  TFifoTrap& operator=(const TFifoTrap&) = delete;
  bool Opened() const { return WasOpened; }

private:
  std::string Path;
  std::atomic<bool> Stopping{false};
  std::atomic<bool> WasOpened{false};
  std::thread Watcher;
};
