#pragma once
// A local file opened for reading, only when it is a regular file. Opening
// never waits: the kind of file is asked of the file system before it is
// opened (opening a named pipe waits for a writer, and a device may never
// end), and asked again of what was opened, in case the name changed in
// between. Every place that reads a file a user or a document names opens it
// through this class.

#include <string>
#include <sys/types.h>

class TRegularFile {
public:
  // Opens path for reading; IsOpen() tells whether it could be, Failure() why not.
  explicit TRegularFile(const std::string& path);
  ~TRegularFile();
  TRegularFile(const TRegularFile&) = delete;
  TRegularFile& operator=(const TRegularFile&) = delete;

  bool IsOpen() const { return Fd >= 0; }
  // The open descriptor, still owned by this object; -1 when not open.
  int Handle() const { return Fd; }
  // Why the file is not open or could not be read: the system's reason ("No
  // such file or directory") or what the name is instead of a file ("It is a
  // named pipe, not a file."); empty while the file is open and read well.
  const std::string& Failure() const { return Reason; }
  // True when nothing at all is found under the name.
  bool Missing() const { return NotFound; }

  // Appends the rest of the file to bytes. False, with Failure() set, when a
  // read fails.
  bool ReadAll(std::string& bytes);
  // Hands the open descriptor to the caller, who closes it from now on; -1
  // when the file is not open.
  int Release();

private:
  int Fd = -1;
  std::string Reason;
  bool NotFound = false;
};

// Why a file of this mode is no document to read or write ("It is a named
// pipe, not a file."); empty for a regular file.
std::string NotRegularFileReason(mode_t mode);
