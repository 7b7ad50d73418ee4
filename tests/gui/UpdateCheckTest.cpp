// The update check of the real main window, against a server that this
// test program runs on 127.0.0.1: the prompt appears once another version is
// offered, and answers of every other kind show nothing; the window keeps
// answering while the check runs, and closes promptly in the middle of it
// without leaving the worker anything to break.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/CMainDlg.h"
#include "app/UpdateCheckWorker.h"
#include "tests/app/LocalHttpServer.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

using test_http::LocalHttpServer;
using test_http::UpdateAddressVariable;

constexpr const wchar_t* kPromptText = L"New version found,are you sure to Update?";
constexpr const wchar_t* kNoUpdaterText = L"The updater SelfRefresh.exe was not found beside the program.";
constexpr int kCheckEndsWithinMs = 20000;

std::string describing(const std::string& newest) {
  return R"({"PhoneContactsRescue":[{"Version":"2.1.0.0","Nversion":")" + newest +
         R"(","Update_URL":"http://www.zephyrloom.example/download/zephyrloom.exe"}]})";
}

// A skinned box as a watcher found it.
struct SeenBox {
  HWND handle = nullptr;
  std::wstring text;
  bool yesNo = false;  // Yes and No shown, OK hidden
  bool ok = false;     // OK alone
};

// Records every box that appears over `owner` (any owner, for null) and
// answers it with the button `answer` names (0: not yet, asked again later).
class BoxWatch {
 public:
  using Answer = std::function<int(const SeenBox&)>;

  BoxWatch(HWND owner, Answer answer) : owner_(owner), answer_(std::move(answer)) {
    active_ = this;
    timer_ = ::SetTimer(nullptr, 0, 30, &BoxWatch::Tick);
  }
  ~BoxWatch() {
    ::KillTimer(nullptr, timer_);
    active_ = nullptr;
  }
  BoxWatch(const BoxWatch&) = delete;
  BoxWatch& operator=(const BoxWatch&) = delete;

  const std::vector<SeenBox>& boxes() const { return boxes_; }

  // Answers every box with No.
  static int No(const SeenBox&) { return IDC_MSG_NO; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (active_ != nullptr) active_->Look();
  }

  static BOOL CALLBACK Visit(HWND window, LPARAM context) {
    auto* self = reinterpret_cast<BoxWatch*>(context);
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    const bool owned = self->owner_ == nullptr || ::GetWindow(window, GW_OWNER) == self->owner_;
    if (lstrcmpW(name, L"#32770") == 0 && owned && ::IsWindowVisible(window) &&
        ::GetDlgItem(window, IDC_MSG_TEXT) != nullptr) {
      self->found_ = window;
      return FALSE;
    }
    return TRUE;
  }

  void Look() {
    found_ = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &BoxWatch::Visit, reinterpret_cast<LPARAM>(this));
    if (found_ == nullptr) return;
    if (boxes_.empty() || boxes_.back().handle != found_) {
      boxes_.push_back(Describe(found_));
      answered_ = false;
    } else if (answered_) {
      return;  // answered, not gone yet
    }
    const int id = answer_(boxes_.back());
    if (id == 0) return;
    answered_ = true;
    ::SendMessageW(found_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(found_, id)));
  }

  static SeenBox Describe(HWND box) {
    SeenBox seen;
    seen.handle = box;
    wchar_t text[512] = {};
    ::GetDlgItemTextW(box, IDC_MSG_TEXT, text, 512);
    seen.text = text;
    const auto shown = [box](int id) { return ::IsWindowVisible(::GetDlgItem(box, id)) != FALSE; };
    seen.yesNo = shown(IDC_MSG_YES) && shown(IDC_MSG_NO) && !shown(IDC_MSG_OK);
    seen.ok = shown(IDC_MSG_OK) && !shown(IDC_MSG_YES) && !shown(IDC_MSG_NO);
    return seen;
  }

  static BoxWatch* active_;
  HWND owner_;
  Answer answer_;
  UINT_PTR timer_ = 0;
  HWND found_ = nullptr;
  bool answered_ = false;
  std::vector<SeenBox> boxes_;
};

BoxWatch* BoxWatch::active_ = nullptr;

