#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/seldchk/seldchk_support.h"

namespace {

// Lines 1 and 2 of most rows: one id, so that nothing else is needed for
// the file to remove something.
const std::string kIds = "[pnpids]\n1=VNT2300\n";
const std::string F = "SELDUNAX.INI:";

std::string Chars(size_t count, char c = 'A') { return std::string(count, c); }

// The finding on a relative value of [delete] key 1 (line 4) without --cwd,
// which names afterHandOver once the program runs in TEMP.
std::string Relative(const std::string& value,
                     const std::string& afterHandOver) {
  return F + "4: warning: [delete] key 1: " + value +
         " depends on the directory the program runs in: after the hand-over "
         "from C:\\VANTORIS it names " + afterHandOver +
         ", and elsewhere a place in the directory it is started in (--cwd "
         "names one); write the full path\n";
}

struct Row {
  const char* label;
  std::string ini;
  std::vector<std::string> args;
  std::string expected;  // the findings, one per line
  int exitCode;
};

void RunRows(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    CheckResult result = CheckText(row.ini, row.args);
    EXPECT_EQ(result.output, row.expected) << row.label;
    EXPECT_EQ(result.exitCode, row.exitCode) << row.label;
  }
}

TEST(SeldchkFindings, ListsThatEndEarly) {
  RunRows({
      {"clean list", kIds + "[delete]\n1=C:\\A\n2=C:\\B\n", {}, "", 0},
      {"gap", kIds + "[delete]\n1=C:\\A\n2=C:\\B\n4=C:\\D\n", {},
       F + "6: warning: [delete] key 4 is never read: the list ends at the "
           "missing key 3\n", 1},
      {"every key after the gap", kIds + "[deltree]\n1=C:\\A\n3=C:\\C\n4=C:\\D\n", {},
       F + "5: warning: [deltree] key 3 is never read: the list ends at the "
           "missing key 2\n" +
       F + "6: warning: [deltree] key 4 is never read: the list ends at the "
           "missing key 2\n", 1},
      {"empty value", kIds + "[multdel]\n1=C:\\A*\n2=\n3=C:\\C*\n", {},
       F + "6: warning: [multdel] key 3 is never read: the list ends at the "
           "empty key 2 (line 5)\n", 1},
      {"quotes around nothing", kIds + "[delete]\n1=\"\"\n2=C:\\B\n", {},
       F + "5: warning: [delete] key 2 is never read: the list ends at the "
           "empty key 1 (line 4)\n", 1},
      {"key without =", kIds + "[delete]\n1=C:\\A\n2\n3=C:\\C\n", {},
       F + "6: warning: [delete] key 3 is never read: the list ends at key 2 "
           "(line 5), which has no \"=\"\n", 1},
      {"list starts at 2", kIds + "[delete]\n2=C:\\B\n", {},
       F + "4: warning: [delete] key 2 is never read: the list ends at the "
           "missing key 1\n", 1},
      {"empty key at the end harms nothing", kIds + "[delete]\n1=C:\\A\n2=\n", {}, "", 0},
      {"blanks around key and value", kIds + "[delete]\n 1 =  C:\\A \n", {}, "", 0},
      {"leading zero", kIds + "[delete]\n1=C:\\A\n02=C:\\B\n", {},
       F + "5: warning: [delete] key \"02\" is never read: the program reads "
           "the key \"2\"\n", 1},
      {"key 0", kIds + "[delete]\n0=C:\\A\n1=C:\\B\n", {},
       F + "4: warning: [delete] key \"0\" is never read: the keys start at 1\n", 1},
      {"plus sign", kIds + "[delete]\n1=C:\\A\n+2=C:\\B\n", {},
       F + "5: warning: [delete] key \"+2\" is never read: the program reads "
           "the key \"2\"\n", 1},
      {"blank inside FROM 1", kIds + "[copy]\nFROM 1=C:\\A\nTO1=C:\\B\n", {},
       F + "4: warning: [copy] key \"FROM 1\" is never read: the program reads "
           "the key \"FROM1\"\n" +
       F + "5: warning: [copy] TO1 has no FROM1: the list ends before it\n", 1},
      {"message keys after a gap", kIds + "[REBOOTNOW]\n1=A\n3=C\n", {},
       F + "5: warning: [REBOOTNOW] key 3 is never read: the text ends at the "
           "missing key 2\n", 1},
      {"lower-case key prefixes are read", kIds + "[copy]\nfrom1=C:\\A\nto1=C:\\B\n", {}, "", 0},
      {"a ten-digit key is read as itself", kIds + "[delete]\n1=C:\\A\n1234567890=C:\\B\n", {},
       F + "5: warning: [delete] key 1234567890 is never read: the list ends "
           "at the missing key 2\n", 1},
      {"a key past any number the program forms", kIds + "[delete]\n1=C:\\A\n99999999999=C:\\B\n", {},
       F + "5: warning: [delete] key \"99999999999\" is never read: no list "
           "reaches key 99999999999\n", 1},
  });
}

TEST(SeldchkFindings, CopyPairs) {
  RunRows({
      {"pair", kIds + "[copy]\nFROM1=C:\\A\nTO1=C:\\B\n", {}, "", 0},
      {"FROM without TO", kIds + "[copy]\nFROM1=C:\\A\nTO1=C:\\B\nFROM2=C:\\C\n", {},
       F + "6: warning: [copy] FROM2 has no TO2: this copy is not made and the "
           "list ends here\n", 1},
      {"TO without FROM", kIds + "[copy]\nTO1=C:\\B\n", {},
       F + "4: warning: [copy] TO1 has no FROM1: the list ends before it\n", 1},
      {"empty TO", kIds + "[copy]\nFROM1=C:\\A\nTO1=\nFROM2=C:\\C\nTO2=C:\\D\n", {},
       F + "4: warning: [copy] FROM1 has no TO1: this copy is not made and the "
           "list ends here\n" +
       F + "6: warning: [copy] FROM2 is never read: the list ends at the empty "
           "TO1 (line 5)\n" +
       F + "7: warning: [copy] TO2 is never read: the list ends at the empty "
           "TO1 (line 5)\n", 1},
      {"pair after the end", kIds + "[copy]\nFROM1=C:\\A\nTO1=C:\\B\nTO3=C:\\D\n", {},
       F + "6: warning: [copy] TO3 has no FROM3 and is never read: the list "
           "ends at the missing FROM2\n", 1},
  });
}

