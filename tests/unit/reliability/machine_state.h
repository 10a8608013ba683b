// Whole-machine pictures for the reliability sweeps: every file (content and
// attributes), directory and registry line of the fake machine, the realistic
// machines the sweeps run on, and the checks that compare a damaged run with
// the original and with a clean run.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

// What a run can change. Paths and registry lines are upper-cased keys.
struct MachinePicture {
  // file path -> attributes and bytes; directories map to "<dir>".
  std::map<std::string, std::string> files;
  std::set<std::string> registry;  // RegDump lines
};

MachinePicture TakePicture();

// The start-up files the uninstaller edits in place.
extern const char* const kStartupFiles[3];
extern const char kWininit[];

// A machine as an installed card leaves it, with a control file and the
// release tool in startDir ("C:\\DISK" for the full uninstall, the install
// directory "C:\\VANTORIS" for the relaunch).
void BuildCardMachine(const std::string& startDir);

// Every WININIT.INI entry the program may write on this machine whatever
// fails: the entries of a clean run, and "NUL=" for each [delete] path.
std::set<std::string> AllowedWininitLines(const MachinePicture& clean);

// The lines of a file's bytes (CR LF or LF ends a line), blank lines
// dropped.
std::vector<std::string> SplitLines(const std::string& bytes);

// Damage report, empty when the damaged picture is sound: every file,
// directory and registry line equals the original or the clean run's (no
// half-written start-up file, nothing removed that the clean run kept,
// nothing new that the clean run lacks), and WININIT.INI holds only allowed
// lines.
std::string CompareWithRuns(const MachinePicture& original,
                            const MachinePicture& clean,
                            const MachinePicture& damaged,
                            const std::set<std::string>& allowedWininit);

// Difference report between a finished re-run and a clean run, empty when
// they agree; WININIT.INI is compared as a set of lines, and entries for
// files that no longer exist are tolerated (they delete nothing).
std::string CompareFinalStates(const MachinePicture& clean,
                               const MachinePicture& rerun);

// Handles still open on the fake machine, as a message ("" when none).
std::string OpenHandles();

struct ProgramRun {
  int exitCode;       // of the last process
  bool handedOver;    // the first process started its copy and ended
  std::string fault;  // what went wrong in the hand-over itself, if anything
};

// Runs the program as the system would: the entry on commandText, and, when
// it handed over to a copy of itself, that copy on the command line it was
// started with, from the directory it was started in.
ProgramRun RunProgram(const char* commandText);