// Runs the main window; `during` runs once it shows, then it is closed.
void runMainWindow(const std::function<void(CMainDlg&, HWND)>& during) {
  CMainDlg window;
  gui_test::WhenDialogAppears(nullptr, [&](HWND handle) {
    during(window, handle);
    ::PostMessageW(handle, WM_CLOSE, 0, 0);
  });
  window.DoModal(nullptr);
}

bool checkEnds(const CMainDlg& window) {
  return gui_test::PumpUntil([&] { return window.m_updateCheck.Finished(); }, kCheckEndsWithinMs);
}

// A server with another version to offer that holds its answer back until
// the test releases it.
class UpdateCheckSlowServer : public ::testing::Test {
 protected:
  UpdateCheckSlowServer() : server_(describing("3.0.0.0")), address_(server_.Url()) { server_.Hold(); }

  // The worker has asked and now waits for the answer.
  bool RequestArrives() {
    return gui_test::PumpUntil([&] { return server_.RequestsReceived() == 1; }, kCheckEndsWithinMs);
  }

  LocalHttpServer server_;
  const UpdateAddressVariable address_;
};

}  // namespace

TEST(UpdateCheckWindow, AnOlderVersionAsksOnceASecondAfterOpeningAndNoDoesNothingFurther) {
  LocalHttpServer server(describing("2.0.0.0"));
  ASSERT_TRUE(server.Listening());
  const UpdateAddressVariable address(server.Url());
  std::vector<SeenBox> boxes;
  const DWORD opened = ::GetTickCount();
  runMainWindow([&](CMainDlg& window, HWND handle) {
    const BoxWatch watch(handle, BoxWatch::No);
    ASSERT_TRUE(checkEnds(window));
    gui_test::PumpPending();
    boxes = watch.boxes();
    EXPECT_TRUE(::IsWindowVisible(handle));
    EXPECT_TRUE(::IsWindowEnabled(handle)) << "the prompt gave the window back";
    EXPECT_EQ(window.m_nPage, CMainDlg::kConnectPage);
  });
  EXPECT_EQ(server.RequestsReceived(), 1) << "one check per run";
  EXPECT_GE(server.FirstRequestTick() - opened, 1000u) << "timer 3 starts the check after a second";
  ASSERT_EQ(boxes.size(), 1u) << "the prompt, and nothing after No";
  EXPECT_EQ(boxes[0].text, kPromptText);
  EXPECT_TRUE(boxes[0].yesNo);
}

TEST(UpdateCheckWindow, YesStartsTheUpdaterAsTheUpdateMenuEntryDoes) {
  LocalHttpServer server(describing("9.0.0.0"));
  const UpdateAddressVariable address(server.Url());
  std::vector<SeenBox> boxes;
  runMainWindow([&](CMainDlg& window, HWND handle) {
    const BoxWatch watch(handle, [](const SeenBox& box) { return box.yesNo ? IDC_MSG_YES : IDC_MSG_OK; });
    ASSERT_TRUE(checkEnds(window));
    gui_test::PumpPending();
    boxes = watch.boxes();
  });
  // No updater lies beside the test program: the menu entry's notice.
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, kPromptText);
  EXPECT_EQ(boxes[1].text, kNoUpdaterText);
  EXPECT_TRUE(boxes[1].ok);
}

namespace {

struct SilentAnswer {
  const char* name;
  std::string body;
  int status;
  bool serverDown;
};

class UpdateCheckSilence : public ::testing::TestWithParam<SilentAnswer> {};

std::string lateEntry() {
  return R"({"Padding":")" + std::string(1100, ' ') + R"(","PhoneContactsRescue":[{"Nversion":"3.0.0.0"}]})";
}

}  // namespace

TEST_P(UpdateCheckSilence, NothingIsShown) {
  const SilentAnswer& answer = GetParam();
  LocalHttpServer server(answer.body, answer.status);
  const UpdateAddressVariable address(answer.serverDown ? LocalHttpServer::RefusedUrl() : server.Url());
  std::vector<SeenBox> boxes;
  runMainWindow([&](CMainDlg& window, HWND handle) {
    const BoxWatch watch(handle, BoxWatch::No);
    ASSERT_TRUE(checkEnds(window));
    gui_test::PumpPending();
    boxes = watch.boxes();
  });
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(server.RequestsReceived(), answer.serverDown ? 0 : 1) << "the check did ask";
}