TEST(SeldchkFindings, ValueLimits) {
  const std::string p255 = "C:\\" + Chars(252);
  const std::string m255 = "%WINDIR%\\" + Chars(244);  // 255 once expanded
  RunRows({
      {"path of 255", kIds + "[delete]\n1=" + p255 + "\n", {}, "", 0},
      {"path of 256", kIds + "[delete]\n1=" + p255 + "B\n", {},
       F + "4: warning: [delete] key 1: the path has 256 characters: the "
           "program passes over a path of more than 255\n", 1},
      {"quoted path of 255", kIds + "[delete]\n1=\"" + p255 + "\"\n", {}, "", 0},
      {"quoted path of 256", kIds + "[delete]\n1=\"" + p255 + "B\"\n", {},
       F + "4: warning: [delete] key 1: the path has 256 characters: the "
           "program passes over a path of more than 255\n", 1},
      {"TO of 256", kIds + "[copy]\nFROM1=C:\\A\nTO1=" + p255 + "B\n", {},
       F + "5: warning: [copy] TO1: the path has 256 characters: the program "
           "passes over a path of more than 255\n", 1},
      {"TO a directory of the machine", kIds + "[copy]\nFROM1=C:\\A.CFG\nTO1=%WINDIR%\n", {},
       F + "5: warning: [copy] TO1: C:\\WINDOWS is a directory on this PC: TOn "
           "names the file the copy becomes, and the program never replaces a "
           "directory with it: the copy fails, the closing box names it and "
           "FROM1 is kept; write the file's name, \"C:\\WINDOWS\\A.CFG\"\n", 1},
      {"expansion of 255", kIds + "[delete]\n1=" + m255 + "\n", {}, "", 0},
      {"expansion of 256", kIds + "[delete]\n1=" + m255 + "B\n", {},
       F + "4: warning: [delete] key 1: with %WINDIR% as C:\\WINDOWS the path "
           "has 256 characters: the program passes over a path of more than "
           "255\n", 1},
      {"expansion of 256 with a shorter --windir", kIds + "[deltree]\n1=" + m255 + "B\n",
       {"--windir", "C:\\WIN95"},
       "", 0},
      {"expansion with a longer --winsys", kIds + "[multdel]\n1=%WINSYS%\\" + Chars(240) + "*\n",
       {"--winsys=C:\\WINDOWS\\SYSTEM32"},
       F + "4: warning: [multdel] key 1: with %WINSYS% as C:\\WINDOWS\\SYSTEM32 "
           "the path has 261 characters: the program passes over a path of "
           "more than 255\n", 1},
      // C:\WINDOWS\Start Menu\Programs\StartUp: 38 characters.
      {"a shared folder's expansion of 256",
       kIds + "[delete]\n1=%STARTUP%\\" + Chars(217) + "\n", {},
       F + "4: warning: [delete] key 1: with %STARTUP% as C:\\WINDOWS\\Start "
           "Menu\\Programs\\StartUp the path has 256 characters: the program "
           "passes over a path of more than 255\n", 1},
      {"path of 1100", kIds + "[delete]\n1=C:\\" + Chars(1097) + "\n", {},
       F + "4: warning: [delete] key 1: the path has 1100 characters: the "
           "program passes over a path of more than 255\n", 1},
      {"id of 24", "[pnpids]\n1=" + Chars(24) + "\n", {}, "", 0},
      {"id in small letters", "[pnpids]\n1=vnt2300\n", {},
       F + "2: warning: [pnpids] key 1: \"vnt2300\" has small letters: an "
           "id matches the names of device keys letter case and all, and "
           "Windows names them in capitals; write \"VNT2300\"\n", 1},
      {"id with a leading *", "[pnpids]\n1=*VNT4000\n", {},
       F + "2: warning: [pnpids] key 1: \"*VNT4000\" begins with \"*\", "
           "which no name of a device key below "
           "HKEY_LOCAL_MACHINE\\ENUM\\ISAPNP does (Windows writes compatible "
           "ids so elsewhere): write \"VNT4000\"\n", 1},
      {"id of 25", "[pnpids]\n1=" + Chars(24) + "B\n", {},
       F + "2: warning: [pnpids] key 1: the id has 25 characters: only its "
           "first 24, \"" + Chars(24) + "\", are matched\n", 1},
      {"piece of 255", kIds + "[REBOOTNOW]\n1=" + Chars(255) + "\n", {}, "", 0},
      {"piece of 256", kIds + "[REBOOTNOW]\n1=" + Chars(256) + "\n", {},
       F + "4: warning: [REBOOTNOW] key 1: the piece has 256 characters: only "
           "its first 255 are shown\n", 1},
  });
}

std::string Keys(int from, int to, const std::string& value) {
  std::string text;
  for (int n = from; n <= to; ++n) text += std::to_string(n) + "=" + value + "\n";
  return text;
}

