// vornd reloading: by a second start and by a save of vorn.ini, always the
// whole sequence (hooks and image removed, then loaded and installed
// again), and pausing. Host only: the daemon's loop waits for messages and
// for vorn.ini's folder at once, which blocks on Windows; here winsim's
// idle handler runs the test's steps whenever the loop would wait, and a
// wait with a time-out moves winsim's clock on instead of sleeping.
#include "daemon_fixture.h"

#include <functional>
#include <string>
#include <vector>

#include "configuration_watch.h"
#include "control_window.h"
#include "daemon_status.h"
#include "instance_lock.h"
#include "pause_key.h"
#include "startup.h"
#include "vorn.h"
#include "winsim/control.h"

namespace vorntest {
namespace {

// What the idle handler does next, one step per call. When no step is
// left, the loop's next endless wait ends it (winsim's idle exit), with
// the daemon's hooks and image as the last step left them.
std::vector<std::function<void()>> steps;

void runNextStep() {
  if (steps.empty()) return;
  std::function<void()> step = steps.front();
  steps.erase(steps.begin());
  step();
}

const LRESULT NEXT_HOOK_RESULT = 77;  // what CallNextHookEx answers: the click passed

const char *const SWALLOW_LEFT_PRESS = "[List1]\nHook1=LBUTTONDOWN\nDefault.Action=NoAction\n";
const char *const WITH_ACTIVATION_HOOK =
    "[Options]\nUseWH_CALLWNDPROC=1\n[List1]\nHook1=LBUTTONDOWN\nDefault.Action=NoAction\n";
const char *const WITHOUT_ACTIVATION_HOOK =
    "[Options]\nUseWH_CALLWNDPROC=0\n[List1]\nHook1=LBUTTONDOWN\nDefault.Action=NoAction\n";
const char *const RIGHT_PRESS_LIST = "[List1]\nHook1=RBUTTONDOWN\n";

class DaemonReloadTest : public DaemonFixture {
 protected:
  void SetUp() override {
    DaemonFixture::SetUp();
    winsimSetCallNextHookResult(NEXT_HOOK_RESULT);
    steps.clear();
    winsimSetIdleHandler(runNextStep);
  }

  void TearDown() override {
    winsimSetCallNextHookResult(0);
    stopWatching();
    DeleteFileA(besideIni("vorn.ini.tmp").c_str());
    DeleteFileA(besideIni("other.txt").c_str());
    DaemonFixture::TearDown();
  }

  // Runs a first instance of vornd to its idle end.
  static int runDaemon() { return run({}); }

  // A file in the folder of the program's vorn.ini.
  static std::string besideIni(const char *name) {
    std::string path = programDirectoryIni();
    return path.substr(0, path.size() - strlen("vorn.ini")) + name;
  }

  static int announcements() {
    return winsimCountMessages(HWND_BROADCAST, WM_WININICHANGE, WINSIM_SENT);
  }

  static void postCommand(WPARAM command) {
    PostMessageA(findControlWindow(), WM_COMMAND, command, 0);
  }

  // The mouse hook's answer to a left press in `window`'s client area.
  static LRESULT leftPress(HWND window) {
    MOUSEHOOKSTRUCT m = {};
    m.pt.x = 50;
    m.pt.y = 50;
    m.hwnd = window;
    m.wHitTestCode = HTCLIENT;
    return mouseHookProc(HC_ACTION, WM_LBUTTONDOWN, (LPARAM)&m);
  }

  static HWND plainWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "plainWindow";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "plainWindow", "plain", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                           200, NULL, NULL, NULL, NULL);
  }

  static bool sectionExists() {
    HANDLE section = OpenFileMappingA(FILE_MAP_READ, FALSE, VORN_SECTION_NAME);
    if (section) CloseHandle(section);
    return section != NULL;
  }
};

