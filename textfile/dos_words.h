// The control file's [dosclean] list: more words that mark the card's
// lines in AUTOEXEC.BAT and DOSSTART.BAT, beside the built-in HALCYREN.ROM
// and HALCYRENE (a driver disk of another card of the family names its own
// directory, variable or driver). A word that would take the user's own
// lines with it is passed over.
#pragma once

enum class DosWord {
  End,           // missing or empty: the list ends here
  Used,          // a word to clean with
  TooLong,       // more than 255 characters (nothing is stored)
  TooShort,      // fewer than four characters ("C:\" among them)
  // A piece of the Windows or system directory's path, or of a DOS
  // directory's (COMMAND in the Windows directory, C:\DOS), each with a
  // backslash after it: "\WINDOWS\", "C:\DOS", "COMMAND"; every line
  // naming them holds it. So is every word when the system cannot tell
  // those directories.
  SystemFolder,
  // Command names alone, with blanks and punctuation: "PATH", "SET PATH",
  // "@ECHO", "%PATH%" (SET, PATH, REM, ECHO, DEVICE, LH, LOADHIGH).
  CommandName,
};

// Key n of [dosclean] of the control file into word (kPathSize bytes), in
// capitals (a to z; the lines are matched in any letter case of those),
// and what the cleaning does with it, judged against the Windows and
// system directories as the system tells them.
DosWord ReadDosWord(const char* controlPath, int n, char* word);
