#include "platform/profile/profile_text.h"

#include <cstring>

namespace {

// Code page 1252 from 0x80 to 0x9F: the character of each byte, or 0 where
// the code page has none (the system maps such a byte to the character of
// the same number, and back).
const unsigned short kHigh1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Stands for a byte that starts no UTF-8 character, and a lone surrogate.
constexpr unsigned long kNoCharacter = 0xFFFFFFFFul;

// Writes the ANSI form of character c at out, counting each character
// turned into "?" in *replaced; returns the bytes written.
size_t PutAnsi(unsigned long c, char* out, size_t* replaced) {
  if (c > 0xFFFF && c != kNoCharacter) {
    out[0] = out[1] = '?';  // two UTF-16 units, neither in the code page
    ++*replaced;
    return 2;
  }
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
    *out = static_cast<char>(c);
    return 1;
  }
  for (unsigned i = 0; i < 32; ++i) {
    if (kHigh1252[i] == c || (kHigh1252[i] == 0 && c == 0x80 + i)) {
      *out = static_cast<char>(0x80 + i);
      return 1;
    }
  }
  *out = '?';
  ++*replaced;
  return 1;
}

// The character of the UTF-8 bytes at b[at] into *c; returns how many
// bytes it takes (one, with kNoCharacter, for a byte that starts none).
size_t Utf8Character(const unsigned char* b, size_t size, size_t at,
                     unsigned long* c) {
  unsigned char lead = b[at];
  size_t more;
  unsigned long least;
  if (lead < 0x80) {
    *c = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    more = 1;
    least = 0x80;
    *c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    more = 2;
    least = 0x800;
    *c = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    more = 3;
    least = 0x10000;
    *c = lead & 0x07;
  } else {
    *c = kNoCharacter;
    return 1;
  }
  for (size_t i = 1; i <= more; ++i) {
    if (at + i >= size || (b[at + i] & 0xC0) != 0x80) {
      *c = kNoCharacter;
      return 1;
    }
    *c = (*c << 6) | (b[at + i] & 0x3F);
  }
  if (*c < least || *c > 0x10FFFF || (*c >= 0xD800 && *c <= 0xDFFF)) {
    *c = kNoCharacter;
    return 1;
  }
  return more + 1;
}

size_t FromUtf8(const unsigned char* b, size_t size, char* out,
                size_t* replaced) {
  size_t length = 0;
  for (size_t at = 3; at < size;) {
    unsigned long c;
    at += Utf8Character(b, size, at, &c);
    length += PutAnsi(c, out + length, replaced);
  }
  return length;
}

size_t FromUtf16(const unsigned char* b, size_t size, bool bigEndian,
                 char* out, size_t* replaced) {
  size_t length = 0;
  size_t units = size / 2;
  for (size_t unit = 1; unit < units; ++unit) {
    const unsigned char* u = b + 2 * unit;
    unsigned long c = bigEndian ? (u[0] << 8 | u[1]) : (u[1] << 8 | u[0]);
    bool surrogate = c >= 0xD800 && c <= 0xDFFF;
    length += PutAnsi(surrogate ? kNoCharacter : c, out + length, replaced);
  }
  return length;
}

}  // namespace

ProfileEncoding DetectProfileEncoding(const char* bytes, size_t size) {
  const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
  if (size >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
    return ProfileEncoding::Utf8;
  }
  if (size >= 2 && b[0] == 0xFF && b[1] == 0xFE) return ProfileEncoding::Utf16Le;
  if (size >= 2 && b[0] == 0xFE && b[1] == 0xFF) return ProfileEncoding::Utf16Be;
  return ProfileEncoding::Ansi;
}

size_t ProfileText(const char* bytes, size_t size, ProfileReading reading,
                   char* out, size_t* replaced) {
  size_t ignored = 0;
  if (replaced == nullptr) replaced = &ignored;
  *replaced = 0;
  const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
  ProfileEncoding encoding = reading == ProfileReading::NtFamily
                                 ? DetectProfileEncoding(bytes, size)
                                 : ProfileEncoding::Ansi;
  switch (encoding) {
    case ProfileEncoding::Utf8:
      return FromUtf8(b, size, out, replaced);
    case ProfileEncoding::Utf16Le:
      return FromUtf16(b, size, false, out, replaced);
    case ProfileEncoding::Utf16Be:
      return FromUtf16(b, size, true, out, replaced);
    case ProfileEncoding::Ansi:
      break;
  }
  if (size > 0) memcpy(out, bytes, size);
  return size;
}

bool LooksLikeUtf8(const char* text, size_t length) {
  const unsigned char* b = reinterpret_cast<const unsigned char*>(text);
  bool any = false;
  for (size_t at = 0; at < length;) {
    unsigned long c;
    size_t taken = Utf8Character(b, length, at, &c);
    if (c == kNoCharacter) return false;
    any = any || taken > 1;
    at += taken;
  }
  return any;
}
