// Soak and faults, end to end: many real clicks on the windows of two
// processes, reloads in a row while clicking, a daemon killed and started
// again, and configuration files no one should write. vorn must never
// crash a process it is loaded into, never stall one, and every click must
// go as the configuration in force says.
//
// Knobs for a longer run: VORN_SOAK_CLICKS (clicks of the long run, 1000),
// VORN_SOAK_RELOADS (reloads in a row, 50) and VORN_SOAK_SEED (the choice
// of windows, areas and buttons).
#include <gtest/gtest.h>
#include <windows.h>

#include <stdint.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "config/image_layout.h"
#include "config/loader.h"
#include "configuration_files.h"
#include "daemon_process.h"
#include "message_pump.h"
#include "mouse_input.h"
#include "scenario.h"
#include "soak_desktop.h"
#include "soak_process.h"
#include "soak_rules.h"
#include "test_windows.h"
#include "window_state.h"

namespace e2e {
namespace {

const int MOST_REPORTED_FAILURES = 10;
// How long a reload may take before its announcement counts as missing.
const DWORD BAD_FILE_RELOAD_TIMEOUT_MS = 60000;
// How long no further reload must be announced before the reloads of one
// write count as over.
const DWORD RELOADS_SETTLED_MS = 3000;

int knob(const char *name, int fallback) {
  const char *value = getenv(name);
  int number = value ? atoi(value) : 0;
  return number > 0 ? number : fallback;
}

// The soak's choices, the same on every run with the same seed.
class Choices {
 public:
  explicit Choices(uint32_t seed) : state(seed ? seed : 1) {}

  int below(int bound) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return (int)(state % (uint32_t)bound);
  }

  // The three buttons in an order of their own.
  std::vector<MouseButton> buttons() {
    std::vector<MouseButton> order = {LEFT_BUTTON, MIDDLE_BUTTON, RIGHT_BUTTON};
    for (int i = 2; i > 0; --i) std::swap(order[i], order[below(i + 1)]);
    return order;
  }

 private:
  uint32_t state;
};

class Soak : public Scenario {
 protected:
  void SetUp() override {
    Scenario::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ("", soak.open(&here, &host));
  }

  // The daemons are stopped while this process's windows still answer
  // their broadcast; faults are looked at last, when nothing runs any more.
  void TearDown() override {
    std::string hostEnd = host.stop();
    Scenario::TearDown();
    here.stop();
    EXPECT_EQ("", hostEnd) << "the window host did not survive";
    EXPECT_EQ("", here.faults());
    EXPECT_EQ("", host.faults());
  }

  // Writes `rules` as vorn.ini, starts vornd and checks that it published
  // them.
  ::testing::AssertionResult startWith(const SoakRules &rules) {
    ::testing::AssertionResult written = writeConfiguration(rules.text);
    if (!written) return written;
    ::testing::AssertionResult started = startDaemon();
    if (!started) return started;
    return published(rules);
  }

  // Writes `bytes` as vorn.ini and has the running vornd reload it.
  // `mayBeWatched`: the file loaded until now may have left the daemon
  // watching vorn.ini.
  ::testing::AssertionResult reloadWith(const std::string &bytes, bool mayBeWatched) {
    if (!writeFileBytes(stagedConfigurationPath(stageDirectory), bytes)) {
      return ::testing::AssertionFailure() << "cannot write vorn.ini";
    }
    int before = announcementsHeard();
    DWORD started = GetTickCount();
    ::testing::AssertionResult reloaded = runDaemonCommand("");
    if (!reloaded) return reloaded;
    // Wine parses a file written in the last two seconds again for every
    // profile call: the largest bad files take the daemon many seconds to
    // compile on a busy machine.
    if (!waitForAnnouncement(before, BAD_FILE_RELOAD_TIMEOUT_MS)) {
      return ::testing::AssertionFailure() << "no reload was announced";
    }
    // A bad file may leave the daemon watching vorn.ini (its options are
    // unreadable, and ReloadOnChange is on by default): the write of the
    // next file then reloads it too, before or after the second start.
    // The clicks wait until the reloads are over. After a file of the
    // soak's own (ReloadOnChange=0) no second reload can come. A second
    // one starts within the daemon's quiet period and takes about as long
    // as the one just measured: the wait is that, as this machine runs,
    // not a constant stretched for the slowest.
    if (!mayBeWatched) return ::testing::AssertionSuccess();
    DWORD settleMs = RELOADS_SETTLED_MS + 2 * (GetTickCount() - started);
    for (int heard = announcementsHeard();
         pumpUntilUnscaled([&] { return announcementsHeard() != heard; }, settleMs);
         heard = announcementsHeard()) {
    }
    return ::testing::AssertionSuccess();
  }

