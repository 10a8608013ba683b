#include "control/message.h"

#include <cstring>

#include "control/builtin_messages.h"
#include "control/control_file.h"
#include "platform/platform.h"

bool LoadMessage(char* text, int count, const char* section,
                 const char* controlPath) {
  const NumberedKeys pieces = {controlPath, section, "",
                               kMessagePieceSize, OverLong::Cut, false};
  // More keys than kMessageKeyCount - 1 would not fit the buffer.
  if (count > kMessageKeyCount) count = kMessageKeyCount;
  char* write = text;
  *write = '\0';
  for (int number = 1; number < count; ++number) {
    if (ReadNumberedKey(pieces, number, write) == ListValue::End) break;
    if (strcmp(write, "CR") == 0) {
      write[0] = '\n';
      write[1] = '\0';
    }
    write += strlen(write);
  }
  return text[0] != '\0';
}

int ShowBox(const char* text, const char* title, uint32_t style) {
  return plat::ShowMessage(text, title[0] != '\0' ? title : VANTORIS_TITLE,
                           style);
}

int ShowLookedUpMessage(char* buffer, const char* section, const char* builtin,
                        const char* controlPath, const char* title,
                        uint32_t style) {
  bool found = LoadMessage(buffer, kMessageKeyCount, section, controlPath);
  return ShowBox(found ? buffer : builtin, title, style);
}
