// The sections the program reads, and how it reads and acts on each: one
// table, in the order of the run. A new section is a row here, and a new
// kind of section one case in each place that switches on SectionKind.
#pragma once

#include <cstddef>

enum class SectionKind {
  Ids,       // [pnpids]: "1", "2", ... Plug and Play ids, read whole first
  DosWords,  // [dosclean]: "1", "2", ... words of the start-up files
  Copy,      // [copy]: FROM1/TO1, FROM2/TO2, ... paths
  PathList,  // [delete], [multdel], [deltree]: "1", "2", ... paths
  Registry,  // [regdel]: "1", "2", ... registry keys and values
  Message,   // a message section: pieces "1" to pieces
};

// What a path value of a list names.
enum class PathRole { CopyFrom, CopyTo, Delete, MultiDelete, DeleteTree };

struct KnownSection {
  const char* name;  // as the program writes it
  SectionKind kind;
  PathRole role;        // of a path list's values (Copy: the TOn)
  int step;             // of the run, as --plan numbers it (0: a message)
  const char* action;   // --plan=tsv's word for what is done to an entry
  const char* heading;  // --plan's heading of the step
  int pieces;           // a message's keys: "1" to this
};

constexpr size_t kKnownSectionCount = 17;
extern const KnownSection kKnownSections[kKnownSectionCount];

// The known section of that name (letter case ignored), or null.
const KnownSection* FindKnownSection(const char* name, size_t length);
