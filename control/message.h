// Message sections of the control file and the built-in texts.
#pragma once

#include <cstdint>

constexpr int kMessageBufferSize = 4096;
// One more than the highest key read: keys "1" to "16".
constexpr int kMessageKeyCount = 17;

// Joins the values of keys "1" .. count-1 of section (each read into 256
// bytes, "CR" alone standing for a line feed) into text, up to the first
// missing or empty key. Returns whether the text is not empty.
bool LoadMessage(char* text, int count, const char* section,
                 const char* controlPath);

// Shows text in a box with no owner, the program's title and no icon.
int ShowBox(const char* text, uint32_t style);

// Looks section up into buffer (kMessageBufferSize bytes) and shows it, or
// builtin when the control file gives no text. Returns the button pressed.
int ShowLookedUpMessage(char* buffer, const char* section, const char* builtin,
                        const char* controlPath, uint32_t style);
