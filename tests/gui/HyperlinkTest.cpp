// The text links: colours from the Internet Explorer settings, set-up over a
// static control, painting, and when a click or a key opens the page.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "controls/CHyperLink.h"
#include "controls/DrawingHelpers.h"
#include "controls/GdiObjects.h"
#include "controls/WebPages.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

using controls::CHyperLink;
using controls::CMyHyperLink;
using controls::ParseAnchorColor;

TEST(HyperlinkColorParsing, ThreeCommaSeparatedNumbersMakeAColourModulo256) {
  EXPECT_EQ(ParseAnchorColor(L"0,128,0"), std::optional<COLORREF>(RGB(0, 128, 0)));
  EXPECT_EQ(ParseAnchorColor(L"12, 34 ,56"), std::optional<COLORREF>(RGB(12, 34, 56)));
  EXPECT_EQ(ParseAnchorColor(L"256,300,511"), std::optional<COLORREF>(RGB(0, 44, 255)));
  // 10^20 - 1, beyond any integer type; 10^20 is a multiple of 256.
  EXPECT_EQ(ParseAnchorColor(L"99999999999999999999,0,0"), std::optional<COLORREF>(RGB(255, 0, 0)));
}

TEST(HyperlinkColorParsing, MalformedValuesAreNoColour) {
  for (const wchar_t* value : {L"", L"0", L"0,128", L"0,128,", L"0,,0", L",128,0", L"0;128;0", L"red,green,blue",
                               L"0,128,0,7", L"-1,0,0", L"0,128,0x"}) {
    EXPECT_FALSE(ParseAnchorColor(value).has_value()) << "value \"" << std::string(value, value + wcslen(value)) << '"';
  }
}

// Static controls on a top-level window, as a dialog template makes them.
class HyperlinkTest : public ::testing::Test {
 protected:
  static constexpr int kLinkWidth = 300;
  static constexpr int kLinkHeight = 40;

  void SetUp() override {
    // Hidden: a shown top-level window costs Wine seconds to map.
    host_ = ::CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 50, 50, 400, 200, nullptr, nullptr, nullptr, nullptr);
    CHyperLink::SetPageOpener([this](const std::wstring& url) {
      opened_.push_back(url);
      return openSucceeds_;
    });
  }

  void TearDown() override {
    CHyperLink::SetPageOpener(nullptr);
    ::DestroyWindow(host_);
  }

  HWND MakeStatic(const wchar_t* text, DWORD style = SS_LEFT) {
    return ::CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | style, 10, 10, kLinkWidth, kLinkHeight, host_,
                             nullptr, ::GetModuleHandleW(nullptr), nullptr);
  }

  static POINT LabelCentre(const CHyperLink& link) {
    const RECT& label = link.labelRect();
    return POINT{(label.left + label.right) / 2, (label.top + label.bottom) / 2};
  }

  static void Press(HWND window, POINT at) { ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y)); }
  static void Release(HWND window, POINT at) { ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y)); }

  // How many pixels of the control's painting have exactly this colour.
  static int PaintedPixelsOf(HWND window, COLORREF color) {
    RECT client{};
    ::GetClientRect(window, &client);
    controls::WindowDC screen(window);
    controls::MemoryDC canvas(screen.dc(), client.right, client.bottom);
    ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    int count = 0;
    for (int y = 0; y < client.bottom; ++y) {
      for (int x = 0; x < client.right; ++x) count += ::GetPixel(canvas.dc(), x, y) == color ? 1 : 0;
    }
    return count;
  }

  HWND host_ = nullptr;
  std::vector<std::wstring> opened_;
  bool openSucceeds_ = true;
};

TEST_F(HyperlinkTest, SetUpTakesTheLabelFromTheWindowTextAndItsTooltipGoesWithTheControl) {
  CHyperLink link;
  const HWND control = MakeStatic(L"Have Problems?");
  ASSERT_TRUE(link.SubclassWindow(control));

  EXPECT_EQ(link.label(), L"Have Problems?");
  EXPECT_NE(::GetWindowLongPtrW(control, GWL_STYLE) & SS_NOTIFY, 0);
  const RECT& label = link.labelRect();
  EXPECT_GT(label.bottom - label.top, 0);
  EXPECT_GT(label.right - label.left, 0);
  EXPECT_LT(label.right, kLinkWidth) << "the label rectangle covers the text, not the whole control";

  const HWND tooltip = link.tooltip();
  EXPECT_TRUE(::IsWindow(tooltip));
  ::DestroyWindow(control);
  EXPECT_FALSE(::IsWindow(tooltip));
}

TEST_F(HyperlinkTest, IdealSizeFollowsTheFontAndTheLabel) {
  CHyperLink link;
  ASSERT_TRUE(link.SubclassWindow(MakeStatic(L"Homepage:")));
  link.SetLinkFont(controls::get_font(L"Arial", 16, 400));
  const SIZE shortLabel = link.GetIdealSize();
  EXPECT_GT(shortLabel.cx, 0);
  EXPECT_GE(shortLabel.cy, 14);

  link.SetLabel(std::wstring(L"Homepage:") + controls::kVendorSite);
  const SIZE longLabel = link.GetIdealSize();
  EXPECT_GT(longLabel.cx, shortLabel.cx);
  EXPECT_EQ(longLabel.cy, shortLabel.cy) << "the ideal size keeps a label without line breaks on one line";
  EXPECT_EQ(link.GetText(), link.label());

  link.SetLinkFont(controls::get_font(L"Arial", 32, 400));
  EXPECT_GT(link.GetIdealSize().cx, longLabel.cx);
  EXPECT_GT(link.labelRect().bottom - link.labelRect().top, shortLabel.cy) << "a new font re-measures the label";
}

