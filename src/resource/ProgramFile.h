#pragma once
// Where the running program lives: the log file, the configuration and the
// data files are found beside it.

#include <string>

// Full path of the running program file.
std::string ProgramFileName();
// Folder of the program file, ending with the path separator.
std::string ProgramFolder();
// Points the program file elsewhere (tests and tools run from other folders);
// an empty name restores the real program file.
void SetProgramFileName(const std::string& name);