// What makes the running daemon reload once the file has changed: a second
// start (its command), or nothing but the save itself.
struct ReloadTrigger {
  const char *name;
  bool command;
};
const ReloadTrigger RELOAD_TRIGGERS[] = {{"a second start", true}, {"the save", false}};

void changeFileThenReload(const ReloadTrigger &trigger, std::function<void()> change) {
  change();
  if (trigger.command) PostMessageA(findControlWindow(), WM_COMMAND, VORN_COMMAND_RELOAD, 0);
}

// A load that finds no file leaves the image alone: only the removal
// before it takes the old rules away.
TEST_F(DaemonReloadTest, ReloadAfterTheFileIsDeletedLeavesNoImageAndEveryClickPasses) {
  for (const ReloadTrigger &trigger : RELOAD_TRIGGERS) {
    SCOPED_TRACE(trigger.name);
    ASSERT_TRUE(writeFileBytes(programDirectoryIni(), SWALLOW_LEFT_PRESS));
    HWND window = plainWindow();
    LRESULT before = -1;
    steps = {[&] {
      before = leftPress(window);
      changeFileThenReload(trigger, [] { DeleteFileA(programDirectoryIni().c_str()); });
    }};
    for (int i = 0; i < 3; ++i) steps.push_back([] {});
    runDaemon();

    EXPECT_NE(NEXT_HOOK_RESULT, before) << "the configured click was not swallowed to begin with";
    EXPECT_EQ(2, announcements()) << "the start and one reload";
    EXPECT_EQ(nullptr, imageHeader);
    EXPECT_FALSE(sectionExists());
    EXPECT_EQ(1, IsHooking());
    EXPECT_EQ(NEXT_HOOK_RESULT, leftPress(window));
    TearDown();
    SetUp();
  }
}

// The hooks are installed only where none is: without the removal first,
// a file that drops the activation option would keep its hook.
TEST_F(DaemonReloadTest, ReloadWithoutTheActivationOptionLeavesItsHookRemoved) {
  for (const ReloadTrigger &trigger : RELOAD_TRIGGERS) {
    SCOPED_TRACE(trigger.name);
    ASSERT_TRUE(writeFileBytes(programDirectoryIni(), WITH_ACTIVATION_HOOK));
    int activationHooksBefore = -1;
    steps = {[&] {
      activationHooksBefore = winsimInstalledHookCount(WH_CALLWNDPROCRET);
      changeFileThenReload(trigger,
                           [] { writeFileBytes(programDirectoryIni(), WITHOUT_ACTIVATION_HOOK); });
    }};
    for (int i = 0; i < 3; ++i) steps.push_back([] {});
    runDaemon();

    EXPECT_EQ(1, activationHooksBefore);
    EXPECT_EQ(2, announcements()) << "the start and one reload";
    EXPECT_EQ(0, winsimInstalledHookCount(WH_CALLWNDPROCRET));
    EXPECT_EQ(1, winsimInstalledHookCount(WH_MOUSE));
    EXPECT_EQ(1, winsimInstalledHookCount(WH_GETMESSAGE));
    TearDown();
    SetUp();
  }
}

// What happens to the folder while the daemon runs, and how often it
// reloads for it: an editor's save is one reload, and only a change of
// what the file holds is one.
struct FolderChange {
  const char *name;
  const char *initial;                         // vorn.ini at the start; NULL: none
  std::vector<std::function<void()>> changes;  // one per time the loop waits
  int reloads;
};

void writeIni(const char *text) { writeFileBytes(programDirectoryIni(), text); }

