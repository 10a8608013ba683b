// The registry keys that a typing error in [regdel] must not remove, and
// the few below them that an uninstaller may: one table
// (protected_keys.cpp), read from the top, whose first row that reaches
// the target decides. Below, CV stands for
// HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion.
//
//   lets through  CV\Uninstall\<name> and everything below it (a
//                 program's Add/Remove Programs entry); single values of
//                 CV\Run
//   keeps         HKLM and HKCU themselves; HKLM\SOFTWARE,
//                 HKLM\SOFTWARE\Classes, HKLM\Config and HKCU\Software
//                 themselves (not what is below them);
//                 HKLM\SOFTWARE\Microsoft, HKLM\System, HKLM\Enum (which
//                 belongs to [pnpids]) and HKCU\Software\Microsoft, each
//                 with everything below it
//
// A key that is kept keeps its values too. Whatever no row reaches may go.
#pragma once

// True when the key or, when isValue, one value of it is kept. key is
// written as RegistryTarget holds it: "HKLM" or "HKCU", then for a key
// below the root a backslash and its names, joined by one backslash. Names
// compare without regard to the letter case of ASCII letters.
bool IsProtectedRegistryKey(const char* key, bool isValue);

// Where key stands to name, another key written alike: kTheKey (the same
// key, or with isValue one of its values), kBelow (a key below it, or a
// value of one), or 0 (apart).
constexpr int kTheKey = 1;
constexpr int kValueOfKey = 2;
constexpr int kBelow = 4;
int KeyStanding(const char* key, const char* name, bool isValue);
