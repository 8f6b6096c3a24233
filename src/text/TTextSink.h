#pragma once
// Where decoded text goes while a document is read.

#include <cstddef>

class TTextSink {
public:
  virtual ~TTextSink() = default;
  // Room for the whole text, told before it arrives (exact where known).
  virtual void Reserve(std::size_t size) { (void)size; }
  virtual void Append(const char* text, std::size_t size) = 0;
  // Drops everything appended (reading starts over in another encoding).
  virtual void Clear() = 0;
};
