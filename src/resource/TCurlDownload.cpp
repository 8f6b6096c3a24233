#include "resource/TCurlDownload.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace {

constexpr std::size_t kMegabyte = 1024 * 1024;
// What Bytes takes when no size was announced: a text of up to this size is
// never joined.
constexpr std::size_t kFirstBytes = kMegabyte;
// The blocks beyond. A block being copied is the memory the join holds
// beyond the download's size.
constexpr std::size_t kBlockSize = 4 * kMegabyte;

}  // namespace

// Pages mapped from the system, unmapped when the block goes: its memory
// returns to the system at once, whatever the allocator would have kept.
class TCurlDownload::TBlock {
public:
  explicit TBlock(std::size_t capacity) : Capacity(capacity)
  {
    void* pages = ::mmap(nullptr, Capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) throw std::bad_alloc();
    Data = static_cast<char*>(pages);
  }
  ~TBlock() { ::munmap(Data, Capacity); }
  TBlock(const TBlock&) = delete;
  TBlock& operator=(const TBlock&) = delete;

  // Takes what fits of size bytes; the count taken.
  std::size_t Put(const char* data, std::size_t size)
  {
    std::size_t n = std::min(size, Capacity - Used);
    std::memcpy(Data + Used, data, n);
    Used += n;
    return n;
  }
  bool Full() const { return Used == Capacity; }

  const std::size_t Capacity;
  char* Data = nullptr;
  std::size_t Used = 0;
};

TCurlDownload::TCurlDownload() = default;
TCurlDownload::~TCurlDownload() = default;

std::size_t TCurlDownload::Append(const char* data, std::size_t size) noexcept
{
  if (size > Limit || Size() > Limit - size) {
    TooLarge = true;
    return 0;
  }
  try {
    if (!Started) Start();
    Store(data, size);
  } catch (...) {
    OutOfMemory = true;
    return 0;
  }
  return size;
}

// At the first bytes: room for the announced size, when it is known and
// within the limit, taken at once.
void TCurlDownload::Start()
{
  Started = true;
  Room = std::min(kFirstBytes, Limit);
  curl_off_t announced = -1;
  if (Request == nullptr || curl_easy_getinfo(Request, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) != CURLE_OK)
    return;
  if (announced <= 0 || static_cast<std::size_t>(announced) > Limit) return;
  Room = static_cast<std::size_t>(announced);
  Bytes.reserve(Room);
}

void TCurlDownload::Store(const char* data, std::size_t size)
{
  if (Blocks.empty() && Bytes.size() < Room) {
    std::size_t n = std::min(size, Room - Bytes.size());
    ReserveWithinRoom(n);
    Bytes.append(data, n);
    data += n;
    size -= n;
  }
  while (size > 0) {
    if (Blocks.empty() || Blocks.back()->Full()) Blocks.push_back(std::make_unique<TBlock>(kBlockSize));
    std::size_t n = Blocks.back()->Put(data, size);
    BlockBytes += n;
    data += n;
    size -= n;
  }
}

// Room in Bytes for size more bytes, growing as a string does (doubling) but
// never beyond Room.
void TCurlDownload::ReserveWithinRoom(std::size_t size)
{
  if (Bytes.capacity() - Bytes.size() >= size) return;
  std::size_t wanted = std::max(Bytes.size() + size, Bytes.capacity() * 2);
  if (wanted <= Room) {
    Bytes.reserve(wanted);
    return;
  }
  // reserve would double the capacity anyway: a fresh string takes the
  // exact size.
  std::string grown;
  grown.reserve(Room);
  grown.append(Bytes);
  Bytes.swap(grown);
}

bool TCurlDownload::Finish() noexcept
{
  try {
    Join();
  } catch (...) {
    OutOfMemory = true;
    return false;
  }
  return true;
}

// One string of the whole: reserved first (the only step that may fail),
// then filled block by block, each block unmapped once copied.
void TCurlDownload::Join()
{
  if (Blocks.empty()) {
    // A server that announced more than it sent leaves unused room.
    if (Bytes.capacity() > 2 * Bytes.size() + kFirstBytes) Bytes.shrink_to_fit();
    return;
  }
  std::string whole;
  whole.reserve(Size());
  whole.append(Bytes);
  std::string().swap(Bytes);
  for (std::unique_ptr<TBlock>& block : Blocks) {
    whole.append(block->Data, block->Used);
    block.reset();
  }
  Blocks.clear();
  BlockBytes = 0;
  Bytes.swap(whole);
}

std::string TCurlDownload::Failure(const std::string& what) const
{
  if (TooLarge) {
    std::size_t limit = Limit / kMegabyte;
    return "the " + what + " is larger than " +
           (limit > 0 ? std::to_string(limit) + " MB" : std::to_string(Limit) + " bytes");
  }
  if (OutOfMemory) return "there is not enough memory for the " + what;
  return std::string();
}
