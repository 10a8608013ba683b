// Helpers shared by the fuzz targets.
//
// A broken invariant prints what was expected and aborts, so that libFuzzer
// keeps the input as a crash and the corpus replay fails with a message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#define FUZZ_CHECK(cond, ...)                                           \
  do {                                                                  \
    if (!(cond)) {                                                      \
      std::fprintf(stderr, "%s:%d: invariant broken: %s\n  ", __FILE__, \
                   __LINE__, #cond);                                    \
      std::fprintf(stderr, __VA_ARGS__);                                \
      std::fprintf(stderr, "\n");                                       \
      std::abort();                                                     \
    }                                                                   \
  } while (0)

// Reads a fuzz input front to back as a little program: bytes, small
// numbers and strings. Past the end every read gives zero or empty, so a
// decoder never fails and every input means something.
class FuzzReader {
 public:
  FuzzReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool AtEnd() const { return pos_ >= size_; }

  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }

  // A number 0 .. limit-1 from one byte.
  unsigned Small(unsigned limit) { return limit ? Byte() % limit : 0; }

  // A string of the length given by the next byte (0..255), or up to the
  // end of the input when fewer bytes remain.
  std::string Bytes() { return Take(Byte()); }

  // A string of the length given by the next two bytes (0..65535).
  std::string LongBytes() {
    size_t length = Byte();
    length = length << 8 | Byte();
    return Take(length);
  }

  // Everything that is left.
  std::string Rest() { return Take(size_ - (pos_ < size_ ? pos_ : size_)); }

 private:
  std::string Take(size_t length) {
    if (pos_ >= size_) return std::string();
    if (length > size_ - pos_) length = size_ - pos_;
    std::string out(reinterpret_cast<const char*>(data_ + pos_), length);
    pos_ += length;
    return out;
  }

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// The ASCII upper-case form of text (other bytes unchanged).
inline std::string UpperCopy(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// Text as a C string would see it: up to the first NUL.
inline std::string CText(const std::string& text) {
  return text.substr(0, text.find('\0'));
}
