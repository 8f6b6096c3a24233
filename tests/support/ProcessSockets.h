#pragma once
// The network sockets (TCP connections and listening sockets) that a process
// holds, for tests of what is closed when: each is one line, its descriptor
// and its link ("5 -> socket:[1234]"); "" when there is none.

#include <string>

// The TCP sockets of this process.
std::string OpenConnections();
// The TCP sockets that a program started now gets from this process: what it
// could hold open after this process closed them.
std::string ConnectionsOfAStartedProgram();
