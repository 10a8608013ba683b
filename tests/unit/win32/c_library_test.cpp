// The C library functions of the Windows programs (seldunax/
// c_library.cpp), built here under other names and held against the host's
// C library on the same inputs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#define memcpy OwnMemcpy
#define memmove OwnMemmove
#define memset OwnMemset
#define memchr OwnMemchr
#define strlen OwnStrlen
#define strcmp OwnStrcmp
#define strncmp OwnStrncmp
#define strcpy OwnStrcpy
#define strchr OwnStrchr
#define strrchr OwnStrrchr
#include "seldunax/c_library.cpp"
#undef memcpy
#undef memmove
#undef memset
#undef memchr
#undef strlen
#undef strcmp
#undef strncmp
#undef strcpy
#undef strchr
#undef strrchr

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(CLibrary, ComparisonsAgreeWithTheHost) {
  struct Row {
    const char* a;
    const char* b;
    size_t n;
  };
  const Row rows[] = {
      {"", "", 5},          {"abc", "abc", 5},     {"abc", "abd", 5},
      {"abd", "abc", 5},    {"ab", "abc", 5},      {"abc", "ab", 5},
      {"abc", "abd", 2},    {"\xe9t\xe9", "et", 5},  // bytes above 127
      {"a", "\xff", 5},     {"same", "same!", 4},  {"x", "y", 0},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(Sign(OwnStrcmp(r.a, r.b)), Sign(strcmp(r.a, r.b)))
        << "strcmp " << r.a << " / " << r.b;
    EXPECT_EQ(Sign(OwnStrncmp(r.a, r.b, r.n)), Sign(strncmp(r.a, r.b, r.n)))
        << "strncmp " << r.a << " / " << r.b << " n=" << r.n;
    EXPECT_EQ(OwnStrlen(r.a), strlen(r.a)) << "strlen " << r.a;
  }
}

TEST(CLibrary, SearchesAgreeWithTheHost) {
  struct Row {
    const char* text;
    int c;
  };
  const char path[] = "C:\\WINDOWS\\SYSTEM\\VNT\xe9.DRV";
  const Row rows[] = {
      {path, '\\'}, {path, 'C'}, {path, '#'}, {path, 0},
      {path, static_cast<char>('\xe9')},  // negative as a char
      {"", 'a'},    {"", 0},
  };
  for (const Row& r : rows) {
    const size_t n = strlen(r.text) + 1;
    EXPECT_EQ(OwnStrrchr(r.text, r.c), strrchr(r.text, r.c))
        << "strrchr " << r.text << " " << r.c;
    EXPECT_EQ(OwnStrchr(r.text, r.c), strchr(r.text, r.c))
        << "strchr " << r.text << " " << r.c;
    EXPECT_EQ(OwnMemchr(r.text, r.c, n), memchr(r.text, r.c, n))
        << "memchr " << r.text << " " << r.c;
  }
}

TEST(CLibrary, CopiesAndFills) {
  struct Row {
    const char* label;
    int dest;  // offsets into one buffer, so that the ranges may overlap
    int src;
    int n;
  };
  const Row rows[] = {
      {"apart", 20, 0, 10},      {"overlap, moving right", 3, 0, 10},
      {"overlap, moving left", 0, 3, 10}, {"onto itself", 5, 5, 10},
      {"nothing", 4, 0, 0},
  };
  for (const Row& r : rows) {
    char own[32];
    char host[32];
    for (int i = 0; i < 32; ++i) own[i] = host[i] = static_cast<char>('a' + i % 26);
    EXPECT_EQ(OwnMemmove(own + r.dest, own + r.src, r.n), own + r.dest);
    memmove(host + r.dest, host + r.src, r.n);
    EXPECT_EQ(std::string(own, 32), std::string(host, 32)) << r.label;
  }

  char buffer[8] = "abcdefg";
  EXPECT_EQ(OwnMemset(buffer + 1, 0x17F, 3), buffer + 1);
  EXPECT_EQ(std::string(buffer, 7), std::string("a\x7F\x7F\x7F" "efg"));
  char copy[8];
  EXPECT_EQ(OwnMemcpy(copy, "1234567", 8), copy);
  EXPECT_STREQ(copy, "1234567");
  EXPECT_EQ(OwnStrcpy(copy, "xy"), copy);
  EXPECT_EQ(std::string(copy, 8), std::string("xy\0" "4567\0", 8));
}

}  // namespace
