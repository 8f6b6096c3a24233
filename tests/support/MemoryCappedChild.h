#pragma once
// Runs work in a forked child whose address space is capped, and measures the
// memory the work took: for tests of how much memory something needs at its
// peak (a copy more than intended breaks the cap, or shows in the figures).

#include <cstddef>
#include <functional>
#include <string>

struct TCappedRun {
  bool Finished = false;           // the child ran the work to its end
  std::string Report;              // what the work returned ("" when all went well), or why the child failed
  std::size_t ResidentGrowth = 0;  // peak resident memory beyond what the child held at the start (bytes)
  std::size_t AddressGrowth = 0;   // peak address space beyond the start (bytes)
};

// The child's address space may grow by allowance bytes beyond what it holds
// when the work starts; an allocation past that fails as memory running out
// does. An exception of work ends up in Report.
TCappedRun RunMemoryCapped(std::size_t allowance, const std::function<std::string()>& work);
