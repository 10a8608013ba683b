// Whole-machine pictures for the reliability sweeps: every file (content and
// attributes), directory and registry line of the fake machine, the
// realistic machine the sweeps run on, the checks that a machine caught in
// the middle of a run (or left by a failing one) is sound, and the
// comparison of a finished re-run with a clean run.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

// What a run can change. Paths and registry lines are upper-cased keys.
struct MachinePicture {
  // file path -> "[attributes] " and bytes; directories map to "<dir>".
  std::map<std::string, std::string> files;
  std::set<std::string> registry;  // RegDump lines
};

MachinePicture TakePicture();
// The picture after the next start of the system (fake::Restart), the
// machine itself left as it is.
MachinePicture PictureAfterRestart();

// The start-up files the uninstaller edits in place.
extern const char* const kStartupFiles[3];
extern const char kWininit[];

// A machine as an installed card leaves it, with a control file and the
// release tool in startDir ("C:\\DISK", the driver disk, for the full
// uninstall; the install directory "C:\\VANTORIS" for the relaunch) and on
// the driver disk, and a WININIT.INI holding another program's pending
// rename.
void BuildCardMachine(const std::string& startDir);

// The lines of a file's bytes (CR LF or LF ends a line), blank lines
// dropped.
std::vector<std::string> SplitLines(const std::string& bytes);

// What every run of one sweep row is held against.
struct SweepBaseline {
  MachinePicture original;        // before any run
  MachinePicture clean;           // after one uninterrupted run
  MachinePicture cleanRestarted;  // and the restart after it
};
SweepBaseline TakeBaseline(const MachinePicture& original);

// Damage report, empty when the machine is sound: every start-up file is
// there, whole, as it was or as the clean run leaves it; every other file
// is as it was, as the clean run leaves it, one of the program's temporary
// files, or a new file on its way to what the clean run leaves; WININIT.INI
// holds another program's entry and only lines the program may write; no
// CONFIG.SYS line loads an EMM386.EXE that is missing or partial; every
// copy not made still has its source; no registry line appeared, nor went
// that the clean run keeps. restarted: the machine after a restart, whose
// WININIT.INI was carried out (the other program's rename with it), and
// whose other files are not compared.
std::string CheckSound(const SweepBaseline& base, const MachinePicture& now,
                       bool restarted);

// Difference report between two machines after their restarts, empty when
// they agree. Not compared: WININIT.BAK, the carried-out list; and files
// that a replacement set aside for good (X.~old, X.~o1 to X.~o9): a Windows
// 95 replacement cut between its last two steps, or whose last step fails,
// leaves X's old file aside, which a later run cannot tell from a user's
// file that another program's new X pushed there, and so never deletes
// (KeptAsideFiles counts them).
std::string CompareRestarted(const MachinePicture& want,
                             const MachinePicture& got);

// Files set aside for good (X.~old, X.~o1 to X.~o9) in a picture.
int KeptAsideFiles(const MachinePicture& picture);

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

// Starts the program again, as a user would on what an interrupted or
// failing run left: from the directory that run was working in when the
// program is still there (after a hand-over, the temporary directory),
// else from startDir, else from the driver disk.
ProgramRun RunAgain(const std::string& startDir, const char* commandText);
