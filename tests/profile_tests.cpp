// Text values, the run directory and INI access, on real files under the platform.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/program.h"
#include "profile/profile_file.h"
#include "profile/run_directory.h"
#include "profile/text_value.h"
#include "tests/test_files.h"

namespace {

std::string Str(const TextValue& text) {
  return text.IsAbsent() ? "<absent>" : text.Bytes();
}

// --- Text values -----------------------------------------------------------

TEST(ConcatText, JoinsPartsIntoANewTextThatIsNeverAbsent) {
  struct Case {
    const char* a;
    const char* b;
    const char* joined;
  };
  const Case cases[] = {
      {"D:\\Game", "\\ra2.ini", "D:\\Game\\ra2.ini"},
      {"E:", "\\ra2md.ini", "E:\\ra2md.ini"},
      {nullptr, "\\ra2.ini", "\\ra2.ini"},
      {"", "", ""},
      {nullptr, nullptr, ""},
      {"游戏", "目录", "游戏目录"},
  };
  for (const Case& c : cases) {
    const TextValue joined = ConcatText({c.a, c.b});
    EXPECT_FALSE(joined.IsAbsent());
    EXPECT_EQ(Str(joined), c.joined);
  }
  const char part[] = "800";
  const TextValue copy = ConcatText({part});
  EXPECT_NE(copy.Bytes(), part) << "the result must be a new text";
  EXPECT_STREQ(part, "800");
}

TEST(CompareText, OrdersByUnsignedBytesWithAbsentEqualToEmpty) {
  struct Case {
    const char* a;
    const char* b;
    int result;
  };
  const Case cases[] = {
      {nullptr, nullptr, 0},
      {nullptr, "", 0},
      {"", nullptr, 0},
      {nullptr, "1", -1},
      {"1", nullptr, 1},
      {"1024", "1024", 0},
      {"1024", "1024 ", -1},
      {"1024", "01024", 1},
      {"Yes", "yes", -1},
      {"abc", "abd", -1},
      {"\xCE\xDE", "\xCE\xDE", 0},
      {"\x80", "\x7F", 1},  // bytes compare unsigned
      {"无", "a", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareText(c.a, c.b), c.result)
        << (c.a ? c.a : "<absent>") << " vs " << (c.b ? c.b : "<absent>");
  }
}

TEST(TextValue, LiteralsAreCodePage936Bytes) {
  EXPECT_STREQ("无", "\xCE\xDE");
  EXPECT_EQ(std::strlen("屏幕宽："), 8u);
}

// --- Run directory ---------------------------------------------------------

TEST(RunDirectory, IsTheExecutablesFolderWithoutTrailingBackslash) {
  struct Case {
    const char* executable;
    const char* directory;  // null: absent
  };
  // 淺 is 9C 5C in code page 936: its trail byte is a backslash's value.
  const Case cases[] = {
      {"D:\\Game\\tool.exe", "D:\\Game"},
      {"E:\\tool.exe", "E:"},
      {"tool.exe", nullptr},
      {"", nullptr},
      {"C:\\游戏淺\\tool.exe", "C:\\游戏淺"},
      {"C:\\淺\\淺淺.exe", "C:\\淺"},
      {"C:\\a\\b\\c\\d.exe", "C:\\a\\b\\c"},
  };
  for (const Case& c : cases) {
    FixRunDirectory(c.executable);
    const TextValue directory = GetRunDirectory();
    if (c.directory == nullptr) {
      EXPECT_TRUE(directory.IsAbsent()) << c.executable;
    } else {
      EXPECT_EQ(Str(directory), c.directory) << c.executable;
    }
  }
  FixRunDirectory("E:\\tool.exe");
  EXPECT_EQ(Str(ConcatText({GetRunDirectory().Bytes(), "\\ra2.ini"})), "E:\\ra2.ini");
  FixRunDirectory("tool.exe");
  EXPECT_EQ(Str(ConcatText({GetRunDirectory().Bytes(), "\\ra2.ini"})), "\\ra2.ini");
}

TEST(RunDirectory, IsFixedOnceAndCopiedOnEveryCall) {
  FixRunDirectory("D:\\Game\\tool.exe");
  TextValue first = GetRunDirectory();
  TextValue second = GetRunDirectory();
  EXPECT_NE(first.Bytes(), second.Bytes());
  first.MutableBytes()[0] = 'X';
  EXPECT_EQ(Str(GetRunDirectory()), "D:\\Game");
}

// The test binary, copied into a folder and started there, reports the run
// directory it finds; see main().
std::string RunDirectoryOfCopyIn(const std::string& folder) {
  const TextValue self = ExecutablePath();
  const std::string copy = folder + "\\probe.exe";
  if (!CopyFileA(self.Bytes(), copy.c_str(), FALSE)) return "<copy failed>";
  const std::string report = folder + "\\report.txt";
  std::string command = "\"" + copy + "\" --report-run-directory \"" + report + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(copy.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return "<start failed>";
  }
  WaitForSingleObject(process.hProcess, 60000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ReadFileBytes(report);
}

TEST(RunDirectory, OfARealExecutableInAFolderEndingInADoubleByteCharacter) {
  TempFolder temp;
  const std::string folder = temp / "游戏淺";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  EXPECT_EQ(RunDirectoryOfCopyIn(folder), folder);
}

// The test environment maps drive T: to an empty folder of its own.
TEST(RunDirectory, OfARealExecutableInADriveRoot) {
  if (GetDriveTypeA("T:\\") == DRIVE_NO_ROOT_DIR) GTEST_SKIP() << "no drive T: to run from";
  const std::string found = RunDirectoryOfCopyIn("T:");
  DeleteFileA("T:\\probe.exe");
  DeleteFileA("T:\\report.txt");
  EXPECT_EQ(found, "T:");
}

// --- FileExists ------------------------------------------------------------

TEST(FileExists, FindsAnyEntryTheSearchFinds) {
  TempFolder temp;
  ASSERT_TRUE(WriteFileBytes(temp / "ra2.ini", "[Video]\r\n"));
  ASSERT_TRUE(WriteFileBytes(temp / "hidden.ini", ""));
  SetFileAttributesA((temp / "hidden.ini").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  ASSERT_TRUE(WriteFileBytes(temp / "readonly.ini", ""));
  SetFileAttributesA((temp / "readonly.ini").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(CreateDirectoryA((temp / "ra2md.ini").c_str(), nullptr));
  struct Case {
    std::string path;
    int exists;
  };
  const Case cases[] = {
      {temp / "ra2.ini", 1},
      {temp / "ra2md.ini", 1},  // a directory counts
      {temp / "hidden.ini", 1},
      {temp / "readonly.ini", 1},
      {temp / "missing.ini", 0},
      {temp / "no-such-dir\\ra2.ini", 0},
      {temp / "r?2.ini", 1},
      {temp / "*.ini", 1},  // the path is a pattern
      {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(FileExists(c.path.c_str()), c.exists) << c.path;
  EXPECT_EQ(FileExists(nullptr), 0);
}

// --- ReadProfileText -------------------------------------------------------

class ProfileFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteFileBytes(file_, std::string("[Video]\r\n"
                                                  "ScreenWidth=1024\r\n"
                                                  "ScreenHeight=768\r\n"
                                                  "Empty=\r\n"
                                                  "Blanks=   800   \r\n"
                                                  "Quoted=\"600\"\r\n"
                                                  "Single='640'\r\n"
                                                  "Text=abc\r\n"
                                                  "中文=无\r\n"
                                                  "Long=") +
                                          std::string(12000, 'x') +
                                          "\r\n"
                                          "[Other]\r\n"
                                          "Key=kept\r\n"));
  }
  TextValue Read(const char* section, const char* key, const char* defaultText = "无") {
    return ReadProfileText(file_.c_str(), section, key, defaultText);
  }

  TempFolder temp_;
  std::string file_ = temp_ / "ra2.ini";
};

TEST_F(ProfileFile, ReadsStoredValuesOrTheDefault) {
  struct Case {
    const char* section;
    const char* key;
    const char* value;  // null: absent
  };
  const Case cases[] = {
      {"Video", "ScreenWidth", "1024"},
      {"Video", "ScreenHeight", "768"},
      {"video", "SCREENWIDTH", "1024"},  // names are case-insensitive
      {"Video", "Missing", "无"},
      {"Missing", "ScreenWidth", "无"},
      {"Video", "Empty", nullptr},  // stored empty: not the default
      {"Video", "Blanks", "800"},
      {"Video", "Quoted", "600"},
      {"Video", "Single", "640"},
      {"Video", "Text", "abc"},
      {"Video", "中文", "无"},
      {"Other", "Key", "kept"},
      {"  Video", "\t ScreenWidth", "1024"},  // leading blanks are not part of a name
      {"Video", "ScreenWidth  ", "1024"},     // the platform trims the end itself
  };
  for (const Case& c : cases) {
    const TextValue value = Read(c.section, c.key);
    if (c.value == nullptr) {
      EXPECT_TRUE(value.IsAbsent()) << c.key << " gave " << Str(value);
    } else {
      EXPECT_EQ(Str(value), c.value) << c.section << "/" << c.key;
    }
  }
}

TEST_F(ProfileFile, MissingFileGivesTheDefaultAndAMissingDefaultIsEmpty) {
  EXPECT_EQ(Str(ReadProfileText((temp_ / "none.ini").c_str(), "Video", "ScreenWidth", "无")), "无");
  EXPECT_TRUE(ReadProfileText((temp_ / "none.ini").c_str(), "Video", "ScreenWidth").IsAbsent());
  EXPECT_TRUE(Read("Video", "Missing", nullptr).IsAbsent());
  EXPECT_TRUE(Read("Video", "Missing", "").IsAbsent());
}

TEST_F(ProfileFile, AnEmptyNameReadsNothingAndGivesAbsentNotTheDefault) {
  // Handed to the platform, an empty section would list the sections and an
  // empty key the keys; neither may come back.
  struct Case {
    const char* file;
    const char* section;
    const char* key;
  };
  const Case cases[] = {
      {file_.c_str(), "", "ScreenWidth"},
      {file_.c_str(), " \t", "ScreenWidth"},
      {file_.c_str(), nullptr, "ScreenWidth"},
      {file_.c_str(), "Video", ""},
      {file_.c_str(), "Video", "   "},
      {file_.c_str(), "Video", nullptr},
      {"", "Video", "ScreenWidth"},
      {"  ", "Video", "ScreenWidth"},
      {nullptr, "Video", "ScreenWidth"},
  };
  for (const Case& c : cases) {
    const TextValue value = ReadProfileText(c.file, c.section, c.key, "无");
    EXPECT_TRUE(value.IsAbsent()) << "gave " << Str(value);
  }
}

TEST_F(ProfileFile, LongValueIsCutTo10239Bytes) {
  const TextValue value = Read("Video", "Long");
  EXPECT_EQ(value.Length(), 10239u);
  EXPECT_EQ(Str(value), std::string(10239, 'x'));
}

// --- WriteProfileText ------------------------------------------------------

TEST_F(ProfileFile, WritesReplaceOrAddKeysAndKeepTheRestOfTheFile) {
  EXPECT_NE(WriteProfileText(file_.c_str(), "Video", "ScreenWidth", "1600"), 0);
  EXPECT_NE(WriteProfileText(file_.c_str(), "Video", "AllowHiResModes", "yes"), 0);
  EXPECT_NE(WriteProfileText(file_.c_str(), "New", "Key", "added"), 0);
  EXPECT_EQ(Str(Read("Video", "ScreenWidth")), "1600");
  EXPECT_EQ(Str(Read("Video", "AllowHiResModes")), "yes");
  EXPECT_EQ(Str(Read("New", "Key")), "added");
  EXPECT_EQ(Str(Read("Video", "ScreenHeight")), "768");
  EXPECT_EQ(Str(Read("Other", "Key")), "kept");
  EXPECT_EQ(Str(Read("Video", "中文")), "无");
}

TEST_F(ProfileFile, AnEmptyValueStoresTheKeyEmptyInsteadOfRemovingIt) {
  EXPECT_NE(WriteProfileText(file_.c_str(), "Video", "ScreenWidth", ""), 0);
  EXPECT_TRUE(Read("Video", "ScreenWidth").IsAbsent());
  EXPECT_NE(ReadFileBytes(file_).find("ScreenWidth=\r\n"), std::string::npos);
}

TEST_F(ProfileFile, WriteCreatesAMissingFile) {
  const std::string fresh = temp_ / "ra2md.ini";
  EXPECT_NE(WriteProfileText(fresh.c_str(), "Video", "ScreenWidth", "1280"), 0);
  EXPECT_EQ(Str(ReadProfileText(fresh.c_str(), "Video", "ScreenWidth", "无")), "1280");
}

TEST_F(ProfileFile, AFailingWriteGivesZeroAndLeavesTheOldValue) {
  const std::string folder = temp_ / "ra2md.ini";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  EXPECT_EQ(WriteProfileText(folder.c_str(), "Video", "ScreenWidth", "1600"), 0);
  EXPECT_EQ(Str(ReadProfileText(folder.c_str(), "Video", "ScreenWidth", "无")), "无");

  const std::string before = ReadFileBytes(file_);
  {
    WriteLock lock(file_);
    ASSERT_TRUE(lock.Held());
    EXPECT_EQ(WriteProfileText(file_.c_str(), "Video", "ScreenWidth", "1600"), 0);
    EXPECT_EQ(Str(Read("Video", "ScreenWidth")), "1024");
  }
  EXPECT_EQ(ReadFileBytes(file_), before);
}

// --- Memory that can't be had ---------------------------------------------

struct FoundBox {
  DWORD process;
  HWND box;
};

BOOL CALLBACK FindBoxOf(HWND window, LPARAM context) {
  auto* found = reinterpret_cast<FoundBox*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  if (owner == found->process && lstrcmpA(className, "#32770") == 0 && IsWindowVisible(window)) {
    found->box = window;
    return FALSE;
  }
  return TRUE;
}

std::string TextOf(HWND window) {
  char text[512] = {};
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

TEST(FatalStop, AFailedAllocationReportsItsSizeAndEndsWithMinusOne) {
  TempFolder temp;
  const std::string marker = temp / "end-routine-ran";
  const TextValue self = ExecutablePath();
  std::string command = "\"" + std::string(self.Bytes()) + "\" --exhaust-memory \"" + marker + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessA(self.Bytes(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process));
  FoundBox found = {process.dwProcessId, nullptr};
  for (int i = 0; i < 300 && found.box == nullptr; ++i) {
    Sleep(50);
    EnumWindows(FindBoxOf, reinterpret_cast<LPARAM>(&found));
  }
  std::string text;
  bool icon = false;
  if (found.box != nullptr) {
    Sleep(200);  // the box fills in its texts once it is up
    for (HWND child = GetWindow(found.box, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
      char className[16] = {};
      GetClassNameA(child, className, sizeof className);
      if (lstrcmpiA(className, "Static") != 0) continue;
      if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        icon = icon || SendMessageA(child, STM_GETICON, 0, 0) != 0;
      } else if (text.empty()) {
        text = TextOf(child);
      }
    }
    PostMessageA(found.box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }
  const bool ended = WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0;
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  if (!ended) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  ASSERT_NE(found.box, nullptr) << "no error box appeared";
  EXPECT_NE(text.find("2147483633"), std::string::npos) << text;  // with its zero byte
  EXPECT_TRUE(icon) << "the box shows the error icon";
  ASSERT_TRUE(ended);
  EXPECT_EQ(exitCode, 0xFFFFFFFFu);
  EXPECT_EQ(GetFileAttributesA(marker.c_str()), INVALID_FILE_ATTRIBUTES)
      << "end routines are dropped, not run";
}

}  // namespace

namespace {

std::string endRoutineMarker;

void MarkEndRoutine() {
  WriteFileBytes(endRoutineMarker, "ran");
}

}  // namespace

// The copy started by RunDirectory tests reports its run directory and ends.
int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--report-run-directory") == 0) {
    FixRunDirectory(ExecutablePath().Bytes());
    return WriteFileBytes(argv[2], GetRunDirectory().Bytes()) ? 0 : 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "--exhaust-memory") == 0) {
    endRoutineMarker = argv[2];
    AddEndRoutine(MarkEndRoutine);
    // More than a 32-bit process can ever be given.
    TextValue huge = TextValue::Allocate(0x7FFFFFF0u);
    return huge.IsAbsent() ? 2 : 3;  // not reached: the allocation ends the process
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
