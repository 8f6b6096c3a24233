#pragma once
// Runs a piece of work in a child process whose address space is capped, so
// that work that would exhaust the machine fails there (its allocations
// fail, or it is killed) instead of taking the test machine down.

#include <cstddef>
#include <functional>
#include <string>

// Runs work in a forked child allowed bytes more address space than the test
// program already has, and cpuSeconds of processor time. Returns what work returned, or "killed by signal N" /
// "exited with N" / "raised: message" when it did not return normally.
std::string RunWithMemoryCap(std::size_t bytes, int cpuSeconds, const std::function<std::string()>& work);
