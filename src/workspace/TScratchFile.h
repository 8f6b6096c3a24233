#pragma once
// Writes the bytes a producer hands over to a file, created or truncated
// when the writer is made (an open writer never follows a link). Writes go
// through a buffer; large pieces go straight to the file. Failures raise the
// file layer's EFCreateError.

#include <cstddef>
#include <string>

class TScratchFile {
public:
  explicit TScratchFile(std::string path);
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
