// The real program from start to exported files, driven as a user would:
// through messages to its windows, in a process of its own, with the adb
// helper and a phone beside it. The export is compared byte for byte with
// what the native command line writes for the same phone.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>

#include "bench/BenchDatabases.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/program/RemoteUi.h"
#include "tests/program/StagedProgram.h"

namespace program_test {
namespace {

namespace fs = std::filesystem;

constexpr int kRecover = 1010, kBack = 1032, kPause = 1006, kContinue = 1008, kStop = 1007, kRefresh = 1033;
constexpr int kTree = 1003, kList = 1004;
constexpr int kBoxOk = 1011, kBoxYes = 1012, kBoxNo = 1014;
constexpr wchar_t kHelperName[] = L"zephyrloom-phone-rescue-adb-help.exe";
constexpr int kLoadPatienceMs = 180000;

using Files = std::map<std::wstring, std::string>;  // relative path -> bytes

std::string bytesOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every file below `root`, by its path relative to `root`.
Files filesBelow(const fs::path& root) {
  Files files;
  std::error_code error;
  for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
    if (it->is_regular_file()) files[fs::relative(it->path(), root).wstring()] = bytesOf(it->path());
  }
  return files;
}

// The export roots made in `folder`, oldest name first.
std::vector<fs::path> exportRoots(const fs::path& folder) {
  std::vector<fs::path> roots;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    if (entry.is_directory() && entry.path().filename().wstring().rfind(L"ZephyrloomRescue", 0) == 0) {
      roots.push_back(entry.path());
    }
  }
  std::sort(roots.begin(), roots.end());
  return roots;
}

// A running program on a phone, with the handles a test drives it by.
class RunningProgram {
 public:
  explicit RunningProgram(StagedProgram& program, const fs::path& exports = L"C:\\exports")
      : program_(program), exports_(exports), ui_(nullptr) {
    fs::create_directories(exports_);
    started_ = program_.Start(exports_.wstring());
    if (started_) main_ = program_.WaitForMainWindow();
    ui_ = RemoteUi(program_.process());
  }

  bool ready() const { return started_ && main_ != nullptr; }
  HWND main() const { return main_; }
  HWND tree() const { return ::GetDlgItem(main_, kTree); }
  HWND list() const { return ::GetDlgItem(main_, kList); }
  const fs::path& exports() const { return exports_; }

  std::wstring caption(int category) const {
    const std::vector<HTREEITEM> items = ui_.TreeItems(tree());
    return static_cast<std::size_t>(category + 1) < items.size() ? ui_.TreeItemText(tree(), items[category + 1])
                                                                   : L"";
  }
  HTREEITEM category(int index) const {
    const std::vector<HTREEITEM> items = ui_.TreeItems(tree());
    return static_cast<std::size_t>(index + 1) < items.size() ? items[index + 1] : nullptr;
  }

  // Waits until the scan page shows its records (Recover offered).
  bool WaitLoaded(int ms = kLoadPatienceMs) const {
    return gui_test::PumpUntil([&] { return ChildVisible(main_, kRecover); }, ms);
  }
  bool WaitVisible(int id, int ms = kLoadPatienceMs) const {
    return gui_test::PumpUntil([&] { return ChildVisible(main_, id); }, ms);
  }
  // The box the program shows next, or null.
  HWND WaitBox(int ms = 30000) const {
    HWND box = nullptr;
    gui_test::PumpUntil([&] { return (box = OwnedDialog(main_)) != nullptr; }, ms);
    return box;
  }
  static std::wstring BoxText(HWND box) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(box, text, 1024);
    return text;
  }
  void Command(int id) const { ::PostMessageW(main_, WM_COMMAND, static_cast<WPARAM>(id), 0); }
  static void Answer(HWND box, int id) { ::PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(id), 0); }

  // Exports what is checked and answers the box that ends it; its text.
  std::wstring Export() const {
    Command(kRecover);
    const HWND box = WaitBox(120000);
    if (box == nullptr) return L"(no box)";
    const std::wstring text = BoxText(box);
    Answer(box, kBoxOk);
    gui_test::PumpUntil([&] { return !::IsWindow(box); }, 10000);
    return text;
  }

  long Close() {
    ::PostMessageW(main_, WM_CLOSE, 0, 0);
    return program_.WaitForExit(60000);
  }

 private:
  StagedProgram& program_;
  fs::path exports_;
  RemoteUi ui_;
  bool started_ = false;
  HWND main_ = nullptr;
};

bool copiesGone() {
  return !fs::exists(StagedProgram::ContactsCopy()) && !fs::exists(StagedProgram::SmsCopy());
}

// The message folder of an export root ("Message (39)", or with the count
// exported when its box was cleared).
fs::path messageFolder(const fs::path& root) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(root, error)) {
    if (entry.path().filename().wstring().rfind(L"Message", 0) == 0) return entry.path();
  }
  return {};
}

