// The skinned controls and the main window frame, as real windows.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/CMainDlg.h"
#include "tests/gui/DemoPhoneLoader.h"
#include "controls/CAnimateImg.h"
#include "controls/CImgButton.h"
#include "controls/DrawingHelpers.h"
#include "controls/GdiObjects.h"
#include "controls/Pictures.h"
#include "controls/TkFontPool.h"
#include "tests/gui/GuiTestSupport.h"

using controls::CImgButton;

namespace {

// Frame colours of the test strip: normal, hover, pressed, disabled.
const Gdiplus::Color kFrameColours[4] = {Gdiplus::Color(255, 200, 0, 0), Gdiplus::Color(255, 0, 200, 0),
                                         Gdiplus::Color(255, 0, 0, 200), Gdiplus::Color(255, 90, 90, 90)};

// A folder of test pictures that stands in for the image folder.
class TestPictures {
 public:
  TestPictures() : previous_(controls::ImageFolder()) {
    folder_ = std::filesystem::temp_directory_path() / ("zr-pictures-" + std::to_string(::GetCurrentProcessId()));
    std::filesystem::create_directories(folder_);
    controls::SetImageFolder(folder_.wstring() + L"\\");
  }
  ~TestPictures() {
    controls::SetImageFolder(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // A strip of `frames` solid frames of width x height each.
  void MakeStrip(const std::wstring& name, int frames, int width, int height) {
    Gdiplus::Bitmap strip(frames * width, height, PixelFormat32bppARGB);
    Gdiplus::Graphics graphics(&strip);
    for (int k = 0; k < frames; ++k) {
      Gdiplus::SolidBrush brush(kFrameColours[k % 4]);
      graphics.FillRectangle(&brush, k * width, 0, width, height);
    }
    CLSID png{};
    ASSERT_TRUE(pngClsid(png));
    ASSERT_EQ(strip.Save((folder_ / name).wstring().c_str(), &png, nullptr), Gdiplus::Ok);
  }

 private:
  static bool pngClsid(CLSID& clsid) {
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<std::uint8_t> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, codecs);
    for (UINT k = 0; k < count; ++k) {
      if (lstrcmpW(codecs[k].MimeType, L"image/png") == 0) {
        clsid = codecs[k].Clsid;
        return true;
      }
    }
    return false;
  }

  std::filesystem::path folder_;
  std::wstring previous_;
};

// A plain top-level parent with one push button, for controls under test.
class ParentWindow {
 public:
  ParentWindow(int width, int height) {
    window_ = ::CreateWindowExW(0, L"STATIC", L"parent", WS_POPUP | WS_VISIBLE, 50, 50, width, height, nullptr,
                                nullptr, ::GetModuleHandleW(nullptr), nullptr);
    button_ = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 10, 10, window_,
                                reinterpret_cast<HMENU>(1000), ::GetModuleHandleW(nullptr), nullptr);
    // Reflect owner drawing to the button, as the skinned dialogs do.
    ::SetWindowSubclass(window_, &ParentWindow::Reflect, 1, 0);
  }
  ~ParentWindow() { ::DestroyWindow(window_); }
  HWND window() const { return window_; }
  HWND button() const { return button_; }

 private:
  static LRESULT CALLBACK Reflect(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    BOOL handled = TRUE;
    if (msg == WM_DRAWITEM) {
      const LRESULT result = fw::ReflectNotifications(window, msg, wParam, lParam, handled);
      if (handled) return result;
    }
    return ::DefSubclassProc(window, msg, wParam, lParam);
  }

  HWND window_;
  HWND button_;
};

bool sameColour(COLORREF pixel, const Gdiplus::Color& colour) {
  return GetRValue(pixel) == colour.GetR() && GetGValue(pixel) == colour.GetG() && GetBValue(pixel) == colour.GetB();
}

}  // namespace

TEST(ImgButton, NegativeCoordinatesCountFromTheFarEdges) {
  const RECT parent{0, 0, 984, 674};
  EXPECT_EQ(CImgButton::PlaceInParent(-8, 5, 40, 20, parent).x, 936);
  EXPECT_EQ(CImgButton::PlaceInParent(-8, 5, 40, 20, parent).y, 5);
  EXPECT_EQ(CImgButton::PlaceInParent(20, -20, 100, 34, parent).y, 674 - 20 - 34);
  EXPECT_EQ(CImgButton::PlaceInParent(20, -20, 100, 34, parent).x, 20);
}

