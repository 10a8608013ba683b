// The rules by which a directory search (FindFirstFileA) matches a name to
// the last part of its pattern, in one place: the in-memory machine's
// searches and the control-file checker's "does this pattern find the
// control file" both match through here. Pure: no platform calls.
// tests/data/find/patterns.tsv holds these rules to the system's own
// search.
//
// The rules: letter case of ASCII letters ignored; "*" any run of
// characters, "?" one; once the whole name is matched, dots and stars left
// over in the pattern match nothing, so "NAME.*", "*.*" and "*.*.*" also
// find names without a dot; a pattern ending in "." after a last part
// without a dot ("*.", "A*.") finds only names without an extension, as on
// Windows 95 (Wine drops the dots and finds every name the rest matches).
// A long name matches through its 8.3 alias as well: the caller asks for
// both.
#pragma once

bool SearchMatches(const char* pattern, const char* name);