TEST(SeldchkFindings, TotalLimits) {
  // 162 ids of 24 characters take 4050 bytes, a 163rd 4075: reading stops
  // after it.
  const std::string id = Chars(24);
  RunRows({
      {"163 ids of 24", "[pnpids]\n" + Keys(1, 163, id), {}, "", 0},
      {"164 ids of 24", "[pnpids]\n" + Keys(1, 164, id), {},
       F + "165: warning: [pnpids] key 164 is never read: the id list is full "
           "after key 163 (its ids take 4075 bytes; reading stops past "
           "4070)\n", 1},
      // The stop is judged after each id: at 4070 bytes the next key is
      // still read, at 4071 it is not.
      {"ids of 4070 bytes", "[pnpids]\n" + Keys(1, 162, id) + "163=" + Chars(19) +
           "\n164=B\n", {}, "", 0},
      {"ids of 4070 bytes, then a gap", "[pnpids]\n" + Keys(1, 162, id) + "163=" +
           Chars(19) + "\n165=B\n", {},
       F + "165: warning: [pnpids] key 165 is never read: the list ends at the "
           "missing key 164\n", 1},
      {"ids of 4071 bytes", "[pnpids]\n" + Keys(1, 162, id) + "163=" + Chars(20) +
           "\n164=B\n", {},
       F + "165: warning: [pnpids] key 164 is never read: the id list is full "
           "after key 163 (its ids take 4071 bytes; reading stops past "
           "4070)\n", 1},
      {"16 pieces", kIds + "[AREYOUSURE]\n" + Keys(1, 16, "x"), {}, "", 0},
      {"17 pieces", kIds + "[AREYOUSURE]\n" + Keys(1, 17, "x"), {},
       F + "20: warning: [AREYOUSURE] key 17 is never read: a message has at "
           "most 16 pieces\n", 1},
  });
}

TEST(SeldchkFindings, PathMacros) {
  auto del = [](const std::string& value) {
    return kIds + "[delete]\n1=" + value + "\n";
  };
  const std::string at = F + "4: warning: [delete] key 1: ";
  RunRows({
      {"macro at the start", del("%WINDIR%\\A.DRV"), {}, "", 0},
      {"macro glued to a name", del("%WINSYS%A.DRV"), {},
       at + "nothing stands between \"%WINSYS%\" and \"A.DRV\": the path is "
            "C:\\WINDOWS\\SYSTEMA.DRV; write \"%WINSYS%\\A.DRV\"\n", 1},
      {"macro alone", del("%WINDIR%"), {}, "", 0},
      {"a shared folder's macro", del("%STARTMENU%\\A.LNK"), {}, "", 0},
      {"a shared folder's macro glued to a name", del("%DESKTOP%A.LNK"), {},
       at + "nothing stands between \"%DESKTOP%\" and \"A.LNK\": the path is "
            "C:\\WINDOWS\\DesktopA.LNK; write \"%DESKTOP%\\A.LNK\"\n", 1},
      {"a shared folder's macro in small letters", del("%programs%\\A.LNK"), {},
       at + "\"%programs%\" is not expanded: path macros are written in "
            "capitals, \"%PROGRAMS%\"\n" +
           Relative("%programs%\\A.LNK",
                    "C:\\WINDOWS\\TEMP\\%programs%\\A.LNK"), 1},
      {"a shared folder's macro not at the start",
       del("C:\\%STARTMENU%\\A.LNK"), {},
       at + "\"%STARTMENU%\" is expanded only at the start of a value: here "
            "it is taken as written\n", 1},
      {"lower case", del("%windir%\\A.DRV"), {},
       at + "\"%windir%\" is not expanded: path macros are written in "
            "capitals, \"%WINDIR%\"\n" +
           Relative("%windir%\\A.DRV", "C:\\WINDOWS\\TEMP\\%windir%\\A.DRV"), 1},
      {"mixed case", del("%WinSys%\\A.DRV"), {},
       at + "\"%WinSys%\" is not expanded: path macros are written in "
            "capitals, \"%WINSYS%\"\n" +
           Relative("%WinSys%\\A.DRV", "C:\\WINDOWS\\TEMP\\%WinSys%\\A.DRV"), 1},
      {"not at the start", del("C:\\%WINDIR%\\A.DRV"), {},
       at + "\"%WINDIR%\" is expanded only at the start of a value: here it "
            "is taken as written\n", 1},
      {"after a backslash", del("\\%WINDIR%\\A.DRV"), {},
       at + "\"%WINDIR%\" is expanded only at the start of a value: here it "
            "is taken as written\n" +
           Relative("\\%WINDIR%\\A.DRV", "C:\\%WINDIR%\\A.DRV"), 1},
      {"second macro", del("%WINDIR%\\%WINSYS%\\A.DRV"), {},
       at + "\"%WINSYS%\" is expanded only at the start of a value: here it "
            "is taken as written\n", 1},
      {"misspelt windows", del("%WINDOWS%\\A.DRV"), {},
       at + "\"%WINDOWS%\" is no path macro and is taken as written: did you "
            "mean %WINDIR%?\n" +
           Relative("%WINDOWS%\\A.DRV", "C:\\WINDOWS\\TEMP\\%WINDOWS%\\A.DRV"), 1},
      {"misspelt system", del("%SYSDIR%\\A.DRV"), {},
       at + "\"%SYSDIR%\" is no path macro and is taken as written: did you "
            "mean %WINSYS%?\n" +
           Relative("%SYSDIR%\\A.DRV", "C:\\WINDOWS\\TEMP\\%SYSDIR%\\A.DRV"), 1},
      {"unclosed", del("%WINDIR\\A.DRV"), {},
       at + "\"%WINDIR\" lacks its closing \"%\": it is taken as written\n" +
           Relative("%WINDIR\\A.DRV", "C:\\WINDOWS\\TEMP\\%WINDIR\\A.DRV"), 1},
      {"percent in a name", del("C:\\100%.TXT"), {}, "", 0},
      {"ids are never expanded", "[pnpids]\n1=%WINDOWS%\n", {}, "", 0},
  });
}