INSTANTIATE_TEST_SUITE_P(
    Answers, UpdateCheckSilence,
    ::testing::Values(SilentAnswer{"SameVersion", describing("2.1.0.0"), 200, false},
                      SilentAnswer{"EmptyVersion", describing(""), 200, false},
                      SilentAnswer{"EmptyAnswer", "", 200, false},
                      SilentAnswer{"NotJson", "<html><body>Update list moved</body></html>", 200, false},
                      SilentAnswer{"EntryAfterThe1024thByte", lateEntry(), 200, false},
                      SilentAnswer{"VersionAsANumber", R"({"PhoneContactsRescue":[{"Nversion":3}]})", 200, false},
                      SilentAnswer{"ErrorStatus", describing("3.0.0.0"), 404, false},
                      SilentAnswer{"ServerDown", describing("3.0.0.0"), 200, true}),
    [](const ::testing::TestParamInfo<SilentAnswer>& param) { return std::string(param.param.name); });

TEST_F(UpdateCheckSlowServer, TheWindowKeepsAnsweringMessages) {
  std::vector<SeenBox> boxes;
  runMainWindow([&](CMainDlg& window, HWND handle) {
    const BoxWatch watch(handle, BoxWatch::No);
    ASSERT_TRUE(RequestArrives());
    // The worker waits on the server; the window thread does not.
    DWORD_PTR result = 0;
    LRESULT answered = 0;
    DWORD took = 0;
    std::atomic<bool> asked{false};
    std::thread asker([&] {
      const DWORD start = ::GetTickCount();
      answered = ::SendMessageTimeoutW(handle, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result);
      took = ::GetTickCount() - start;
      asked = true;
    });
    const bool done = gui_test::PumpUntil([&] { return asked.load(); }, 3000);
    asker.join();
    EXPECT_TRUE(done);
    EXPECT_NE(answered, 0) << "the window answered while the check waited";
    EXPECT_LT(took, 500u);
    EXPECT_FALSE(window.m_updateCheck.Finished());
    EXPECT_TRUE(watch.boxes().empty());
    server_.Release();
    ASSERT_TRUE(checkEnds(window));
    gui_test::PumpPending();
    boxes = watch.boxes();
  });
  ASSERT_EQ(boxes.size(), 1u) << "the slow answer still asks";
  EXPECT_EQ(boxes[0].text, kPromptText);
}

TEST_F(UpdateCheckSlowServer, StoppingWaitsABoundedTimeAndNothingIsAskedAfter) {
  std::vector<SeenBox> boxes;
  runMainWindow([&](CMainDlg& window, HWND handle) {
    const BoxWatch watch(handle, BoxWatch::No);
    ASSERT_TRUE(RequestArrives());
    const DWORD start = ::GetTickCount();
    window.StopUpdateCheck();
    const DWORD stopping = ::GetTickCount() - start;
    EXPECT_GE(stopping + 100, app::kUpdateStopWaitMs) << "the worker, waiting on the server, was waited for";
    EXPECT_LT(stopping, app::kUpdateStopWaitMs + 1000) << "but not for longer";
    // The window is still open when the worker gets another version to offer.
    server_.Release();
    EXPECT_TRUE(checkEnds(window));
    gui_test::PumpPending();
    boxes = watch.boxes();
  });
  EXPECT_EQ(server_.Answered(), 1) << "the worker read its answer";
  EXPECT_TRUE(boxes.empty()) << "and asked nothing";
}