TEST_F(DaemonReloadTest, OnlyAChangedFileIsReloadedAndASaveOnce) {
  static HANDLE heldOpen = INVALID_HANDLE_VALUE;
  const std::string temporary = besideIni("vorn.ini.tmp");
  const FolderChange changes[] = {
      {"a save", SWALLOW_LEFT_PRESS, {[] { writeIni(RIGHT_PRESS_LIST); }}, 1},
      {"a save through a temporary file, a removal and a rename",
       SWALLOW_LEFT_PRESS,
       {[&] { writeFileBytes(temporary, RIGHT_PRESS_LIST); },
        [] { DeleteFileA(programDirectoryIni().c_str()); },
        [&] { MoveFileExA(temporary.c_str(), programDirectoryIni().c_str(), 0); }},
       1},
      {"a save that changes nothing",
       SWALLOW_LEFT_PRESS,
       {[] { writeIni(SWALLOW_LEFT_PRESS); }},
       0},
      {"another file of the folder",
       SWALLOW_LEFT_PRESS,
       {[] { writeFileBytes(besideIni("other.txt"), "x"); }},
       0},
      {"ReloadOnChange=0",
       "[Options]\nReloadOnChange=0\n[List1]\nHook1=LBUTTONUP\n",
       {[] { writeIni(RIGHT_PRESS_LIST); }},
       0},
      {"a file where none was", NULL, {[] { writeIni(RIGHT_PRESS_LIST); }}, 1},
      // An editor that still holds the file open for writing when the
      // quiet period ends: the loader could not open it, and a reload then
      // would leave no rules at all.
      {"a file held open for writing past the quiet period",
       SWALLOW_LEFT_PRESS,
       {[] {
          heldOpen = CreateFileA(programDirectoryIni().c_str(), GENERIC_WRITE, 0, NULL,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
          DWORD written = 0;
          WriteFile(heldOpen, RIGHT_PRESS_LIST, (DWORD)strlen(RIGHT_PRESS_LIST), &written, NULL);
        },
        [] {}, [] { CloseHandle(heldOpen); }},
       1},
  };
  for (const FolderChange &change : changes) {
    SCOPED_TRACE(change.name);
    if (change.initial) {
      ASSERT_TRUE(writeFileBytes(programDirectoryIni(), change.initial));
    }
    steps = change.changes;
    for (int i = 0; i < 4; ++i) steps.push_back([] {});
    runDaemon();

    EXPECT_EQ(1 + change.reloads, announcements());
    if (change.reloads) {
      ASSERT_NE(nullptr, imageHeader);
      EXPECT_EQ(IMAGE_HEADER_SIZE, readImageInt(imageHeader, HEADER_SLOT_RBUTTONDOWN));
    }
    TearDown();
    SetUp();
  }
}

// Pausing removes the hooks and the image and marks the window for
// vorncheck; resuming, and any reload, loads and installs again. A second
// pause or a resume while running changes nothing, and announces nothing.
TEST_F(DaemonReloadTest, PauseAndResume) {
  struct Step {
    WPARAM command;
    int hooking;
    bool paused;
    int announced;
  };
  const Step sequence[] = {
      {VORN_COMMAND_PAUSE, 0, true, 1},   {VORN_COMMAND_PAUSE, 0, true, 0},
      {VORN_COMMAND_RESUME, 1, false, 1}, {VORN_COMMAND_RESUME, 1, false, 0},
      {VORN_COMMAND_PAUSE, 0, true, 1},   {VORN_COMMAND_RELOAD, 1, false, 1},
  };
  ASSERT_TRUE(writeFileBytes(programDirectoryIni(), SWALLOW_LEFT_PRESS));
  HINSTANCE instance = GetModuleHandleA(NULL);
  ASSERT_NE(0, registerControlClass(instance));
  HWND window = createControlWindow(instance);
  ASSERT_NE(nullptr, window);
  for (const Step &step : sequence) {
    SCOPED_TRACE(step.command);
    int before = announcements();
    SendMessageA(window, WM_COMMAND, step.command, 0);
    EXPECT_EQ(step.hooking, IsHooking());
    EXPECT_EQ(step.paused, isPaused(window) != 0);
    EXPECT_EQ(step.paused, !sectionExists());
    EXPECT_EQ(before + step.announced, announcements());
    if (step.paused) {
      DaemonStatus status;
      inspectDaemon(DAEMON_PAIR[0], &status);
      EXPECT_EQ(LOADED_PAUSED, status.loaded) << "what vorncheck --status reads";
    }
  }
  DestroyWindow(window);
}

// A save while paused loads nothing and ends no pause; the resume loads
// the file as it is then.
TEST_F(DaemonReloadTest, SaveWhilePausedWaitsForTheResume) {
  ASSERT_TRUE(writeFileBytes(programDirectoryIni(), SWALLOW_LEFT_PRESS));
  int hookingAfterSave = -1;
  steps = {[] { postCommand(VORN_COMMAND_PAUSE); }, [] { writeIni(RIGHT_PRESS_LIST); },
           [] {},  // the quiet period: it ends with the daemon still paused
           [&] {
             hookingAfterSave = IsHooking();
             postCommand(VORN_COMMAND_RESUME);
           }};
  runDaemon();

  EXPECT_EQ(0, hookingAfterSave);
  EXPECT_EQ(3, announcements()) << "the start, the pause and the resume";
  EXPECT_EQ(1, IsHooking());
  ASSERT_NE(nullptr, imageHeader);
  EXPECT_EQ(IMAGE_HEADER_SIZE, readImageInt(imageHeader, HEADER_SLOT_RBUTTONDOWN));
}

// --pause and --resume signal the running instance; with none running,
// --pause starts nothing and --resume is a start. With anything more on
// the command line they are starts, as every other command line is.
TEST_F(DaemonReloadTest, PauseAndResumeCommandLines) {
  struct Line {
    std::vector<const char *> arguments;
    DaemonCommand command;
  };
  const Line lines[] = {
      {{"--pause"}, COMMAND_PAUSE},      {{"--resume"}, COMMAND_RESUME}, {{"--stop"}, COMMAND_STOP},
      {{"--pause", "x"}, COMMAND_START}, {{"--Resume"}, COMMAND_START},  {{}, COMMAND_START},
  };
  for (const Line &line : lines) {
    std::vector<const char *> argv = {"vornd.exe"};
    argv.insert(argv.end(), line.arguments.begin(), line.arguments.end());
    EXPECT_EQ(line.command, daemonCommand((int)argv.size(), const_cast<char **>(argv.data())))
        << argv.size();
  }

  ASSERT_TRUE(writeFileBytes(programDirectoryIni(), SWALLOW_LEFT_PRESS));
  EXPECT_EQ(0, run({"--pause"}));
  EXPECT_EQ(0, winsimIdleExitCount()) << "--pause with none running started a loop";
  EXPECT_EQ(0, IsHooking());

  EXPECT_EQ(0, run({"--resume"}));
  EXPECT_EQ(1, winsimIdleExitCount()) << "--resume with none running is a start";
  EXPECT_EQ(1, IsHooking());
  // It ended at its idle exit, letting its lock go; its window stays, and
  // the test takes the lock again on its behalf.
  ASSERT_EQ(1, takeInstanceLock());
  HWND running = findControlWindow();
  ASSERT_NE(nullptr, running);
  winsimClearRecords();

  EXPECT_EQ(0, run({"--pause"}));
  EXPECT_EQ(0, run({"--resume"}));
  EXPECT_EQ(2, winsimCountMessages(running, WM_COMMAND, WINSIM_POSTED));
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, running, WM_COMMAND, WM_COMMAND, PM_REMOVE));
  EXPECT_EQ((WPARAM)VORN_COMMAND_PAUSE, message.wParam);
  ASSERT_TRUE(PeekMessageA(&message, running, WM_COMMAND, WM_COMMAND, PM_REMOVE));
  EXPECT_EQ((WPARAM)VORN_COMMAND_RESUME, message.wParam);
}

