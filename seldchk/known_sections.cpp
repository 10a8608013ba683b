#include "seldchk/known_sections.h"

#include <cstring>

#include "platform/profile/profile_reader.h"

const KnownSection kKnownSections[kKnownSectionCount] = {
    {"pnpids", SectionKind::Ids, PathRole::Delete, 1, "remove-devices",
     "device keys below HKEY_LOCAL_MACHINE\\ENUM\\ISAPNP beginning with an "
     "id, with their driver keys:"},
    {"copy", SectionKind::Copy, PathRole::CopyTo, 6, "copy", "[copy]:"},
    {"delete", SectionKind::PathList, PathRole::Delete, 7, "delete",
     "[delete] (what cannot be deleted now goes to WININIT.INI):"},
    {"multdel", SectionKind::PathList, PathRole::MultiDelete, 8,
     "delete-matching", "[multdel]:"},
    {"deltree", SectionKind::PathList, PathRole::DeleteTree, 9,
     "delete-tree", "[deltree]:"},
    {"AREYOUSURE", SectionKind::Message, PathRole::Delete, 0, "", ""},
    {"POSTW95", SectionKind::Message, PathRole::Delete, 0, "", ""},
    {"REBOOTNOW", SectionKind::Message, PathRole::Delete, 0, "", ""},
    {"EJCTNOTFOUND", SectionKind::Message, PathRole::Delete, 0, "", ""},
    {"FAILEDTOCOPY_SELDUNAX.EXE", SectionKind::Message, PathRole::Delete, 0,
     "", ""},
    {"FAILEDTOCOPY_SELDUNAX.INI", SectionKind::Message, PathRole::Delete, 0,
     "", ""},
    {"FAILEDTOCOPY_DEVEJECT.EXE", SectionKind::Message, PathRole::Delete, 0,
     "", ""},
    {"CDNTSWITCHTOTEMP", SectionKind::Message, PathRole::Delete, 0, "", ""},
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
