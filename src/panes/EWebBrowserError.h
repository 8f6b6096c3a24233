#pragma once
// Raised when the embedded browser cannot run a command.

#include <stdexcept>

class EWebBrowserError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};