  ::testing::AssertionResult reloadWith(const SoakRules &rules) {
    ::testing::AssertionResult reloaded = reloadWith(std::string(rules.text), true);
    if (!reloaded) return reloaded;
    return published(rules);
  }

  // The image holds lists, and vornd wrote no failure into the file: a
  // configuration that did not fit the section held since an earlier
  // daemon would leave every click to pass.
  ::testing::AssertionResult published(const SoakRules &rules) {
    std::string status = statusError();
    if (!status.empty()) {
      return ::testing::AssertionFailure()
             << "vornd wrote Error=" << status << " for " << rules.name;
    }
    if (imageHeaderField(HEADER_FIRST_LIST) < IMAGE_HEADER_SIZE) {
      return ::testing::AssertionFailure() << "no lists were published for " << rules.name;
    }
    return ::testing::AssertionSuccess();
  }

  std::string statusError() {
    char value[256] = "";
    GetPrivateProfileStringA("Status", "Error", "", value, sizeof value,
                             stagedConfigurationPath(stageDirectory).c_str());
    return value;
  }

  // vornd runs with its control window, and no process with
  // soak windows has ended or raised a fault.
  ::testing::AssertionResult everyoneAlive() {
    if (!DaemonProcesses::isRunning(daemon)) return ::testing::AssertionFailure() << "vornd ended";
    if (!findControlWindow()) return ::testing::AssertionFailure() << "vornd has no control window";
    if (!host.isRunning()) return ::testing::AssertionFailure() << "the window host ended";
    return nothingFaulted();
  }

  ::testing::AssertionResult nothingFaulted() {
    std::string faults = here.faults() + host.faults();
    if (faults.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << faults;
  }

  // One gesture of all three buttons on each class and area in each
  // process, on one of the two windows that fit, taken in turn.
  void clickEveryKind(const SoakRules &rules, const char *when) {
    SoakProcess *owners[] = {&here, &host};
    for (SoakProcess *owner : owners) {
      for (int windowClass = 0; windowClass < SOAK_CLASS_COUNT; ++windowClass) {
        for (int area = 0; area < SOAK_AREA_COUNT; ++area) {
          auto fitting = soak.windowsOf(owner, (SoakWindowClass)windowClass);
          ASSERT_FALSE(fitting.empty());
          SoakGesture gesture = {fitting[rounds % fitting.size()], (SoakArea)area,
                                 choices.buttons()};
          EXPECT_TRUE(soak.clickAndCheck(gesture, rules)) << when;
        }
      }
    }
    ++rounds;
  }

  // A gesture of two or three buttons on any window but `previous`.
  SoakGesture anyGesture(const SoakWindow *previous) {
    const std::vector<SoakWindow> &all = soak.windows();
    const SoakWindow *window = previous;
    while (window == previous) window = &all[choices.below((int)all.size())];
    std::vector<MouseButton> buttons = choices.buttons();
    buttons.resize(2 + choices.below(2));
    return {window, (SoakArea)choices.below(SOAK_AREA_COUNT), buttons};
  }

  // A gesture that starts no move loop: a configuration that changes
  // between a left press on a caption and its release could swallow the
  // release the loop waits for.
  SoakGesture gestureWithoutMoveLoop(const SoakWindow *previous) {
    SoakGesture gesture = anyGesture(previous);
    if (gesture.area == SOAK_CAPTION) {
      gesture.buttons.erase(
          std::remove(gesture.buttons.begin(), gesture.buttons.end(), LEFT_BUTTON),
          gesture.buttons.end());
    }
    return gesture;
  }

  // Makes it the foreground window at the top, from another process if
  // need be. A window that is the foreground window already is not raised
  // by being activated again: it is raised first.
  ::testing::AssertionResult bringToFront(const SoakWindow &window) {
    stackFromTop({window.handle});
    if (activate(window.handle)) return ::testing::AssertionSuccess();
    HWND foreground = GetForegroundWindow();
    return ::testing::AssertionFailure()
           << windowTitle(window.handle) << " did not come to the front; the foreground window is "
           << (foreground ? windowTitle(foreground) : std::string("none")) << "; "
           << describeDesktop(windowHandles());
  }

  std::vector<HWND> windowHandles() const {
    std::vector<HWND> handles;
    for (const SoakWindow &window : soak.windows()) handles.push_back(window.handle);
    return handles;
  }

  // Ends the running daemon as a crash would: nothing of it is removed.
  ::testing::AssertionResult killDaemon() {
    if (!TerminateProcess(daemon, 1) || !DaemonProcesses::waitForExit(daemon, 10000, NULL)) {
      return ::testing::AssertionFailure() << "vornd could not be killed";
    }
    if (!pumpUntil([] { return findControlWindow() == NULL; })) {
      return ::testing::AssertionFailure() << "the killed vornd's control window is still there";
    }
    return ::testing::AssertionSuccess();
  }

  // Overwrites every list and match reference of the image that the
  // processes hold with an offset far beyond its end, as a damaged or
  // foreign section would hold.
  ::testing::AssertionResult damageHeldImage() {
    HANDLE section = OpenFileMappingA(FILE_MAP_WRITE, FALSE, VORN_SECTION_NAME);
    if (!section) return ::testing::AssertionFailure() << "no section is held";
    unsigned char *image =
        (unsigned char *)MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, IMAGE_HEADER_SIZE);
    if (image) {
      for (int field = 0; field < HEADER_FIELD_COUNT; ++field) {
        writeImageInt(image, 4u * (uint32_t)field, 0x7FFFFF00 + field);
      }
      UnmapViewOfFile(image);
    }
    CloseHandle(section);
    if (!image) return ::testing::AssertionFailure() << "the held section cannot be written";
    return ::testing::AssertionSuccess();
  }

