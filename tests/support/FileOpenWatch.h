#pragma once
// Tells whether anything opened a file (or any file of a folder) while the
// watch lived: the kernel reports every open through inotify as it happens,
// so the answer holds the moment the work that might have opened it returns
// (no access times, no waiting). A named pipe would not do for the XML tools,
// which refuse to open one at all.

#include <string>

class FileOpenWatch {
public:
  explicit FileOpenWatch(const std::string& path);
  ~FileOpenWatch();
  FileOpenWatch(const FileOpenWatch&) = delete;
  FileOpenWatch& operator=(const FileOpenWatch&) = delete;

  // True once the file (or a file of the folder) has been opened since the
  // watch began.
  bool Opened();
  // Waits until it has been opened.
  void WaitForOpen();

private:
  bool ReadEvents(bool wait);
  int Fd = -1;
  bool WasOpened = false;
};
