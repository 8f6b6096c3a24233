#pragma once
// Small file-name routines of the model, used for working copies, untitled
// results and batch names.

#include <string>

// The first of name.ext, name1.ext, name2.ext ... (split at the last ".") for
// which no file exists; a folder of that name does not count. The candidate is
// tested as formed: a bare name is looked up in the current directory, so
// callers pass bare names and put the folder in front afterwards.
std::string UniqueFileName(const std::string& fileName);
// The decimal text of n for n >= 1, the empty text otherwise.
std::string NumberSuffix(int n);
// The 1-based position of the last c in text, or -1.
int LastCharPos(char c, const std::string& text);
// The file-name part of a path (after the last "/", "\" or ":") without its
// extension (from the last "." of that part on).
std::string ExtractBaseName(const std::string& path);
