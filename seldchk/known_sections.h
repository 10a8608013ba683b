// The sections the program reads, and how it reads each.
#pragma once

#include <string>
#include <vector>

enum class SectionKind {
  PathList,  // [delete], [multdel], [deltree]: "1", "2", ... paths
  Copy,      // [copy]: FROM1/TO1, FROM2/TO2, ... paths
  Ids,       // [pnpids]: "1", "2", ... Plug and Play ids
  Message,   // a message section: pieces "1" to "16"
};

struct KnownSection {
  const char* name;  // as the program writes it
  SectionKind kind;
};

const std::vector<KnownSection>& KnownSections();

// The known section of that name (letter case ignored), or null.
const KnownSection* FindKnownSection(const std::string& name);

std::vector<std::string> KnownSectionNames();
