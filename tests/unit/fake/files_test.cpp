// Files and directories of the fake machine: the refusals of the real calls
// (read-only, in use, missing, not empty) that the file lists depend on.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"

namespace {

// C:\D holds SRC (data "new", read-only when asked), OLD (data "old") and
// the empty directory E; C:\D\F holds one file.
void MakeD() {
  fake::Reset();
  fake::AddFile("C:\\D\\SRC", "new");
  fake::AddFile("C:\\D\\OLD", "old");
  fake::AddDir("C:\\D\\E");
  fake::AddFile("C:\\D\\F\\X", "x");
}

TEST(FakeFiles, OperationsSucceedOrRefuseLikeTheSystem) {
  struct Row {
    const char* what;
    std::function<void()> setup;
    std::function<bool()> call;
    bool ok;
    const char* path;      // checked afterwards
    const char* content;   // its data, or nullptr for "absent"
  } rows[] = {
      {"delete", [] {}, [] { return plat::RemoveFile("C:\\D\\OLD"); }, true,
       "C:\\D\\OLD", nullptr},
      {"delete other case", [] {},
       [] { return plat::RemoveFile("c:\\d\\old"); }, true, "C:\\D\\OLD",
       nullptr},
      {"delete read-only", [] { fake::SetAttributes("C:\\D\\OLD", 1); },
       [] { return plat::RemoveFile("C:\\D\\OLD"); }, false, "C:\\D\\OLD",
       "old"},
      {"delete in use", [] { fake::SetInUse("C:\\D\\OLD", true); },
       [] { return plat::RemoveFile("C:\\D\\OLD"); }, false, "C:\\D\\OLD",
       "old"},
      {"delete missing", [] {}, [] { return plat::RemoveFile("C:\\D\\NO"); },
       false, "C:\\D\\NO", nullptr},
      {"delete a directory", [] {},
       [] { return plat::RemoveFile("C:\\D\\E"); }, false, "C:\\D\\E", ""},
      {"delete listed", [] {},
       [] { return plat::RemoveListedFile("C:\\D\\OLD", 0x20); }, true,
       "C:\\D\\OLD", nullptr},
      {"delete listed read-only", [] {},
       [] { return plat::RemoveListedFile("C:\\D\\OLD", 0x21); }, false,
       "C:\\D\\OLD", "old"},
      {"delete listed in use", [] { fake::SetInUse("C:\\D\\OLD", true); },
       [] { return plat::RemoveListedFile("C:\\D\\OLD", 0); }, false,
       "C:\\D\\OLD", "old"},
      {"delete listed missing", [] {},
       [] { return plat::RemoveListedFile("C:\\D\\NO", 0); }, false,
       "C:\\D\\NO", nullptr},
      {"delete listed directory", [] {},
       [] { return plat::RemoveListedFile("C:\\D\\E", 0x10); }, false,
       "C:\\D\\E", ""},
      {"rmdir empty", [] {}, [] { return plat::RemoveDir("C:\\D\\E"); }, true,
       "C:\\D\\E", nullptr},
      {"rmdir not empty", [] {}, [] { return plat::RemoveDir("C:\\D\\F"); },
       false, "C:\\D\\F\\X", "x"},
      {"rmdir missing", [] {}, [] { return plat::RemoveDir("C:\\D\\NO"); },
       false, "C:\\D\\NO", nullptr},
      {"rmdir a file", [] {}, [] { return plat::RemoveDir("C:\\D\\OLD"); },
       false, "C:\\D\\OLD", "old"},
      {"rmdir current directory", [] { fake::SetCurrentDir("C:\\D\\E"); },
       [] { return plat::RemoveDir("C:\\D\\E"); }, false, "C:\\D\\E", ""},
      {"copy over", [] {},
       [] { return plat::CopyOneFile("C:\\D\\SRC", "C:\\D\\OLD", false); },
       true, "C:\\D\\OLD", "new"},
      {"copy new", [] {},
       [] { return plat::CopyOneFile("C:\\D\\SRC", "C:\\D\\E\\N", true); },
       true, "C:\\D\\E\\N", "new"},
      {"copy fail-if-exists", [] {},
       [] { return plat::CopyOneFile("C:\\D\\SRC", "C:\\D\\OLD", true); },
       false, "C:\\D\\OLD", "old"},
      {"copy missing source", [] {},
       [] { return plat::CopyOneFile("C:\\D\\NO", "C:\\D\\OLD", false); },
       false, "C:\\D\\OLD", "old"},
      {"copy unreadable source", [] { fake::SetUnreadable("C:\\D\\SRC", true); },
       [] { return plat::CopyOneFile("C:\\D\\SRC", "C:\\D\\OLD", false); },
       false, "C:\\D\\OLD", "old"},
      {"copy a directory", [] {},
       [] { return plat::CopyOneFile("C:\\D\\E", "C:\\D\\N", false); }, false,
       "C:\\D\\N", nullptr},
      {"copy into missing directory", [] {},
       [] { return plat::CopyOneFile("C:\\D\\SRC", "C:\\NO\\N", false); },
       false, "C:\\NO\\N", nullptr},
      {"copy onto in-use target", [] { fake::SetInUse("C:\\D\\OLD", true); },
       [] { return plat::CopyOneFile("C:\\D\\SRC", "C:\\D\\OLD", false); },
       false, "C:\\D\\OLD", "old"},
      {"copy onto read-only target", [] { fake::SetAttributes("C:\\D\\OLD", 1); },
       [] { return plat::CopyOneFile("C:\\D\\SRC", "C:\\D\\OLD", false); },
       false, "C:\\D\\OLD", "old"},
      {"copy onto a directory", [] {},
       [] { return plat::CopyOneFile("C:\\D\\SRC", "C:\\D\\E", false); },
       false, "C:\\D\\SRC", "new"},
      {"copy onto itself", [] {},
       [] { return plat::CopyOneFile("C:\\D\\SRC", "c:\\d\\src", false); },
       false, "C:\\D\\SRC", "new"},
      {"copy from in-use source", [] { fake::SetInUse("C:\\D\\SRC", true); },
       [] { return plat::CopyOneFile("C:\\D\\SRC", "C:\\D\\OLD", false); },
       true, "C:\\D\\OLD", "new"},
      {"replace", [] {},
       [] { return plat::ReplaceFileWith("C:\\D\\SRC", "C:\\D\\OLD"); }, true,
       "C:\\D\\OLD", "new"},
      {"replace leaves no replacement", [] {},
       [] { return plat::ReplaceFileWith("C:\\D\\SRC", "C:\\D\\OLD"); }, true,
       "C:\\D\\SRC", nullptr},
      {"replace missing target", [] {},
       [] { return plat::ReplaceFileWith("C:\\D\\SRC", "C:\\D\\NEW"); }, true,
       "C:\\D\\NEW", "new"},
      {"replace read-only target", [] { fake::SetAttributes("C:\\D\\OLD", 1); },
       [] { return plat::ReplaceFileWith("C:\\D\\SRC", "C:\\D\\OLD"); },
       false, "C:\\D\\OLD", "old"},
      {"replace in-use target", [] { fake::SetInUse("C:\\D\\OLD", true); },
       [] { return plat::ReplaceFileWith("C:\\D\\SRC", "C:\\D\\OLD"); },
       false, "C:\\D\\SRC", "new"},
      {"replace missing replacement", [] {},
       [] { return plat::ReplaceFileWith("C:\\D\\NO", "C:\\D\\OLD"); }, false,
       "C:\\D\\OLD", "old"},
      // Windows 95: a missing target whose old file a cut left aside gets
      // it back, and then the replacement's own aside goes as usual.
      {"95: replace a target left aside",
       [] {
         fake::SetPersonality(fake::Personality::Windows95);
         fake::AddFile("C:\\D\\NEW.~old", "old");
       },
       [] { return plat::ReplaceFileWith("C:\\D\\SRC", "C:\\D\\NEW"); }, true,
       "C:\\D\\NEW.~old", nullptr},
      {"cd to a file", [] {}, [] { return plat::ChangeDirectory("C:\\D\\OLD"); },
       false, "C:\\D\\OLD", "old"},
      {"cd to missing", [] {}, [] { return plat::ChangeDirectory("C:\\NO"); },
       false, "C:\\NO", nullptr},
  };
  for (const Row& row : rows) {
    MakeD();
    row.setup();
    EXPECT_EQ(row.ok, row.call()) << row.what;
    if (row.content) {
      EXPECT_EQ(row.content, fake::ReadFile(row.path)) << row.what;
      EXPECT_TRUE(fake::Exists(row.path)) << row.what;
    } else {
      EXPECT_FALSE(fake::Exists(row.path)) << row.what;
    }
  }
}

TEST(FakeFiles, CopyAndReplaceCarryAttributes) {
  MakeD();
  fake::SetAttributes("C:\\D\\SRC", plat::kAttrReadOnly | 0x20);
  ASSERT_TRUE(plat::CopyOneFile("C:\\D\\SRC", "C:\\D\\COPY", false));
  EXPECT_EQ(plat::kAttrReadOnly | 0x20u, plat::FileAttributes("C:\\D\\COPY"));
  MakeD();
  fake::SetAttributes("C:\\D\\SRC", 0x20);
  ASSERT_TRUE(plat::ReplaceFileWith("C:\\D\\SRC", "C:\\D\\OLD"));
  EXPECT_EQ(0x20u, plat::FileAttributes("C:\\D\\OLD"));
}

TEST(FakeFiles, PathsResolveLikeWin32) {
  struct Row {
    const char* currentDir;
    const char* path;
    bool found;
  } rows[] = {
      {"C:\\", "C:\\D\\OLD", true},
      {"C:\\", "c:\\d\\old", true},
      {"C:\\", "C:/D/OLD", true},
      {"C:\\D", "OLD", true},
      {"C:\\D", ".\\OLD", true},
      {"C:\\D\\F", "..\\OLD", true},
      {"C:\\D\\F", "..\\..\\..\\D\\OLD", true},
      {"C:\\D", "C:OLD", true},
      {"C:\\D\\F", "C:OLD", false},
      {"C:\\D\\F", "\\D\\OLD", true},
      {"C:\\D", "OLD.", true},
      {"C:\\D", "OLD\\", false},  // a trailing backslash names a directory
      {"C:\\D", "E\\", true},
      {"C:\\D", "C:\\D\\E\\.", true},
      {"C:\\D", "D:OLD", false},
      {"C:\\D", "", false},
      {"C:\\D", "\\\\server\\share\\OLD", false},
      {"C:\\D", "O*D", false},
      {"C:\\D", "1:\\D\\OLD", false},
  };
  for (const Row& row : rows) {
    MakeD();
    fake::SetCurrentDir(row.currentDir);
    bool found = plat::FileAttributes(row.path) != plat::kInvalidAttributes;
    EXPECT_EQ(row.found, found) << row.path << " in " << row.currentDir;
  }
}

TEST(FakeFiles, HugeAndNullPathsAreRefusedNotFatal) {
  MakeD();
  std::string huge(100000, 'A');
  std::string deep = "C:";
  for (int i = 0; i < 200; ++i) deep += "\\DIR";
  for (const std::string& p : {huge, "C:\\" + huge, deep, "C:\\D\\" + huge}) {
    EXPECT_EQ(plat::kInvalidAttributes, plat::FileAttributes(p.c_str()));
    EXPECT_FALSE(plat::RemoveFile(p.c_str()));
    EXPECT_EQ(plat::kNoFile, plat::CreateNewFile(p.c_str()));
    plat::FindData fd;
    EXPECT_EQ(plat::kNoFind, plat::FindFirst(p.c_str(), &fd));
    EXPECT_FALSE(plat::ChangeDirectory(p.c_str()));
  }
  EXPECT_EQ(plat::kInvalidAttributes, plat::FileAttributes(nullptr));
  EXPECT_FALSE(plat::CopyOneFile(nullptr, "C:\\D\\X", false));
  EXPECT_FALSE(plat::CopyOneFile("C:\\D\\SRC", nullptr, false));
  EXPECT_FALSE(plat::RemoveDir(nullptr));
  EXPECT_EQ(plat::kNoFile, plat::OpenForRead(nullptr));
  EXPECT_EQ(plat::kNoFind, plat::FindFirst(nullptr, nullptr));
  EXPECT_EQ(0u, plat::ShortPathName(nullptr, nullptr, 0));
}

TEST(FakeFiles, DirectoryQueriesFollowTheBufferConvention) {
  fake::Reset();
  fake::SetCurrentDir("C:\\WINDOWS\\TEMP");  // 15 characters
  char buf[32];
  struct Row {
    uint32_t size;
    uint32_t result;
    const char* stored;
  } rows[] = {
      {32, 15, "C:\\WINDOWS\\TEMP"},
      {16, 15, "C:\\WINDOWS\\TEMP"},
      {15, 16, nullptr},
      {0, 16, nullptr},
  };
  for (const Row& row : rows) {
    std::strcpy(buf, "untouched");
    EXPECT_EQ(row.result, plat::CurrentDirectory(buf, row.size)) << row.size;
    EXPECT_STREQ(row.stored ? row.stored : "untouched", buf) << row.size;
  }
  EXPECT_EQ(16u, plat::TempDirectory(buf, sizeof buf));
  EXPECT_STREQ("C:\\WINDOWS\\TEMP\\", buf);
  EXPECT_EQ(10u, plat::WindowsDirectory(buf, sizeof buf));
  EXPECT_EQ(17u, plat::SystemDirectory(buf, sizeof buf));
  EXPECT_STREQ("C:\\WINDOWS\\SYSTEM", buf);
  EXPECT_EQ(18u, plat::SystemDirectory(buf, 17));
}

TEST(FakeFiles, ByteIoCommitsAtOnceAndCountsHandles) {
  fake::Reset();
  plat::FileHandle w = plat::CreateNewFile("C:\\OUT.TXT");
  ASSERT_NE(plat::kNoFile, w);
  EXPECT_TRUE(plat::WriteBytes(w, "abc", 3));
  EXPECT_EQ("abc", fake::ReadFile("C:\\OUT.TXT"));
  EXPECT_TRUE(plat::WriteBytes(w, "de", 2));
  EXPECT_EQ(1, fake::OpenFiles());
  EXPECT_FALSE(plat::RemoveFile("C:\\OUT.TXT"));  // open files stay
  EXPECT_TRUE(plat::CloseFile(w));
  EXPECT_FALSE(plat::CloseFile(w));
  EXPECT_EQ(0, fake::OpenFiles());

  plat::FileHandle r = plat::OpenForRead("c:\\out.txt");
  ASSERT_NE(plat::kNoFile, r);
  char buf[8];
  EXPECT_EQ(4, plat::ReadBytes(r, buf, 4));
  EXPECT_EQ(1, plat::ReadBytes(r, buf, 8));
  EXPECT_EQ('e', buf[0]);
  EXPECT_EQ(0, plat::ReadBytes(r, buf, 8));
  EXPECT_FALSE(plat::WriteBytes(r, "x", 1));
  EXPECT_TRUE(plat::CloseFile(r));

  fake::SetUnreadable("C:\\OUT.TXT", true);
  EXPECT_EQ(plat::kNoFile, plat::OpenForRead("C:\\OUT.TXT"));
  fake::SetInUse("C:\\OUT.TXT", true);
  EXPECT_EQ(plat::kNoFile, plat::CreateNewFile("C:\\OUT.TXT"));
  EXPECT_EQ(plat::kNoFile, plat::CreateNewFile("C:\\NODIR\\OUT.TXT"));
  fake::AddFile("C:\\PLAIN.TXT", "kept");
  EXPECT_EQ(plat::kNoFile, plat::CreateNewFile("C:\\PLAIN.TXT"));
  EXPECT_EQ("kept", fake::ReadFile("C:\\PLAIN.TXT"));
  EXPECT_EQ(-1, plat::ReadBytes(0x999, buf, 1));
}

}  // namespace
