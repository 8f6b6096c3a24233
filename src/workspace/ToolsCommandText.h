#pragma once
// Text rules of the Tools commands: the line a check error names, the name of
// an untitled result, and previewer command lines.

#include <string>
#include <vector>

// The line number a check error message names: the decimal number after the
// first "Line: " up to the next CR; 1 when there is no "Line: ", no CR after
// it, or no positive number before that CR.
int GetErrorLine(const std::string& message);

// fileName with its extension (from the last "." after the last "/", "\" or
// ":") replaced by ext; ext is appended to a name without one.
std::string ChangeFileExt(const std::string& fileName, const std::string& ext);

// command with every "%1" replaced by target.
std::string ExpandPreviewCommand(const std::string& command, const std::string& target);

// Splits a command line into the program and its arguments: blanks (spaces
// and tabs) separate them, double quotes group blanks into one argument and
// are removed ("" gives an empty argument). An unclosed quote runs to the end.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// The program and arguments of a previewer command for target: the command
// is split first, then "%1" is replaced inside each word, so that quotes or
// blanks in target never make or split arguments.
std::vector<std::string> PreviewArguments(const std::string& command, const std::string& target);