TEST_F(UpdateCheckSlowServer, ClosingLeavesTheWorkerNothingToBreak) {
  auto window = std::make_unique<CMainDlg>();
  DWORD closed = 0;
  gui_test::WhenDialogAppears(nullptr, [&](HWND handle) {
    ASSERT_TRUE(RequestArrives());
    closed = ::GetTickCount();
    ::PostMessageW(handle, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(window->DoModal(nullptr), 0);
  ASSERT_NE(closed, 0u);
  // Hiding a shown window alone takes Wine up to two seconds under Xvfb.
  EXPECT_LT(::GetTickCount() - closed, app::kUpdateStopWaitMs + 4000) << "closing waits a bounded time";
  window.reset();

  // The worker outlives the window and its object: now it gets another
  // version to offer.
  const BoxWatch watch(nullptr, BoxWatch::No);
  EXPECT_EQ(app::UpdateChecksRunning(), 1);
  server_.Release();
  EXPECT_TRUE(gui_test::PumpUntil([] { return app::UpdateChecksRunning() == 0; }, kCheckEndsWithinMs));
  gui_test::PumpPending();
  EXPECT_EQ(server_.Answered(), 1) << "the worker read its answer";
  EXPECT_TRUE(watch.boxes().empty()) << "and showed nothing";
}

TEST(UpdateCheckWindow, StoppingWhileThePromptIsOpenDoesNotWaitAndYesThenStartsNothing) {
  LocalHttpServer server(describing("3.0.0.0"));
  const UpdateAddressVariable address(server.Url());
  std::vector<SeenBox> boxes;
  DWORD stopping = 0;
  bool stopped = false;
  runMainWindow([&](CMainDlg& window, HWND handle) {
    const BoxWatch watch(handle, [&](const SeenBox&) {
      if (!stopped) {
        // The worker waits for this prompt to be answered.
        const DWORD start = ::GetTickCount();
        window.StopUpdateCheck();
        stopping = ::GetTickCount() - start;
        stopped = true;
      }
      return IDC_MSG_YES;
    });
    ASSERT_TRUE(checkEnds(window));
    gui_test::PumpPending();
    boxes = watch.boxes();
  });
  ASSERT_TRUE(stopped);
  EXPECT_LT(stopping, 500u) << "stopping does not wait for the worker that waits for the prompt";
  ASSERT_EQ(boxes.size(), 1u) << "Yes after the stop starts no updater (and says nothing about one)";
  EXPECT_EQ(boxes[0].text, kPromptText);
}

TEST(UpdateCheckWindow, ClosingWhileThePromptIsOpenEndsTheWindowOnceItIsAnswered) {
  LocalHttpServer server(describing("3.0.0.0"));
  const UpdateAddressVariable address(server.Url());
  CMainDlg window;
  HWND main = nullptr;
  bool closed = false;
  std::unique_ptr<BoxWatch> watch;
  gui_test::WhenDialogAppears(nullptr, [&](HWND handle) {
    main = handle;
    watch = std::make_unique<BoxWatch>(handle, [&](const SeenBox&) {
      if (!closed) {
        closed = true;
        ::PostMessageW(main, WM_CLOSE, 0, 0);
        return 0;
      }
      // Closing hides the window; then Yes.
      return ::IsWindowVisible(main) ? 0 : IDC_MSG_YES;
    });
  });
  EXPECT_EQ(window.DoModal(nullptr), 0);
  EXPECT_TRUE(gui_test::PumpUntil([] { return app::UpdateChecksRunning() == 0; }, kCheckEndsWithinMs));
  gui_test::PumpPending();
  ASSERT_TRUE(watch != nullptr);
  const std::vector<SeenBox> boxes = watch->boxes();
  watch.reset();
  ASSERT_EQ(boxes.size(), 1u) << "Yes after the close starts no updater";
  EXPECT_EQ(boxes[0].text, kPromptText);
}

TEST(UpdateCheckWindow, TurnedOffNoCheckRuns) {
  LocalHttpServer server(describing("3.0.0.0"));
  const UpdateAddressVariable off(L"off");
  runMainWindow([&](CMainDlg& window, HWND) {
    // Timer 3 has fired once the window has been open for over a second.
    const DWORD start = ::GetTickCount();
    gui_test::PumpUntil([&] { return ::GetTickCount() - start > 1500; }, 3000);
    EXPECT_FALSE(window.m_updateCheck.MayPrompt());
    EXPECT_FALSE(window.m_updateCheck.Finished());
  });
  EXPECT_EQ(server.RequestsReceived(), 0);
  EXPECT_EQ(app::UpdateChecksRunning(), 0);
}

TEST(UpdateCheckWindow, StoppedWithinTheFirstSecondNoCheckRuns) {
  LocalHttpServer server(describing("3.0.0.0"));
  const UpdateAddressVariable address(server.Url());
  runMainWindow([&](CMainDlg& window, HWND handle) {
    window.StopUpdateCheck();
    const DWORD start = ::GetTickCount();
    gui_test::PumpUntil([&] { return ::GetTickCount() - start > 1500; }, 3000);
    EXPECT_FALSE(window.m_updateCheck.Start(handle, window.m_strVersion, app::UpdateSourceOfProcess()))
        << "a stopped check does not start again";
  });
  EXPECT_EQ(server.RequestsReceived(), 0);
  EXPECT_EQ(app::UpdateChecksRunning(), 0);
}
