// Fuzz target: reading the control file. The input is the control file's
// bytes; every reader runs on it and is compared with a plain model built
// on the platform's own private-profile reader:
//   ReadControlKey for the list sections, values as they are and as paths,
//   LoadMessage for the message sections,
//   ReadPnpIdList for [pnpids].
// The buffers the readers write into are heap blocks of exactly the size
// the program gives them, so that a write past them is caught.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "control/control_file.h"
#include "control/message.h"
#include "control/path_helpers.h"
#include "platform/fake/fake_machine.h"
#include "platform/platform.h"
#include "pnp/pnp_id_list.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

const char kControlPath[] = "C:\\DISK\\SELDUNAX.INI";
// A buffer as large as the control file, so that no value is cut; one per
// input.
std::vector<char>* g_fullValue = nullptr;

// The blocks the readers write into, one of each per input (reused by every
// list and message), each exactly the size the program gives it.
struct Blocks {
  std::unique_ptr<char[]> path{new char[kPathSize]};
  std::unique_ptr<char[]> message{new char[kMessageBufferSize]};
};
Blocks* g_blocks = nullptr;
// Keys read per list: enough to run past every list a small input holds.
constexpr int kMaxKeys = 64;

// The whole value, however long.
std::string FullValue(const std::string& section, const std::string& key) {
  std::vector<char>& out = *g_fullValue;
  plat::ReadProfileString(section.c_str(), key.c_str(), "", out.data(),
                          static_cast<uint32_t>(out.size()), kControlPath);
  out.back() = '\0';
  return std::string(out.data());
}

std::string ExpandModel(const std::string& value, const std::string& windir,
                        const std::string& winsys) {
  if (value.compare(0, 8, "%WINDIR%") == 0) return windir + value.substr(8);
  if (value.compare(0, 8, "%WINSYS%") == 0) return winsys + value.substr(8);
  return value;
}

// A Windows directory and its system directory.
struct WindowsDirs {
  std::string windir;
  std::string winsys;
};

// Each value of the list is read once by the model and checked through
// ReadControlKey as it is, then as a path under each pair of directories.
void CheckList(const std::string& section, const std::string& prefix,
               const std::vector<WindowsDirs>& dirs) {
  char* out = g_blocks->path.get();
  for (int n = 1; n <= kMaxKeys; ++n) {
    std::string key = prefix + std::to_string(n);
    std::string value = FullValue(section, key);

    NumberedKeys keys = PathListKeys(kControlPath, section.c_str(), "");
    keys.expandMacros = false;
    ListValue got = ReadControlKey(keys, key.c_str(), out);
    if (value.empty()) {
      FUZZ_CHECK(got == ListValue::End, "[%s] %s: empty value not End",
                 section.c_str(), key.c_str());
      break;
    }
    if (value.size() > 255) {
      FUZZ_CHECK(got == ListValue::TooLong && out[0] == '\0',
                 "[%s] %s: value of %zu characters not refused",
                 section.c_str(), key.c_str(), value.size());
    } else {
      FUZZ_CHECK(got == ListValue::Ok && value == out,
                 "[%s] %s: read \"%s\", expected \"%s\"", section.c_str(),
                 key.c_str(), out, value.c_str());
    }

    for (const WindowsDirs& dir : dirs) {
      fake::SetWindowsDir(dir.windir);
      fake::SetSystemDir(dir.winsys);
      keys.expandMacros = true;
      got = ReadControlKey(keys, key.c_str(), out);
      std::string expanded = ExpandModel(value, dir.windir, dir.winsys);
      if (value.size() > 255 || expanded.size() > 255) {
        FUZZ_CHECK(got == ListValue::TooLong,
                   "[%s] %s: expansion of %zu characters not refused",
                   section.c_str(), key.c_str(), expanded.size());
      } else {
        FUZZ_CHECK(got == ListValue::Ok && expanded == out,
                   "[%s] %s: expanded to \"%s\", expected \"%s\"",
                   section.c_str(), key.c_str(), out, expanded.c_str());
      }
    }
  }
}