TEST(SeldchkFindings, ValuesReadOtherwiseThanWritten) {
  auto del = [](const std::string& value) {
    return kIds + "[delete]\n1=" + value + "\n";
  };
  const std::string at = F + "4: warning: [delete] key 1: ";
  RunRows({
      {"comment after a value", del("C:\\A.DRV ; old driver"), {},
       at + "\";\" starts no comment after a value: the path is \"C:\\A.DRV "
            "; old driver\"\n", 1},
      {"comment line", kIds + "[delete]\n; 1=C:\\OLD\n1=C:\\A.DRV\n", {}, "", 0},
      {"quotes in pairs", del("\"C:\\A.DRV\""), {}, "", 0},
      {"single quotes in pairs", del("'C:\\A.DRV'"), {}, "", 0},
      {"opening quote alone", del("\"C:\\A.DRV"), {},
       at + "the quote is part of the path: quotes count only in pairs around "
            "the whole value\n" +
           Relative("\"C:\\A.DRV", "C:\\WINDOWS\\TEMP\\\"C:\\A.DRV, which the program passes "
                    "over (what it names cannot be told)"), 1},
      {"apostrophe alone", del("'C:\\A.DRV"), {},
       at + "the quote is part of the path: quotes count only in pairs around "
            "the whole value\n" +
           Relative("'C:\\A.DRV", "C:\\WINDOWS\\TEMP\\'C:\\A.DRV, which the program passes "
                    "over (what it names cannot be told)"), 1},
      {"apostrophe in a name", del("C:\\BOB'S.TXT"), {}, "", 0},
      {"quotes around a part", del("C:\\\"A B\"\\A.DRV"), {},
       at + "the quote is part of the path: quotes count only in pairs around "
            "the whole value\n", 1},
  });
}

TEST(SeldchkFindings, Wildcards) {
  RunRows({
      {"delete with *", kIds + "[delete]\n1=C:\\VNT*.DRV\n", {},
       F + "4: warning: [delete] key 1: \"*\" and \"?\" are no wildcards in "
           "[delete]: only a file of exactly that name is deleted; put "
           "patterns in [multdel]\n", 1},
      {"delete with ?", kIds + "[delete]\n1=C:\\VNT?.DRV\n", {},
       F + "4: warning: [delete] key 1: \"*\" and \"?\" are no wildcards in "
           "[delete]: only a file of exactly that name is deleted; put "
           "patterns in [multdel]\n", 1},
      {"multdel pattern", kIds + "[multdel]\n1=C:\\VANTORIS\\VNT?.DRV\n", {}, "", 0},
      {"multdel without wildcard", kIds + "[multdel]\n1=C:\\VNT.DRV\n", {},
       F + "4: warning: [multdel] key 1: no \"*\" or \"?\" in the name: one "
           "file, which is not left for the next start when it cannot be "
           "deleted now; put it in [delete]\n", 1},
      {"wildcard in the directory only", kIds + "[multdel]\n1=C:\\VNT*\\A.DRV\n", {},
       F + "4: warning: [multdel] key 1: no \"*\" or \"?\" in the name: one "
           "file, which is not left for the next start when it cannot be "
           "deleted now; put it in [delete]\n", 1},
      {"an NT path in [delete] holds no wildcard", kIds + "[delete]\n1=\\??\\C:\\VNT\\A.DRV\n", {},
       F + "4: warning: [delete] key 1: \\??\\C:\\VNT\\A.DRV is in the NT or "
           "device namespace (\\??\\, \\\\?\\, \\\\.\\), which Windows 95 "
           "lacks and where the system skips the checks a path gets: the "
           "program passes it over\n", 1},
      {"slash", kIds + "[multdel]\n1=C:\\VANTORIS/VNT*.DRV\n", {},
       F + "4: warning: [multdel] key 1: \"/\" in a pattern: the directory "
           "part ends at the last \"/\"; write \"\\\"\n", 1},
  });
}

TEST(SeldchkFindings, Guards) {
  const std::string guarded =
      " is a protected directory (a drive root, the Windows, system or "
      "temporary directory, a shared folder such as the Start menu's "
      "Programs, or one that holds them): the program passes it over\n";
  const std::string sweep =
      " names every file of a protected directory: the program passes it "
      "over\n";
  RunRows({
      {"drive root", kIds + "[deltree]\n1=C:\\\n", {},
       F + "4: error: [deltree] key 1: C:\\" + guarded, 2},
      {"Windows directory", kIds + "[deltree]\n1=%WINDIR%\n", {},
       F + "4: error: [deltree] key 1: C:\\WINDOWS" + guarded, 2},
      {"system directory by another spelling", kIds + "[deltree]\n1=c:/windows/system/\n", {},
       F + "4: error: [deltree] key 1: c:/windows/system/" + guarded, 2},
      {"parent of the system directory", kIds + "[deltree]\n1=C:\\WINDOWS\\SYSTEM\\..\n", {},
       F + "4: error: [deltree] key 1: C:\\WINDOWS\\SYSTEM\\.." + guarded, 2},
      {"bare drive", kIds + "[deltree]\n1=C:\n", {},
       F + "4: error: [deltree] key 1: C:" + guarded, 2},
      {"install directory", kIds + "[deltree]\n1=C:\\VANTORIS\n", {}, "", 0},
      {"inside the Windows directory", kIds + "[deltree]\n1=%WINDIR%\\VANTORIS\n", {}, "", 0},
      {"Windows directory of --windir", kIds + "[deltree]\n1=D:\\WIN\n",
       {"--windir", "D:\\WIN", "--winsys", "D:\\WIN\\SYSTEM"},
       F + "4: error: [deltree] key 1: D:\\WIN" + guarded, 2},
      {"C:\\WINDOWS when the Windows directory is elsewhere", kIds + "[deltree]\n1=C:\\WINDOWS\n",
       {"--windir", "D:\\WIN", "--winsys", "D:\\WIN\\SYSTEM"}, "", 0},
      {"every file of the system directory", kIds + "[multdel]\n1=%WINSYS%\\*.*\n", {},
       F + "4: error: [multdel] key 1: C:\\WINDOWS\\SYSTEM\\*.* names every "
           "file of a protected directory: the program passes it over\n", 2},
      {"every file of a root", kIds + "[multdel]\n1=C:\\????????.???\n", {},
       F + "4: error: [multdel] key 1: C:\\????????.??? names every file of a "
           "protected directory: the program passes it over\n", 2},
      {"card files of the system directory", kIds + "[multdel]\n1=%WINSYS%\\VNT*.*\n", {}, "", 0},
      {"every file of the install directory", kIds + "[multdel]\n1=C:\\VANTORIS\\*.*\n", {}, "", 0},
      {"--werror on an error", kIds + "[deltree]\n1=C:\\\n", {"--werror"},
       F + "4: error: [deltree] key 1: C:\\" + guarded, 2},
      {"a shared folder one level above the card's group",
       kIds + "[deltree]\n1=%WINDIR%\\Start Menu\\Programs\n"
              "2=%WINDIR%\\Start Menu\\Programs\\VANTORIS AudioMax\n",
       {}, F + "4: error: [deltree] key 1: C:\\WINDOWS\\Start Menu\\Programs" +
               guarded, 2},
      {"the Programs folder by its macro", kIds + "[deltree]\n1=%PROGRAMS%\n",
       {}, F + "4: error: [deltree] key 1: C:\\WINDOWS\\Start Menu\\Programs" +
               guarded, 2},
      {"a root with a trailing blank", kIds + "[multdel]\n1=\"D:\\*.* \"\n", {},
       F + "4: error: [multdel] key 1: D:\\*.* " + sweep, 2},
      {"the NT namespace", kIds + "[deltree]\n1=\\??\\D:\n", {},
       F + "4: warning: [deltree] key 1: \\??\\D: is in the NT or device "
           "namespace (\\??\\, \\\\?\\, \\\\.\\), which Windows 95 lacks and "
           "where the system skips the checks a path gets: the program passes "
           "it over\n", 1},
  });
}

