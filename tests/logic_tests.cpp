// The routines of the tool against a real hidden MainWindow and real files.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "logic/game_target.h"
#include "logic/routines.h"
#include "profile/run_directory.h"
#include "tests/test_windows.h"
#include "tests/window_fixture.h"
#include "ui/event_bindings.h"
#include "ui/window_handles.h"

namespace {

std::string ScreenW() {
  return std::to_string(GetSystemMetrics(SM_CXSCREEN));
}
std::string ScreenH() {
  return std::to_string(GetSystemMetrics(SM_CYSCREEN));
}

// What a group of the window shows for one target.
struct GroupState {
  bool enabled;
  std::string caption;
  std::string width;
  std::string height;
};

void PostClick(Unit button) {
  HWND control = WindowOf(button);
  // The container gets the notification, as from a real click.
  PostMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(ControlId(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(control));
}

// Runs test code from inside the wait: a posted message whose handler
// calls `action`, in queue order with posted clicks.
class QueuedAction {
 public:
  QueuedAction() : window_(CreateTestWindow("RelvantaTestAction", Proc)) {}
  ~QueuedAction() { DestroyWindow(window_); }
  void Post(std::function<void()> action) {
    action_ = std::move(action);
    PostMessageA(window_, WM_APP, 0, reinterpret_cast<LPARAM>(this));
  }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
      reinterpret_cast<QueuedAction*>(lParam)->action_();
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }
  HWND window_;
  std::function<void()> action_;
};

class RoutineTest : public MainWindowTest {
 protected:
  GroupState Group(const GameTarget& target) const {
    return {Enabled(target.groupBox), Caption(target.groupBox), Text(target.widthField),
            Text(target.heightField)};
  }
  void ExpectGroup(const GameTarget& target, const GroupState& expected) const {
    const GroupState shown = Group(target);
    EXPECT_EQ(shown.enabled, expected.enabled) << target.pathTail;
    EXPECT_EQ(shown.caption, expected.caption) << target.pathTail;
    EXPECT_EQ(shown.width, expected.width) << target.pathTail;
    EXPECT_EQ(shown.height, expected.height) << target.pathTail;
  }
  void UseRunDirectory(const TempFolder& folder) {
    FixRunDirectory((folder / "Relvanta.exe").c_str());
  }
  void SetFields(const GameTarget& target, const char* width, const char* height) {
    SetText(target.widthField, width);
    SetText(target.heightField, height);
  }
  // The one message box the routine showed, as text and caption.
  void ExpectOneMessage(const std::string& text, const std::string& caption) {
    ASSERT_EQ(messageBoxes_.boxes.size(), 1u);
    EXPECT_EQ(messageBoxes_.boxes[0].text, text);
    EXPECT_EQ(messageBoxes_.boxes[0].caption, caption);
  }
};

const GameTarget& Ra2 = kGameTargets[0];
const GameTarget& Ra2md = kGameTargets[1];

// --- Reading ---------------------------------------------------------------

void WriteVideo(const std::string& path, const std::string& width, const std::string& height) {
  ASSERT_TRUE(WriteFileBytes(
      path, "[Video]\r\nScreenWidth=" + width + "\r\nScreenHeight=" + height + "\r\n"));
}

TEST_F(RoutineTest, CreatedRoutineShowsTheScreenAndEachFilesState) {
  struct Case {
    const char* name;
    std::function<void(const TempFolder&)> arrange;
    GroupState ra2, ra2md;
    int ra2Flag, ra2mdFlag;
  };
  const GroupState ra2Missing = {false, "未获取到RA2配置文件", "<absent>", "<absent>"};
  const GroupState ra2mdMissing = {false, "未获取到RA2MD配置文件", "<absent>", "<absent>"};
  const Case cases[] = {
      {"neither", [](const TempFolder&) {}, ra2Missing, ra2mdMissing, 0, 0},
      {"ra2md only",
       [](const TempFolder& f) { WriteVideo(f / "ra2md.ini", "1280", "720"); },
       ra2Missing,
       {true, "RA2-MD当前游戏分辨率", "1280", "720"},
       0,
       1},
      {"both",
       [](const TempFolder& f) {
         WriteVideo(f / "ra2.ini", "1024", "768");
         WriteVideo(f / "ra2md.ini", "1366", "768");
       },
       {true, "RA2当前游戏分辨率", "1024", "768"},
       {true, "RA2-MD当前游戏分辨率", "1366", "768"},
       1,
       1},
      {"empty file",
       [](const TempFolder& f) { WriteFileBytes(f / "ra2.ini", ""); },
       {true, "RA2当前游戏分辨率", "无", "无"},
       ra2mdMissing,
       1,
       0},
      {"empty value and text value",
       [](const TempFolder& f) {
         WriteFileBytes(f / "ra2.ini", "[Video]\r\nScreenWidth=\r\nScreenHeight=abc\r\n");
       },
       {true, "RA2当前游戏分辨率", "<absent>", "abc"},
       ra2mdMissing,
       1,
       0},
      {"directory of that name",
       [](const TempFolder& f) { CreateDirectoryA((f / "ra2md.ini").c_str(), nullptr); },
       ra2Missing,
       {true, "RA2-MD当前游戏分辨率", "无", "无"},
       0,
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder run;
    UseRunDirectory(run);
    c.arrange(run);
    SetFields(Ra2, "stale", "stale");
    SetFields(Ra2md, "stale", "stale");
    Ra2ConfigFound = 1;  // the created routine clears these before detecting
    Ra2mdConfigFound = 1;
    MainWindowCreated();
    EXPECT_EQ(Text(Unit::编辑框6), ScreenW());
    EXPECT_EQ(Text(Unit::编辑框5), ScreenH());
    ExpectGroup(Ra2, c.ra2);
    ExpectGroup(Ra2md, c.ra2md);
    EXPECT_EQ(Ra2ConfigFound, c.ra2Flag);
    EXPECT_EQ(Ra2mdConfigFound, c.ra2mdFlag);
    EXPECT_TRUE(Enabled(Unit::分组框3));
    EXPECT_EQ(Caption(Unit::分组框3), "电脑屏幕分辨率");
  }
}

TEST_F(RoutineTest, Button5FollowsFilesCreatedAndRemovedBetweenClicks) {
  const std::string ra2 = InRunDirectory("ra2.ini");
  MainWindowCreated();
  ExpectGroup(Ra2, {false, "未获取到RA2配置文件", "<absent>", "<absent>"});

  WriteVideo(ra2, "1024", "768");
  RaiseClick(Unit::按钮5);
  ExpectGroup(Ra2, {true, "RA2当前游戏分辨率", "1024", "768"});
  EXPECT_EQ(Ra2ConfigFound, 1);

  // A second click with nothing changed leaves everything as the first did.
  RaiseClick(Unit::按钮5);
  ExpectGroup(Ra2, {true, "RA2当前游戏分辨率", "1024", "768"});
  EXPECT_EQ(Ra2ConfigFound, 1);

  ASSERT_TRUE(DeleteFileA(ra2.c_str()));
  RaiseClick(Unit::按钮5);
  ExpectGroup(Ra2, {false, "未获取到RA2配置文件", "<absent>", "<absent>"});
  EXPECT_EQ(Ra2ConfigFound, 0);
  EXPECT_EQ(Text(Unit::编辑框6), ScreenW()) << "按钮5 leaves the screen fields alone";
}

// --- Copy actions ----------------------------------------------------------

TEST_F(RoutineTest, CopyButtonsFillTheirFieldsAndTouchNoFile) {
  struct Case {
    const char* name;
    bool ra2File, ra2mdFile;
    Unit button;
    bool ra2Copied, ra2mdCopied;
  };
  const Case cases[] = {
      {"按钮1, both found", true, true, Unit::按钮1, true, true},
      {"按钮1, ra2md only", false, true, Unit::按钮1, false, true},
      {"按钮1, ra2 only", true, false, Unit::按钮1, true, false},
      {"按钮1, neither", false, false, Unit::按钮1, false, false},
      {"按钮3 ignores the flag", false, false, Unit::按钮3, true, false},
      {"按钮4 ignores the flag", false, false, Unit::按钮4, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder run;
    UseRunDirectory(run);
    if (c.ra2File) WriteVideo(run / "ra2.ini", "800", "600");
    if (c.ra2mdFile) WriteVideo(run / "ra2md.ini", "640", "480");
    MainWindowCreated();
    const GroupState ra2Before = Group(Ra2), ra2mdBefore = Group(Ra2md);
    const unsigned long long ra2Time = LastWriteTime(run / "ra2.ini");
    const unsigned long long ra2mdTime = LastWriteTime(run / "ra2md.ini");
    SetText(Unit::编辑框6, "old");
    SetText(Unit::编辑框5, "old");
    Sleep(20);  // a write would show as a later time

    RaiseClick(c.button);
    RaiseClick(c.button);  // twice leaves what once does

    EXPECT_EQ(Text(Unit::编辑框6), ScreenW());
    EXPECT_EQ(Text(Unit::编辑框5), ScreenH());
    const GroupState ra2Copied = {ra2Before.enabled, ra2Before.caption, ScreenW(), ScreenH()};
    const GroupState ra2mdCopied = {ra2mdBefore.enabled, ra2mdBefore.caption, ScreenW(), ScreenH()};
    ExpectGroup(Ra2, c.ra2Copied ? ra2Copied : ra2Before);
    ExpectGroup(Ra2md, c.ra2mdCopied ? ra2mdCopied : ra2mdBefore);
    EXPECT_EQ(LastWriteTime(run / "ra2.ini"), ra2Time);
    EXPECT_EQ(LastWriteTime(run / "ra2md.ini"), ra2mdTime);
    if (c.ra2File) {
      EXPECT_EQ(StoredVideoValue(run / "ra2.ini", "ScreenWidth"), "800");
    }
    EXPECT_TRUE(messageBoxes_.boxes.empty());
  }
}

TEST_F(RoutineTest, CopyReplacesTypedTextAndTestsTheFlagItself) {
  SetText(Unit::编辑框1, "typed");
  Ra2ConfigFound = 1;  // as a detection leaves it, with no file on disk
  RaiseClick(Unit::按钮1);
  EXPECT_EQ(Text(Unit::编辑框1), ScreenW());
  EXPECT_EQ(Text(Unit::编辑框2), ScreenH());
  EXPECT_EQ(Text(Unit::编辑框4), "<absent>");
  Ra2ConfigFound = 0;
  Ra2mdConfigFound = 2;  // only 1 counts as found
  SetText(Unit::编辑框1, "typed");
  RaiseClick(Unit::按钮1);
  EXPECT_EQ(Text(Unit::编辑框1), "typed");
  EXPECT_EQ(Text(Unit::编辑框4), "<absent>");
}

// --- Writing and verifying -------------------------------------------------

// How a target's file is laid out before 按钮2 is clicked.
enum class FileSetup { Missing, Writable, Directory, Locked };

struct TargetSetup {
  FileSetup file;
  const char* width;  // field texts
  const char* height;
};

struct WriteCase {
  const char* name;
  TargetSetup ra2, ra2md;
  const char* text;
  const char* caption;
};

constexpr char kOldContent[] =
    "[Video]\r\nScreenWidth=800\r\nScreenHeight=600\r\n[Other]\r\nKey=kept\r\n";

class BatchTest : public RoutineTest {
 protected:
  void Arrange(const GameTarget& target, const TargetSetup& setup, const std::string& path) {
    switch (setup.file) {
      case FileSetup::Missing:
        break;
      case FileSetup::Writable:
      case FileSetup::Locked:
        ASSERT_TRUE(WriteFileBytes(path, kOldContent));
        break;
      case FileSetup::Directory:
        ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
        break;
    }
    SetFields(target, setup.width, setup.height);
  }
  // The file after the run: written, untouched, or never created.
  void ExpectFile(const TargetSetup& setup, const std::string& path) {
    switch (setup.file) {
      case FileSetup::Missing:
        EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
        break;
      case FileSetup::Locked:
        EXPECT_EQ(ReadFileBytes(path), kOldContent);
        break;
      case FileSetup::Directory:
        EXPECT_NE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
        break;
      case FileSetup::Writable:
        EXPECT_EQ(StoredVideoValue(path, "ScreenWidth"), setup.width);
        EXPECT_EQ(StoredVideoValue(path, "ScreenHeight"), setup.height);
        EXPECT_EQ(StoredVideoValue(path, "AllowHiResModes"), "yes");
        EXPECT_NE(ReadFileBytes(path).find("[Other]"), std::string::npos);
        EXPECT_NE(ReadFileBytes(path).find("Key=kept"), std::string::npos);
        break;
    }
  }
};

TEST_F(BatchTest, EachOutcomeShowsItsOneMessageAndLeavesTheFilesAsWritten) {
  const TargetSetup ra2Good = {FileSetup::Writable, "1024", "768"};
  const TargetSetup ra2mdGood = {FileSetup::Writable, "1280", "720"};
  const TargetSetup ra2Locked = {FileSetup::Locked, "1024", "768"};
  const TargetSetup ra2mdDirectory = {FileSetup::Directory, "1280", "720"};
  const TargetSetup ra2Missing = {FileSetup::Missing, "1", "2"};
  const TargetSetup ra2mdMissing = {FileSetup::Missing, "3", "4"};
  const WriteCase cases[] = {
      {"neither found", ra2Missing, ra2mdMissing, "未获取到游戏配置文件，请检查目录是否错误",
       "配置文件写入失败"},
      {"ra2 succeeded", ra2Good, ra2mdMissing, "恭喜！RA2 数据写入成功，请开始你的表演！",
       "配置文件写入成功"},
      {"ra2 failed", ra2Locked, ra2mdMissing, "错误：RA2 数据写入失败", "配置文件写入失败"},
      {"ra2md succeeded", ra2Missing, ra2mdGood, "恭喜！RA2MD 数据写入成功，请开始你的表演！",
       "配置文件写入成功"},
      {"ra2md failed", ra2Missing, ra2mdDirectory, "错误：RA2MD 数据写入失败", "配置文件写入失败"},
      {"both succeeded", ra2Good, ra2mdGood, "恭喜！RA2 和 RA2MD 数据写入成功，请开始你的表演！",
       "配置文件写入成功"},
      {"both failed", ra2Locked, ra2mdDirectory, "错误：RA2 和 RA2MD数据写入失败",
       "配置文件写入失败"},
      {"only ra2md succeeded", ra2Locked, ra2mdGood,
       " 仅有 RA2MD 数据写入成功\r\n RA2 数据写入失败", "RA2配置文件写入失败"},
      {"only ra2 succeeded", ra2Good, ra2mdDirectory,
       " 仅有 RA2 数据写入成功\r\n RA2MD 数据写入失败", "RA2MD配置文件写入失败"},
  };
  for (const WriteCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder run;
    UseRunDirectory(run);
    messageBoxes_.boxes.clear();
    Arrange(Ra2, c.ra2, run / "ra2.ini");
    Arrange(Ra2md, c.ra2md, run / "ra2md.ini");
    {
      std::optional<WriteLock> lock;  // held open without share-write: the write fails
      if (c.ra2.file == FileSetup::Locked) {
        lock.emplace(run / "ra2.ini");
        ASSERT_TRUE(lock->Held());
      }
      RaiseClick(Unit::按钮2);
    }
    ExpectOneMessage(c.text, c.caption);
    EXPECT_TRUE(messageBoxes_.boxes[0].mainWindowEnabled == false) << "task-modal";
    EXPECT_EQ(messageBoxes_.boxes[0].buttons, 1);
    EXPECT_FALSE(messageBoxes_.boxes[0].icon);
    ExpectFile(c.ra2, run / "ra2.ini");
    ExpectFile(c.ra2md, run / "ra2md.ini");
    // The detection sets each group's state, with the captions of this routine.
    const bool ra2Found = c.ra2.file != FileSetup::Missing;
    const bool ra2mdFound = c.ra2md.file != FileSetup::Missing;
    ExpectGroup(Ra2, {ra2Found, ra2Found ? "RA2当前游戏分辨率" : "未获取到 RA2 配置文件",
                      c.ra2.width, c.ra2.height});
    ExpectGroup(Ra2md, {ra2mdFound, ra2mdFound ? "RA2-MD当前游戏分辨率" : "未获取到 RA2MD 配置文件",
                        c.ra2md.width, c.ra2md.height});
    EXPECT_EQ(Ra2ConfigFound, ra2Found ? 1 : 0);
    EXPECT_EQ(Ra2mdConfigFound, ra2mdFound ? 1 : 0);
  }
}

TEST_F(BatchTest, FieldTextsAreWrittenUnchangedAndComparedByteForByte) {
  struct Case {
    const char* name;
    const char* width;
    const char* height;
    bool locked;          // the file can't be written
    const char* content;  // before the click
    const char* text;     // the message
    const char* storedWidth;
  };
  const Case cases[] = {
      {"empty fields store empty values", "", "", false, kOldContent,
       "恭喜！RA2 数据写入成功，请开始你的表演！", ""},
      {"blanks are written but read back trimmed", " 1024 ", "768", false, kOldContent,
       "错误：RA2 数据写入失败", "1024"},
      {"text that is no number", "abc", "Yes", false, kOldContent,
       "恭喜！RA2 数据写入成功，请开始你的表演！", "abc"},
      {"无 against a missing key the write can't add", "无", "无", true, "[Video]\r\n",
       "恭喜！RA2 数据写入成功，请开始你的表演！", "<missing>"},
      {"a failed write the file already agrees with", "800", "600", true, kOldContent,
       "恭喜！RA2 数据写入成功，请开始你的表演！", "800"},
      {"case counts", "1024", "768", true, "[Video]\r\nScreenWidth=1024\r\nScreenHeight=768X\r\n",
       "错误：RA2 数据写入失败", "1024"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder run;
    UseRunDirectory(run);
    messageBoxes_.boxes.clear();
    ASSERT_TRUE(WriteFileBytes(run / "ra2.ini", c.content));
    SetFields(Ra2, c.width, c.height);
    {
      std::optional<WriteLock> lock;
      if (c.locked) lock.emplace(run / "ra2.ini");
      RaiseClick(Unit::按钮2);
    }
    ExpectOneMessage(
        c.text, std::string(c.text).find("错误") == 0 ? "配置文件写入失败" : "配置文件写入成功");
    EXPECT_EQ(StoredVideoValue(run / "ra2.ini", "ScreenWidth"), c.storedWidth);
    EXPECT_EQ(Text(Ra2.widthField), *c.width ? c.width : "<absent>") << "fields keep their text";
  }
}

// Counts the texts read from an edit box, to see which fields a run reads.
class TextReads {
 public:
  explicit TextReads(Unit field) : window_(WindowOf(field)) {
    SetPropA(window_, "TextReads", this);
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
  }
  ~TextReads() {
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    RemovePropA(window_, "TextReads");
  }
  int count = 0;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* reads = static_cast<TextReads*>(GetPropA(window, "TextReads"));
    if (message == WM_GETTEXT) ++reads->count;
    return CallWindowProcA(reads->previous_, window, message, wParam, lParam);
  }
  HWND window_;
  WNDPROC previous_;
};

TEST_F(BatchTest, TheHeightIsReadBackOnlyWhenTheWidthMatched) {
  struct Case {
    const char* storedWidth;  // what the locked file keeps
    int heightReads;          // once for the write, once more for the comparison
    const char* text;
  };
  const Case cases[] = {
      {"1024", 2, "恭喜！RA2 数据写入成功，请开始你的表演！"},
      {"999", 1, "错误：RA2 数据写入失败"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.storedWidth);
    messageBoxes_.boxes.clear();
    ASSERT_TRUE(WriteFileBytes(
        InRunDirectory("ra2.ini"),
        std::string("[Video]\r\nScreenWidth=") + c.storedWidth + "\r\nScreenHeight=768\r\n"));
    SetFields(Ra2, "1024", "768");
    WriteLock lock(InRunDirectory("ra2.ini"));
    TextReads widthReads(Ra2.widthField);
    {
      TextReads heightReads(Ra2.heightField);
      RaiseClick(Unit::按钮2);
      EXPECT_EQ(heightReads.count, c.heightReads);
    }
    EXPECT_EQ(widthReads.count, 2) << "the width field is read again after the wait";
    ExpectOneMessage(c.text, c.heightReads == 2 ? "配置文件写入成功" : "配置文件写入失败");
  }
}

TEST_F(BatchTest, DetectionFollowsFilesChangedSinceTheLastRead) {
  WriteVideo(InRunDirectory("ra2.ini"), "800", "600");
  MainWindowCreated();
  // ra2md.ini appears after the read: its emptied fields are written empty.
  ASSERT_TRUE(WriteFileBytes(InRunDirectory("ra2md.ini"), "[Video]\r\nScreenWidth=1\r\n"));
  // ra2.ini vanishes: its fields keep the values last shown and nothing is written.
  ASSERT_TRUE(DeleteFileA(InRunDirectory("ra2.ini").c_str()));
  RaiseClick(Unit::按钮2);
  ExpectOneMessage("恭喜！RA2MD 数据写入成功，请开始你的表演！", "配置文件写入成功");
  ExpectGroup(Ra2, {false, "未获取到 RA2 配置文件", "800", "600"});
  ExpectGroup(Ra2md, {true, "RA2-MD当前游戏分辨率", "<absent>", "<absent>"});
  EXPECT_EQ(GetFileAttributesA(InRunDirectory("ra2.ini").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(ReadFileBytes(InRunDirectory("ra2md.ini")).find("ScreenWidth=\r\n"), std::string::npos);
  EXPECT_EQ(StoredVideoValue(InRunDirectory("ra2md.ini"), "AllowHiResModes"), "yes");
}

// --- Events handled inside the wait ----------------------------------------

TEST_F(BatchTest, Button5DuringTheWaitRewritesFieldsAndFlagsBeforeTheReadBack) {
  WriteVideo(InRunDirectory("ra2.ini"), "800", "600");
  WriteVideo(InRunDirectory("ra2md.ini"), "640", "480");
  MainWindowCreated();
  // Written with blanks, the width reads back without them: only the
  // nested read, which shows the stored value, makes the comparison match.
  SetFields(Ra2, " 1024 ", "768");
  QueuedAction removeRa2md;
  removeRa2md.Post([this] { DeleteFileA(InRunDirectory("ra2md.ini").c_str()); });
  PostClick(Unit::按钮5);
  RaiseClick(Unit::按钮2);
  // The nested read found ra2md.ini gone, so RA2 alone is reported and
  // RA2MD is neither written nor created again.
  ExpectOneMessage("恭喜！RA2 数据写入成功，请开始你的表演！", "配置文件写入成功");
  ExpectGroup(Ra2, {true, "RA2当前游戏分辨率", "1024", "768"});
  ExpectGroup(Ra2md, {false, "未获取到RA2MD配置文件", "<absent>", "<absent>"});
  EXPECT_EQ(Ra2mdConfigFound, 0);
  EXPECT_EQ(GetFileAttributesA(InRunDirectory("ra2md.ini").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(BatchTest, Button3DuringTheWaitChangesWhatIsCompared) {
  WriteVideo(InRunDirectory("ra2.ini"), "800", "600");
  SetFields(Ra2, "1024", "768");
  PostClick(Unit::按钮3);
  RaiseClick(Unit::按钮2);
  ExpectOneMessage("错误：RA2 数据写入失败", "配置文件写入失败");
  EXPECT_EQ(StoredVideoValue(InRunDirectory("ra2.ini"), "ScreenWidth"), "1024");
  EXPECT_EQ(Text(Ra2.widthField), ScreenW());
}

TEST_F(BatchTest, ASecondButton2RunsWholeInsideTheFirstWait) {
  WriteVideo(InRunDirectory("ra2.ini"), "800", "600");
  SetFields(Ra2, "1024", "768");
  PostClick(Unit::按钮2);
  // While the inner run's box is open the outer run still waits; a field
  // changed now is what the outer run compares afterwards.
  messageBoxes_.whileOpen = [](const RecordedBox&) {
    if (GetText(Unit::编辑框1).Length() == 4) SetText(Unit::编辑框1, "777");
  };
  RaiseClick(Unit::按钮2);
  ASSERT_EQ(messageBoxes_.boxes.size(), 2u);
  EXPECT_EQ(messageBoxes_.boxes[0].text, "恭喜！RA2 数据写入成功，请开始你的表演！");
  EXPECT_EQ(messageBoxes_.boxes[1].text, "错误：RA2 数据写入失败");
  EXPECT_EQ(StoredVideoValue(InRunDirectory("ra2.ini"), "ScreenWidth"), "1024");
}

TEST_F(BatchTest, AQuitMessageSurvivesTheWait) {
  WriteVideo(InRunDirectory("ra2.ini"), "800", "600");
  SetFields(Ra2, "1024", "768");
  PostQuitMessage(7);
  RaiseClick(Unit::按钮2);
  EXPECT_EQ(StoredVideoValue(InRunDirectory("ra2.ini"), "ScreenWidth"), "1024");
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 7u);
}

TEST_F(BatchTest, ClosingTheWindowDuringTheWaitEndsTheRunQuietly) {
  WriteVideo(InRunDirectory("ra2.ini"), "800", "600");
  ASSERT_TRUE(WriteFileBytes(InRunDirectory("ra2md.ini"), kOldContent));
  MainWindowCreated();
  SetFields(Ra2, "1024", "768");
  SetFields(Ra2md, "1280", "720");
  PostMessageA(WindowOf(Unit::MainWindow), WM_CLOSE, 0, 0);
  RaiseClick(Unit::按钮2);
  // What was written before the close stays; nothing after it is done and
  // no box appears once the tool is gone.
  EXPECT_FALSE(MainWindowExists());
  EXPECT_TRUE(messageBoxes_.boxes.empty());
  EXPECT_EQ(StoredVideoValue(InRunDirectory("ra2.ini"), "ScreenWidth"), "1024");
  EXPECT_EQ(ReadFileBytes(InRunDirectory("ra2md.ini")), kOldContent);
}

TEST_F(BatchTest, ClosingTheWindowInsideANestedRunEndsBothRuns) {
  WriteVideo(InRunDirectory("ra2.ini"), "800", "600");
  SetFields(Ra2, "1024", "768");
  PostClick(Unit::按钮2);
  QueuedAction close;
  close.Post([] { PostMessageA(WindowOf(Unit::MainWindow), WM_CLOSE, 0, 0); });
  RaiseClick(Unit::按钮2);
  EXPECT_FALSE(MainWindowExists());
  EXPECT_TRUE(messageBoxes_.boxes.empty());
}

}  // namespace
