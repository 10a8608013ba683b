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
      {"id of 24", "[pnpids]\n1=" + Chars(24) + "\n", {}, "", 0},
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
      {"empty file", "", {},
       F + " warning: nothing to remove: no [pnpids] id and no [copy], "
           "[delete], [multdel] or [deltree] entry is read\n", 1},
      {"messages only", "[REBOOTNOW]\n1=Bye\n", {},
       F + " warning: nothing to remove: no [pnpids] id and no [copy], "
           "[delete], [multdel] or [deltree] entry is read\n", 1},
      {"a list entry is enough", "[deltree]\n1=C:\\VANTORIS\n", {}, "", 0},
      {"--werror on a warning", "", {"--werror"},
       F + " warning: nothing to remove: no [pnpids] id and no [copy], "
           "[delete], [multdel] or [deltree] entry is read\n", 2},
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

}  // namespace