TEST(SeldchkFindings, SectionsAndKeys) {
  RunRows({
      {"misspelt section", kIds + "[deltre]\n1=C:\\VANTORIS\n", {},
       F + "3: warning: unknown section [deltre] is never read: did you mean "
           "[deltree]?\n", 1},
      {"misspelt message", kIds + "[REBOTNOW]\n1=Bye\n", {},
       F + "3: warning: unknown section [REBOTNOW] is never read: did you "
           "mean [REBOOTNOW]?\n", 1},
      {"unknown section far from any", kIds + "[options]\nquiet=1\n", {},
       F + "3: warning: unknown section [options] is never read\n", 1},
      {"section names without letter case", "[PNPIDS]\n1=VNT2300\n[Delete]\n1=C:\\A\n[rebootnow]\n1=Bye\n", {}, "", 0},
      {"section given twice", kIds + "[delete]\n1=C:\\A\n[DELETE]\n2=C:\\B\n", {},
       F + "5: warning: section [DELETE] is given again: the program reads "
           "only the first, on line 3; nothing here is read\n", 1},
      {"key given twice", kIds + "[delete]\n1=C:\\A\n1=C:\\B\n", {},
       F + "5: warning: [delete] key 1 is given again: the program reads the "
           "first, on line 4\n", 1},
      {"misspelt copy key", kIds + "[copy]\nFORM1=C:\\A\nTO1=C:\\B\n", {},
       F + "4: warning: [copy] unknown key \"FORM1\" is never read: did you "
           "mean \"FROM1\"?\n" +
       F + "5: warning: [copy] TO1 has no FROM1: the list ends before it\n", 1},
      {"a name longer than a line of output is cut there",
       kIds + "[delete]\n1=C:\\A\n" + Chars(5000, 'X') + "=C:\\B\n", {},
       (F + "5: warning: [delete] unknown key \"" + Chars(5000, 'X'))
               .substr(0, 4092) + "...\n", 1},
      {"unknown key", kIds + "[delete]\n1=C:\\A\nfile=C:\\B\n", {},
       F + "5: warning: [delete] unknown key \"file\" is never read\n", 1},
      {"line without =", kIds + "[delete]\n1=C:\\A\nC:\\B\n", {},
       F + "5: warning: [delete] line \"C:\\B\" is not key=value and is never "
           "read\n", 1},
      {"comments", "; driver disk 1\n" + kIds + "; files\n[delete]\n;1=C:\\OLD\n1=C:\\A\n", {}, "", 0},
      {"line before any section", "VANTORIS\n" + kIds, {},
       F + "1: warning: line outside any section is never read\n", 1},
      {"keys of unknown sections are not judged", kIds + "[mine]\n01=x\n", {},
       F + "3: warning: unknown section [mine] is never read\n", 1},
  });
}