  SoakProcess here{"test"};
  SoakProcess host{"host"};
  SoakDesktop soak;
  Choices choices{(uint32_t)knob("VORN_SOAK_SEED", 2718)};
  int rounds = 0;
};

TEST_F(Soak, ManyClicksOnTheWindowsOfTwoProcessesGoAsTheRulesSay) {
  ASSERT_TRUE(startWith(GUARDED_WINDOWS_RULES));
  int wanted = knob("VORN_SOAK_CLICKS", 1000);
  int failures = 0;
  const SoakWindow *previous = nullptr;
  while (soak.clicksMade() < wanted && failures < MOST_REPORTED_FAILURES) {
    SoakGesture gesture = anyGesture(previous);
    previous = gesture.window;
    ::testing::AssertionResult checked = soak.clickAndCheck(gesture, GUARDED_WINDOWS_RULES);
    if (!checked) {
      ++failures;
      ADD_FAILURE() << "by click " << soak.clicksMade() << ": " << checked.message();
    }
    ASSERT_TRUE(host.isRunning()) << "the window host ended by click " << soak.clicksMade();
  }
  EXPECT_GE(soak.clicksMade(), wanted);
  EXPECT_TRUE(everyoneAlive());
  RecordProperty("clicks", soak.clicksMade());
}

// Each reload replaces the image while the hooks in both processes read
// it: a click under way meanwhile may meet the old rules, the new ones or
// none, message by message, and every click after the reload meets the
// new ones.
TEST_F(Soak, ReloadsInARowWhileClickingLeaveTheLastConfigurationInForce) {
  ASSERT_TRUE(startWith(GUARDED_WINDOWS_RULES));
  const SoakRules *current = &GUARDED_WINDOWS_RULES;
  const SoakWindow *previous = nullptr;
  int reloads = knob("VORN_SOAK_RELOADS", 50);
  for (int reload = 1; reload <= reloads && !HasFailure(); ++reload) {
    const SoakRules *next =
        current == &GUARDED_WINDOWS_RULES ? &PLAIN_WINDOWS_RULES : &GUARDED_WINDOWS_RULES;
    ASSERT_TRUE(writeConfiguration(next->text));
    int announcements = announcementsHeard();
    HANDLE reloader = NULL;
    ASSERT_TRUE(daemons.start("", &reloader));

    SoakGesture during = gestureWithoutMoveLoop(previous);
    EXPECT_TRUE(soak.clickAndCheck(during, {current, next, &NO_RULES}))
        << "during reload " << reload;
    DWORD exitCode = 1;
    ASSERT_TRUE(DaemonProcesses::waitForExit(reloader, 10000, &exitCode));
    EXPECT_EQ(0u, exitCode);
    ASSERT_TRUE(waitForAnnouncement(announcements)) << "reload " << reload << " was not announced";
    current = next;
    EXPECT_TRUE(published(*current)) << "reload " << reload;

    SoakGesture after = anyGesture(during.window);
    previous = after.window;
    EXPECT_TRUE(soak.clickAndCheck(after, *current)) << "after reload " << reload;
    ASSERT_TRUE(everyoneAlive()) << "after reload " << reload;
  }
  clickEveryKind(*current, "after the last reload");
}

// A daemon that is killed removes nothing: its image stays intact in the
// section that the hooked processes hold (and, under Wine, its hooks stay
// installed). A new daemon must reach those processes with its own
// configuration through the section they hold, whether it finds there an
// intact image or a damaged one, which the processes must survive
// meanwhile; and no click may be handled twice, by its hooks and by the
// ones left behind.
TEST_F(Soak, AKilledDaemonIsReplacedAndEveryProcessFollowsTheNewOne) {
  ASSERT_TRUE(startWith(GUARDED_WINDOWS_RULES));
  clickEveryKind(GUARDED_WINDOWS_RULES, "before the first kill");

  ASSERT_TRUE(killDaemon());
  EXPECT_EQ(IMAGE_HEADER_SIZE, imageHeaderField(HEADER_FIRST_LIST))
      << "the killed daemon's image is no longer held intact";
  ASSERT_TRUE(startWith(PLAIN_WINDOWS_RULES));
  EXPECT_TRUE(everyoneAlive());
  clickEveryKind(PLAIN_WINDOWS_RULES, "after a start over an intact image");

  ASSERT_TRUE(killDaemon());
  ASSERT_TRUE(damageHeldImage());
  clickEveryKind(NO_RULES, "with the held image damaged");
  ASSERT_TRUE(host.isRunning());
  ASSERT_TRUE(nothingFaulted()) << "with the held image damaged";

  ASSERT_TRUE(writeConfiguration(FOREGROUND_DECIDES_RULES));
  ASSERT_TRUE(startDaemon());
  EXPECT_TRUE(everyoneAlive());
  EXPECT_EQ(IMAGE_HEADER_SIZE, imageHeaderField(HEADER_SLOT_LBUTTONDOWN));

  SoakProcess *owners[] = {&here, &host};
  for (SoakProcess *owner : owners) {
    for (int windowClass = 0; windowClass < SOAK_CLASS_COUNT; ++windowClass) {
      const SoakWindow &clicked = *soak.windowsOf(owner, (SoakWindowClass)windowClass)[0];
      const SoakWindow &other = *soak.windowsOf(owner, (SoakWindowClass)windowClass)[1];
      ASSERT_TRUE(bringToFront(other));
      SoakGesture click = {&clicked, SOAK_CLIENT, {LEFT_BUTTON}};
      std::string problem;
      EXPECT_EQ("WM_LBUTTONDOWN, WM_LBUTTONUP", soak.clickAndTell(click, LEFT_BUTTON, &problem))
          << soak.describe(click) << " while behind: the press must activate it and reach it "
          << problem;
      EXPECT_TRUE(pumpUntil([&] { return GetForegroundWindow() == clicked.handle; }))
          << describeDesktop(windowHandles());
      EXPECT_EQ("WM_LBUTTONUP", soak.clickAndTell(click, LEFT_BUTTON, &problem))
          << soak.describe(click) << " in front: the press must be swallowed " << problem;
    }
  }
}

// Whatever vorn.ini holds, vornd keeps running with its hooks, every
// hooked process keeps working, and the clicks go as what could be read
// of the file says; a good file afterwards brings the rules back.
TEST_F(Soak, BadConfigurationFilesStopNothing) {
  ASSERT_TRUE(startWith(GUARDED_WINDOWS_RULES));
  for (const BadConfiguration &bad : badConfigurations()) {
    SCOPED_TRACE(bad.kind);
    ASSERT_TRUE(reloadWith(bad.bytes, false));
    ASSERT_TRUE(everyoneAlive());
    EXPECT_EQ(bad.statusError, statusError());
    clickEveryKind(*bad.rules, bad.kind);

    ASSERT_TRUE(reloadWith(GUARDED_WINDOWS_RULES));
    ASSERT_TRUE(everyoneAlive());
    clickEveryKind(GUARDED_WINDOWS_RULES, "after a good file again");
  }
}

}  // namespace
}  // namespace e2e