TEST(ProgramEndToEnd, FromTheConnectPageToAnExportIdenticalToTheCommandLines) {
  StagedProgram program;
  ASSERT_TRUE(program.PutDemoPhone());
  RunningProgram run(program);
  ASSERT_TRUE(run.ready());
  ASSERT_TRUE(run.WaitLoaded()) << "the scan page never offered Recover";
  EXPECT_EQ(run.caption(0), L"Contacts (50)");
  EXPECT_EQ(run.caption(1), L"Message (47)");
  // Reading the copies left nothing beside them (no -shm, no -wal).
  for (const fs::path copy : {StagedProgram::ContactsCopy(), StagedProgram::SmsCopy()}) {
    std::vector<std::wstring> names;
    for (const auto& entry : fs::directory_iterator(copy.parent_path())) names.push_back(entry.path().filename());
    EXPECT_EQ(names, std::vector<std::wstring>{copy.filename().wstring()});
  }

  // Everything checked: the same files, byte for byte, as the native export.
  EXPECT_EQ(run.Export(), L"Recovering finished, 348 files have been recovered.");
  EXPECT_TRUE(ChildVisible(run.main(), kBack)) << "Back returns when the export ends";
  std::vector<fs::path> roots = exportRoots(run.exports());
  ASSERT_EQ(roots.size(), 1u);
  const Files whole = filesBelow(roots[0]);
  const char* native = std::getenv("ZR_NATIVE_EXPORT");
  ASSERT_NE(native, nullptr) << "run through run-program-tests.sh, which makes the native export";
  const Files expected = filesBelow(fs::path(native));
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(whole.size(), expected.size());
  for (const auto& [path, bytes] : expected) {
    const auto found = whole.find(path);
    ASSERT_NE(found, whole.end()) << "missing " << fs::path(path).string();
    EXPECT_TRUE(found->second == bytes) << "differs: " << fs::path(path).string();
  }

  // Message selected, a conversation clicked, its last row and the whole
  // Contacts category unchecked: the next export leaves out just those.
  ::SendMessageW(run.tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(run.category(1)));
  const int rows = static_cast<int>(::SendMessageW(run.list(), LVM_GETITEMCOUNT, 0, 0));
  ASSERT_GT(rows, 2);
  ClickAt(run.list(), 120, 60);
  PressKey(run.list(), VK_END);
  PressKey(run.list(), VK_SPACE);
  const RECT contacts = RemoteUi(program.process()).TreeItemRect(run.tree(), run.category(0));
  ClickAt(run.tree(), contacts.left + 60, (contacts.top + contacts.bottom) / 2);
  const auto state = [&](HTREEITEM item) {
    return (::SendMessageW(run.tree(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_STATEIMAGEMASK) >> 12);
  };
  EXPECT_EQ(state(run.category(0)), 1) << "Contacts unchecked";
  EXPECT_EQ(state(run.category(1)), 1) << "Message shows that one row is not checked";

  run.Export();
  roots = exportRoots(run.exports());
  ASSERT_EQ(roots.size(), 2u);
  const fs::path second = roots[1] == roots[0] ? roots[0] : roots[1];
  const Files part = filesBelow(messageFolder(second));
  const Files all = filesBelow(messageFolder(roots[0]));
  EXPECT_EQ(part.size() + 1, all.size()) << "one conversation fewer";
  for (const auto& [path, bytes] : part) {
    const auto found = all.find(path);
    ASSERT_NE(found, all.end()) << fs::path(path).string();
    EXPECT_TRUE(found->second == bytes) << fs::path(path).string();
  }
  for (const auto& [path, bytes] : filesBelow(second)) {
    EXPECT_EQ(fs::path(path).wstring().find(L"contacts.txt"), std::wstring::npos) << "no contact was checked";
  }

  EXPECT_EQ(run.Close(), 0);
  EXPECT_TRUE(copiesGone());
  EXPECT_EQ(RunningProcessesNamed(kHelperName), 0);
}

TEST(ProgramEndToEnd, NoPhoneShowsTheFailureScreenAndRefreshLoadsOnceThePhoneIsBack) {
  StagedProgram program;
  RunningProgram run(program);
  ASSERT_TRUE(run.ready());
  ASSERT_TRUE(run.WaitVisible(kRefresh)) << "no failure screen";
  // The link is shown just after Refresh.
  const HWND link = ::FindWindowExW(run.main(), nullptr, L"Static", nullptr);
  EXPECT_TRUE(gui_test::PumpUntil([&] { return link != nullptr && ::IsWindowVisible(link); }, 5000))
      << "the help link shows";
  EXPECT_FALSE(ChildVisible(run.main(), kTree));

  ASSERT_TRUE(program.PutDemoPhone());
  run.Command(kRefresh);
  EXPECT_TRUE(gui_test::PumpUntil([&] { return !ChildVisible(run.main(), kRefresh); }, 5000));
  ASSERT_TRUE(run.WaitLoaded());
  EXPECT_EQ(run.caption(0), L"Contacts (50)");
  EXPECT_EQ(run.Close(), 0);
}

TEST(ProgramEndToEnd, BackAnsweredNoChangesNothingAndYesReloadsFromThePhone) {
  StagedProgram program;
  ASSERT_TRUE(program.PutDemoPhone());
  RunningProgram run(program);
  ASSERT_TRUE(run.ready());
  ASSERT_TRUE(run.WaitLoaded());

  run.Command(kBack);
  HWND box = run.WaitBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(RunningProgram::BoxText(box), L"Are you sure to go back to reload the data from Android phone?");
  RunningProgram::Answer(box, kBoxNo);
  gui_test::PumpUntil([&] { return !::IsWindow(box); }, 10000);
  EXPECT_TRUE(ChildVisible(run.main(), kRecover));
  EXPECT_EQ(run.caption(1), L"Message (47)");

  run.Command(kBack);
  box = run.WaitBox();
  ASSERT_NE(box, nullptr);
  RunningProgram::Answer(box, kBoxYes);
  EXPECT_TRUE(gui_test::PumpUntil([&] { return !ChildVisible(run.main(), kRecover); }, 10000));
  EXPECT_EQ(run.caption(0), L"Contacts");
  ASSERT_TRUE(run.WaitLoaded()) << "the phone is read again";
  EXPECT_EQ(run.caption(0), L"Contacts (50)");
  EXPECT_EQ(run.caption(1), L"Message (47)");
  EXPECT_EQ(run.Close(), 0);
}

// A phone large enough that a scan and an export take long enough to be
// paused, stopped and closed in the middle.
class LargePhone : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    fs::create_directories(folder());
    bench::makePhoneContacts((folder() / "contacts2.db").string(), 20000);
    bench::makePhoneSms((folder() / "mmssms.db").string(), 20000, 2000);
  }
  static fs::path folder() { return L"C:\\large-phone"; }
  bool put(StagedProgram& program) const {
    return program.PutPhone(folder() / L"contacts2.db", folder() / L"mmssms.db");
  }
};