TEST(SeldchkFindings, MessagesAndNothingToRemove) {
  RunRows({
      {"CR", kIds + "[REBOOTNOW]\n1=Done.\n2=CR\n3=Restart.\n", {}, "", 0},
      {"cr", kIds + "[REBOOTNOW]\n1=Done.\n2=cr\n", {},
       F + "5: warning: [REBOOTNOW] key 2: \"cr\" is text, not a line break: a "
           "line break is CR alone, in capitals\n", 1},
      {"quoted CR with blanks", kIds + "[REBOOTNOW]\n1=Done.\n2=\" CR \"\n", {},
       F + "5: warning: [REBOOTNOW] key 2: \" CR \" is text, not a line break: "
           "a line break is CR alone, in capitals\n", 1},
      {"blanks around CR are dropped by the reader", kIds + "[REBOOTNOW]\n1=Done.\n2=  CR  \n", {}, "", 0},
      {"CR2 is text", kIds + "[REBOOTNOW]\n1=CR2\n", {}, "", 0},
      {"a blank at a piece's end", kIds + "[REBOOTNOW]\n1=Please restart \n2=your PC now.\n", {},
       F + "4: warning: [REBOOTNOW] key 1: the blanks after \"Please "
           "restart\" are dropped, as around every value: keep them in "
           "quotes, 1=\"Please restart \"\n", 1},
      {"blanks at a piece's start", kIds + "[REBOOTNOW]\n1=Please restart\n2=  your PC now.\n", {},
       F + "5: warning: [REBOOTNOW] key 2: the blanks before \"your PC "
           "now.\" are dropped, as around every value: keep them in quotes, "
           "2=\"  your PC now.\"\n", 1},
      {"a blank before a line break shows nowhere", kIds + "[REBOOTNOW]\n1=Done. \n2=CR\n3=Restart.\n", {}, "", 0},
      {"a blank at the text's end shows nowhere", kIds + "[REBOOTNOW]\n1=Done. \n", {}, "", 0},
      {"blanks kept in quotes", kIds + "[REBOOTNOW]\n1=\"Please restart \"\n2=your PC now.\n", {}, "", 0},
      {"UTF-8 text", kIds + "[AREYOUSURE]\n1=M\xc3\xb6" "chten Sie fortfahren?\n", {},
       F + "4: warning: [AREYOUSURE] key 1: \"M\xc3\xb6" "chten Sie fortfahren?\" "
           "is UTF-8 text: Windows reads each character outside ASCII as two "
           "to four characters of the ANSI code page, which the box shows; "
           "save the file as ANSI text\n", 1},
      {"ANSI text", kIds + "[AREYOUSURE]\n1=M\xf6" "chten Sie fortfahren?\n", {}, "", 0},
      {"UTF-8 text of post-install mode's closing message",
       kIds + "[POSTREBOOTNOW]\n1=Gel\xc3\xb6scht\n", {},
       F + "4: warning: [POSTREBOOTNOW] key 1: \"Gel\xc3\xb6scht\" is UTF-8 "
           "text: Windows reads each character outside ASCII as two to four "
           "characters of the ANSI code page, which the box shows; save the "
           "file as ANSI text\n", 1},
      {"a title of two pieces", kIds + "[TITLE]\n1=VANTORIS 64\n2=Setup\n", {},
       F + "5: warning: [TITLE] key 2 is never read: the program reads key 1 "
           "alone\n", 1},
      {"a title of 256 characters", kIds + "[TITLE]\n1=" + Chars(256) + "\n", {},
       F + "4: warning: [TITLE] key 1: the piece has 256 characters: only its "
           "first 255 are shown\n", 1},
      {"empty file", "", {},
       F + " warning: nothing to remove: no [pnpids] id and no [dosclean], "
           "[copy], [delete], [multdel], [deltree] or [regdel] entry is "
           "read\n", 1},
      {"messages only", "[REBOOTNOW]\n1=Bye\n", {},
       F + " warning: nothing to remove: no [pnpids] id and no [dosclean], "
           "[copy], [delete], [multdel], [deltree] or [regdel] entry is "
           "read\n", 1},
      {"a list entry is enough", "[deltree]\n1=C:\\VANTORIS\n", {}, "", 0},
      {"--werror on a warning", "", {"--werror"},
       F + " warning: nothing to remove: no [pnpids] id and no [dosclean], "
           "[copy], [delete], [multdel], [deltree] or [regdel] entry is "
           "read\n", 2},
  });
}

TEST(SeldchkFindings, LineNumbersFollowTheEditor) {
  const std::string gap = ": warning: [delete] key 3 is never read: the list "
                          "ends at the missing key 2\n";
  RunRows({
      {"CR LF", "[pnpids]\r\n1=V\r\n\r\n[delete]\r\n1=C:\\A\r\n3=C:\\C\r\n", {},
       F + "6" + gap, 1},
      {"LF", "[pnpids]\n1=V\n\n[delete]\n1=C:\\A\n3=C:\\C\n", {}, F + "6" + gap, 1},
      {"CR alone", "[pnpids]\r1=V\r\r[delete]\r1=C:\\A\r3=C:\\C", {}, F + "6" + gap, 1},
      {"findings in line order", kIds + "[deltree]\n1=C:\\\n[delete]\n1=C:\\A\n3=C:\\C\n", {},
       F + "4: error: [deltree] key 1: C:\\ is a protected directory (a drive "
           "root, the Windows, system or temporary directory, a shared folder "
           "such as the Start menu's Programs, or one that holds them): the "
           "program passes it over\n" +
       F + "7" + gap, 2},
  });
}

