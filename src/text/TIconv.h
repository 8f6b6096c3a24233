#pragma once
// One conversion of the C library's iconv, from one encoding to another,
// owned (closed with the object).
//
// Input goes to iconv in windows of a fixed size, each with output room of
// a fixed multiple of it: no converter is left short of room. (glibc's TSCII
// converter, which makes up to twelve bytes of UTF-8 of one byte, puts
// characters in the wrong order when iconv stops it for room.) The output
// passes through a buffer of the object's own, so that a conversion that
// stops often (at every byte an encoding does not define) costs no more
// than one that runs through.

#include <cstddef>
#include <string>
#include <vector>

class TIconv {
public:
  // growth: the output room given per input byte.
  TIconv(const std::string& to, const std::string& from, std::size_t growth);
  ~TIconv();
  TIconv(const TIconv&) = delete;
  TIconv& operator=(const TIconv&) = delete;

  // Whether iconv knows the conversion (nothing else works without it).
  bool IsOpen() const { return FHandle != nullptr; }
  static bool Opens(const std::string& to, const std::string& from);

  // Converts from in on, appending to out, until the input is used up (0) or
  // iconv stops at a byte it cannot convert: its errno (EILSEQ, or EINVAL
  // for a sequence the end cuts off), with in and left at that byte.
  int Convert(const char*& in, std::size_t& left, std::string& out);
  // Lets out what the converter holds: a character held back to be combined
  // with the next one, the bytes that return to the initial shift state.
  // The converter is in its initial state after it.
  void Release(std::string& out);
  // Back to the initial state, dropping what it holds.
  void Reset();

private:
  void* FHandle;  // iconv_t, nullptr when not known
  std::size_t FGrowth;
  std::vector<char> FBuffer;
};
