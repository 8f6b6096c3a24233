#pragma once
// Errors raised by the resource layer; what() is the message shown to the user.

#include <stdexcept>
#include <string>

class EResourceError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// "Cannot open file "%s". %s"
class EFOpenError : public EResourceError {
public:
  using EResourceError::EResourceError;
};

// "Cannot create file "%s". %s"
class EFCreateError : public EResourceError {
public:
  using EResourceError::EResourceError;
};

// A failed HTTP transfer or an HTTP error status.
class EHTTPError : public EResourceError {
public:
  using EResourceError::EResourceError;
};

// A failed FTP operation; the message names the operation, host, path and reason.
class EFTPError : public EResourceError { public: using EResourceError::EResourceError; };
