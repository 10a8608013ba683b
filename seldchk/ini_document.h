// A control file's lines as the system's private-profile reader sees them
// (by the rules of platform/profile/profile_reader.h), each with the line
// it stands on, so that a finding can name its line.
#pragma once

#include <string>
#include <vector>

struct IniKey {
  std::string name;   // as written, blanks around it dropped
  std::string upper;  // name in upper case
  bool hasValue;      // the line holds "="
  std::string text;   // what follows "=", blanks around it dropped
  int line;           // 1 for the file's first line
  bool shadowed;      // an earlier line of the section has the same name
};

struct IniSection {
  std::string name;
  std::string upper;
  int line;
  bool shadowed;  // an earlier section has the same name: never searched
  std::vector<IniKey> keys;
};

struct IniDocument {
  std::vector<IniSection> sections;  // in file order, shadowed ones too
  std::vector<IniKey> strays;        // lines before the first section
};

IniDocument ParseIni(const std::string& bytes);

// The section that a look-up of name searches (the first of that name), or
// null.
const IniSection* FindSection(const IniDocument& doc, const std::string& name);

// The line that decides a look-up of key in section (the first of that
// name, with or without "="), or null.
const IniKey* FindKey(const IniSection* section, const std::string& name);

// The value the reader gives for the key's line, whole: "" for a line
// without "=", cut at a NUL byte, outer quotes dropped.
std::string ValueRead(const IniKey& key);

// The value a look-up of key in section gives, whole ("" when none).
std::string LookUp(const IniDocument& doc, const std::string& section,
                   const std::string& key);

// name in upper case (ASCII letters only, as the reader compares names).
std::string UpperName(const std::string& name);
