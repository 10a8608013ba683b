// File searches of the fake machine: every module that walks directories
// trusts these names, their order and their end.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"

namespace {

std::string Found(const char* pattern) {
  plat::FindData fd;
  plat::FindHandle h = plat::FindFirst(pattern, &fd);
  if (h == plat::kNoFind) return "(none)";
  std::string names;
  do {
    if (!names.empty()) names += ' ';
    names += fd.name;
    if (fd.attributes & plat::kAttrDirectory) names += '/';
  } while (plat::FindNext(h, &fd));
  plat::FindEnd(h);
  return names;
}

void MakeDisk() {
  fake::Reset();
  fake::AddFile("C:\\DISK\\b.tmp", "1");
  fake::AddFile("C:\\DISK\\A.TMP", "2");
  fake::AddFile("C:\\DISK\\README", "3");
  fake::AddFile("C:\\DISK\\x.tmpl", "4");
  fake::AddDir("C:\\DISK\\SUB.DIR");
  fake::AddFile("C:\\DISK\\AB.TXT", "5");
  fake::AddFile("C:\\DISK\\.hidden", "6");
}

TEST(FakeFind, PatternsMatchLikeTheSystem) {
  struct Row {
    const char* pattern;
    const char* expected;
  } rows[] = {
      {"C:\\DISK\\*.*", "./ ../ b.tmp A.TMP README x.tmpl SUB.DIR/ AB.TXT .hidden"},
      {"C:\\DISK\\*", "./ ../ b.tmp A.TMP README x.tmpl SUB.DIR/ AB.TXT .hidden"},
      // x.tmpl matches through its 8.3 alias X~1.TMP.
      {"C:\\DISK\\*.TMP", "b.tmp A.TMP x.tmpl"},
      {"c:\\disk\\*.tmp", "b.tmp A.TMP x.tmpl"},
      {"C:\\DISK\\X~1.TMP", "x.tmpl"},
      {"C:\\DISK\\*.TMPL", "x.tmpl"},
      {"C:\\DISK\\*~1*", "x.tmpl .hidden"},
      {"C:\\DISK\\?.TMP", "b.tmp A.TMP"},
      {"C:\\DISK\\??.TXT", "AB.TXT"},
      {"C:\\DISK\\?.TXT", "(none)"},
      {"C:\\DISK\\A*", "A.TMP AB.TXT"},
      {"C:\\DISK\\*B*", "b.tmp SUB.DIR/ AB.TXT"},
      // .hidden has the alias HIDDEN~1, without an extension.
      {"C:\\DISK\\*.", "./ ../ README .hidden"},
      {"C:\\DISK\\A.TMP.", "A.TMP"},
      {"C:\\DISK\\README.*", "README"},
      {"C:\\DISK\\readme", "README"},
      {"C:\\DISK\\SUB.DIR", "SUB.DIR/"},
      {"C:\\DISK\\*.DIR", "SUB.DIR/"},
      {"C:\\DISK\\.*", "./ ../ .hidden"},
      {"C:\\DISK\\HIDDEN~1", ".hidden"},
      {"C:\\DISK\\*.EXE", "(none)"},
      {"C:\\DISK\\SUB.DIR\\*.*", "./ ../"},
      {"C:\\NODIR\\*.*", "(none)"},
      {"C:\\DISK\\README\\*.*", "(none)"},
      {"C:\\DISK\\", "(none)"},
      {"C:\\DISK\\A.TMP\\", "(none)"},
      {"C:\\*.*", "WINDOWS/ DISK/"},
      {"C:\\DISK\\..\\DISK\\.\\A*.T?P", "A.TMP"},
      {"C:/DISK/a.tmp", "A.TMP"},
      {"", "(none)"},
  };
  for (const Row& row : rows) {
    MakeDisk();
    EXPECT_EQ(row.expected, Found(row.pattern)) << "pattern " << row.pattern;
    EXPECT_EQ(0, fake::OpenFinds()) << "pattern " << row.pattern;
  }
}

TEST(FakeFind, RelativePatternsUseTheCurrentDirectory) {
  struct Row {
    const char* currentDir;
    const char* pattern;
    const char* expected;
  } rows[] = {
      {"C:\\DISK", "*.TMP", "b.tmp A.TMP x.tmpl"},
      {"C:\\DISK", "C:*.TMP", "b.tmp A.TMP x.tmpl"},
      {"C:\\DISK", "C:\\*.TMP", "(none)"},
      {"C:\\DISK", "\\DISK\\A*", "A.TMP AB.TXT"},
      {"C:\\DISK\\SUB.DIR", "..\\*.TXT", "AB.TXT"},
      {"C:\\WINDOWS", "D:*.*", "(none)"},
  };
  for (const Row& row : rows) {
    MakeDisk();
    fake::SetCurrentDir(row.currentDir);
    EXPECT_EQ(row.expected, Found(row.pattern))
        << "pattern " << row.pattern << " in " << row.currentDir;
  }
}

TEST(FakeFind, SearchKeepsItsMatchesWhenEntriesGo) {
  MakeDisk();
  plat::FindData fd;
  plat::FindHandle h = plat::FindFirst("C:\\DISK\\?.TMP", &fd);
  ASSERT_NE(plat::kNoFind, h);
  EXPECT_STREQ("b.tmp", fd.name);
  EXPECT_TRUE(plat::RemoveFile("C:\\DISK\\b.tmp"));
  EXPECT_TRUE(plat::RemoveFile("C:\\DISK\\A.TMP"));
  ASSERT_TRUE(plat::FindNext(h, &fd));
  EXPECT_STREQ("A.TMP", fd.name);
  EXPECT_FALSE(plat::FindNext(h, &fd));
  EXPECT_FALSE(plat::FindNext(h, &fd));
  EXPECT_EQ(1, fake::OpenFinds());
  plat::FindEnd(h);
  EXPECT_EQ(0, fake::OpenFinds());
  // An ended or unknown search is refused, not a crash.
  EXPECT_FALSE(plat::FindNext(h, &fd));
  plat::FindEnd(h);
  plat::FindEnd(12345);
}

TEST(FakeFind, NamesComeInCreationOrderWithTheirCase) {
  fake::Reset();
  const char* names[] = {"zeta.txt", "Alpha.TXT", "mid.txt"};
  for (const char* n : names) fake::AddFile(std::string("C:\\D\\") + n, "");
  EXPECT_EQ("./ ../ zeta.txt Alpha.TXT mid.txt", Found("C:\\D\\*"));
}

// A directory link C:\T\LINK to C:\OUT (and C:\T\LOOP to itself): listed
// with 0x410, a search and paths inside it reach C:\OUT, RemoveDir
// refuses it.
std::string AfterLinkCall(const std::function<std::string()>& call) {
  fake::Reset();
  fake::AddFile("C:\\OUT\\A.TXT", "a");
  fake::AddFile("C:\\OUT\\SUB\\B.TXT", "b");
  fake::AddFile("C:\\T\\F.TXT", "f");
  fake::AddDirLink("C:\\T\\LINK", "C:\\OUT");
  fake::AddDirLink("C:\\T\\TWICE", "C:\\T\\LINK\\SUB");
  fake::AddDirLink("C:\\T\\LOOP", "C:\\T\\LOOP");
  std::string result = call();
  std::string tree;
  for (const std::string& path : fake::ListTree("C:\\")) {
    if (path.compare(0, 10, "C:\\WINDOWS") != 0) tree += " " + path;
  }
  return result + " |" + tree;
}

std::string Attributes(const char* pattern) {
  plat::FindData fd;
  plat::FindHandle h = plat::FindFirst(pattern, &fd);
  if (h == plat::kNoFind) return "(none)";
  std::string out;
  do {
    char attributes[16];
    std::snprintf(attributes, sizeof attributes, "=%x", fd.attributes);
    out += (out.empty() ? "" : " ") + std::string(fd.name) + attributes;
  } while (plat::FindNext(h, &fd));
  plat::FindEnd(h);
  return out;
}

TEST(FakeFind, DirectoryLinksLeadElsewhereAndStay) {
  const std::string kTree =
      " C:\\ C:\\OUT\\ C:\\OUT\\A.TXT C:\\OUT\\SUB\\ C:\\OUT\\SUB\\B.TXT C:\\T\\"
      " C:\\T\\F.TXT C:\\T\\LINK\\ C:\\T\\LOOP\\ C:\\T\\TWICE\\";
  struct Row {
    const char* what;
    std::function<std::string()> call;
    std::string expected;
  } rows[] = {
      {"listed with 0x410", [] { return Attributes("C:\\T\\*.*"); },
       ".=10 ..=10 F.TXT=0 LINK=410 TWICE=410 LOOP=410" + std::string(" |") +
           kTree},
      {"a search inside lists the target",
       [] { return Attributes("C:\\T\\LINK\\*.*"); },
       ".=10 ..=10 A.TXT=0 SUB=10 |" + kTree},
      {"through two links", [] { return Attributes("C:\\T\\TWICE\\*"); },
       ".=10 ..=10 B.TXT=0 |" + kTree},
      {"the link itself is found by its name",
       [] { return Attributes("C:\\T\\LINK"); }, "LINK=410 |" + kTree},
      {"links in a loop name nothing",
       [] { return Attributes("C:\\T\\LOOP\\*.*"); }, "(none) |" + kTree},
      {"the attributes of the link",
       [] { return std::to_string(plat::FileAttributes("C:\\T\\LINK")); },
       "1040 |" + kTree},
      {"a file through the link is the target's",
       [] { return std::to_string(plat::RemoveFile("C:\\T\\LINK\\A.TXT")); },
       "1 | C:\\ C:\\OUT\\ C:\\OUT\\SUB\\ C:\\OUT\\SUB\\B.TXT C:\\T\\"
       " C:\\T\\F.TXT C:\\T\\LINK\\ C:\\T\\LOOP\\ C:\\T\\TWICE\\"},
      {"a link is not removed, nor is its target",
       [] { return std::to_string(plat::RemoveDir("C:\\T\\LINK")); },
       "0 |" + kTree},
      {"a link is no file", [] {
         return std::to_string(plat::RemoveFile("C:\\T\\LINK"));
       }, "0 |" + kTree},
      {"its attributes keep their kind",
       [] {
         fake::SetAttributes("C:\\T\\LINK", plat::kAttrReadOnly);
         return std::to_string(plat::FileAttributes("C:\\T\\LINK"));
       },
       "1041 |" + kTree},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.expected, AfterLinkCall(row.call)) << row.what;
    EXPECT_EQ(0, fake::OpenFinds()) << row.what;
  }
}

}  // namespace