// The control file read by both families of systems: where they read it
// otherwise, a finding naming both and the fix; the plan follows --system.
TEST(SeldchkFindings, TwoReadings) {
  const std::string mark8 =
      "the file begins with a UTF-8 byte-order mark: Windows 95 reads it as "
      "ANSI text, the mark as three characters of its first line, and "
      "Windows NT and Wine as UTF-8 text";
  const std::string mark16 =
      "the file is UTF-16 text with a byte-order mark: Windows 95 reads its "
      "bytes as ANSI text, with a NUL byte beside every character, and "
      "Windows NT and Wine as UTF-16 text";
  auto differ = [](const std::string& entry) {
    return ": the two act on different entries (" + entry +
           " for Windows NT and Wine, and nothing for Windows 95)";
  };
  const std::string ansi = "; save the file as ANSI text\n";
  const std::string stray = ": warning: line outside any section is never read\n";
  const std::string nothing =
      F + " warning: nothing to remove: no [pnpids] id and no [dosclean], "
          "[copy], [delete], [multdel], [deltree] or [regdel] entry is "
          "read\n";
  const std::string tree = "[deltree]\r\n1=C:\\VNTTREE\r\n";
  const std::string bom8 = "\xef\xbb\xbf";
  const std::string bom16 = "\xff\xfe";
  auto utf16 = [](const std::string& ascii) {
    std::string wide;
    for (char c : ascii) wide += std::string(1, c) + '\0';
    return wide;
  };
  const std::string tableHead =
      "2\tcopy-if-missing\tC:\\WINDOWS\\EMM386.EXE\tC:\\VANTORIS\\DOS\\EMM386.EXE\t\t\n"
      "3\tedit\tC:\\AUTOEXEC.BAT\t\t\t\n"
      "4\tedit\tC:\\WINDOWS\\DOSSTART.BAT\t\t\t\n"
      "5\tedit\tC:\\CONFIG.SYS\t\t\t\n";
  const std::string nulKey = kIds + "[delete]\n" + std::string("1\0old", 5) +
                             "=C:\\A.DRV\n";
  const std::string nulKeyFinding =
      F + "4: error: [delete] key \"1?old\" holds a NUL byte: Windows 95 "
          "reads the name whole, and Windows NT and Wine up to the NUL byte, "
          "as \"1\"" + differ("[delete] key 1 is \"C:\\A.DRV\"") +
          "; remove the NUL byte\n";
  RunRows({
      {"UTF-8 mark, as Windows 95 reads it", bom8 + tree, {},
       F + "1" + stray + F + "1: error: " + mark8 +
           differ("[deltree] key 1 is \"C:\\VNTTREE\"") + ansi + F + "2" +
           stray + nothing, 2},
      {"UTF-8 mark, as Windows NT reads it", bom8 + tree, {"--system", "nt"},
       F + "1: error: " + mark8 +
           differ("[deltree] key 1 is \"C:\\VNTTREE\"") + ansi, 2},
      {"UTF-8 mark before a comment: the same entries",
       bom8 + "; disk 1\r\n" + tree, {},
       F + "1" + stray + F + "1: warning: " + mark8 + ansi, 1},
      {"the plan follows Windows 95", bom8 + tree, {"--plan=tsv"},
       tableHead, 2},
      {"the plan follows Windows NT", bom8 + tree,
       {"--system", "nt", "--plan=tsv"},
       tableHead + "9\tdelete-tree\tC:\\VNTTREE\t\t1\t2\n", 2},
      {"UTF-16 with its mark", bom16 + utf16(tree), {"--system", "nt"},
       F + "1: error: " + mark16 +
           differ("[deltree] key 1 is \"C:\\VNTTREE\"") + ansi, 2},
      {"UTF-16 with a character the code page lacks",
       bom16 + utf16("[multdel]\r\n1=C:\\VNT\\") + "\x2d\x4e" +
           utf16("*.DRV\r\n"),
       {"--system", "nt"},
       F + "1: error: " + mark16 + ", where 1 character outside the ANSI "
           "code page becomes \"?\"" +
           differ("[multdel] key 1 is \"C:\\VNT\\?*.DRV\"") + ansi, 2},
      {"UTF-16 without a mark", utf16(tree), {"--system", "nt"},
       F + "1: warning: unknown section [] is never read\n" + F +
           "1: warning: the file looks like UTF-16 text without a byte-order "
           "mark: Windows 95, Windows NT and Wine all read its bytes as ANSI "
           "text, with a NUL byte beside every character" + ansi + nothing,
       1},
      {"NUL in a key's name, as Windows 95 reads it", nulKey, {},
       F + "4: warning: [delete] unknown key \"1?old\" is never read\n" +
           nulKeyFinding, 2},
      {"NUL in a key's name, as Windows NT reads it", nulKey,
       {"--system", "nt"}, nulKeyFinding, 2},
      {"NUL in a key's name in a marked file", bom8 + nulKey,
       {"--system", "nt"},
       F + "1: error: " + mark8 + differ("[pnpids] key 1 is \"VNT2300\"") +
           ansi +
           F + "4: error: [delete] key \"1?old\" holds a NUL byte: Windows 95 "
               "reads the name whole, and Windows NT and Wine up to the NUL "
               "byte, as \"1\"" + differ("[pnpids] key 1 is \"VNT2300\"") +
               "; remove the NUL byte\n", 2},
      {"NUL in a section's name",
       kIds + std::string("[delete\0x]", 10) + "\n1=C:\\A.DRV\n",
       {"--system", "nt"},
       F + "3: error: section [delete?x] holds a NUL byte: Windows 95 reads "
           "the name whole, and Windows NT and Wine up to the NUL byte, as "
           "[delete]" + differ("[delete] key 1 is \"C:\\A.DRV\"") +
           "; remove the NUL byte\n", 2},
      {"NUL in a value: both cut it there",
       kIds + "[delete]\n1=C:\\A.DRV" + std::string("\0x", 2) + "\n", {}, "",
       0},
  });
}

// An entry that deletes, matches, removes or copies over the control file
// the program reads (in the directory where it lies, or its copy in TEMP
// after the hand-over): the program reads nothing more of it.
TEST(SeldchkFindings, TheControlFileItself) {
  const std::string cwd[] = {"--cwd", "C:\\DISK"};
  const std::vector<std::string> disk(cwd, cwd + 2);
  const std::string lost =
      "once it is gone the program reads nothing more of it, so ";
  const std::string fix = "; leave the control file out of the lists\n";
  const std::string itself = "the control file (C:\\DISK\\SELDUNAX.INI): ";
  RunRows({
      {"deleted", kIds + "[delete]\n1=C:\\DISK\\SELDUNAX.INI\n2=C:\\A\n"
                         "[deltree]\n1=C:\\B\n", disk,
       F + "4: error: [delete] key 1: deleting C:\\DISK\\SELDUNAX.INI "
           "deletes " + itself + lost +
           "[delete] key 2 and [deltree] key 1 are never read" + fix, 2},
      {"matched", kIds + "[multdel]\n1=C:\\DISK\\*.INI\n[deltree]\n1=C:\\B\n",
       disk,
       F + "4: error: [multdel] key 1: C:\\DISK\\*.INI matches and deletes " +
           itself + lost + "[deltree] key 1 is never read" + fix, 2},
      {"removed with its directory",
       kIds + "[deltree]\n1=C:\\DISK\n2=C:\\B\n3=C:\\C\n", disk,
       F + "4: error: [deltree] key 1: removing C:\\DISK removes " + itself +
           lost + "[deltree] keys 2 and 3 are never read" + fix, 2},
      {"copied over", kIds + "[copy]\nFROM1=C:\\NEW.INI\n"
                             "TO1=C:\\DISK\\SELDUNAX.INI\nFROM2=C:\\X\n"
                             "TO2=C:\\Y\n[delete]\n1=C:\\A\n", disk,
       F + "5: error: [copy] TO1: copying over C:\\DISK\\SELDUNAX.INI "
           "replaces " + itself + "the program reads every later entry from "
           "the copied file, so [copy] pair 2 and [delete] key 1 are never "
           "read from this file" + fix, 2},
      {"its copy in TEMP after the hand-over",
       kIds + "[delete]\n1=%WINDIR%\\TEMP\\SELDUNAX.INI\n2=C:\\A\n", {},
       F + "4: error: [delete] key 1: deleting C:\\WINDOWS\\TEMP\\SELDUNAX.INI "
           "deletes the copy of the control file that the program reads after "
           "the hand-over from C:\\VANTORIS (C:\\WINDOWS\\TEMP\\SELDUNAX.INI): " +
           lost + "[delete] key 2 is never read" + fix, 2},
      {"the last entry", kIds + "[deltree]\n1=C:\\DISK\n", disk,
       F + "4: warning: [deltree] key 1: removing C:\\DISK removes " + itself +
           "it is the last entry read, so nothing is lost, but the control "
           "file is gone after the run\n", 1},
      {"C:\\VANTORIS, which the program leaves before reading its lists",
       kIds + "[deltree]\n1=C:\\VANTORIS\n2=C:\\B\n", {"--cwd", "C:\\VANTORIS"},
       "", 0},
      {"a file of that name elsewhere",
       kIds + "[delete]\n1=C:\\OTHER\\SELDUNAX.INI\n2=C:\\A\n", disk, "", 0},
      {"the plan stops there",
       kIds + "[delete]\n1=C:\\DISK\\SELDUNAX.INI\n2=C:\\A\n[deltree]\n1=C:\\B\n",
       {"--cwd", "C:\\DISK", "--plan=tsv"},
       "1\tremove-devices\tVNT2300\t\t1\t2\n"
       "2\tcopy-if-missing\tC:\\WINDOWS\\EMM386.EXE\tC:\\VANTORIS\\DOS\\EMM386.EXE\t\t\n"
       "3\tedit\tC:\\AUTOEXEC.BAT\t\t\t\n"
       "4\tedit\tC:\\WINDOWS\\DOSSTART.BAT\t\t\t\n"
       "5\tedit\tC:\\CONFIG.SYS\t\t\t\n"
       "7\tdelete\tC:\\DISK\\SELDUNAX.INI\t\t1\t4\n", 2},
  });
}

