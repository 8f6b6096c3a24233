#pragma once
// Shared helpers of the test programs.

#include <string>

// A fresh empty folder under the system's temporary folder, ending with "/".
std::string MakeTempFolder(const std::string& prefix = "xmlplivek-test");
// Writes bytes to a file, creating or truncating it.
void WriteTestFile(const std::string& path, const std::string& bytes);
// The whole content of a file ("" when it cannot be read).
std::string ReadTestFile(const std::string& path);
// A TCP port on 127.0.0.1 that is free at the moment of the call.
int FreeLocalPort();
// True when a TCP connection to 127.0.0.1:port succeeds.
bool LocalPortAccepts(int port);
