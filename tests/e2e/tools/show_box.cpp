// show_box: shows a message box with the title, text and buttons another
// program's box had, as MessageBoxA lays it out for this program. The demo
// pictures it where Wine could not lay out the i686 program's own box
// (Wine 8.0's wow64 mode measures and draws no text for 32-bit programs).
//
//   show_box <style> <box file>
//
// style: the MessageBoxA style, a decimal number (0 OK, 4 Yes and No).
// box file: the title on its first line (ended by a line feed), then the
// text up to the end of the file, byte for byte (ANSI code page). Exits
// with the id of the button pressed; 0 on a usage error or an unreadable
// file.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: show_box STYLE BOX-FILE\n");
    return 0;
  }
  static char box[16384];
  FILE* in = fopen(argv[2], "rb");
  if (!in) {
    fprintf(stderr, "show_box: cannot read %s\n", argv[2]);
    return 0;
  }
  size_t length = fread(box, 1, sizeof box - 1, in);
  fclose(in);
  box[length] = '\0';
  char* text = strchr(box, '\n');
  if (!text) {
    fprintf(stderr, "show_box: no title line in %s\n", argv[2]);
    return 0;
  }
  *text++ = '\0';
  return MessageBoxA(nullptr, text, box, strtoul(argv[1], nullptr, 10));
}
