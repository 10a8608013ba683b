// The text that a system's private-profile reader takes from an INI file's
// bytes, which the reading rules of profile_reader.h then walk.
//
// Two readings, by two families of systems:
//   - Windows 95 reads the bytes as ANSI text, whatever they hold: a
//     byte-order mark is text on the first line, a UTF-16 file a line of
//     bytes with a NUL byte between every two. (Assumed from its 8-bit
//     reader; no Windows 95 was at hand to measure it.)
//   - The NT family, and Wine, whose reader tests/data/ini/lookups.tsv
//     measures: a file that begins with a UTF-8 or a UTF-16 byte-order mark
//     (either byte order) is read as that text and handed to the caller in
//     the ANSI code page (1252 here), where each character the code page
//     lacks becomes "?" (Wine gives a similar letter for some: "A" for
//     U+0100) and a character beyond U+FFFF two of them; a byte that is no
//     UTF-8 becomes "?". Without a mark the bytes are ANSI text, UTF-16 or
//     not. A section or key name is matched only up to its first NUL byte.
#pragma once

#include <cstddef>

enum class ProfileReading { Windows95, NtFamily };

// What an INI file's bytes begin with.
enum class ProfileEncoding {
  Ansi,     // no byte-order mark
  Utf8,     // EF BB BF
  Utf16Le,  // FF FE
  Utf16Be,  // FE FF
};

ProfileEncoding DetectProfileEncoding(const char* bytes, size_t size);

// The text reading takes from size bytes into out (room for size bytes:
// the text is never longer than the bytes). Returns its length; *replaced
// (when not null) gets the number of characters turned into "?".
size_t ProfileText(const char* bytes, size_t size, ProfileReading reading,
                   char* out, size_t* replaced);

// Whether length bytes of ANSI text look like UTF-8 read as ANSI: they hold
// bytes outside ASCII, and every one belongs to a UTF-8 character of two to
// four bytes ("M\xC3\xB6chten"), which the ANSI code page shows as two to
// four characters each (an A with a tilde and a pilcrow for the o umlaut).
bool LooksLikeUtf8(const char* text, size_t length);
