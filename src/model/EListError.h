#pragma once
// Raised by the model's lists for a position outside 0..count-1.

#include <stdexcept>
#include <string>

class EListError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
  // "List index out of bounds (n)"
  static EListError IndexOutOfBounds(long long index)
  {
    return EListError("List index out of bounds (" + std::to_string(index) + ")");
  }
};