TEST(PauseKey, KeystrokesAreReadAsWritten) {
  const struct {
    const char *text;
    UINT modifiers;
    UINT key;  // 0: no pause key
  } keys[] = {
      {"Ctrl+Alt+Pause", MOD_CONTROL | MOD_ALT, VK_PAUSE},
      {"control+shift+p", MOD_CONTROL | MOD_SHIFT, 'P'},
      {"Win+F12", MOD_WIN, VK_F1 + 11},
      {"Alt+F24", MOD_ALT, VK_F1 + 23},
      {"Ctrl+9", MOD_CONTROL, '9'},
      {"ScrollLock", 0, VK_SCROLL},
      {"", 0, 0},
      {"Ctrl+", 0, 0},
      {"Ctrl+Ctrl+P", 0, 0},
      {"Ctrl+F25", 0, 0},
      {"Ctrl+F0", 0, 0},
      {"Ctrl + P", 0, 0},
      {"Hyper+P", 0, 0},
      {"Ctrl+PP", 0, 0},
      {"Ctrl+Alt+Pause+", 0, 0},
  };
  for (const auto &key : keys) {
    UINT modifiers = 77, virtualKey = 77;
    EXPECT_EQ(key.key != 0, parsePauseKey(key.text, &modifiers, &virtualKey) == 1) << key.text;
    if (key.key) {
      EXPECT_EQ(key.modifiers, modifiers) << key.text;
      EXPECT_EQ(key.key, virtualKey) << key.text;
    }
  }
}

