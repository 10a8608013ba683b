// boxhelper: finds, reads and answers the message boxes of another program
// running in the same Wine prefix, for the end-to-end tests.
//
//   boxhelper wait-and-press <ok|yes|no|cancel|read> [--timeout S]
//             [--out FILE] [--title TITLE]
//       Waits for a visible top-level dialog box (class #32770), reports it
//       and presses the button ("read" presses nothing). Exit 0 when the box
//       was found and the button pressed, 2 when no box came within the
//       timeout, 3 when the box has no such button, 1 on a usage error.
//   boxhelper expect-none [--timeout S] [--out FILE] [--title TITLE]
//       Exit 0 when no box shows within the timeout, 2 when one does (it is
//       reported and left alone).
//   boxhelper run <program> <command line file>
//       Starts program with the exact command line read from the file (no
//       quoting added or removed), in the current directory, waits for it
//       and exits with its exit code (255 when it cannot be started).
//
// The report goes to stdout and, with --out, to FILE, written byte for byte:
//   title: <window title>
//   buttons: <names of the visible buttons, in id order>
//   icon: <yes|no>
//   window: <left top width height of the box, in screen pixels>
//   parts: <the same of the smallest rectangle holding its visible controls>
//   text area: <width height of its text control>
//   text:
//   <the box text, exactly, up to the end of the file>
// A box that the system could not lay out (no room for its text, controls
// outside it) shows in window, parts and text area.
// Without --title every dialog box counts, so that a box with a wrong title
// is reported rather than missed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kTextId = 0xFFFF;  // the static text of a message box
constexpr int kIconId = 0x0440;  // the static icon of a message box

struct Button {
  const char* name;
  int id;
};

const Button kButtons[] = {
    {"OK", IDOK},         {"CANCEL", IDCANCEL}, {"ABORT", IDABORT},
    {"RETRY", IDRETRY},   {"IGNORE", IDIGNORE}, {"YES", IDYES},
    {"NO", IDNO},         {"HELP", IDHELP},     {"TRYAGAIN", IDTRYAGAIN},
    {"CONTINUE", IDCONTINUE},
};

struct Options {
  const char* mode = nullptr;
  const char* press = nullptr;  // button name, or "read"
  const char* out = nullptr;
  const char* title = nullptr;
  double timeout = 20.0;
};

struct Search {
  const char* title;
  HWND found;
};

BOOL CALLBACK MatchBox(HWND wnd, LPARAM param) {
  Search* search = reinterpret_cast<Search*>(param);
  char cls[64];
  if (!IsWindowVisible(wnd) || !GetClassNameA(wnd, cls, sizeof cls) ||
      strcmp(cls, "#32770") != 0) {
    return TRUE;
  }
  if (search->title) {
    char title[256];
    GetWindowTextA(wnd, title, sizeof title);
    if (strcmp(title, search->title) != 0) return TRUE;
  }
  search->found = wnd;
  return FALSE;
}

HWND FindBox(const char* title) {
  Search search = {title, nullptr};
  EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Polls until a box shows or the timeout passes.
HWND WaitForBox(const char* title, double timeout) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND box = FindBox(title);
    if (box) {
      Sleep(100);  // let the box finish painting before it is read
      return box;
    }
    if (GetTickCount() - start > static_cast<DWORD>(timeout * 1000)) {
      return nullptr;
    }
    Sleep(50);
  }
}

bool HasButton(HWND box, int id) {
  HWND button = GetDlgItem(box, id);
  return button && IsWindowVisible(button);
}

bool HasIcon(HWND box) {
  HWND icon = GetDlgItem(box, kIconId);
  return icon && IsWindowVisible(icon) &&
         SendMessageA(icon, STM_GETICON, 0, 0) != 0;
}

BOOL CALLBACK AddVisiblePart(HWND control, LPARAM param) {
  RECT* parts = reinterpret_cast<RECT*>(param);
  RECT rect;
  if (IsWindowVisible(control) && GetWindowRect(control, &rect)) {
    UnionRect(parts, parts, &rect);
  }
  return TRUE;
}

void WriteRect(FILE* to, const char* name, const RECT& rect) {
  fprintf(to, "%s: %ld %ld %ld %ld\n", name, rect.left, rect.top,
          rect.right - rect.left, rect.bottom - rect.top);
}

void WriteGeometry(FILE* to, HWND box) {
  RECT window = {}, parts = {}, text = {};
  GetWindowRect(box, &window);
  EnumChildWindows(box, AddVisiblePart, reinterpret_cast<LPARAM>(&parts));
  HWND textControl = GetDlgItem(box, kTextId);
  if (textControl) GetWindowRect(textControl, &text);
  WriteRect(to, "window", window);
  WriteRect(to, "parts", parts);
  fprintf(to, "text area: %ld %ld\n", text.right - text.left,
          text.bottom - text.top);
}

