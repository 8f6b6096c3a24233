#pragma once
// Conversion failures of the data-file readers: a text that is not a valid
// number, and a number outside the range its field can hold.

#include <stdexcept>
#include <string>

// "'%s' is not a valid integer value"
class EConvertError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// "Range check error"
class ERangeError : public std::runtime_error {
public:
  ERangeError() : std::runtime_error("Range check error") {}
};
