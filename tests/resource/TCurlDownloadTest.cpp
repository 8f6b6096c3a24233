// The memory of a download that comes close to its limit: measured in a
// forked child whose address space is capped.

#include <gtest/gtest.h>

#include <string>

#include "MemoryCappedChild.h"
#include "resource/CurlSupport.h"

namespace {

constexpr std::size_t kMegabyte = std::size_t(1) << 20;
constexpr std::size_t kWriteSize = 16384;  // what libcurl hands the write callback at most

// The byte at position i of the test download.
char ByteAt(std::size_t i)
{
  return static_cast<char>('a' + (i / 4093) % 26);
}

// Receives size bytes as libcurl delivers them; "" when they all came through
// whole, else what went wrong.
std::string ReceiveInWrites(TCurlDownload& download, std::size_t size)
{
  std::string block(kWriteSize, ' ');
  for (std::size_t done = 0; done < size;) {
    std::size_t n = std::min(kWriteSize, size - done);
    for (std::size_t i = 0; i < n; ++i) block[i] = ByteAt(done + i);
    if (download.Append(block.data(), n) != n) return "stopped at " + std::to_string(done) + ": " + download.Failure("file");
    done += n;
  }
  if (!download.Finish()) return "not joined: " + download.Failure("file");
  if (download.Bytes.size() != size) return "size " + std::to_string(download.Bytes.size());
  for (std::size_t i = 0; i < size; i += 4093)
    if (download.Bytes[i] != ByteAt(i)) return "wrong byte at " + std::to_string(i);
  return std::string();
}

}  // namespace

// A download whose size nobody announced grew as a string does, copying
// itself into a buffer twice as large: just past 64 MB it held 192 MB of
// address space and 128 MB of memory. It takes its own size in memory now,
// and never more than twice its size of address space (while its parts are
// joined).
TEST(CurlDownload, AnUnannouncedDownloadNeverHoldsTwoCopiesInMemory)
{
  const std::size_t size = 65 * kMegabyte;
  TCappedRun run = RunMemoryCapped(2 * size + 24 * kMegabyte, [size] {
    TCurlDownload download;
    download.Limit = 256 * kMegabyte;
    return ReceiveInWrites(download, size);
  });
  ASSERT_TRUE(run.Finished) << run.Report;
  EXPECT_EQ(run.Report, "");
  EXPECT_LE(run.ResidentGrowth, size + 16 * kMegabyte) << run.ResidentGrowth / kMegabyte << " MB";
}
