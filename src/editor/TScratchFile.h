#pragma once
// Writes the bytes a producer hands over to an open file. Writes go through
// a buffer; large pieces go straight to the file. Failures raise the file
// layer's EFCreateError, naming the file.

#include <cstddef>
#include <string>

class TScratchFile {
public:
  // Takes over the open file fd; path names it in error messages.
  TScratchFile(std::string path, int fd);
  ~TScratchFile();
  TScratchFile(const TScratchFile&) = delete;
  TScratchFile& operator=(const TScratchFile&) = delete;

  void Write(const char* data, std::size_t size);
  // Writes what is buffered and closes the file.
  void Close();

private:
  void Flush();
  void WriteAll(const char* data, std::size_t size);

  std::string FPath;
  int FFd = -1;
  std::string FBuffer;
};