// Values that depend on the directory the program runs in: what each names
// where the control file lies and in TEMP after the hand-over.
TEST(SeldchkFindings, RelativeValues) {
  const std::string cwd[] = {"--cwd", "C:\\DISK"};
  const std::vector<std::string> disk(cwd, cwd + 2);
  auto at = [](const std::string& line, const std::string& label,
               const std::string& value, const std::string& there,
               const std::string& temp) {
    return F + line + ": warning: " + label + ": " + value +
           " depends on the directory the program runs in: started in "
           "C:\\DISK it names " + there + ", and after the hand-over from "
           "C:\\VANTORIS " + temp + "; write the full path\n";
  };
  RunRows({
      {"a name", kIds + "[delete]\n1=LOCAL.TXT\n", disk,
       at("4", "[delete] key 1", "LOCAL.TXT", "C:\\DISK\\LOCAL.TXT",
          "C:\\WINDOWS\\TEMP\\LOCAL.TXT"), 1},
      {"a directory", kIds + "[deltree]\n1=SUB\n", disk,
       at("4", "[deltree] key 1", "SUB", "C:\\DISK\\SUB",
          "C:\\WINDOWS\\TEMP\\SUB"), 1},
      {"a drive's current directory", kIds + "[deltree]\n1=C:SUB\n", disk,
       at("4", "[deltree] key 1", "C:SUB", "C:\\DISK\\SUB",
          "C:\\WINDOWS\\TEMP\\SUB"), 1},
      {"a pattern there", kIds + "[multdel]\n1=C:*.TXT\n", disk,
       at("4", "[multdel] key 1", "C:*.TXT", "C:\\DISK\\*.TXT",
          "C:\\WINDOWS\\TEMP\\*.TXT"), 1},
      {"another drive's current directory: its root", kIds + "[deltree]\n1=D:VNT\n", disk,
       at("4", "[deltree] key 1", "D:VNT", "D:\\VNT", "D:\\VNT"), 1},
      {"the root of the current drive", kIds + "[copy]\nFROM1=\\VNT\\A.CFG\nTO1=C:\\A.CFG\n",
       disk, at("4", "[copy] FROM1", "\\VNT\\A.CFG", "C:\\VNT\\A.CFG",
                "C:\\VNT\\A.CFG"), 1},
      {"the current directory itself, protected in TEMP",
       kIds + "[deltree]\n1=.\n", {"--cwd", "C:\\DISK\\SUB"},
       F + "4: warning: [deltree] key 1: . depends on the directory the "
           "program runs in: started in C:\\DISK\\SUB it names C:\\DISK\\SUB, "
           "and after the hand-over from C:\\VANTORIS C:\\WINDOWS\\TEMP\\., "
           "which the program passes over (protected directory); write the "
           "full path\n" +
       F + "4: warning: [deltree] key 1: removing C:\\DISK\\SUB removes the "
           "control file (C:\\DISK\\SUB\\SELDUNAX.INI): it is the last entry "
           "read, so nothing is lost, but the control file is gone after the "
           "run\n", 1},
      {"without --cwd", kIds + "[delete]\n1=LOCAL.TXT\n", {},
       F + "4: warning: [delete] key 1: LOCAL.TXT depends on the directory "
           "the program runs in: after the hand-over from C:\\VANTORIS it "
           "names C:\\WINDOWS\\TEMP\\LOCAL.TXT, and elsewhere a place in the "
           "directory it is started in (--cwd names one); write the full "
           "path\n", 1},
      {"in C:\\VANTORIS, which hands over", kIds + "[delete]\n1=LOCAL.TXT\n",
       {"--cwd", "C:\\VANTORIS"},
       F + "4: warning: [delete] key 1: LOCAL.TXT depends on the directory "
           "the program runs in: after the hand-over from C:\\VANTORIS, where "
           "the control file lies, it names C:\\WINDOWS\\TEMP\\LOCAL.TXT; "
           "write the full path\n", 1},
  });
}

}  // namespace