// What the stand-in for vornd64.exe was told.
std::vector<WPARAM> companionCommands;

LRESULT CALLBACK companionProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) companionCommands.push_back(wParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

// On 64-bit Windows the 32-bit daemon holds the pause key: pressed, it
// pauses, and pressed again resumes, itself and its companion alike.
TEST_F(DaemonReloadTest, ThePauseKeyPausesAndResumesBothPairs) {
  winsimSetWindowsBitness(WINSIM_WINDOWS_64);
  // Named as the daemon finds it: beside its own program file.
  char program[MAX_PATH];
  GetModuleFileNameA(NULL, program, MAX_PATH);
  std::string companionFile = program;
  companionFile = companionFile.substr(0, companionFile.find_last_of("\\/") + 1) +
                  VORN_COMPANION_FILE;
  winsimSetProcessImagePath(GetCurrentProcessId(), companionFile.c_str());
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = companionProcedure;
  windowClass.lpszClassName = VORN_COMPANION_CONTROL_CLASS;
  ASSERT_NE(0, RegisterClassA(&windowClass));
  ASSERT_NE(nullptr, CreateWindowExA(0, VORN_COMPANION_CONTROL_CLASS, VORN_COMPANION_CONTROL_TITLE,
                                     WS_POPUP, 0, 0, 0, 0, NULL, NULL, NULL, NULL));
  companionCommands.clear();
  ASSERT_TRUE(writeFileBytes(programDirectoryIni(),
                             "[Options]\nPauseKey=Ctrl+Alt+Pause\n[List1]\nHook1=LBUTTONDOWN\n"));
  static int hookingWhenPaused;
  hookingWhenPaused = -1;
  steps = {[] { EXPECT_EQ(1, winsimPressHotKey(MOD_CONTROL | MOD_ALT, VK_PAUSE)); },
           [] {
             hookingWhenPaused = IsHooking();
             EXPECT_EQ(0, winsimPressHotKey(MOD_CONTROL, VK_PAUSE)) << "another keystroke";
             EXPECT_EQ(1, winsimPressHotKey(MOD_CONTROL | MOD_ALT, VK_PAUSE));
           }};
  runDaemon();
  winsimSetProcessImagePath(GetCurrentProcessId(), NULL);

  EXPECT_EQ(0, hookingWhenPaused);
  EXPECT_EQ(1, IsHooking());
  EXPECT_EQ(3, announcements()) << "the start, the pause and the resume";
  EXPECT_EQ((std::vector<WPARAM>{VORN_COMMAND_PAUSE, VORN_COMMAND_RESUME}), companionCommands);
}

}  // namespace
}  // namespace vorntest