TEST_F(HyperlinkTest, ClickOnTheLabelOpensTheTargetAndMarksItVisited) {
  CHyperLink link;
  ASSERT_TRUE(link.SubclassWindow(MakeStatic(L"Support")));
  link.SetTarget(controls::kSupportPage);
  const int unvisitedPixels = PaintedPixelsOf(link.m_hWnd, link.linkColor());
  EXPECT_GT(unvisitedPixels, 0) << "the label is painted in the link colour";

  Press(link.m_hWnd, LabelCentre(link));
  EXPECT_EQ(::GetCapture(), link.m_hWnd);
  EXPECT_EQ(::GetFocus(), link.m_hWnd);
  Release(link.m_hWnd, LabelCentre(link));

  EXPECT_EQ(opened_, std::vector<std::wstring>{controls::kSupportPage});
  EXPECT_NE(::GetCapture(), link.m_hWnd);
  EXPECT_TRUE(link.visited());
  EXPECT_GT(PaintedPixelsOf(link.m_hWnd, link.visitedColor()), 0) << "a visited link turns to the visited colour";
  EXPECT_EQ(PaintedPixelsOf(link.m_hWnd, link.linkColor()), 0);
}

TEST_F(HyperlinkTest, PressOnTheLabelAndReleaseOutsideOpensNothing) {
  CHyperLink link;
  ASSERT_TRUE(link.SubclassWindow(MakeStatic(L"Support")));
  link.SetTarget(controls::kSupportPage);
  const POINT outside{link.labelRect().right + 40, LabelCentre(link).y};

  Press(link.m_hWnd, LabelCentre(link));
  Release(link.m_hWnd, outside);
  EXPECT_NE(::GetCapture(), link.m_hWnd) << "the capture ends with the release";

  Press(link.m_hWnd, outside);
  EXPECT_NE(::GetCapture(), link.m_hWnd) << "a press beside the label does not start a click";
  Release(link.m_hWnd, LabelCentre(link));

  EXPECT_TRUE(opened_.empty());
  EXPECT_FALSE(link.visited());
}

TEST_F(HyperlinkTest, EnterOrSpaceOpensTheTargetAndOnlyASuccessfulOpenCounts) {
  CHyperLink link;
  ASSERT_TRUE(link.SubclassWindow(MakeStatic(L"Support")));
  link.SetTarget(controls::kSupportPage);
  EXPECT_EQ(::SendMessageW(link.m_hWnd, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS);
  openSucceeds_ = false;

  ::SendMessageW(link.m_hWnd, WM_CHAR, VK_RETURN, 0);
  ::SendMessageW(link.m_hWnd, WM_CHAR, L'x', 0);
  EXPECT_FALSE(link.visited()) << "the browser did not open";
  openSucceeds_ = true;
  ::SendMessageW(link.m_hWnd, WM_CHAR, L' ', 0);

  EXPECT_EQ(opened_, (std::vector<std::wstring>{controls::kSupportPage, controls::kSupportPage}));
  EXPECT_TRUE(link.visited());
}

TEST_F(HyperlinkTest, ProblemsLinkAlwaysOpensTheProductPage) {
  CMyHyperLink link;
  ASSERT_TRUE(link.SubclassWindow(MakeStatic(L"Have Problems?")));
  link.SetTarget(controls::kOnlineHelpPage);

  Press(link.m_hWnd, LabelCentre(link));
  Release(link.m_hWnd, LabelCentre(link));
  ::SendMessageW(link.m_hWnd, WM_CHAR, VK_SPACE, 0);

  EXPECT_EQ(opened_, (std::vector<std::wstring>{controls::kProductPage, controls::kProductPage}));
  EXPECT_FALSE(link.visited());
}

// Sets the Internet Explorer link colours of the current user for one test
// and puts back what was there.
class IeLinkColours {
 public:
  IeLinkColours(const wchar_t* link, const wchar_t* visited) {
    ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Settings", 0, nullptr, 0,
                      KEY_READ | KEY_WRITE, nullptr, &key_, nullptr);
    const wchar_t* values[2] = {link, visited};
    for (int i = 0; i < 2; ++i) {
      DWORD bytes = sizeof saved_[i];
      had_[i] = ::RegQueryValueExW(key_, kNames[i], nullptr, nullptr, reinterpret_cast<BYTE*>(saved_[i]), &bytes) == 0;
      Write(kNames[i], values[i]);
    }
  }
  ~IeLinkColours() {
    for (int i = 0; i < 2; ++i) had_[i] ? Write(kNames[i], saved_[i]) : void(::RegDeleteValueW(key_, kNames[i]));
    ::RegCloseKey(key_);
  }

 private:
  static constexpr const wchar_t* kNames[2] = {L"Anchor Color", L"Anchor Color Visited"};
  void Write(const wchar_t* name, const wchar_t* value) const {
    ::RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                     static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
  }

  HKEY key_ = nullptr;
  wchar_t saved_[2][64] = {};
  bool had_[2] = {};
};

TEST_F(HyperlinkTest, InternetExplorerAnchorColourTurnsLinksGreen) {
  const IeLinkColours colours(L"0,128,0", L"1,2");
  CHyperLink link;
  ASSERT_TRUE(link.SubclassWindow(MakeStatic(L"Support")));

  EXPECT_EQ(link.linkColor(), RGB(0, 128, 0));
  EXPECT_EQ(link.visitedColor(), CHyperLink::kDefaultVisitedColor) << "a malformed value keeps the default";
  EXPECT_GT(PaintedPixelsOf(link.m_hWnd, RGB(0, 128, 0)), 0);
}

}  // namespace
