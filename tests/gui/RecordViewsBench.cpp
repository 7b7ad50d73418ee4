// Timings of the conversation view with a 20,000-message conversation:
// showing it, then scrolling it from top to bottom a page at a time. Not a
// test: disabled by default; `make bench-views` runs it under Wine.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "controls/GdiObjects.h"
#include "records/CMsgInfoBoard.h"
#include "tests/gui/RecordViewsSupport.h"

namespace {

double nowMs() {
  LARGE_INTEGER frequency{};
  LARGE_INTEGER count{};
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&count);
  return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string bodyOf(int i) {
  switch (i % 5) {
    case 0: return "Short " + std::to_string(i);
    case 1: return "A longer message that wraps over a few lines of the bubble, number " + std::to_string(i);
    case 2: return "Two lines\nnumber " + std::to_string(i);
    case 3: return "ok";
    default: return "See you at 7? Bring the charger for the laptop please, mine died. " + std::to_string(i);
  }
}

TEST(RecordViewsBench, DISABLED_ConversationOf20000Messages) {
  view_test::MainWindowStandIn parent(true);
  records_testing::RecordBuilder build;
  const auto& conversation = build.conversation(1);
  for (int i = 0; i < 20000; ++i) {
    build.message(1, "555", 0, i % 3 == 0 ? phone::kDirectionSent : phone::kDirectionReceived, bodyOf(i),
                  "2024-05-01 09:00");
  }
  const phone::SmsLists lists = view_test::SmsListsOf(build.records);
  records::CMsgInfoBoard view;
  ASSERT_TRUE(view.Create(parent.handle(), lists));
  ::UpdateWindow(parent.handle());

  const double showStart = nowMs();
  view.Send(records::kShowConversationMessage, 0, reinterpret_cast<LPARAM>(&conversation));
  const double showMs = nowMs() - showStart;

  double worstStep = 0;
  double totalSteps = 0;
  int steps = 0;
  for (;;) {
    const int before = view.scrollPosition();
    const double start = nowMs();
    view.Send(WM_VSCROLL, SB_PAGEDOWN);
    const double took = nowMs() - start;
    if (view.scrollPosition() == before) break;
    worstStep = std::max(worstStep, took);
    totalSteps += took;
    ++steps;
  }
  // The view's own drawing alone (no window update): a render of the
  // bottom page into a memory bitmap, as WM_PRINTCLIENT does it.
  double worstRender = 0;
  double totalRender = 0;
  {
    controls::WindowDC screen(view.m_hWnd);
    const RECT client = view.GetClientRect();
    controls::MemoryDC canvas(screen.dc(), client.right, client.bottom);
    for (int i = 0; i < 200; ++i) {
      const double start = nowMs();
      view.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
      const double took = nowMs() - start;
      worstRender = std::max(worstRender, took);
      totalRender += took;
    }
  }
  const RECT last = view.BubbleRectInClient(view.bubbles().size() - 1);
  EXPECT_LE(last.bottom, view.GetClientRect().bottom) << "the bottom was reached";
  std::printf("conversation of %zu messages: show %.1f ms; %d page steps to the bottom, mean %.2f ms, worst %.2f ms; "
              "drawing a page alone: mean %.2f ms, worst %.2f ms\n",
              view.bubbles().size(), showMs, steps, steps > 0 ? totalSteps / steps : 0.0, worstStep, totalRender / 200, worstRender);
}

}  // namespace