void CheckMessage(const std::string& section) {
  std::string want;
  for (int n = 1; n < kMessageKeyCount; ++n) {
    // The first 255 characters of the whole value, quoted or not.
    std::string piece = FullValue(section, std::to_string(n)).substr(0, 255);
    if (piece.empty()) break;
    want += piece == "CR" ? std::string("\n") : piece;
  }
  char* text = g_blocks->message.get();
  std::memset(text, 'x', kMessageBufferSize);
  int result = LoadMessage(text, kMessageKeyCount, section.c_str(), kControlPath);
  FUZZ_CHECK(want == text, "[%s]: message of %zu characters, expected %zu",
             section.c_str(), strnlen(text, kMessageBufferSize), want.size());
  FUZZ_CHECK(result == (want.empty() ? 0 : 1), "[%s]: result %d",
             section.c_str(), result);
}

void CheckPnpIds() {
  std::vector<std::string> want;
  size_t used = 0;
  for (int n = 1;; ++n) {
    std::string id = FullValue("pnpids", std::to_string(n))
                         .substr(0, kPnpIdValueSize - 1);
    if (id.empty()) break;
    want.push_back(id);
    used += id.size() + 1;
    if (used > static_cast<size_t>(kPnpIdListLimit)) break;
  }
  char* list = new char[kPnpIdListSize];
  std::memset(list, 'x', kPnpIdListSize);
  int count = ReadPnpIdList(kControlPath, list);
  FUZZ_CHECK(count == static_cast<int>(want.size()), "%d ids, expected %zu",
             count, want.size());
  size_t pos = 0;
  for (const std::string& id : want) {
    FUZZ_CHECK(pos + id.size() + 1 < kPnpIdListSize, "id list overflows");
    FUZZ_CHECK(std::memcmp(list + pos, id.c_str(), id.size() + 1) == 0,
               "id at %zu is not \"%s\"", pos, id.c_str());
    pos += id.size() + 1;
  }
  FUZZ_CHECK(list[pos] == '\0', "id list not closed at %zu", pos);
  delete[] list;
}

// Section names written in the input, so that the fuzzer's own sections
// are read too.
std::vector<std::string> SectionsIn(const std::string& ini) {
  std::vector<std::string> names;
  size_t pos = 0;
  while (names.size() < 4 && (pos = ini.find('[', pos)) != std::string::npos) {
    size_t end = ini.find_first_of("]\r\n", pos + 1);
    if (end == std::string::npos) break;
    names.push_back(CText(ini.substr(pos + 1, end - pos - 1)));
    pos = end;
  }
  return names;
}

// The list readers, whose expansions depend on the Windows directory: the
// usual one, and one that leaves little room after it.
void CheckLists(const std::vector<std::string>& sections) {
  std::string deep = "C:\\" + std::string(230, 'W');
  const std::vector<WindowsDirs> dirs = {
      {"C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM"}, {deep, deep + "\\SYSTEM"}};
  CheckList("copy", "FROM", dirs);
  CheckList("copy", "TO", dirs);
  for (const char* section : {"delete", "multdel", "deltree"}) {
    CheckList(section, "", dirs);
  }
  for (const std::string& section : sections) CheckList(section, "", dirs);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string ini(reinterpret_cast<const char*>(data), size);
  fake::Reset();
  fake::AddFile(kControlPath, ini);
  std::vector<char> fullValue(size + 2);
  g_fullValue = &fullValue;
  Blocks blocks;
  g_blocks = &blocks;
  std::vector<std::string> sections = SectionsIn(ini);
  CheckLists(sections);
  for (const char* section : {"AREYOUSURE", "REBOOTNOW", "EJCTNOTFOUND"}) {
    CheckMessage(section);
  }
  for (const std::string& section : sections) CheckMessage(section);
  CheckPnpIds();
  // Leaves the machine as an empty one, so that every input frees what it
  // allocated and the fuzzer's leak check stays quiet unless a leak is real.
  fake::Reset();
  return 0;
}