void WriteReport(FILE* to, HWND box) {
  static char text[16384];
  char title[256];
  GetWindowTextA(box, title, sizeof title);
  text[0] = '\0';
  GetDlgItemTextA(box, kTextId, text, sizeof text);
  fprintf(to, "title: %s\nbuttons:", title);
  for (const Button& b : kButtons) {
    if (HasButton(box, b.id)) fprintf(to, " %s", b.name);
  }
  fprintf(to, "\nicon: %s\n", HasIcon(box) ? "yes" : "no");
  WriteGeometry(to, box);
  fprintf(to, "text:\n%s", text);
}

void Report(HWND box, const char* outPath) {
  WriteReport(stdout, box);
  fputc('\n', stdout);
  fflush(stdout);
  if (!outPath) return;
  FILE* out = fopen(outPath, "wb");
  if (!out) {
    fprintf(stderr, "boxhelper: cannot write %s\n", outPath);
    return;
  }
  WriteReport(out, box);
  fclose(out);
}

int ButtonId(const char* name) {
  for (const Button& b : kButtons) {
    if (_stricmp(name, b.name) == 0) return b.id;
  }
  return 0;
}

// Clicks the button the way a user would and waits for the box to go.
bool Press(HWND box, int id) {
  HWND button = GetDlgItem(box, id);
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
  for (int i = 0; i < 200 && IsWindow(box) && IsWindowVisible(box); ++i) {
    Sleep(25);
  }
  return !IsWindow(box) || !IsWindowVisible(box);
}

int WaitAndPress(const Options& opt) {
  int id = 0;
  if (_stricmp(opt.press, "read") != 0) {
    id = ButtonId(opt.press);
    if (!id) {
      fprintf(stderr, "boxhelper: unknown button %s\n", opt.press);
      return 1;
    }
  }
  HWND box = WaitForBox(opt.title, opt.timeout);
  if (!box) {
    fprintf(stderr, "boxhelper: no box within %.1f s\n", opt.timeout);
    return 2;
  }
  Report(box, opt.out);
  if (!id) return 0;
  if (!HasButton(box, id)) {
    fprintf(stderr, "boxhelper: the box has no %s button\n", opt.press);
    return 3;
  }
  if (!Press(box, id)) {
    fprintf(stderr, "boxhelper: the box stayed after %s\n", opt.press);
    return 4;
  }
  return 0;
}

int ExpectNone(const Options& opt) {
  HWND box = WaitForBox(opt.title, opt.timeout);
  if (!box) return 0;
  fprintf(stderr, "boxhelper: unexpected box\n");
  Report(box, opt.out);
  return 2;
}

// The command line is read raw from a file, so that blanks, tabs and
// quotes reach the program exactly as written.
int RunExact(const char* program, const char* commandFile) {
  static char command[32768];
  FILE* in = fopen(commandFile, "rb");
  if (!in) {
    fprintf(stderr, "boxhelper: cannot read %s\n", commandFile);
    return 255;
  }
  size_t length = fread(command, 1, sizeof command - 1, in);
  fclose(in);
  command[length] = '\0';
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(program, command, nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    fprintf(stderr, "boxhelper: cannot start %s (error %lu)\n", program,
            GetLastError());
    return 255;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 255;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

bool ParseArgs(int argc, char** argv, Options* opt) {
  int i = 1;
  if (i >= argc) return false;
  opt->mode = argv[i++];
  if (strcmp(opt->mode, "wait-and-press") == 0) {
    if (i >= argc) return false;
    opt->press = argv[i++];
  } else if (strcmp(opt->mode, "expect-none") != 0) {
    return false;
  }
  for (; i + 1 < argc; i += 2) {
    if (strcmp(argv[i], "--timeout") == 0) {
      opt->timeout = atof(argv[i + 1]);
    } else if (strcmp(argv[i], "--out") == 0) {
      opt->out = argv[i + 1];
    } else if (strcmp(argv[i], "--title") == 0) {
      opt->title = argv[i + 1];
    } else {
      return false;
    }
  }
  return i == argc && opt->timeout > 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && strcmp(argv[1], "run") == 0) {
    return RunExact(argv[2], argv[3]);
  }
  Options opt;
  if (!ParseArgs(argc, argv, &opt)) {
    fprintf(stderr,
            "usage: boxhelper wait-and-press <ok|yes|no|cancel|read> "
            "[--timeout S] [--out FILE] [--title TITLE]\n"
            "       boxhelper expect-none [--timeout S] [--out FILE] "
            "[--title TITLE]\n"
            "       boxhelper run PROGRAM COMMAND-LINE-FILE\n");
    return 1;
  }
  if (strcmp(opt.mode, "expect-none") == 0) return ExpectNone(opt);
  return WaitAndPress(opt);
}
