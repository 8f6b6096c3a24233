#pragma once
// Starts a program that lives on by itself (a previewer, say): not a child
// the program waits for, and with its arguments passed as the bytes given
// (a file name need not be text in the local encoding; QProcess would take
// it as decoded text).

#include <string>
#include <vector>

// arguments[0] is the program (searched on PATH without a "/"), the rest its
// arguments. False, with error set to the system's error number, when it
// could not be started.
bool StartDetachedProcess(const std::vector<std::string>& arguments, int& error);
