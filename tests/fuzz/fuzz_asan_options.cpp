// Linked into the libFuzzer programs only: the address sanitizer's settings
// for a fuzzing run, used unless ASAN_OPTIONS says otherwise.
//
// The quarantine keeps freed memory poisoned so that a later use of it is
// caught. Its default of 256 MB is far more than one input frees, and
// cycling through it made every allocation land on memory not touched for a
// long time (a page fault and a cold cache each): a tenth of the time of
// the text-file target went there. 16 MB still holds what many inputs in a
// row free, so a use after free inside one input is caught as before.
extern "C" const char* __asan_default_options() {
  return "quarantine_size_mb=16";
}
