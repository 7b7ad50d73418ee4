// The window framework's message maps: a handler for a range of messages,
// and colour messages reflected to a child that may leave them to its
// parent.

#include <gtest/gtest.h>

#include "controls/GdiObjects.h"
#include "framework/Window.h"

namespace {

// A child that answers the reflected colour message with its own brush,
// or with 0 when it has no opinion.
class ColourChild : public fw::CWindowImpl<ColourChild> {
 public:
  HBRUSH brush = nullptr;
  int reflected = 0;

  BEGIN_MSG_MAP(ColourChild)
    MESSAGE_HANDLER(fw::OCM_CTLCOLORSTATIC, OnReflectedColour)
  END_MSG_MAP()

 private:
  LRESULT OnReflectedColour(UINT, WPARAM, LPARAM, BOOL&) {
    ++reflected;
    return reinterpret_cast<LRESULT>(brush);
  }
};

// A parent that reflects first and has its own colour and a range handler.
class RangeParent : public fw::CWindowImpl<RangeParent> {
 public:
  HBRUSH brush = nullptr;
  int ownColour = 0;
  UINT lastInRange = 0;

  static constexpr UINT kFirst = WM_USER + 10;
  static constexpr UINT kLast = WM_USER + 20;

  BEGIN_MSG_MAP(RangeParent)
    MESSAGE_RANGE_HANDLER(kFirst, kLast, OnRange)
    REFLECT_NOTIFICATIONS()
    MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnColour)
  END_MSG_MAP()

 private:
  LRESULT OnRange(UINT msg, WPARAM, LPARAM, BOOL&) {
    lastInRange = msg;
    return 7;
  }
  LRESULT OnColour(UINT, WPARAM, LPARAM, BOOL&) {
    ++ownColour;
    return reinterpret_cast<LRESULT>(brush);
  }
};

class MessageMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(parent_.Create(L"STATIC", nullptr, RECT{0, 0, 200, 100}, L"parent", WS_POPUP, 0, 0), nullptr);
    ASSERT_NE(child_.Create(L"STATIC", parent_.m_hWnd, RECT{0, 0, 50, 20}, L"child", WS_CHILD | WS_VISIBLE, 0, 5),
              nullptr);
    parent_.brush = parentBrush_.get();
  }
  void TearDown() override { ::DestroyWindow(parent_.m_hWnd); }

  LRESULT AskColour() {
    return parent_.Send(WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(child_.m_hWnd));
  }

  controls::UniqueBrush parentBrush_{::CreateSolidBrush(RGB(1, 2, 3))};
  controls::UniqueBrush childBrush_{::CreateSolidBrush(RGB(4, 5, 6))};
  RangeParent parent_;
  ColourChild child_;
};

TEST_F(MessageMapTest, RangeHandlerTakesBothEndsAndNothingOutside) {
  EXPECT_EQ(parent_.Send(RangeParent::kFirst), 7);
  EXPECT_EQ(parent_.lastInRange, RangeParent::kFirst);
  EXPECT_EQ(parent_.Send(RangeParent::kLast), 7);
  EXPECT_EQ(parent_.lastInRange, RangeParent::kLast);
  parent_.Send(RangeParent::kLast + 1);
  parent_.Send(RangeParent::kFirst - 1);
  EXPECT_EQ(parent_.lastInRange, RangeParent::kLast);
}

TEST_F(MessageMapTest, AColourTheChildLeavesAtZeroGoesToTheParent) {
  child_.brush = nullptr;
  EXPECT_EQ(AskColour(), reinterpret_cast<LRESULT>(parentBrush_.get()));
  EXPECT_EQ(child_.reflected, 1);
  EXPECT_EQ(parent_.ownColour, 1);

  child_.brush = childBrush_.get();
  EXPECT_EQ(AskColour(), reinterpret_cast<LRESULT>(childBrush_.get()));
  EXPECT_EQ(child_.reflected, 2);
  EXPECT_EQ(parent_.ownColour, 1) << "a brush from the child ends the message";
}

}  // namespace
