#include "seldchk/known_sections.h"

#include <cstring>

#include "control/message.h"
#include "platform/profile/profile_reader.h"

namespace {

const int kPieces = kMessageKeyCount - 1;

}  // namespace

const KnownSection kKnownSections[kKnownSectionCount] = {
    {"pnpids", SectionKind::Ids, PathRole::Delete, 1, "remove-devices",
     "device keys below HKEY_LOCAL_MACHINE\\ENUM\\ISAPNP beginning with an "
     "id, with their driver keys:", 0},
    {"dosclean", SectionKind::DosWords, PathRole::Delete, 3, "dos-word",
     "C:\\AUTOEXEC.BAT cleaned of HALCYREN.ROM, HALCYRENE and the [dosclean] "
     "words:", 0},
    {"copy", SectionKind::Copy, PathRole::CopyTo, 6, "copy", "[copy]:", 0},
    {"delete", SectionKind::PathList, PathRole::Delete, 7, "delete",
     "[delete] (what cannot be deleted now goes to WININIT.INI):", 0},
    {"multdel", SectionKind::PathList, PathRole::MultiDelete, 8,
     "delete-matching", "[multdel]:", 0},
    {"deltree", SectionKind::PathList, PathRole::DeleteTree, 9,
     "delete-tree", "[deltree]:", 0},
    {"regdel", SectionKind::Registry, PathRole::Delete, 10, "delete-key",
     "[regdel] (registry keys with everything below them, and single "
     "values):", 0},
    {"AREYOUSURE", SectionKind::Message, PathRole::Delete, 0, "", "",
     kPieces},
    {"POSTW95", SectionKind::Message, PathRole::Delete, 0, "", "",
     kPieces},
    {"REBOOTNOW", SectionKind::Message, PathRole::Delete, 0, "", "",
     kPieces},
    {"EJCTNOTFOUND", SectionKind::Message, PathRole::Delete, 0, "", "",
     kPieces},
    {"FAILEDTOCOPY_SELDUNAX.EXE", SectionKind::Message, PathRole::Delete, 0,
     "", "", kPieces},
    {"FAILEDTOCOPY_SELDUNAX.INI", SectionKind::Message, PathRole::Delete, 0,
     "", "", kPieces},
    {"FAILEDTOCOPY_DEVEJECT.EXE", SectionKind::Message, PathRole::Delete, 0,
     "", "", kPieces},
    {"CDNTSWITCHTOTEMP", SectionKind::Message, PathRole::Delete, 0, "", "",
     kPieces},
    {"POSTREBOOTNOW", SectionKind::Message, PathRole::Delete, 0, "", "",
     kPieces},
    // LoadBoxTitle reads key 1 alone.
    {"TITLE", SectionKind::Message, PathRole::Delete, 0, "", "", 1},
};


const KnownSection* FindKnownSection(const char* name, size_t length) {
  for (size_t i = 0; i < kKnownSectionCount; ++i) {
    const char* known = kKnownSections[i].name;
    if (CompareProfileNames(known, strlen(known), name, length) == 0) {
      return &kKnownSections[i];
    }
  }
  return nullptr;
}