TEST_F(LargePhone, PauseHoldsTheScanContinueResumesAndStopEndsItWithTheCountsSoFar) {
  StagedProgram program;
  ASSERT_TRUE(put(program));
  RunningProgram run(program);
  ASSERT_TRUE(run.ready());
  ASSERT_TRUE(run.WaitVisible(kPause)) << "counting never ended";
  run.Command(kPause);
  ASSERT_TRUE(run.WaitVisible(kContinue, 10000));
  const int held = ProgressPosition(run.main());
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  if (ChildVisible(run.main(), kRecover)) GTEST_SKIP() << "the scan ended before Pause reached it";
  EXPECT_EQ(ProgressPosition(run.main()), held) << "a paused scan holds";
  EXPECT_LT(held, 100);

  run.Command(kContinue);
  ASSERT_TRUE(run.WaitVisible(kPause, 10000));
  EXPECT_TRUE(gui_test::PumpUntil([&] { return ProgressPosition(run.main()) > held; }, 20000)) << "resumed";
  run.Command(kStop);
  ASSERT_TRUE(run.WaitLoaded());
  const std::wstring contacts = run.caption(0);
  const std::wstring messages = run.caption(1);
  if (messages != L"Message") {
    // The stop came while the messages loaded: they show what they loaded.
    EXPECT_NE(messages.find(L"Message ("), std::wstring::npos);
  } else {
    EXPECT_NE(contacts.find(L"Contacts ("), std::wstring::npos) << "the contacts loaded so far";
    EXPECT_NE(contacts, L"Contacts (20000)");
  }
  EXPECT_FALSE(ChildVisible(run.main(), kPause));
  EXPECT_FALSE(ChildVisible(run.main(), kStop));
  EXPECT_EQ(run.Close(), 0);
}

TEST_F(LargePhone, ClosingDuringAScanOrAnExportEndsCleanly) {
  StagedProgram program;
  ASSERT_TRUE(put(program));
  {
    RunningProgram run(program);
    ASSERT_TRUE(run.ready());
    ASSERT_TRUE(run.WaitVisible(kPause)) << "the scan never began loading";
    EXPECT_EQ(run.Close(), 0) << "closed while scanning";
    EXPECT_TRUE(copiesGone());
    EXPECT_EQ(RunningProcessesNamed(kHelperName), 0);
  }
  {
    RunningProgram run(program, L"C:\\exports-closed");
    ASSERT_TRUE(run.ready());
    ASSERT_TRUE(run.WaitLoaded());
    run.Command(kRecover);
    ASSERT_TRUE(run.WaitVisible(kStop, 20000)) << "the export never started";
    EXPECT_EQ(run.Close(), 0) << "closed while exporting";
    EXPECT_TRUE(copiesGone());
  }
}

}  // namespace
}  // namespace program_test
