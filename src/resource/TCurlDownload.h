#pragma once
// What a request receives into memory, up to Limit bytes.
//
// A download may come close to its limit (1 GiB for a document), so it must
// never hold itself twice while it grows, as a string that grows by copying
// into a buffer twice as large does. When the server announced the size (the
// Content-Length of a response, the answer to an FTP SIZE) and it is within
// the limit, the bytes go into Bytes, reserved once for that size. Otherwise
// Bytes takes the first megabyte, enough for most texts, and the rest goes
// into blocks of memory mapped from the system; Finish joins them into Bytes
// once the transfer is complete, giving each block back as soon as it is
// copied. Either way the download holds little more than its size in memory;
// only the join adds the address space (not the memory) of its size once more.
//
// libcurl calls its write callback from C code, which no exception may cross:
// a download that grows past its limit, or that memory runs out for, stops
// the transfer instead, and Failure says why.

#include <curl/curl.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class TCurlDownload {
public:
  TCurlDownload();
  ~TCurlDownload();
  TCurlDownload(const TCurlDownload&) = delete;
  TCurlDownload& operator=(const TCurlDownload&) = delete;

  // All the bytes received, once Finish has joined them; before, the first
  // of them.
  std::string Bytes;
  std::size_t Limit = static_cast<std::size_t>(-1);
  // The request whose announced size is asked for at the first bytes; none:
  // the size is not known beforehand.
  CURL* Request = nullptr;
  bool TooLarge = false;
  bool OutOfMemory = false;

  // The write callback's work: the count taken, or 0 to stop the transfer.
  std::size_t Append(const char* data, std::size_t size) noexcept;
  // Joins what was received into Bytes: for a transfer that is complete.
  // False (OutOfMemory set) when memory runs out; nothing is lost then.
  bool Finish() noexcept;
  // The count of bytes received.
  std::size_t Size() const { return Bytes.size() + BlockBytes; }
  // "the <what> is larger than N MB" or "there is not enough memory for the
  // <what>"; empty when the download did not stop the transfer.
  std::string Failure(const std::string& what) const;

private:
  class TBlock;

  bool Started = false;
  std::size_t Room = 0;  // what Bytes takes before the blocks
  std::vector<std::unique_ptr<TBlock>> Blocks;
  std::size_t BlockBytes = 0;

  void Start();
  void Store(const char* data, std::size_t size);
  void ReserveWithinRoom(std::size_t size);
  void Join();
};
