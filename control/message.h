// Message sections of the control file and the built-in texts.
#pragma once

#include <cstdint>

constexpr int kMessageBufferSize = 4096;
// One more than the highest key read: keys "1" to "16".
constexpr int kMessageKeyCount = 17;
// One piece, the value of one key: at most 255 characters and the NUL.
constexpr int kMessagePieceSize = 256;

// The characters of the longest text: every piece full. The last piece is
// read into a whole piece's size behind the others, which ends with the
// text's NUL.
constexpr int kLongestMessageText =
    (kMessageKeyCount - 1) * (kMessagePieceSize - 1);
static_assert(kLongestMessageText + 1 <= kMessageBufferSize,
              "the message buffer holds the longest text and its NUL");

// Joins the values of keys "1" .. count-1 of section (each read into
// kMessagePieceSize bytes, "CR" alone standing for a line feed) into text
// (kMessageBufferSize bytes), up to the first missing or empty key; keys
// past kMessageKeyCount - 1 are never read. Returns whether the text is not
// empty.
bool LoadMessage(char* text, int count, const char* section,
                 const char* controlPath);

// The title of every box shown once the control file is found, into title
// (kMessagePieceSize bytes): key "1" of its [TITLE] section, read as one
// message piece (at most 255 characters, a longer value cut; "CR" alone a
// line feed). Empty when that key is missing or empty: the box then shows
// the built-in title, as every box does before the control file is found.
inline bool LoadBoxTitle(char* title, const char* controlPath) {
  return LoadMessage(title, 2, "TITLE", controlPath);
}

// Shows text in a box with no owner, the title (the built-in one when
// title is empty) and no icon.
int ShowBox(const char* text, const char* title, uint32_t style);

// Looks section up into buffer (kMessageBufferSize bytes) and shows it, or
// builtin when the control file gives no text. Returns the button pressed.
int ShowLookedUpMessage(char* buffer, const char* section, const char* builtin,
                        const char* controlPath, const char* title,
                        uint32_t style);
