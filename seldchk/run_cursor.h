// The run's entries in the order the program acts on them ([pnpids],
// [dosclean], [copy], [delete], [multdel], [deltree], [regdel]), read
// through the program's own readers and judged by its own guards, one at a
// time: the checker's findings and the plan walk the same entries.
//
//   RunCursor cursor;
//   StartRun(&cursor, ...);
//   RunItem item;
//   while (NextRunItem(&cursor, &item)) ...
//
// Each list yields its entries and then one ListEnd item, empty lists too.
// An entry that deletes, matches, removes or replaces the control file the
// run reads ends the run's reading of it: with stopAtControlFile nothing
// comes after that entry, as nothing is read after it.
#pragma once

#include <cstddef>

#include "control/control_file.h"
#include "control/path_helpers.h"
#include "fileops/list_targets.h"
#include "pnp/pnp_id_list.h"
#include "pnp/registry_target.h"
#include "seldchk/ini_document.h"
#include "seldchk/known_sections.h"
#include "seldchk/run_places.h"

// One value of an entry as read and judged.
struct EntryValue {
  char key[16];  // as the program asks for it: "3", "FROM2"
  int line;      // where it stands in the file; 0: no line holds it
  // As read: whole up to kRawValueSize - 2 characters. An id: as matched.
  char value[kRawValueSize];
  // Paths: macros expanded ("" when the value was too long for that).
  char expanded[kPathSize];
  // Paths: what the program acts on, its normal form (list_targets.h), or
  // the expansion as written where the current directory cannot be told.
  char path[kPathSize];
  ListTarget target;
  size_t directoryLength;  // [multdel]: path's directory part, "\" included
  bool unplaced;           // relative, and no current directory is told
  const char* passed;      // why the program passes it over, or null
};

enum class RunItemKind { Entry, ListEnd };

struct RunItem {
  RunItemKind kind;
  const KnownSection* section;
  int number;  // the entry's key number; ListEnd: the number that ended it
  // Entry: the id or path; [copy]'s TOn, with its FROMn in from.
  EntryValue value;
  EntryValue from;
  const char* passed;     // why the entry is passed over (either value's)
  bool oneValue;          // [regdel]: one value of the key goes, not the key
  bool protectedKey;      // [regdel]: passed over as the system's own
  bool removesControl;    // it deletes, matches, removes or replaces it
  // ListEnd of [copy]: the prefix of the key that ended it, "FROM" or "TO".
  const char* endPrefix;
  // ListEnd of [pnpids]: the ids fill the list (endNumber is the last id
  // read), taking idBytes bytes.
  bool idListFull;
  size_t idBytes;
};

struct RunCursor {
  const char* readPath;  // through which the program's readers read the file
  const IniDocument* doc;  // the same file, for the lines of keys
  const Directories* directories;
  const char* controlFile;  // the control file the run reads, or null
  bool stopAtControlFile;
  size_t section;  // in kKnownSections
  bool started;    // that section's list has started
  bool stopped;
  ListPathCursor list;
  CopyPairCursor copy;
  char ids[kPnpIdListSize];
  int idCount;
  int idNumber;
  size_t idUsed;
};

void StartRun(RunCursor* cursor, const char* readPath, const IniDocument* doc,
              const Directories* directories, const char* controlFile,
              bool stopAtControlFile);

// The next item into *item; false after the last list's end, or after the
// entry that removes the control file when the cursor stops there.
bool NextRunItem(RunCursor* cursor, RunItem* item);

// value with its leading path macro expanded as the run expands it, into
// out (kPathSize bytes); false as ExpandPathMacros is.
bool ExpandForRun(const Directories& directories, const char* value,
                  char* out);

// Why a [copy] pair whose TOn is a directory on the machine is passed
// over: the program never replaces a directory, so the copy fails.
extern const char kCopyOntoDirectory[];

// Judges value->value as a path of role (expansion, normal form, guards),
// for a run in the current directory.
void JudgePath(PathRole role, const Directories& directories,
               EntryValue* value);

// Whether a judged path of role deletes, matches, removes or replaces the
// file controlFile (a normal form).
bool RemovesFile(PathRole role, const EntryValue& value,
                 const char* controlFile);
