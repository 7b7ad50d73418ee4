// The skinned message box and About box: button placement, the text
// layout, and real boxes run modally and ended by their buttons.

#include <gtest/gtest.h>

#include <string>

#include "controls/CAboutBox.h"
#include "controls/CMsgBox.h"
#include "controls/Pictures.h"
#include "controls/WebPages.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/gui/Screenshot.h"

// Rectangles in expectations, found by argument lookup; local to this file.
static bool operator==(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != FALSE; }
static std::ostream& operator<<(std::ostream& out, const RECT& r) {
  return out << '(' << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ')';
}

namespace {

using controls::CAboutBox;
using controls::CMsgBox;

constexpr SIZE kClient{420, 180};

SIZE sameSize(int) { return SIZE{80, 30}; }

TEST(MessageBoxLayout, OneButtonIsCentredAboveTheBottomEdge) {
  const auto places = CMsgBox::PlaceButtons(controls::kMsgBoxOk, kClient, sameSize);
  ASSERT_EQ(places.size(), 1u);
  EXPECT_EQ(places[0].id, IDC_MSG_OK);
  EXPECT_EQ(places[0].rect, (RECT{170, 135, 250, 165}));
  EXPECT_TRUE(CMsgBox::PlaceButtons(0, kClient, sameSize).empty());
}

TEST(MessageBoxLayout, YesAndNoSitLeftAndRightOfTheCentre40PixelsApart) {
  // Buttons of different widths: the gap, not the pair, is centred.
  const auto frameSize = [](int id) { return id == IDC_MSG_YES ? SIZE{90, 30} : SIZE{70, 26}; };
  const auto places = CMsgBox::PlaceButtons(controls::kMsgBoxYesNo, kClient, frameSize);

  ASSERT_EQ(places.size(), 2u);
  EXPECT_EQ(places[0].id, IDC_MSG_YES);
  EXPECT_EQ(places[1].id, IDC_MSG_NO);
  EXPECT_EQ(places[0].rect, (RECT{210 - 20 - 90, 180 - 15 - 30, 210 - 20, 180 - 15}));
  EXPECT_EQ(places[1].rect, (RECT{210 + 20, 180 - 15 - 26, 210 + 20 + 70, 180 - 15}));
}

// What a click on a box's button sends to the box.
void press(HWND box, int id) {
  ::SendMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, id)));
}

bool shown(HWND box, int id) { return ::IsWindowVisible(::GetDlgItem(box, id)) != FALSE; }

RECT rectInBox(HWND box, int id) { return fw::CWindow(::GetDlgItem(box, id)).GetRectInParent(); }

SIZE pictureSize(const wchar_t* name) {
  const controls::Picture picture = controls::LoadPicture(name);
  return SIZE{controls::PictureWidth(picture), controls::PictureHeight(picture)};
}

// With ZR_SCREENSHOT_DIR set, saves what the box shows on screen, to look at.
void saveScreenshot(HWND window, const std::wstring& name) {
  const std::wstring folder = gui_test::ScreenshotFolder();
  if (folder.empty()) return;
  gui_test::PumpUntil([] { return false; }, 300);
  EXPECT_TRUE(gui_test::SaveWindowPng(window, folder + L"\\" + name + L".png")) << "saving a screenshot";
}

