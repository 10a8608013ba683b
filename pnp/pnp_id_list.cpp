#include "pnp/pnp_id_list.h"

#include <cstring>

#include "control/control_file.h"

int ReadPnpIdList(const char* controlPath, char* list) {
  const NumberedKeys ids = {controlPath, "pnpids", "",
                            kPnpIdValueSize, OverLong::Cut, false};
  int used = 0;
  int count = 0;
  // Before each read at most kPnpIdListLimit bytes are in use, so the id
  // (kPnpIdValueSize bytes at most) and the closing zero byte always fit.
  for (int n = 1; used <= kPnpIdListLimit; ++n) {
    char* id = list + used;
    if (ReadNumberedKey(ids, n, id) == ListValue::End) break;
    used += static_cast<int>(strlen(id)) + 1;
    ++count;
  }
  list[used] = '\0';
  return count;
}

bool MatchesPnpId(const char* list, const char* name) {
  for (const char* id = list; *id != '\0'; id += strlen(id) + 1) {
    if (strncmp(name, id, strlen(id)) == 0) return true;
  }
  return false;
}
