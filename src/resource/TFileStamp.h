#pragma once
// What a local file was when a program last read or wrote it: which file
// (device and inode), its size and its modification time. Compared later,
// it tells whether another program has written or replaced the file since.

#include <cstdint>
#include <string>
#include <sys/types.h>

class TURL;

class TFileStamp {
public:
  // No file: Changed is always false.
  TFileStamp() = default;
  // The file at path as it is now (a file that is not there is stamped as
  // missing).
  explicit TFileStamp(const std::string& path);
  // The local file a URL names; no file for any other protocol.
  static TFileStamp Of(const TURL& url);

  const std::string& Path() const { return FPath; }
  // True when the file at Path is another file now, or has another size or
  // modification time. A file that is gone is no change: writing it again
  // loses nothing.
  bool Changed() const;

private:
  struct TState {
    bool Exists = false;
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = 0;
    std::int64_t Seconds = 0;
    long Nanoseconds = 0;
    bool operator==(const TState& other) const;
  };
  static TState StateOf(const std::string& path);

  std::string FPath;
  TState FState;
};