class MessageBoxTest : public ::testing::Test {
 protected:
  // The boxes' owner; hidden, as a shown top-level window costs Wine seconds.
  void SetUp() override {
    owner_ = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 100, 100, 800, 600, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override { ::DestroyWindow(owner_); }

  HWND owner_ = nullptr;
};

TEST_F(MessageBoxTest, YesNoBoxShowsItsButtonsAndReturnsYes) {
  const SIZE background = pictureSize(L"msgbox.png");
  gui_test::WhenDialogAppears(owner_, [&](HWND box) {
    const RECT client = fw::CWindow(box).GetClientRect();
    EXPECT_EQ(client.right, background.cx) << "the box takes its background's size, all client area";
    EXPECT_EQ(client.bottom, background.cy);
    EXPECT_TRUE(shown(box, IDC_MSG_CLOSE));
    EXPECT_TRUE(shown(box, IDC_MSG_YES));
    EXPECT_TRUE(shown(box, IDC_MSG_NO));
    EXPECT_FALSE(shown(box, IDC_MSG_OK));
    EXPECT_FALSE(shown(box, IDC_MSG_CANCEL));
    EXPECT_FALSE(shown(box, IDC_MSG_TEXT));
    const RECT yes = rectInBox(box, IDC_MSG_YES);
    const RECT no = rectInBox(box, IDC_MSG_NO);
    EXPECT_EQ(yes.right, client.right / 2 - 20);
    EXPECT_EQ(no.left, client.right / 2 + 20);
    EXPECT_EQ(yes.bottom, client.bottom - 15);
    const RECT close = rectInBox(box, IDC_MSG_CLOSE);
    EXPECT_EQ(close.right, client.right - 5);
    EXPECT_EQ(close.top, 5);
    saveScreenshot(box, L"msgbox-yes-no");
    press(box, IDC_MSG_YES);
  });
  EXPECT_EQ(CMsgBox::Show(controls::kMsgBoxWarn, controls::kMsgBoxYesNo,
                          L"Are you sure to go back to reload the data from Android phone?", owner_),
            IDC_MSG_YES);
}

TEST_F(MessageBoxTest, CloseButtonReturns1010) {
  gui_test::WhenDialogAppears(owner_, [](HWND box) { press(box, IDC_MSG_CLOSE); });
  EXPECT_EQ(CMsgBox::Show(controls::kMsgBoxInfo, controls::kMsgBoxYesNo,
                          L"New version found,are you sure to Update?", owner_),
            1010);
}

TEST_F(MessageBoxTest, OkBoxWithShortTextCentresOkAndKeepsTheTextOnOneLine) {
  CMsgBox box(controls::kMsgBoxRight, controls::kMsgBoxOk, L"Recovering finished, 3 files.");
  gui_test::WhenDialogAppears(owner_, [&](HWND window) {
    const RECT client = fw::CWindow(window).GetClientRect();
    EXPECT_TRUE(shown(window, IDC_MSG_OK));
    EXPECT_FALSE(shown(window, IDC_MSG_YES));
    EXPECT_FALSE(shown(window, IDC_MSG_NO));
    const RECT ok = rectInBox(window, IDC_MSG_OK);
    EXPECT_NEAR(ok.left, client.right - ok.right, 1) << "a single button is centred";
    EXPECT_EQ(box.lineCount(), 1);
    EXPECT_EQ(box.textRect().top, 0) << "one line is centred in the whole box";
    EXPECT_EQ(box.textRect().bottom, client.bottom);
    saveScreenshot(window, L"msgbox-one-line");
    press(window, IDC_MSG_OK);
  });
  EXPECT_EQ(box.DoModal(owner_), 1011);
}

TEST_F(MessageBoxTest, LongTextWrapsIntoACentredBlockInsideTheBox) {
  const std::wstring text =
      L"The phone did not answer in time. Check that USB debugging is enabled, that the phone is rooted and "
      L"that this computer is allowed to debug it, then press Refresh to try again.";
  CMsgBox box(controls::kMsgBoxError, controls::kMsgBoxOk, text);
  gui_test::WhenDialogAppears(owner_, [&](HWND window) {
    const RECT client = fw::CWindow(window).GetClientRect();
    const RECT& rect = box.textRect();
    EXPECT_GE(box.lineCount(), 3);
    EXPECT_NEAR(rect.top, client.bottom - rect.bottom, 1) << "the block of lines is centred";
    EXPECT_GE(rect.top, 0) << "every line lies inside the box";
    EXPECT_EQ(rect.left, 70);
    EXPECT_EQ(rect.right, client.right - 10);
    saveScreenshot(window, L"msgbox-long-text");
    press(window, IDC_MSG_OK);
  });
  EXPECT_EQ(box.DoModal(owner_), IDC_MSG_OK);
}

TEST_F(MessageBoxTest, WithoutItsPicturesTheBoxIsEmptyButStillWorks) {
  const std::wstring folder = controls::ImageFolder();
  controls::SetImageFolder(L"Z:\\nonexistent\\zephyrloom-image\\");
  gui_test::WhenDialogAppears(owner_, [](HWND box) {
    const RECT client = fw::CWindow(box).GetClientRect();
    EXPECT_EQ(client.right, 0);
    EXPECT_EQ(client.bottom, 0);
    gui_test::PaintedPixel(box, 0, 0);  // paints without pictures
    press(box, IDC_MSG_CLOSE);
  });
  const int result = CMsgBox::Show(controls::kMsgBoxWarn, controls::kMsgBoxYesNo, L"No skin", owner_);
  controls::SetImageFolder(folder);
  EXPECT_EQ(result, IDC_MSG_CLOSE);
}

class AboutBoxTest : public MessageBoxTest {};

TEST_F(AboutBoxTest, OpensWithTheHomePageLinkAndClosesWithEitherButton) {
  for (const int button : {IDC_ABOUT_CLOSE, IDC_ABOUT_OK}) {
    CAboutBox about(owner_);
    gui_test::WhenDialogAppears(owner_, [&](HWND box) {
      const controls::CHyperLink& link = about.homePageLink();
      EXPECT_EQ(link.label(), std::wstring(L"Homepage:") + controls::kVendorSite);
      EXPECT_EQ(link.target(), controls::kVendorSite);
      EXPECT_TRUE(::IsWindowVisible(link.m_hWnd));
      const RECT rect = link.GetRectInParent();
      EXPECT_EQ(rect.left, 40);
      EXPECT_EQ(rect.top, 270);
      EXPECT_EQ(rect.right - rect.left, link.GetIdealSize().cx);
      EXPECT_GT(rect.right - rect.left, 0);
      EXPECT_TRUE(shown(box, IDC_ABOUT_CLOSE));
      EXPECT_TRUE(shown(box, IDC_ABOUT_OK));
      LOGBRUSH linkBackground{};
      ::GetObjectW(reinterpret_cast<HGDIOBJ>(::SendMessageW(box, WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(link.m_hWnd))),
                   sizeof linkBackground, &linkBackground);
      EXPECT_EQ(linkBackground.lbColor, RGB(238, 244, 248));
      if (button == IDC_ABOUT_OK) saveScreenshot(box, L"aboutbox");
      press(box, button);
    });
    EXPECT_EQ(about.Run(), button);
  }
}

}  // namespace