TEST(ImgButton, AttachPlacesAndSizesFromTheStrip) {
  TestPictures pictures;
  pictures.MakeStrip(L"strip.png", 4, 40, 24);
  ParentWindow parent(984, 300);
  CImgButton button;
  ASSERT_EQ(button.Attach(parent.button(), L"strip.png", -8, 5, 4), 1);
  EXPECT_EQ(button.frameWidth(), 40);
  EXPECT_EQ(button.frameHeight(), 24);
  const RECT placed = button.GetRectInParent();
  EXPECT_EQ(placed.left, 936);
  EXPECT_EQ(placed.top, 5);
  EXPECT_EQ(placed.right - placed.left, 40);
  EXPECT_EQ(::GetWindowLongPtrW(parent.button(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_EQ(button.Attach(nullptr, L"strip.png", 0, 0, 4), 0);
}

TEST(ImgButton, DrawsTheFrameOfItsState) {
  TestPictures pictures;
  pictures.MakeStrip(L"strip.png", 4, 40, 24);
  ParentWindow parent(200, 100);
  CImgButton button;
  ASSERT_EQ(button.Attach(parent.button(), L"strip.png", 10, 10, 4), 1);
  EXPECT_EQ(button.FrameFor(0), controls::kButtonNormal);
  EXPECT_EQ(button.FrameFor(ODS_SELECTED), controls::kButtonPressed);
  ::UpdateWindow(parent.window());
  gui_test::PumpPending();
  EXPECT_TRUE(sameColour(gui_test::PixelOf(parent.button(), 20, 12), kFrameColours[0]));
  // Pressed: the third frame of the strip.
  ::SendMessageW(parent.button(), BM_SETSTATE, TRUE, 0);
  gui_test::PumpPending();
  EXPECT_TRUE(sameColour(gui_test::PixelOf(parent.button(), 20, 12), kFrameColours[2]));
  ::SendMessageW(parent.button(), BM_SETSTATE, FALSE, 0);
  gui_test::PumpPending();
  EXPECT_TRUE(sameColour(gui_test::PixelOf(parent.button(), 20, 12), kFrameColours[0]));
}

TEST(ImgButton, MissingStripGivesAnEmptyButton) {
  TestPictures pictures;
  ParentWindow parent(200, 100);
  CImgButton button;
  ASSERT_EQ(button.Attach(parent.button(), L"missing.png", 10, 10, 4), 1);
  EXPECT_EQ(button.frameWidth(), 0);
  gui_test::PumpPending();
}

TEST(AnimateImg, StepsThroughItsFramesWhileRunning) {
  TestPictures pictures;
  pictures.MakeStrip(L"busy.png", 8, 16, 16);
  ParentWindow parent(200, 100);
  controls::CAnimateImg animation(20, 100);
  ASSERT_TRUE(animation.LoadStrip(L"busy.png"));
  animation.SetFrames();
  ASSERT_TRUE(animation.SubclassWindow(parent.button()));
  animation.SetPos(5, 6, SWP_SHOWWINDOW);
  EXPECT_EQ(animation.GetRectInParent().right - animation.GetRectInParent().left, 16);
  animation.Start();
  EXPECT_TRUE(animation.running());
  EXPECT_TRUE(gui_test::PumpUntil([&] { return animation.currentFrame() >= 2; }));
  animation.Stop();
  const int stoppedAt = animation.currentFrame();
  gui_test::PumpUntil([] { return false; }, 100);
  EXPECT_EQ(animation.currentFrame(), stoppedAt);
}

TEST(FontPool, SameKeySameFontAndBoldBit) {
  const HFONT first = controls::TkFontPool::GetFont(0x200);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(controls::TkFontPool::GetFont(0x200), first);
  const HFONT bold = controls::TkFontPool::GetFont(0x204);
  ASSERT_NE(bold, nullptr);
  EXPECT_NE(bold, first);
  LOGFONTW description{};
  ::GetObjectW(bold, sizeof description, &description);
  EXPECT_EQ(description.lfWeight, FW_BOLD);
  EXPECT_EQ(description.lfHeight, -13);
  EXPECT_STREQ(description.lfFaceName, L"Tahoma");
  ::GetObjectW(controls::TkFontPool::GetFont(0x100), sizeof description, &description);
  EXPECT_EQ(description.lfHeight, -12);
  EXPECT_EQ(description.lfWeight, FW_NORMAL);
}

TEST(DrawingHelpers, FontsAreNewAndSubrectOfNothingIsEmpty) {
  controls::UniqueFont first(controls::get_font(L"Arial", 16, 400));
  controls::UniqueFont second(controls::get_font(L"Arial", 16, 400));
  ASSERT_NE(first.get(), nullptr);
  EXPECT_NE(first.get(), second.get());
  const RECT band = controls::calc_subrect(RECT{0, 0, 200, 200}, 0, 0);
  EXPECT_LT(band.bottom - band.top, 1);
  EXPECT_EQ(band.left, 0);
  EXPECT_EQ(band.right, 200);
  const RECT inside = controls::calc_subrect(RECT{0, 0, 200, 200}, 150, 100);
  EXPECT_EQ(inside.top, 150);
  EXPECT_EQ(inside.bottom, 200);
}

namespace {

// Runs the main window modally and, once it shows, does `drive` to it.
INT_PTR runMainWindow(const std::function<void(HWND)>& drive) {
  CMainDlg window(gui_test::NoPhone());
  gui_test::WhenDialogAppears(nullptr, drive);
  return window.DoModal(nullptr);
}

}  // namespace

TEST(MainWindow, CaptionlessFixedSizeWithItsTitleButtons) {
  RECT client{};
  LONG_PTR style = 0;
  RECT close{};
  const INT_PTR code = runMainWindow([&](HWND window) {
    ::GetClientRect(window, &client);
    style = ::GetWindowLongPtrW(window, GWL_STYLE);
    ::GetWindowRect(::GetDlgItem(window, IDC_CLOSE), &close);
    ::MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&close), 2);
    ::PostMessageW(window, WM_COMMAND, IDC_CLOSE, 0);
  });
  EXPECT_EQ(code, 1000);
  EXPECT_EQ(client.right, 984);
  EXPECT_EQ(client.bottom, 674);
  EXPECT_EQ(style & WS_CAPTION, 0);
  EXPECT_EQ(close.right, 984 - 8);
  EXPECT_EQ(close.top, 5);
}

TEST(MainWindow, EnterAndEscapeDoNothingAndCloseEndsWithZero) {
  bool stillThere = false;
  const INT_PTR code = runMainWindow([&](HWND window) {
    ::SendMessageW(window, WM_COMMAND, IDOK, 0);
    ::SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
    stillThere = ::IsWindowVisible(window) != FALSE;
    ::PostMessageW(window, WM_CLOSE, 0, 0);
  });
  EXPECT_TRUE(stillThere);
  EXPECT_EQ(code, 0);
}

TEST(MainWindow, FailureScreenShowsRefreshAndHelpLinkAndRefreshHidesThem) {
  bool refreshShown = false, linkShown = false, refreshHidden = false;
  CMainDlg window(gui_test::NoPhone());
  gui_test::WhenDialogAppears(nullptr, [&](HWND handle) {
    window.ShowLoadFailure();
    refreshShown = ::IsWindowVisible(::GetDlgItem(handle, IDC_REFRESH)) != FALSE;
    linkShown = window.m_helpLink.IsVisible();
    ::SendMessageW(handle, WM_COMMAND, IDC_REFRESH, 0);
    refreshHidden = !::IsWindowVisible(::GetDlgItem(handle, IDC_REFRESH)) && !window.m_helpLink.IsVisible() &&
                    window.m_nLoadState == CMainDlg::kLoading;
    ::PostMessageW(handle, WM_COMMAND, IDC_CLOSE, 0);
  });
  EXPECT_EQ(window.DoModal(nullptr), 1000);
  EXPECT_TRUE(refreshShown);
  EXPECT_TRUE(linkShown);
  EXPECT_TRUE(refreshHidden);
}

TEST(MainWindow, ConnectPageShowsItsBackgroundPicture) {
  Gdiplus::Bitmap background(controls::MakeImagePath(L"mainbg1.png").c_str());
  if (background.GetWidth() == 0) GTEST_SKIP() << "no skin pictures";
  Gdiplus::Color expected;
  background.GetPixel(500, 40, &expected);
  COLORREF painted = 0;
  runMainWindow([&](HWND window) {
    painted = gui_test::PaintedPixel(window, 500, 40);
    ::PostMessageW(window, WM_CLOSE, 0, 0);
  });
  EXPECT_TRUE(sameColour(painted, expected)) << std::hex << painted;
}

TEST(MainWindow, MenuHasTheFiveEntriesAndExitEndsWithZero) {
  const HMENU menu = CMainDlg::BuildMainMenu();
  ASSERT_NE(menu, nullptr);
  const UINT expected[] = {ID_MENU_HOME, ID_MENU_ABOUT, ID_MENU_HELP, ID_MENU_UPDATE, ID_MENU_EXIT};
  ASSERT_EQ(::GetMenuItemCount(menu), 5);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(::GetMenuItemID(menu, k), expected[k]) << k;
  wchar_t label[16] = {};
  ::GetMenuStringW(menu, 4, label, 16, MF_BYPOSITION);
  EXPECT_STREQ(label, L"Exit");
  ::DestroyMenu(menu);

  CMainDlg window(gui_test::NoPhone());
  gui_test::WhenDialogAppears(nullptr, [&](HWND) { window.RunMenuCommand(ID_MENU_EXIT); });
  EXPECT_EQ(window.DoModal(nullptr), 0);
}

TEST(ImgButton, HoverShowsTheSecondFrame) {
  TestPictures pictures;
  pictures.MakeStrip(L"strip.png", 4, 40, 24);
  ParentWindow parent(200, 100);
  CImgButton button;
  ASSERT_EQ(button.Attach(parent.button(), L"strip.png", 10, 10, 4), 1);
  ::SendMessageW(parent.button(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  if (!button.hovering()) GTEST_SKIP() << "mouse tracking not granted here";
  gui_test::PumpPending();
  EXPECT_TRUE(sameColour(gui_test::PixelOf(parent.button(), 20, 12), kFrameColours[1]));
  ::SendMessageW(parent.button(), WM_MOUSELEAVE, 0, 0);
  gui_test::PumpPending();
  EXPECT_FALSE(button.hovering());
  EXPECT_TRUE(sameColour(gui_test::PixelOf(parent.button(), 20, 12), kFrameColours[0]));
}
