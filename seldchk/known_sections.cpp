#include "seldchk/known_sections.h"

#include "seldchk/ini_document.h"

const std::vector<KnownSection>& KnownSections() {
  static const std::vector<KnownSection> sections = {
      {"pnpids", SectionKind::Ids},
      {"copy", SectionKind::Copy},
      {"delete", SectionKind::PathList},
      {"multdel", SectionKind::PathList},
      {"deltree", SectionKind::PathList},
      {"AREYOUSURE", SectionKind::Message},
      {"POSTW95", SectionKind::Message},
      {"REBOOTNOW", SectionKind::Message},
      {"EJCTNOTFOUND", SectionKind::Message},
      {"FAILEDTOCOPY_SELDUNAX.EXE", SectionKind::Message},
      {"FAILEDTOCOPY_SELDUNAX.INI", SectionKind::Message},
      {"FAILEDTOCOPY_DEVEJECT.EXE", SectionKind::Message},
      {"CDNTSWITCHTOTEMP", SectionKind::Message},
  };
  return sections;
}

const KnownSection* FindKnownSection(const std::string& name) {
  std::string upper = UpperName(name);
  for (const KnownSection& section : KnownSections()) {
    if (UpperName(section.name) == upper) return &section;
  }
  return nullptr;
}

std::vector<std::string> KnownSectionNames() {
  std::vector<std::string> names;
  for (const KnownSection& section : KnownSections()) {
    names.push_back(section.name);
  }
  return names;
}
